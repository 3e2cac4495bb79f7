#include "model/Design_Window_Services.h"

#include "model/CRDGraphic.h"
#include "model/Fonts.h"
#include "model/Shape_Control.h"
#include "model/Shared_Design_State.h"

#include <QDir>

QFont Window_All_Text_Font() {
  if (auto* s = Window_Services()) return s->All_Text_font();
  return Make_Font(Text_Ctrl_Font, 14);
}

CRDColor Window_All_Text_Color() {
  if (auto* s = Window_Services()) return s->All_Text_clr();
  return CRDColor::blackColor();
}

QPointF Window_Control_New_Point(const QString& side) {
  if (auto* s = Window_Services()) return s->Control_New_Point(side);
  return QPointF(10, 10);
}

QRectF Window_Front_Canvas_Bounds() {
  if (auto* s = Window_Services()) return s->Front_Canvas_Bounds();
  return QRectF();
}

void Window_Set_Align_With_Grid_Enabled(bool enabled) {
  if (auto* s = Window_Services()) s->Set_Align_With_Grid_Enabled(enabled);
}

void Window_Refresh_Canvas() {
  if (auto* s = Window_Services()) s->Refresh_Canvas();
}

void Window_Reset_Image_Editing_Controls() {
  if (auto* s = Window_Services()) s->Reset_Image_Editing_Controls();
}

Card_Property* Window_Side_Card_Property(int side) {
  if (auto* s = Window_Services()) return s->Side_Card_Property(side);
  return nullptr;
}

void Window_Show_Card_Image_Path(const QString& path) {
  if (auto* s = Window_Services()) s->Show_Card_Image_Path(path);
}

void Window_Show_Card_Properties() {
  if (auto* s = Window_Services()) s->Show_Card_Properties();
}

namespace {
// The resource file of a picture the window loads at start; null for another name.
Picture resource_picture(const QString& field_name) {
  static const struct {
    const char* field;
    const char* file;
  } files[] = {{"no_image", "no.png"},
               {"barcode_sample_img", "barcode_sample.png"},
               {"sign_sample_img", "sign_sample.png"},
               {"fp_sample_img", "fingerprints.png"},
               {"banner_image", "banner.png"},
               {"promotion_pattern_image", "pattern_1.jpg"}};
  for (const auto& entry : files)
    if (field_name == QLatin1String(entry.field))
      return Cached_Picture_File(QDir(Resource_Path).filePath(QLatin1String(entry.file)));
  return {};
}
}  // namespace

Picture Design_Window_Services::Loaded_Picture(const QString& field_name) {
  return resource_picture(field_name);
}

QString Window_Current_Graphic_Class() {
  if (auto* s = Window_Services()) return s->currentGraphicClass();
  return {};
}

int Window_Current_Control_Tool() {
  if (auto* s = Window_Services()) return s->Current_Control_Tool();
  return 0;
}

Picture Window_Loaded_Picture(const QString& field_name) {
  if (auto* s = Window_Services()) return s->Loaded_Picture(field_name);
  return resource_picture(field_name);
}

void Window_Show_RHS_Properties(const std::shared_ptr<CRDGraphic>& graphic) {
  if (auto* s = Window_Services()) s->Show_RHS_Properties(graphic);
}

void Window_Undo_Redo_Button_state() {
  if (auto* s = Window_Services()) s->Undo_Redo_Button_state();
}

void Window_Set_Paste_Button_Status() {
  if (auto* s = Window_Services()) s->Set_Paste_Button_Status();
}

void Window_Open_Barcode_Window() {
  if (auto* s = Window_Services()) s->Open_Barcode_Window();
}

Picture Window_New_Barcode_Picture(const std::shared_ptr<CRDGraphic>& barcode) {
  auto* s = Window_Services();
  return s ? s->New_Barcode_Picture(barcode) : Picture();
}

void Window_Set_Same_Size_Buttons_Enabled(bool enabled) {
  if (auto* s = Window_Services()) s->Set_Same_Size_Buttons_Enabled(enabled);
}

Graphic_Read_Budget Window_Design_Picture_Budget(const CRDGraphic* replacing) {
  Design_Window_Services* s = Window_Services();
  return s ? s->Design_Picture_Budget(replacing) : Graphic_Read_Budget();
}

QString Window_Design_Refuses_Graphics(const Graphic_List& added) {
  auto* s = Window_Services();
  return s ? s->Design_Refuses_Graphics(added) : QString();
}

QString Window_Design_Refuses_Table(const QStringList& titles,
                                    const QList<QMap<QString, QString>>& rows) {
  auto* s = Window_Services();
  return s ? s->Design_Refuses_Table(titles, rows) : QString();
}

qint64 Window_Design_Table_Most_Rows(int columns) {
  auto* s = Window_Services();
  return s ? s->Design_Table_Most_Rows(columns) : std::numeric_limits<qint64>::max();
}

QString Window_Design_Refuses_Table_Rows(const QStringList& titles, qint64 rows) {
  auto* s = Window_Services();
  return s ? s->Design_Refuses_Table_Rows(titles, rows) : QString();
}

std::shared_ptr<CRDGraphic> Window_Apply_New_Graphic_Defaults(std::shared_ptr<CRDGraphic> graphic,
                                                              bool reset_picture_panel) {
  if (!graphic) return graphic;
  graphic->text_ctrl_font = Window_All_Text_Font();
  graphic->txt_clr = Window_All_Text_Color();
  if (reset_picture_panel) Window_Reset_Image_Editing_Controls();
  return graphic;
}
