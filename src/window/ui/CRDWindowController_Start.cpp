// The design window's start: the start screen and invitation wizard, the invitation's
// answers on the card, the greeting picker of the text panel, the support mail.

#include "window/ui/CRDWindowController.h"

#include "library/Invitation_Fill.h"
#include "library/Support_Links.h"
#include "library/ui/Insert_Template.h"
#include "library/ui/Invitation_Wizard.h"
#include "model/CRDText.h"
#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "model/Undo_Manager.h"
#include "platform/Platform.h"
#include "canvas/Card_Base.h"
#include "window/ui/Card_Panel.h"
#include "window/ui/Text_Panel.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

void CRDWindowController::New_Project() {
  new_design();
  Open_Start_Window();
  Not_Draw_Only_Prop_Change = false;
}

void CRDWindowController::Open_Start_Window() {
  Front_back_label->hide();  // nothing to name while the start screen is up
  Invitation_Wizard* wizard = Invitation_Wizard::defaultInstance();
  wizard->hooks.Open_Log_File = [this] { return Open_Log_File(); };
  wizard->hooks.Set_Card_Size = [this](QSizeF size_mm) {
    Set_Card_Size_In_Control(size_mm);
    const QSizeF points(MM_to_Points_Convert(float(size_mm.width())),
                        MM_to_Points_Convert(float(size_mm.height())));
    Set_Document_Size(points);
    SetDocumentCanvasSize(points);
  };
  const int answer = wizard->Open_Wnd();
  if (answer != 1) {
    // The wizard's Exit has ended the program already; a failed opening was explained.
    platform::Terminate(answer == Invitation_Wizard::Open_Failed ? 1 : 0);
    return;
  }
  Front_back_label->show();
  if (Start_Card_Option != QLatin1String("W")) return;  // a loaded design stays as it is
  Undo_Manager* undo = document_ ? document_->undoManager() : nullptr;
  if (undo) undo->disableUndoRegistration();
  try {
    Update_Card_Graphics();
    myTargetView->show();
    sett_tab->show();
    if (QAbstractButton* shape = card_panel->card_shape_group->button(Card_Shape))
      shape->setChecked(true);
    Fill_Party_Invidation_Details();
    Show_RHS_Properties(nullptr);
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromUtf8(e.what()));
  }
  if (undo) undo->enableUndoRegistration();
  Undo_Redo_Button_state();
}

void CRDWindowController::Fill_Party_Invidation_Details() {
  Selected_Control_Tool = 2;  // the canvas makes texts
  const QList<Invitation_Text> texts =
      Invitation_Texts(Invitation_Answers::From_Globals(), float(Front_card_Prop.Card_Size.width()));
  for (const Invitation_Text& text : texts)
    _graphicView->createGraphicOfClass(QStringLiteral("CRDText"), nullptr, true, text.rect,
                                       QStringLiteral("F"), text.text, text.control_ID);
  set_Front_BG_Image(Invite_BG_IMG);
}

void CRDWindowController::Insert_Template_Button() {
  Insert_Template* picker = Insert_Template::defaultInstance();
  picker->title_or_msg = text_panel->insert_template_btn->text() == QLatin1String("Use Template Title")
                             ? QStringLiteral("T")
                             : QStringLiteral("M");
  if (picker->Open_Template_Dialog() != 1) return;
  text_panel->Set_Editor_Text(Template_Msg_Val);
  text_panel->Update_Text_Graphics();
}

