#include "profile/Profile_Fields.h"

#include "model/Common_Functions.h"

#include <QDebug>

namespace {
// Text fields on a landscape card: the photo on the left, ten lines beside it; on a
// portrait card the lines run under the photo. Frames are in layout coordinates (y up).
constexpr double H = Profile_Template_Height;
constexpr QRectF line_L(int row) { return {80, H - (8 + 13.5 * row), 155, 13}; }
constexpr QRectF line_P(int row) { return {10, H - (92 + 14 * row), 134, 13}; }
}  // namespace

const std::array<Profile_Field_Info, Profile_Field_Count>& Profile_Field_Table() {
  static const std::array<Profile_Field_Info, Profile_Field_Count> table = {{
      {"Name :", "Fup_Name", "name", line_L(0), line_P(0)},
      {"Position / Title :", "Fup_Title", "title", line_L(1), line_P(1)},
      {"Company Name :", "Fup_Company", "comp_name", line_L(2), line_P(2)},
      {"Company Slogan :", "Fup_CompanySlogan", "slogan", line_L(3), line_P(3)},
      {"Address :", "Fup_Address", "address", line_L(4), line_P(4)},
      {"Phone No. :", "Fup_PhoneNO", "phone", line_L(5), line_P(5)},
      {"Fax No. :", "Fup_FaxNo", "fax", line_L(6), line_P(6)},
      {"Email Id :", "Fup_EmailID", "email", line_L(7), line_P(7)},
      {"Website :", "Fup_Website", "website", line_L(8), line_P(8)},
      {"Unique No. :", "Fup_UniqueNo", "unique", line_L(9), line_P(9)},
      {"Photo :", "Fup_Photo", "image", {10, H - 10, 60, 75}, {10, H - 8, 60, 75}},
  }};
  return table;
}

int Profile_Field_Index(const QString& control_id) {
  const auto& table = Profile_Field_Table();
  for (int i = 0; i < Profile_Field_Count; ++i)
    if (control_id == QLatin1String(table[size_t(i)].control_id)) return i;
  return -1;
}

QRectF Profile_Template_Rect(const QRectF& frame, double template_height) {
  return {frame.x(), template_height - frame.y(), frame.width(), frame.height()};
}

QRectF Profile_Default_Rect(const QString& control_id, QSizeF front_card_size) {
  Show_NSLog_Message(QStringLiteral("{%1, %2}")
                         .arg(front_card_size.width())
                         .arg(front_card_size.height()));
  const int field = Profile_Field_Index(control_id);
  if (field < 0) return {};
  const Profile_Field_Info& info = Profile_Field_Table()[size_t(field)];
  const bool landscape = front_card_size.width() >= front_card_size.height();
  return Profile_Template_Rect(landscape ? info.landscape : info.portrait);
}

QString Profile_Source_Message(const QString& caption) {
  QString tail = Trim_Str(caption);
  if (!tail.isEmpty()) tail = QStringLiteral(" for '%1'").arg(tail.remove(QStringLiteral(" :")));
  return QStringLiteral("Please select the source") + tail;
}

Profile_Loaded_Fields Load_Profile_Fields(const Graphic_List& graphics) {
  Profile_Loaded_Fields fields;
  for (const auto& graphic : graphics) {
    if (!graphic) continue;
    const QString kind = graphic->className();
    if (kind != QLatin1String("CRDText") && kind != QLatin1String("CRDImage")) continue;
    const QString id = Trim_Str(graphic->control_ID);
    if (id.isEmpty() || !graphic->ctrl_is_visible) continue;
    const int field = Profile_Field_Index(id);
    if (field < 0) continue;
    Profile_Loaded_Field loaded;
    loaded.value = graphic->Text_Value;
    loaded.source = graphic->data_source_type;
    if (loaded.source == 1)
      loaded.choice = graphic->batch_list_index;
    else if (loaded.source == 2)
      loaded.choice = graphic->excel_col_indx;
    fields[size_t(field)] = loaded;
  }
  return fields;
}
