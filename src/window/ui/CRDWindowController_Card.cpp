// The design window's card side: the card panel and its wiring, the standard edit
// buttons and commands, lock and unlock, the three sides, the design reset and the
// picture library.

#include "canvas/Card_Base.h"
#include "library/ui/Image_Library.h"
#include "model/Common_Functions.h"
#include "model/Graphic_Archive.h"
#include "model/Shared_Design_State.h"
#include "window/Card_Side_Settings.h"
#include "window/Panel_Writeback.h"
#include "window/ui/CRDWindowController.h"
#include "window/ui/Card_Panel.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMimeData>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

void CRDWindowController::build_card_side() {
  card_panel = new Card_Panel(*this);
  for (User_Profile_Class* profile : {&Front_user_profile, &Back_user_profile, &TEMP_user_profile})
    profile->Reset_All_Values();

  // The card's combo boxes report to the one dispatcher (each panel connects its own).
  for (QComboBox* combo : {card_panel->Card_image_layout, card_panel->Card_border_style,
                           card_panel->Card_hatch_style, Sides_ComboBox, Preset_ComboBox,
                           Category_ComboBox})
    connect(combo, &QComboBox::currentIndexChanged, this,
            [this, combo] { comboBoxSelectionDidChange(combo); });

  // The object pages share the print check box; it lives on the arrangement page that
  // every unlocked object shows.
  print_object_chk = new QCheckBox(QStringLiteral("Leave out of card pictures"), aligmnt_tab);
  print_object_chk->setObjectName(QStringLiteral("print_object_chk"));
  auto* arrange = aligmnt_tab->layout() ? aligmnt_tab->layout() : new QVBoxLayout(aligmnt_tab);
  arrange->addWidget(print_object_chk);
  connect(print_object_chk, &QCheckBox::clicked, this,
          &CRDWindowController::Print_object_chk_changed);

  // The one page of a locked object says why there is nothing to change.
  auto* locked = Lock_tab->layout() ? Lock_tab->layout() : new QVBoxLayout(Lock_tab);
  auto* why = new QLabel(QStringLiteral("This object is locked: it cannot be moved, resized or "
                                        "changed. Press Unlock in the toolbar to change it."),
                         Lock_tab);
  why->setObjectName(QStringLiteral("Lock_hint_label"));
  why->setWordWrap(true);
  locked->addWidget(why);
  if (auto* box = qobject_cast<QBoxLayout*>(locked)) box->addStretch(1);

  // Toolbar: the standard buttons' commands, then the card and side buttons.
  const std::pair<QToolButton*, void (CRDWindowController::*)()> commands[] = {
      {Undo_btn, &CRDWindowController::Undo_Clicked},
      {Redo_btn, &CRDWindowController::Redo_Clicked},
      {Cut_btn, &CRDWindowController::Cut_Clicked},
      {Copy_btn, &CRDWindowController::Copy_Clicked},
      {Paste_btn, &CRDWindowController::Paste_Clicked},
      {Delete_btn, &CRDWindowController::Delete_Clicked},
      {Begin_Front_btn, &CRDWindowController::Begin_Front_Clicked},
      {Send_Back_btn, &CRDWindowController::Send_Back_Clicked},
      {Lock_btn, &CRDWindowController::Lock_Clicked},
      {Unlock_btn, &CRDWindowController::Unlock_Clicked}};
  for (const auto& [button, action] : commands) connect(button, &QToolButton::clicked, this, action);

  auto* toolbar = findChild<QToolBar*>(QStringLiteral("Main_Toolbar"));
  // The side buttons stand before the label naming the side shown.
  QAction* label = nullptr;
  for (QAction* action : toolbar->actions())
    if (toolbar->widgetForAction(action) == Front_back_label) label = action;
  auto add = [&](QToolButton*& button, const char* name, const char* text,
                 void (CRDWindowController::*action)()) {
    button = new QToolButton(toolbar);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(QString::fromLatin1(text));
    connect(button, &QToolButton::clicked, this, action);
    toolbar->insertWidget(label, button);
  };
  // New leads the toolbar.
  New_btn = new QToolButton(toolbar);
  New_btn->setObjectName(QStringLiteral("New_btn"));
  New_btn->setText(QStringLiteral("New"));
  connect(New_btn, &QToolButton::clicked, this, &CRDWindowController::New_Btn_Clicked);
  toolbar->insertWidget(toolbar->actions().value(0), New_btn);
  add(Front_Card_Btn, "Front_Card_Btn", "Front Side", &CRDWindowController::Front_Card_Btn_Clicked);
  add(Back_Side_btn, "Back_Side_btn", "Back Side", &CRDWindowController::Back_Card_Btn_Clicked);
  add(Temp_Card_Btn, "Temp_Card_Btn", "Preview", &CRDWindowController::Temp_Card_Btn_Clicked);
  toolbar->insertSeparator(label);
  add(Card_Prop_btn, "Card_Prop_btn", "Card", &CRDWindowController::Card_Prop_Clicked);
  add(Card_Bckgrnd_btn, "Card_Bckgrnd_btn", "Background",
      &CRDWindowController::Card_Bckgrnd_Clicked);

  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
          [this] {
            // Paste follows the clipboard only while an unlocked object or the card shows.
            if (Cut_btn->isEnabled() || Last_Selected_Graphic.expired()) Set_Paste_Button_Status();
          });
}

