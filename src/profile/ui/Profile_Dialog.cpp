#include "profile/ui/Profile_Dialog.h"

#include "canvas/CRDRenderingView.h"
#include "model/Common_Functions.h"
#include "model/Picture.h"
#include "model/Shared_Design_State.h"
#include "output/Design_Binding.h"
#include "platform/Platform.h"
#include "series/Data_From_Excel.h"
#include "series/Sheet_Import.h"
#include "series/ui/Data_Table_Window.h"
#include "series/ui/Import_Excel.h"
#include "series/ui/Series_Dialog_Parts.h"
#include "series/ui/View_Data_Series.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>

Profile_Services& Profile_Window_Services() {
  static Profile_Services services;
  return services;
}

namespace {
QString name_of(const char* prefix, const char* suffix) {
  return QString::fromLatin1(prefix) + QLatin1String(suffix);
}

bool spreadsheet_has_rows() { return Data_From_Excel::defaultInstance()->Row_Count() > 0; }

QComboBox* named_combo(const QString& name, QWidget* parent) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(name);
  combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  combo->setMinimumContentsLength(8);
  return combo;
}
}  // namespace

Profile_Dialog::Profile_Dialog(bool with_checks, bool with_sides, QWidget* parent)
    : QDialog(parent), with_checks_(with_checks), with_sides_(with_sides) {
  Series_Dialog_Background(this);
  build();
  name_outlets();
}

void Profile_Dialog::name_outlets() {
#define LUMIGROVE_NAME_OUTLETS(p, i)                                                        \
  p##_value = field_[i].value, p##_label = field_[i].label;                                 \
  p##_label_chk = field_[i].label_chk, p##_value_chk = field_[i].value_chk;                 \
  p##_ds_combo = field_[i].ds_combo, p##_ser_col_cb = field_[i].ser_col_cb;                 \
  p##_side_combo = field_[i].side_combo, p##_view_btn = field_[i].view_btn;
  LUMIGROVE_NAME_OUTLETS(name, 0)
  LUMIGROVE_NAME_OUTLETS(title, 1)
  LUMIGROVE_NAME_OUTLETS(comp_name, 2)
  LUMIGROVE_NAME_OUTLETS(slogan, 3)
  LUMIGROVE_NAME_OUTLETS(address, 4)
  LUMIGROVE_NAME_OUTLETS(phone, 5)
  LUMIGROVE_NAME_OUTLETS(fax, 6)
  LUMIGROVE_NAME_OUTLETS(email, 7)
  LUMIGROVE_NAME_OUTLETS(website, 8)
  LUMIGROVE_NAME_OUTLETS(unique, 9)
  LUMIGROVE_NAME_OUTLETS(image, 10)
#undef LUMIGROVE_NAME_OUTLETS
}

// ---- Check boxes and typing -----------------------------------------------------------------

// A check box makes its field editable exactly while its value is 1.
void Profile_Dialog::Label_Chk_Clicked(int index) {
  Field_Controls& f = field_[size_t(index)];
  if (f.label_chk && f.label) f.label->setReadOnly(f.label_chk->checkState() != Qt::Checked);
}

void Profile_Dialog::Value_Chk_Clicked(int index) {
  Field_Controls& f = field_[size_t(index)];
  if (f.value_chk && f.value) f.value->setReadOnly(f.value_chk->checkState() != Qt::Checked);
}

void Profile_Dialog::controlTextDidChange(QLineEdit* edited) {
  for (Field_Controls& f : field_) {
    if (edited == f.label && f.label_chk) f.label_chk->setChecked(true);
    if (edited == f.value && f.value_chk) f.value_chk->setChecked(true);
  }
}

