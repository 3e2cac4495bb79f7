// The design window's object panels: shape, line, text, picture and signature panels and
// the data-source page, their loading and combo boxes, the picture tools' first step,
// and the design-time binding services.

#include "model/CRDGraphic.h"
#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "output/Design_Binding.h"
#include "platform/Platform.h"
#include "series/Data_Series_Store.h"
#include "series/ui/View_Data_Series.h"
#include "window/ui/CRDWindowController.h"
#include "window/ui/Data_Source_Panel.h"
#include "window/ui/Line_Panel.h"
#include "window/ui/Long_SMS_Dlg.h"
#include "window/ui/Picture_Panel.h"
#include "window/ui/Shape_Panel.h"
#include "window/ui/Signature_Panel.h"
#include "window/ui/Text_Panel.h"

#include <QComboBox>
#include <QGroupBox>
#include <QSignalBlocker>

#include <exception>

void CRDWindowController::build_object_panels() {
  shape_panel = new Shape_Panel(*this);
  line_panel = new Line_Panel(*this);
  text_panel = new Text_Panel(*this);
  // The data-source page first: the picture panel adds its file box to it.
  data_source_panel = new Data_Source_Panel(*this);
  picture_panel = new Picture_Panel(*this);
  signature_panel = new Signature_Panel(*this);

  for (QComboBox* combo :
       {shape_panel->border.style, shape_panel->shape_hatch_style, line_panel->Line_border_style,
        line_panel->Line_ori_style, line_panel->Line_cap_style, text_panel->border.style,
        text_panel->Text_align_combo, text_panel->Text_case_combo, picture_panel->border.style,
        signature_panel->border.style, data_source_panel->Data_source_type,
        data_source_panel->Batch_Series})
    connect(combo, &QComboBox::currentIndexChanged, this,
            [this, combo] { comboBoxSelectionDidChange(combo); });
}

void CRDWindowController::Update_Shape_Graphics() { shape_panel->Update_Shape_Graphics(); }
void CRDWindowController::Update_Line_Graphics() { line_panel->Update_Line_Graphics(); }
void CRDWindowController::Update_Text_Graphics() { text_panel->Update_Text_Graphics(); }
void CRDWindowController::Update_Image_Graphics() { picture_panel->Update_Image_Graphics(); }
void CRDWindowController::Update_Sign_Graphics() { signature_panel->Update_Sign_Graphics(); }

void CRDWindowController::Reset_Image_Editing_Controls() {
  // Picture objects are made on the main thread; copies made elsewhere never get here.
  if (picture_panel && platform::On_Main_Thread()) picture_panel->Reset_Image_Editing_Controls();
}

bool CRDWindowController::Browse_User_Image_Manually() {
  return picture_panel->Browse_User_Image_Manually();
}

void CRDWindowController::Load_Object_Panels(CRDGraphic& graphic) {
  const QString kind = graphic.className();
  if (kind == QLatin1String("CRDText")) {
    picture_panel->manual_brws_box->hide();
    text_panel->Load(graphic);
    data_source_panel->Load(graphic, QStringLiteral("Text Source"));
  } else if (kind == QLatin1String("CRDImage")) {
    picture_panel->manual_brws_box->show();
    picture_panel->Load(graphic);
    data_source_panel->Load(graphic, QStringLiteral("Image Source"));
  } else if (kind == QLatin1String("CRDLine")) {
    line_panel->Load(graphic);
  } else if (kind == QLatin1String("CRDSignature")) {
    signature_panel->Load(graphic);
    data_source_panel->Load(graphic, QString());
  } else if (kind != QLatin1String("CRDBarcode")) {
    shape_panel->Load(graphic);
  }
}

bool CRDWindowController::Object_Combo_Changed(QComboBox* combo) {
  try {
    if (combo == line_panel->Line_border_style || combo == line_panel->Line_ori_style ||
        combo == line_panel->Line_cap_style)
      Update_Line_Graphics();
    else if (combo == text_panel->border.style || combo == text_panel->Text_align_combo ||
             combo == text_panel->Text_case_combo)
      Update_Text_Graphics();
    else if (combo == shape_panel->border.style || combo == shape_panel->shape_hatch_style)
      Update_Shape_Graphics();
    else if (combo == picture_panel->border.style)
      Update_Image_Graphics();
    else if (combo == signature_panel->border.style)
      Update_Sign_Graphics();
    else if (combo == data_source_panel->Data_source_type)
      data_source_panel->Value_Source_Choice();
    else if (combo == data_source_panel->Batch_Series)
      data_source_panel->Series_Choice();
    else
      return false;
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromUtf8(e.what()));
  }
  return true;
}

