// The design window's barcode command: a double click on a barcode or the Barcode tab's
// button runs the barcode designer on the selected barcode; after OK the selected graphics
// take its settings and the selected barcodes its picture, in a frame that holds it. A new
// barcode shows the symbol of its own settings from the start.

#include "window/ui/CRDWindowController.h"

#include "barcode/Barcode_Settings_Copy.h"
#include "barcode/ui/Barcode_Gen_Window.h"
#include "canvas/ui/CRDGraphicView.h"
#include "model/CRDBarcode.h"
#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "window/Panel_Writeback.h"
#include "window/ui/Long_SMS_Dlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>

void CRDWindowController::build_barcode_tab() {
  auto* layout = qobject_cast<QVBoxLayout*>(barcode_tab->layout());
  if (!layout) layout = new QVBoxLayout(barcode_tab);
  auto* note = new QLabel(
      QStringLiteral("The symbology, value, texts, sizes and colours of the barcode are set in "
                     "the barcode designer."),
      barcode_tab);
  note->setWordWrap(true);
  layout->addWidget(note);
  View_barcode_prop_btn = new QPushButton(QStringLiteral("Barcode Properties..."), barcode_tab);
  View_barcode_prop_btn->setObjectName(QStringLiteral("View_barcode_prop_btn"));
  connect(View_barcode_prop_btn, &QPushButton::clicked, this,
          &CRDWindowController::View_barcode_prop_Button);
  layout->addWidget(View_barcode_prop_btn);
  layout->addStretch(1);

  // The designer's help texts go to the long-message dialog.
  Barcode_Gen_Window::hooks().show_help = [](const QString& title, const QString& text) {
    Cutom_Msg_Title = title;
    Cutom_Msg_Val = text;
    Long_SMS_Dlg* dialog = Long_SMS_Dlg::defaultInstance();
    dialog->title_val = QString();
    dialog->apply_chk_show = false;
    dialog->Open_Long_sms_Dialog();
  };
}

void CRDWindowController::View_barcode_prop_Button() { Open_Barcode_Window(); }

void CRDWindowController::Open_Barcode_Window() {
  try {
    CRDGraphicView* canvas = current_canvas();
    const std::shared_ptr<CRDGraphic> graphic = canvas ? canvas->Selected_Graphic() : nullptr;
    if (!graphic) return;
    const std::shared_ptr<CRDGraphic> answer = Barcode_Gen_Window::defaultInstance()->Open_Wnd(graphic);
    if (answer && !Barcode_output_image.get().isNull()) Update_Barcode_Graphics(answer);
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
  }
}

void CRDWindowController::Update_Barcode_Graphics(const std::shared_ptr<CRDGraphic>& source) {
  CRDGraphicView* canvas = current_canvas();
  if (!canvas || !source) return;
  const Picture picture = Barcode_output_image;
  const int print = print_object_chk && print_object_chk->isChecked() ? 1 : 0;
  Write_Selected_Graphics(canvas->selectedGraphics(), [&](CRDGraphic& graphic) {
    graphic.print_object = print;
    Copy_Barcode_Settings(*source, graphic);
    // Every selected barcode shows the picture its new settings make.
    if (graphic.className() == QLatin1String("CRDBarcode") && !picture.isNull()) {
      graphic.Set_Barcode_image(picture);
      // The frame holds the new symbol, so that no part of it lies outside the handles.
      if (auto* barcode = dynamic_cast<CRDBarcode*>(&graphic)) barcode->Hold_Barcode_Picture();
    }
  });
}

Picture CRDWindowController::New_Barcode_Picture(const std::shared_ptr<CRDGraphic>& barcode) {
  if (!barcode) return {};
  try {
    // A designer of its own, loaded from the object alone: the dialog's state stays, and
    // so does a fill in progress (loading clears Not_Draw_Only_Prop_Change).
    Barcode_Designer designer;
    {
      const Prop_Change_Guard keep;
      designer.Set_Barcode_Prop_To_Control(barcode);
    }
    return designer.Get_Image_From_Val(designer.Current_Value(), barcode->header_val,
                                       barcode->footer_val);
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
    return {};
  }
}