QFont CRDWindowController::All_Text_font() const { return card_panel->All_Text_font(); }
CRDColor CRDWindowController::All_Text_clr() const { return card_panel->All_Text_clr(); }
void CRDWindowController::Update_Card_Graphics() { card_panel->Update_Card_Graphics(); }
void CRDWindowController::Update_All_Card_Content() { card_panel->Update_All_Card_Content(); }
void CRDWindowController::Show_Card_Image_Path(const QString& path) {
  card_panel->Show_Card_Image_Path(path);
}

// ---- Standard buttons ----------------------------------------------------------------------

void CRDWindowController::Enable_Standard_Button_For_Control() {
  Undo_Redo_Button_state();
  for (QToolButton* b : {Cut_btn, Copy_btn, Delete_btn, Begin_Front_btn, Send_Back_btn, Lock_btn})
    b->setEnabled(true);
  Set_Paste_Button_Status();
  Unlock_btn->setEnabled(false);
}

void CRDWindowController::Disable_Standard_Button_For_Card() {
  for (QToolButton* b :
       {Cut_btn, Copy_btn, Delete_btn, Begin_Front_btn, Send_Back_btn, Lock_btn, Unlock_btn})
    b->setEnabled(false);
  Set_Paste_Button_Status();
}

void CRDWindowController::Disable_Standard_Button_For_Lock() {
  for (QToolButton* b : {Cut_btn, Copy_btn, Paste_btn, Delete_btn, Begin_Front_btn,
                         Send_Back_btn, Lock_btn})
    b->setEnabled(false);
  Unlock_btn->setEnabled(true);
}

void CRDWindowController::Set_Paste_Button_Status() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  Paste_btn->setEnabled(data && data->hasFormat(CRDGraphicViewPasteboardMimeType));
}

void CRDWindowController::Undo_Redo_Button_state() {
  const CRDGraphicView* shown = shown_canvas();
  Undo_Manager* undo = document_ && shown ? document_->undoManager(shown->side()) : nullptr;
  Undo_btn->setEnabled(undo && undo->canUndo());
  Redo_btn->setEnabled(undo && undo->canRedo());
}

// ---- Edit commands -------------------------------------------------------------------------

void CRDWindowController::Run_On_Current_Canvas(void (CRDGraphicView::*command)()) {
  if (CRDGraphicView* canvas = current_canvas(); canvas && canvas->isBound()) (canvas->*command)();
}

