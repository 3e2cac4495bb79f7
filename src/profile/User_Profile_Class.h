#pragma once
// The user profile of one card side: eleven personal and business fields (name, title,
// company, slogan, address, phone, fax, e-mail, website, unique number, photo), each with
// its value, the control ID under which the fill places it on the card, its caption ID
// and its binding to a data series or a spreadsheet column. A plain record: the profile
// dialogs write it, the profile fill reads it. It is not saved with a design.

#include <QString>
#include <QtGlobal>

#include <array>

// The eight members of field X: X (the value; for the photo the picture file's path),
// X_id, X_label_id, X_label (never set or read), X_ds (1: bound to a data series),
// X_ds_name, X_ds_indx, X_xl (1: bound to a spreadsheet column), X_xl_col_indx.
#define LUMIGROVE_PROFILE_FIELD(X) \
  QString X;                       \
  QString X##_id;                  \
  QString X##_label_id;            \
  QString X##_label;               \
  qint8 X##_ds = 0;                \
  QString X##_ds_name;             \
  qint32 X##_ds_indx = 0;          \
  qint8 X##_xl = 0;                \
  qint32 X##_xl_col_indx = 0;

class User_Profile_Class {
 public:
  qint8 Fill_User_Profile_Enable = 0;
  qint8 Excel_Binding = 0;

  LUMIGROVE_PROFILE_FIELD(Name)
  LUMIGROVE_PROFILE_FIELD(Title)
  LUMIGROVE_PROFILE_FIELD(Company_name)
  LUMIGROVE_PROFILE_FIELD(slogan)
  LUMIGROVE_PROFILE_FIELD(address)
  LUMIGROVE_PROFILE_FIELD(phone)
  LUMIGROVE_PROFILE_FIELD(fax)
  LUMIGROVE_PROFILE_FIELD(email)
  LUMIGROVE_PROFILE_FIELD(website)
  LUMIGROVE_PROFILE_FIELD(unique)
  LUMIGROVE_PROFILE_FIELD(image)

  // Every value and series name "", every flag and index 0, the control and caption IDs
  // of the fields; the X_label strings stay as they are.
  void Reset_All_Values();

  // One field's members, for code that visits the eleven fields in their fixed order.
  struct Field {
    QString* value;
    QString* id;
    QString* label_id;
    qint8* ds;
    QString* ds_name;
    qint32* ds_indx;
    qint8* xl;
    qint32* xl_col_indx;
  };
  static constexpr int Field_Count = 11;
  std::array<Field, Field_Count> Fields();
};

#undef LUMIGROVE_PROFILE_FIELD
