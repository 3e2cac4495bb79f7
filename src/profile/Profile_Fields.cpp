#include "profile/Profile_Fields.h"

#include "model/Common_Functions.h"

#include <QDebug>

namespace {
// Frames are kept in layout coordinates (y up from the bottom of the template box); these
// helpers take the canvas rectangle the field should get (y down), so the table reads as
// the card does. Lines are 16 points high, enough for the default 14-point text.
constexpr double H = Profile_Template_Height;
constexpr QRectF at(double x, double y, double w, double h) { return {x, H - y, w, h}; }
constexpr double line = 16;
// Landscape (the default card is 243 x 154 points): the photo top left, name to slogan
// beside it, the address under them, then phone and fax, e-mail and website side by side.
constexpr QRectF L(double x, double y, double w) { return at(x, y, w, line); }
// Portrait (154 x 243): the photo centred at the top, every line under it.
constexpr QRectF P(int row) { return at(8, 78 + line * row, 138, line); }
}  // namespace

const std::array<Profile_Field_Info, Profile_Field_Count>& Profile_Field_Table() {
  static const std::array<Profile_Field_Info, Profile_Field_Count> table = {{
      {"Name :", "Fup_Name", "name", L(68, 8, 167), P(0)},
      {"Position / Title :", "Fup_Title", "title", L(68, 24, 167), P(1)},
      {"Company Name :", "Fup_Company", "comp_name", L(68, 40, 167), P(2)},
      {"Company Slogan :", "Fup_CompanySlogan", "slogan", L(68, 56, 167), P(3)},
      {"Address :", "Fup_Address", "address", L(8, 76, 227), P(4)},
      {"Phone No. :", "Fup_PhoneNO", "phone", L(8, 92, 110), P(5)},
      {"Fax No. :", "Fup_FaxNo", "fax", L(125, 92, 110), P(6)},
      {"Email Id :", "Fup_EmailID", "email", L(8, 108, 110), P(7)},
      {"Website :", "Fup_Website", "website", L(125, 108, 110), P(8)},
      {"Unique No. :", "Fup_UniqueNo", "unique", L(8, 124, 110), P(9)},
      {"Photo :", "Fup_Photo", "image", at(8, 8, 52, 64), at(51, 8, 52, 64)},
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
    // A picture object keeps its file's path as its file path (its Text_Value is never
    // set); any other object's value is its Text_Value.
    loaded.value = kind == QLatin1String("CRDImage") ? graphic->FilePath() : graphic->Text_Value;
    loaded.source = graphic->data_source_type;
    if (loaded.source == 1)
      loaded.choice = graphic->batch_list_index;
    else if (loaded.source == 2)
      loaded.choice = graphic->excel_col_indx;
    fields[size_t(field)] = loaded;
  }
  return fields;
}