// Undo and Redo act on the side the user sees.
void CRDWindowController::Undo_Clicked() {
  if (CRDGraphicView* canvas = shown_canvas(); canvas && canvas->isBound()) canvas->undo();
}
void CRDWindowController::Redo_Clicked() {
  if (CRDGraphicView* canvas = shown_canvas(); canvas && canvas->isBound()) canvas->redo();
}
void CRDWindowController::Cut_Clicked() { Run_On_Current_Canvas(&CRDGraphicView::cut); }
void CRDWindowController::Copy_Clicked() { Run_On_Current_Canvas(&CRDGraphicView::copy); }
void CRDWindowController::Paste_Clicked() { Run_On_Current_Canvas(&CRDGraphicView::paste); }
void CRDWindowController::Delete_Clicked() { Run_On_Current_Canvas(&CRDGraphicView::delete_); }
void CRDWindowController::Begin_Front_Clicked() {
  Run_On_Current_Canvas(&CRDGraphicView::bringToFront);
}
void CRDWindowController::Send_Back_Clicked() { Run_On_Current_Canvas(&CRDGraphicView::sendToBack); }

void CRDWindowController::Lock_Clicked() { Set_Lock_State(true); }
void CRDWindowController::Unlock_Clicked() { Set_Lock_State(false); }

void CRDWindowController::Set_Lock_State(bool locked) {
  CRDGraphicView* canvas = current_canvas();
  const Graphic_List selected = canvas ? canvas->selectedGraphics() : Graphic_List();
  if (selected.empty()) {
    // Nothing to act on: the buttons stay as they were.
    Show_MessageBox(locked ? QStringLiteral("Please select a control to Lock.")
                           : QStringLiteral("Please select a control to Unlock."));
    return;
  }
  if (locked)
    Disable_Standard_Button_For_Lock();
  else
    Enable_Standard_Button_For_Unlock();
  for (const auto& graphic : selected) {
    graphic->ctrl_is_locked = locked;
    canvas->startEditingGraphic(graphic);
  }
  const Index_Set indexes = canvas->selectionIndexes();
  Show_RHS_Properties(nullptr);
  canvas->changeSelectionIndexes(indexes);
  Refresh_Canvas();
  Show_RHS_Properties(selected.back());
}

void CRDWindowController::Card_Prop_Clicked() { Show_RHS_Properties(nullptr); }

void CRDWindowController::Card_Bckgrnd_Clicked() {
  Show_RHS_Properties(nullptr);
  if (Open_Image_Library_Window(QStringLiteral("B")) != 1) return;
  card_panel->Card_fill_chk->setChecked(true);
  card_panel->card_prop_set(QStringLiteral("I"));
  if (Card_Front_Or_Back != 0)
    set_Back_BG_Image(lib_window_sel_file);
  else
    set_Front_BG_Image(lib_window_sel_file);
  Update_Card_Graphics();
  sett_tab->setCurrentWidget(card_bkgd_tab);
}

void CRDWindowController::Print_object_chk_changed() {
  if (CRDGraphicView* canvas = current_canvas())
    canvas->print_contol_or_not(print_object_chk->isChecked() ? 1 : 0);
}

// ---- Sides ---------------------------------------------------------------------------------

void CRDWindowController::Select_front_side() {
  Front_back_label->setText(QStringLiteral("Front"));
  Card_Front_Or_Back = 0;
  changeViewController(0);
  Show_RHS_Properties(nullptr);
}

void CRDWindowController::Select_back_side() {
  Front_back_label->setText(QStringLiteral("Back"));
  Card_Front_Or_Back = 1;
  changeViewController(1);
  Show_RHS_Properties(nullptr);
}

void CRDWindowController::Select_temp_design_side() {
  Front_back_label->setText(QStringLiteral("TEMP"));
  changeViewController(2);
  Show_RHS_Properties(nullptr);
}

void CRDWindowController::Temp_Card_Btn_Clicked() {
  Select_temp_design_side();
  Temp_Design_Control_Assign();
}