void Profile_Dialog::build() {
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(4);
  const auto& table = Profile_Field_Table();
  int column = 0;
  const int col_label_chk = with_checks_ ? column++ : -1;
  const int col_label = column++;
  const int col_value_chk = with_checks_ ? column++ : -1;
  const int col_value = column++;
  const int col_ds = column++;
  const int col_popup = column++;
  const int col_view = column++;
  const int col_side = with_sides_ ? column++ : -1;

  grid->addWidget(new QLabel(QStringLiteral("Value"), this), 0, col_value);
  grid->addWidget(new QLabel(QStringLiteral("Source"), this), 0, col_ds);
  grid->addWidget(new QLabel(QStringLiteral("Series / Column"), this), 0, col_popup);
  if (with_sides_) {
    select_side_label_ = new QLabel(QStringLiteral("Side"), this);
    select_side_label_->setObjectName(QStringLiteral("select_side_label"));
    grid->addWidget(select_side_label_, 0, col_side);
  }

  for (int i = 0; i < Profile_Field_Count; ++i) {
    const Profile_Field_Info& info = table[size_t(i)];
    Field_Controls& f = field_[size_t(i)];
    const int row = i + 1;
    const bool photo = i == Profile_Photo_Field;
    if (photo) {
      f.caption = new QLabel(QString::fromLatin1(info.caption), this);
      grid->addWidget(f.caption, row, col_label);
      image_path_val = Named_Field("image_path_val", this);
      image_path_val->setReadOnly(true);
      image_path_val->setMinimumWidth(120);
      browse_pic_btn = Named_Button(QStringLiteral("Browse..."), "browse_pic_btn", this);
      clear_pic_btn = Named_Button(QStringLiteral("Clear"), "clear_pic_btn", this);
      auto* photo_row = new QHBoxLayout;
      photo_row->addWidget(image_path_val, 1);
      photo_row->addWidget(browse_pic_btn);
      photo_row->addWidget(clear_pic_btn);
      grid->addLayout(photo_row, row, col_value);
      connect(browse_pic_btn, &QPushButton::clicked, this, &Profile_Dialog::Browse_image_Btn_Clicked);
      connect(clear_pic_btn, &QPushButton::clicked, this, &Profile_Dialog::Clear_image_Btn_Clicked);
    } else {
      f.label = new QLineEdit(QString::fromLatin1(info.caption), this);
      f.label->setObjectName(name_of(info.prefix, "_label"));
      f.label->setReadOnly(true);
      f.label->setFrame(false);
      f.label->setMinimumWidth(120);
      f.label->setMaximumWidth(160);
      grid->addWidget(f.label, row, col_label);
      f.value = new QLineEdit(this);
      f.value->setObjectName(name_of(info.prefix, "_value"));
      f.value->setMinimumWidth(200);
      grid->addWidget(f.value, row, col_value);
      if (with_checks_) {
        f.label_chk = new QCheckBox(this);
        f.label_chk->setObjectName(name_of(info.prefix, "_label_chk"));
        f.label_chk->setToolTip(QStringLiteral("Edit the caption"));
        grid->addWidget(f.label_chk, row, col_label_chk);
        f.value_chk = new QCheckBox(this);
        f.value_chk->setObjectName(name_of(info.prefix, "_value_chk"));
        f.value_chk->setToolTip(QStringLiteral("Edit the value"));
        grid->addWidget(f.value_chk, row, col_value_chk);
        connect(f.label_chk, &QCheckBox::clicked, this, [this, i] { Label_Chk_Clicked(i); });
        connect(f.value_chk, &QCheckBox::clicked, this, [this, i] { Value_Chk_Clicked(i); });
        connect(f.label, &QLineEdit::textEdited, this, [this, e = f.label] { controlTextDidChange(e); });
        connect(f.value, &QLineEdit::textEdited, this, [this, e = f.value] { controlTextDidChange(e); });
      }
    }
    f.ds_combo = named_combo(name_of(info.prefix, "_ds_combo"), this);
    f.ds_combo->addItems({Source_Manual_Item, Source_Series_Item});
    grid->addWidget(f.ds_combo, row, col_ds);
    f.ser_col_cb = named_combo(name_of(info.prefix, "_ser_col_cb"), this);
    f.ser_col_cb->setEnabled(false);
    grid->addWidget(f.ser_col_cb, row, col_popup);
    f.view_btn = Named_Button(QStringLiteral("View"), name_of(info.prefix, "_view_btn").toLatin1().constData(), this);
    f.view_btn->setEnabled(false);
    grid->addWidget(f.view_btn, row, col_view);
    if (with_sides_) {
      f.side_combo = named_combo(name_of(info.prefix, "_side_combo"), this);
      f.side_combo->addItems({QStringLiteral("Front"), QStringLiteral("Back"), QStringLiteral("Both")});
      f.side_combo->setCurrentIndex(2);
      f.side_combo->setToolTip(QStringLiteral("The values go to both sides' profiles."));
      grid->addWidget(f.side_combo, row, col_side);
    }
    connect(f.ds_combo, &QComboBox::currentIndexChanged, this,
            [this, combo = f.ds_combo] { comboBoxSelectionDidChange(combo); });
    connect(f.ser_col_cb, &QComboBox::currentIndexChanged, this,
            [this, combo = f.ser_col_cb] { comboBoxSelectionDidChange(combo); });
    connect(f.view_btn, &QPushButton::clicked, this, [this, i] { View_Series_Btn_Clicked(i); });
  }

  grid->setRowStretch(Profile_Field_Count + 1, 1);
  grid->setColumnStretch(col_value, 1);

  // The spreadsheet of the design and the data buttons.
  excel_path_field = Named_Field("excel_path_field", this);
  excel_path_field->setReadOnly(true);
  excel_path_field->setPlaceholderText(QStringLiteral("No spreadsheet"));
  Browse_excel_btn = Named_Button(QStringLiteral("Spreadsheet..."), "Browse_excel_btn", this);
  View_Excel_btn = Named_Button(QStringLiteral("View Spreadsheet"), "View_Excel_btn", this);
  Batch_Series_btn = Named_Button(QStringLiteral("Data Series..."), "Batch_Series_btn", this);
  connect(Browse_excel_btn, &QPushButton::clicked, this, &Profile_Dialog::Browse_excel_Btn_Clicked);
  connect(View_Excel_btn, &QPushButton::clicked, this, &Profile_Dialog::View_Excel_Btn_Clicked);
  connect(Batch_Series_btn, &QPushButton::clicked, this, &Profile_Dialog::Batch_Series_Btn_Clicked);
  auto* data_row = new QHBoxLayout;
  data_row->addWidget(new QLabel(QStringLiteral("Spreadsheet:"), this));
  data_row->addWidget(excel_path_field, 1);
  data_row->addWidget(Browse_excel_btn);
  data_row->addWidget(View_Excel_btn);
  data_row->addWidget(Batch_Series_btn);

  // Pictures: the photo and the side.
  user_picture = new QLabel(this);
  user_picture->setObjectName(QStringLiteral("user_picture"));
  user_picture->setFixedSize(120, 150);
  user_picture->setAlignment(Qt::AlignCenter);
  user_picture->setFrameShape(QFrame::StyledPanel);
  Preivew_picture = new QLabel(this);
  Preivew_picture->setObjectName(QStringLiteral("Preivew_picture"));
  Preivew_picture->setFixedSize(340, 240);
  Preivew_picture->setAlignment(Qt::AlignCenter);
  Preivew_picture->setFrameShape(QFrame::StyledPanel);
  auto* pictures = new QVBoxLayout;
  pictures->addWidget(new QLabel(QStringLiteral("Photo"), this));
  pictures->addWidget(user_picture, 0, Qt::AlignHCenter);
  pictures->addWidget(new QLabel(QStringLiteral("Preview"), this));
  pictures->addWidget(Preivew_picture);
  pictures_layout_ = pictures;
  pictures->addStretch(1);

  OK_btn = Named_Button(QStringLiteral("OK"), "OK_btn", this);
  OK_btn->setDefault(true);
  Cancel_btn = Named_Button(QStringLiteral("Cancel"), "Cancel_btn", this);
  Reset_btn = Named_Button(QStringLiteral("Reset"), "Reset_btn", this);
  Help_btn = Named_Button(QStringLiteral("Help"), "Help_btn", this);
  Preview_btn = Named_Button(QStringLiteral("Preview"), "Preview_btn", this);
  connect(OK_btn, &QPushButton::clicked, this, &Profile_Dialog::OK_Btn_Clicked);
  connect(Cancel_btn, &QPushButton::clicked, this, &Profile_Dialog::Cancel_Btn_Clicked);
  connect(Reset_btn, &QPushButton::clicked, this, &Profile_Dialog::Reset_Btn_Clicked);
  connect(Help_btn, &QPushButton::clicked, this, &Profile_Dialog::Help_Btn_Clicked);
  connect(Preview_btn, &QPushButton::clicked, this, &Profile_Dialog::Preview_Btn_Clicked);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Help_btn);
  buttons->addWidget(Reset_btn);
  buttons->addStretch(1);
  buttons->addWidget(Preview_btn);
  buttons->addWidget(Cancel_btn);
  buttons->addWidget(OK_btn);

  auto* fields_box = new QGroupBox(QStringLiteral("Profile"), this);
  fields_box->setLayout(grid);
  auto* middle = new QHBoxLayout;
  middle->addWidget(fields_box, 1);
  middle->addLayout(pictures);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(data_row);
  layout->addLayout(middle, 1);
  layout->addLayout(buttons);
}

