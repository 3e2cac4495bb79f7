#include "model/Design_Window_Services.h"

#include "model/Fonts.h"
#include "model/Shared_Design_State.h"

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
