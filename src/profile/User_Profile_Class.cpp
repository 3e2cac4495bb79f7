#include "profile/User_Profile_Class.h"

#define LUMIGROVE_FIELD_MEMBERS(X)                                                       \
  Field {                                                                                \
    &X, &X##_id, &X##_label_id, &X##_ds, &X##_ds_name, &X##_ds_indx, &X##_xl, &X##_xl_col_indx \
  }

std::array<User_Profile_Class::Field, User_Profile_Class::Field_Count> User_Profile_Class::Fields() {
  return {LUMIGROVE_FIELD_MEMBERS(Name),    LUMIGROVE_FIELD_MEMBERS(Title),
          LUMIGROVE_FIELD_MEMBERS(Company_name), LUMIGROVE_FIELD_MEMBERS(slogan),
          LUMIGROVE_FIELD_MEMBERS(address), LUMIGROVE_FIELD_MEMBERS(phone),
          LUMIGROVE_FIELD_MEMBERS(fax),     LUMIGROVE_FIELD_MEMBERS(email),
          LUMIGROVE_FIELD_MEMBERS(website), LUMIGROVE_FIELD_MEMBERS(unique),
          LUMIGROVE_FIELD_MEMBERS(image)};
}

#undef LUMIGROVE_FIELD_MEMBERS

void User_Profile_Class::Reset_All_Values() {
  // Control IDs, in the fields' order; the caption ID puts "lbl_" after "Fup_".
  static const char* const ids[Field_Count] = {
      "Name",    "Title",   "Company", "CompanySlogan", "Address", "PhoneNO",
      "FaxNo",   "EmailID", "Website", "UniqueNo",      "Photo"};
  const auto fields = Fields();
  for (int i = 0; i < Field_Count; ++i) {
    const Field& f = fields[size_t(i)];
    *f.value = QStringLiteral("");
    *f.id = QStringLiteral("Fup_") + QLatin1String(ids[i]);
    *f.label_id = QStringLiteral("Fup_lbl_") + QLatin1String(ids[i]);
    *f.ds = 0;
    *f.ds_name = QStringLiteral("");
    *f.ds_indx = 0;
    *f.xl = 0;
    *f.xl_col_indx = 0;
  }
  Fill_User_Profile_Enable = 0;
  Excel_Binding = 0;
}