// ---- Opening and reset ----------------------------------------------------------------------

void Profile_Dialog::Take_Current_Side() {
  const bool front = Card_Front_Or_Back == 0;
  setWindowTitle(front ? QStringLiteral("Front Side User Profile Information")
                       : QStringLiteral("Back Side User Profile Information"));
  const auto& services = Profile_Window_Services();
  Graphics_array = services.side_graphics ? services.side_graphics() : Graphic_List{};
}

void Profile_Dialog::Load_Side_Fields() {
  const Profile_Loaded_Fields loaded = Load_Profile_Fields(Graphics_array);
  for (int i = 0; i < Profile_Field_Count; ++i) {
    const auto& entry = loaded[size_t(i)];
    if (!entry) continue;
    Field_Controls& f = field_[size_t(i)];
    if (i == Profile_Photo_Field) {
      image_path_val->setText(entry->value);  // the well stays as it is
    } else {
      f.value->setText(entry->value);
      if (f.value_chk) f.value_chk->setChecked(true);
    }
    // A source the combo does not offer ("Excel" before a spreadsheet browse) opens as no
    // selection: the field's binding then stays as the object has it.
    const int source = entry->source;
    f.ds_combo->setCurrentIndex(source >= 0 && source < f.ds_combo->count() ? source : -1);
    if (source != 0 && f.ds_combo->currentIndex() == source) {
      const int choice = entry->choice;
      f.ser_col_cb->setCurrentIndex(choice >= 0 && choice < f.ser_col_cb->count() ? choice : -1);
    }
  }
}