void CRDWindowController::Temp_Design_Control_Assign() {
  if (!document_) return;
  _graphicView_TEMP->delete_all_control();
  // The side's own objects, shared, in their order.
  const Graphic_List side =
      Card_Front_Or_Back != 0 ? Get_Back_Controls_Array() : Get_Front_Controls_Array();
  QList<int> indexes;
  for (int i = 0; i < int(side.size()); ++i) indexes << i;
  document_->insertGraphics(CRDDocument::Side::Temp, side, indexes);
  // Filling the preview is no edit: its history starts here.
  document_->Forget_Undo_History(CRDDocument::Side::Temp);
  Undo_Redo_Button_state();
  _graphicView_TEMP->update();
}

// ---- Design reset --------------------------------------------------------------------------

void CRDWindowController::New_Project_Setting_Reset() {
  const Prop_Change_Guard resetting;
  // Nothing of ours is left to paste after a reset; other programs' data stays.
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (const QMimeData* data = clipboard->mimeData();
      data && data->hasFormat(CRDGraphicViewPasteboardMimeType))
    clipboard->clear();
  Check_Path_And_Create_Files();
  _grid->setAlwaysShown(false);
  if (document_) document_->Clear_All_Undo_Redo();
  last_ctrl_X = 10.0f;
  last_ctrl_Y = 10.0f;
  Fill_User_Profile = false;
  Front_user_profile.Reset_All_Values();
  Back_user_profile.Reset_All_Values();
  Project_File_Name = QString();
  card_panel->Reset_All_Text();
  Reset_Card_Property(Front_card_Prop, All_Text_font(), All_Text_clr());
  Reset_Card_Property(Back_card_Prop, All_Text_font(), All_Text_clr());
  Select_front_side();
  card_panel->card_prop_set(QStringLiteral("S"));
  setWindowTitle(App_Name);  // no file name
  if (document_) {
    _graphicView->delete_all_control();
    _graphicView_BACK->delete_all_control();
    // Deleting registered undo; a new design starts without history on any side.
    document_->Forget_Undo_History();
  }
  Undo_Redo_Button_state();
}

void CRDWindowController::new_design() {
  {
    const Prop_Change_Guard resetting;  // the flag is off afterwards, whatever happens
    try {
      New_Project_Setting_Reset();
    } catch (const std::exception& e) {
      Show_NSLog_Message(QString::fromUtf8(e.what()));
    }
  }
  Not_Draw_Only_Prop_Change = false;
  Show_RHS_Properties(nullptr);
  Refresh_Canvas();
}

// ---- Picture library -----------------------------------------------------------------------

int CRDWindowController::Open_Image_Library_Window(const QString& mode) {
  Image_Library* library = Image_Library::defaultInstance();
  library->control_or_BG = mode;
  const int code = library->Open_Library_Window();
  if (code == 1) lib_window_sel_file = library->selected_image;
  return code;
}

// ---- Combo boxes ---------------------------------------------------------------------------

void CRDWindowController::Select_Combo_Item(QComboBox* combo, int index) {
  if (combo->currentIndex() == index)
    emit combo->currentIndexChanged(index);
  else
    combo->setCurrentIndex(index);
}

void CRDWindowController::comboBoxSelectionDidChange(QComboBox* combo) {
  if (combo == card_panel->Card_image_layout || combo == card_panel->Card_border_style ||
      combo == card_panel->Card_hatch_style) {
    Update_Card_Graphics();
  } else if (combo == Sides_ComboBox) {
    const bool two = Sides_ComboBox->currentIndex() == 0;
    CARD_SIDE_STR = two ? QStringLiteral("2") : QStringLiteral("1");
    Back_Side_btn->setEnabled(two);
  } else if (combo == Preset_ComboBox) {
    const int category = Category_ComboBox->currentIndex();
    if (category != -1) Select_Combo_Item(Category_ComboBox, category);
  } else if (combo == Category_ComboBox) {
    Fill_Preset_List();
  } else {
    Object_Combo_Changed(combo);
  }
}
