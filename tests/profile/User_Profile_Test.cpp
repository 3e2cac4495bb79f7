#include "profile/User_Profile_Class.h"
#include "support/Test_Support.h"

namespace {

TEST(User_Profile, ResetGivesEveryFieldItsIdsAndEmptyBindings) {
  User_Profile_Class profile;
  // A new record holds no strings yet.
  EXPECT_TRUE(profile.Name.isNull());
  EXPECT_TRUE(profile.Name_id.isNull());

  profile.Name = QStringLiteral("Ada");
  profile.image = QStringLiteral("/no/such/photo.png");  // a path, kept as given
  profile.email_ds = 1;
  profile.email_ds_name = QStringLiteral("Guests");
  profile.email_ds_indx = 3;
  profile.phone_xl = 1;
  profile.phone_xl_col_indx = 2;
  profile.Fill_User_Profile_Enable = 1;
  profile.Excel_Binding = 1;
  profile.Title_label = QStringLiteral("kept");
  EXPECT_FALSE(profile.image.isEmpty());

  profile.Reset_All_Values();
  const struct {
    const QString& id;
    const QString& label_id;
    const char* expected_id;
  } ids[] = {
      {profile.Name_id, profile.Name_label_id, "Name"},
      {profile.Title_id, profile.Title_label_id, "Title"},
      {profile.Company_name_id, profile.Company_name_label_id, "Company"},
      {profile.slogan_id, profile.slogan_label_id, "CompanySlogan"},
      {profile.address_id, profile.address_label_id, "Address"},
      {profile.phone_id, profile.phone_label_id, "PhoneNO"},
      {profile.fax_id, profile.fax_label_id, "FaxNo"},
      {profile.email_id, profile.email_label_id, "EmailID"},
      {profile.website_id, profile.website_label_id, "Website"},
      {profile.unique_id, profile.unique_label_id, "UniqueNo"},
      {profile.image_id, profile.image_label_id, "Photo"},
  };
  for (const auto& row : ids) {
    EXPECT_EQ(row.id, QStringLiteral("Fup_") + QLatin1String(row.expected_id));
    EXPECT_EQ(row.label_id, QStringLiteral("Fup_lbl_") + QLatin1String(row.expected_id));
  }
  for (const auto& field : profile.Fields()) {
    EXPECT_FALSE(field.value->isNull());
    EXPECT_TRUE(field.value->isEmpty());
    EXPECT_TRUE(field.ds_name->isEmpty());
    EXPECT_EQ(*field.ds, 0);
    EXPECT_EQ(*field.ds_indx, 0);
    EXPECT_EQ(*field.xl, 0);
    EXPECT_EQ(*field.xl_col_indx, 0);
  }
  EXPECT_EQ(profile.Fill_User_Profile_Enable, 0);
  EXPECT_EQ(profile.Excel_Binding, 0);
  EXPECT_EQ(profile.Title_label, QStringLiteral("kept"));
}

}  // namespace