void Profile_Dialog::Reset_Fields() {
  Set_User_Image(QString());
  for (Field_Controls& f : field_)
    if (f.value) f.value->clear();
  for (Field_Controls& f : field_) f.ds_combo->setCurrentIndex(0);
  for (Field_Controls& f : field_) f.ser_col_cb->setCurrentIndex(-1);
}

int Profile_Dialog::Run() {
  field_[0].value->setFocus();
  const int code = platform::Run_Modal(this);
  hide();
  return code;
}

// ---- Source selection ---------------------------------------------------------------------

void Profile_Dialog::comboBoxSelectionDidChange(QComboBox* combo) {
  try {
    for (int i = 0; i < Profile_Field_Count; ++i)
      if (combo == field_[size_t(i)].ds_combo) Source_Changed(i);
    for (int i = 0; i < Profile_Field_Count; ++i)
      if (combo == field_[size_t(i)].ser_col_cb) Popup_Changed(i);
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromUtf8(e.what()));
  }
}

void Profile_Dialog::Source_Changed(int index) {
  Field_Controls& f = field_[size_t(index)];
  const int source = f.ds_combo->currentIndex();
  const bool manual = source == 0;
  if (f.value) f.value->setReadOnly(!manual);
  if (index == Profile_Photo_Field) {
    browse_pic_btn->setEnabled(manual);
    clear_pic_btn->setEnabled(manual);
  }
  f.ser_col_cb->setEnabled(!manual);
  f.view_btn->setEnabled(source == 1);
  const auto& services = Profile_Window_Services();
  if (manual) {
    const QSignalBlocker quiet(f.ser_col_cb);
    f.ser_col_cb->clear();
  } else if (source == 1) {
    if (services.fill_series_names) services.fill_series_names(f.ser_col_cb);
  } else if (services.fill_column_titles) {
    services.fill_column_titles(f.ser_col_cb);
  }
}