bool CRDWindowController::picture_tool_step() {
  if (Selected_Control_Tool == 8) {
    if (!Browse_User_Image_Manually()) return false;
  } else if (Selected_Control_Tool == 9) {
    if (Open_Image_Library_Window(QStringLiteral("C")) != 1) return false;
    Library_Selected_Image = lib_window_sel_file;
    Show_NSLog_Message(Library_Selected_Image);
  } else {
    return false;
  }
  // A picture the design's file could not open again with the others is not placed.
  if (const QString refusal = Design_Refuses_Picture_File(Library_Selected_Image);
      !refusal.isEmpty()) {
    Show_MessageBox(QStringLiteral("The picture was not placed. ") + refusal);
    // The panel shows the selected object's picture again, not the one refused.
    Library_Selected_Image.clear();
    const CRDGraphicView* canvas = current_canvas();
    if (const auto shown = canvas ? canvas->Selected_Graphic() : nullptr;
        shown && shown->className() == QLatin1String("CRDImage"))
      picture_panel->Load(*shown);
    return false;
  }
  return true;
}

// ---- Design-time binding -------------------------------------------------------------------

namespace {
void refill_quietly(QComboBox* combo, const QStringList& items) {
  const QSignalBlocker quiet(combo);
  combo->setCurrentIndex(-1);
  combo->clear();
  combo->addItems(items);
  combo->setCurrentIndex(-1);
}

// The combo's items replaced by a list made from them, the selection kept where it can be.
void replace_items(QComboBox* combo, const QStringList& items) {
  QStringList current;
  for (int i = 0; i < combo->count(); ++i) current << combo->itemText(i);
  if (current == items) return;
  const QString chosen = combo->currentText();
  {
    const QSignalBlocker quiet(combo);
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(items.indexOf(chosen));
  }
  // A choice that went away reports the change.
  if (combo->currentText() != chosen) emit combo->currentIndexChanged(combo->currentIndex());
}
}  // namespace

void CRDWindowController::Fill_Data_Set_File_Name_In_Combo(QComboBox* combo) {
  refill_quietly(combo, Get_datasheet_File_Name_Array());
}

void CRDWindowController::Fill_Excel_Col_Name_In_Combo(QComboBox* combo) {
  refill_quietly(combo, Data_From_Excel::defaultInstance()->Column_Titles());
}

QString CRDWindowController::Get_First_Value_Of_Dataset(const QString& name) const {
  return ::Get_First_Value_Of_Dataset(name);
}

QString CRDWindowController::Get_First_Value_Of_Excel_Binding(int column) const {
  return Data_From_Excel::defaultInstance()->Get_First_Value_Of_Excel_Binding(column);
}

void CRDWindowController::Add_Excel_Col_Name_In_Combo(QComboBox* combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  replace_items(combo, With_Excel_Choice(items));
}

void CRDWindowController::Remove_Excel_Col_Name_In_Combo(QComboBox* combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  replace_items(combo, Without_Excel_Choice(items));
}

void CRDWindowController::View_batch_Series_Button() {
  const QString choice = data_source_panel->Data_source_type->currentText();
  if (choice == Source_Manual_Item || choice.isEmpty()) return;
  if (choice == Source_Series_Item) {
    View_Data_Series::View_Series(data_source_panel->Batch_Series->currentText());
    return;
  }
  if (const auto& open = Data_Table_Window_Opener())
    open();
  else
    Show_MessageBox(QStringLiteral("The spreadsheet table cannot be shown in this version."));
}

void CRDWindowController::Data_Source_Help_Button() {
  Cutom_Msg_Title = Data_Source_Help_Title;
  Cutom_Msg_Val = Data_Source_Help_Text;
  Long_SMS_Dlg* dialog = Long_SMS_Dlg::defaultInstance();
  dialog->title_val = QString();
  dialog->Open_Long_sms_Dialog();
}