void Profile_Dialog::Popup_Changed(int index) {
  Field_Controls& f = field_[size_t(index)];
  const QString item = f.ser_col_cb->currentText();
  if (item.isEmpty()) return;
  const auto& services = Profile_Window_Services();
  QString sample;
  switch (f.ds_combo->currentIndex()) {
    case 1:
      if (!services.first_series_value) return;
      sample = services.first_series_value(item);
      break;
    case 2:
      if (!services.first_column_value) return;
      sample = services.first_column_value(f.ser_col_cb->currentIndex());
      break;
    default: return;
  }
  if (index == Profile_Photo_Field)
    Set_User_Image(sample);
  else
    f.value->setText(sample);
}

// ---- Validation and writing ---------------------------------------------------------------

bool Profile_Dialog::Check_Validation() {
  checked_field_name = QString();
  try {
    for (int i = 0; i < Profile_Field_Count; ++i) {
      const Field_Controls& f = field_[size_t(i)];
      const int source = f.ds_combo->currentIndex();
      if ((source == 1 || source == 2) && f.ser_col_cb->currentIndex() < 0) {
        checked_field_name = QString::fromLatin1(Profile_Field_Table()[size_t(i)].caption);
        return false;
      }
    }
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromUtf8(e.what()));
  }
  return true;
}

bool Profile_Dialog::Write_Record(User_Profile_Class* record, bool side_record) {
  if (!Check_Validation()) {
    Show_MessageBox(Profile_Source_Message(checked_field_name));
    return false;
  }
  if (!record) return false;
  if (side_record) {
    record->Fill_User_Profile_Enable = 1;
    if (spreadsheet_has_rows()) {
      record->Excel_Binding = 1;
      Excel_Source_Path = excel_path_field->text();
      Excel_Binding_Use = true;
    } else {
      Excel_Binding_Use = false;
      record->Excel_Binding = 0;
    }
  }
  const auto members = record->Fields();
  for (int i = 0; i < Profile_Field_Count; ++i) {
    const Field_Controls& f = field_[size_t(i)];
    const User_Profile_Class::Field& m = members[size_t(i)];
    *m.value = i == Profile_Photo_Field ? image_path_val->text() : f.value->text();
    switch (f.ds_combo->currentIndex()) {
      case 0:
        *m.ds = 0, *m.ds_name = QString(""), *m.ds_indx = 0, *m.xl = 0, *m.xl_col_indx = 0;
        break;
      case 1:
        *m.ds = 1, *m.ds_name = f.ser_col_cb->currentText(), *m.ds_indx = f.ser_col_cb->currentIndex();
        *m.xl = 0, *m.xl_col_indx = 0;
        break;
      case 2:
        *m.ds = 0, *m.ds_name = QString(""), *m.ds_indx = 0;
        *m.xl = 1, *m.xl_col_indx = f.ser_col_cb->currentIndex();
        break;
      default: break;  // no source chosen: the binding is not written
    }
  }
  return true;
}

namespace {
User_Profile_Class* record_of(int which) {
  const auto& services = Profile_Window_Services();
  return services.record ? services.record(which) : nullptr;
}
}  // namespace

bool Profile_Dialog::Fill_Front_User_profile_value_in_Variable() {
  return Write_Record(record_of(0), true);
}
bool Profile_Dialog::Fill_Back_User_profile_value_in_Variable() {
  return Write_Record(record_of(1), true);
}
bool Profile_Dialog::Fill_TEMP_User_profile_value_in_Variable() {
  return Write_Record(record_of(2), false);
}

// ---- OK and Cancel ------------------------------------------------------------------------

void Profile_Dialog::OK_Btn_Clicked() {
  const QString side = load_side;
  bool written = false;
  if (side == QLatin1String("F"))
    written = Fill_Front_User_profile_value_in_Variable();
  else if (side == QLatin1String("B"))
    written = Fill_Back_User_profile_value_in_Variable();
  else
    written = Fill_Front_User_profile_value_in_Variable() && Fill_Back_User_profile_value_in_Variable();
  if (written) platform::Stop_Modal(this, 1);
}

void Profile_Dialog::Cancel_Btn_Clicked() {
  if (spreadsheet_has_rows()) Excel_Source_Path = excel_path_field->text();
  platform::Stop_Modal(this, 0);
}

void Profile_Dialog::Help_Btn_Clicked() { Open_Help_File(); }

// ---- Spreadsheet --------------------------------------------------------------------------

void Profile_Dialog::Browse_excel_Btn_Clicked() {
  const auto& services = Profile_Window_Services();
  if (services.delete_excel_temp_folder) services.delete_excel_temp_folder();
  platform::Open_Panel_Options options;
  options.extensions = Import_Workbook_Extensions();
  const QString path = platform::Open_File_Panel(options);
  if (path.isEmpty()) return;
  excel_path_field->setText(path);
  if (services.invalid_file_path && services.invalid_file_path(path)) return;
  Import_Excel* import = Import_Excel::defaultInstance();
  import->open_mode = QStringLiteral("E");
  import->Open_excel_Wnd(path);
  if (spreadsheet_has_rows())
    Add_Excel_in_Data_Source_Combo();
  else
    Remove_Excel_in_Data_Source_Combo();
}

void Profile_Dialog::Add_Excel_in_Data_Source_Combo() {
  const auto& services = Profile_Window_Services();
  if (!services.add_excel) return;
  for (Field_Controls& f : field_) services.add_excel(f.ds_combo);
}

void Profile_Dialog::Remove_Excel_in_Data_Source_Combo() {
  const auto& services = Profile_Window_Services();
  if (!services.remove_excel) return;
  for (Field_Controls& f : field_) services.remove_excel(f.ds_combo);
}

void Profile_Dialog::View_Excel_Btn_Clicked() {
  try {
    Data_Table_Window::defaultInstance()->Open_Wnd();
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromUtf8(e.what()));
  }
}

void Profile_Dialog::Batch_Series_Btn_Clicked() {
  const auto& services = Profile_Window_Services();
  if (services.series_manager) services.series_manager();
}

void Profile_Dialog::View_Data_Series_By_Name(QComboBox* popup) {
  View_Data_Series::View_Series(popup->currentText());
}

// ---- Photo --------------------------------------------------------------------------------

void Profile_Dialog::Browse_image_Btn_Clicked() {
  platform::Open_Panel_Options options;
  options.extensions = {QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("jpe"),
                        QStringLiteral("jfif"), QStringLiteral("gif"), QStringLiteral("bmp"),
                        QStringLiteral("png"), QStringLiteral("tif"), QStringLiteral("tiff")};
  const QString path = platform::Open_File_Panel(options);
  if (path.isEmpty()) {
    Library_Selected_Image = QString("");
    return;
  }
  Set_User_Image(path);
}

void Profile_Dialog::Clear_image_Btn_Clicked() { Set_User_Image(QString()); }

void Profile_Dialog::Set_User_Image(const QString& path) {
  const QString trimmed = Trim_Str(path);
  image_path_val->setText(trimmed);
  if (trimmed.isEmpty()) {
    Show_Picture(user_picture, QImage());
    return;
  }
  const Picture picture = Picture::fromFile(trimmed);
  if (!picture.isNull()) Show_Picture(user_picture, picture.image());
}

void Profile_Dialog::Show_Picture(QLabel* label, const QImage& image) {
  if (image.isNull()) {
    label->clear();
    return;
  }
  label->setPixmap(QPixmap::fromImage(
      image.scaled(label->size() - QSize(4, 4), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

// ---- Preview ------------------------------------------------------------------------------

QImage Profile_Dialog::Render_Graphics_array() const {
  return CRDRenderingView::image_From_Card_Graphics(Graphics_array, false).image();
}

void Profile_Dialog::Create_and_Set_Preview_picture() {
  Show_Picture(Preivew_picture, Render_Graphics_array());
}

void Profile_Dialog::Preview_Btn_Clicked() {
  if (!Fill_TEMP_User_profile_value_in_Variable()) return;
  const auto& services = Profile_Window_Services();
  if (!services.preview) return;
  Graphics_array = services.preview();
  Create_and_Set_Preview_picture();
}
