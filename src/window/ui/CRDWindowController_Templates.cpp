// The card wizard, the help, share, review and promotion windows and the link actions of
// the design window.

#include "window/ui/CRDWindowController.h"

#include "library/Support_Links.h"
#include "library/Templates.h"
#include "library/ui/Card_Size_Chooser.h"
#include "library/ui/Card_Wizard.h"
#include "library/ui/Template_Wizard.h"
#include "output/ui/Export_Window.h"
#include "library/ui/Support_Windows.h"
#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "platform/Platform.h"
#include "platform/Whole_File.h"
#include "window/Card_Side_Settings.h"

#include <QCoreApplication>

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QToolBar>
#include <QTableView>
#include <QToolButton>

void CRDWindowController::add_template_commands(QToolBar* toolbar) {
  toolbar->addSeparator();
  auto add = [&](QToolButton*& button, const char* name, const char* label, const char* tip,
                 void (CRDWindowController::*slot)()) {
    button = new QToolButton(toolbar);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(QString::fromLatin1(label));
    button->setToolTip(QString::fromLatin1(tip));
    connect(button, &QToolButton::clicked, this, slot);
    toolbar->addWidget(button);
  };
  add(Help_btn, "Help_btn", "Help", "Help, support and the user guide",
      &CRDWindowController::Help_Button);
  add(Share_btn, "Share_btn", "Share", "Tell others about this program",
      &CRDWindowController::Share_It_Button_Clicked);
  add(Export_Template_btn, "Export_Template_btn", "Export as Template",
      "Keep this design as a template of your own",
      &CRDWindowController::Export_As_Template_Clicked);
}

void CRDWindowController::build_template_menu_items() {
  // After New: the two other ways to begin a card. After Save As: Export as Template.
  QMenu* file = File_menu();
  auto insert_after = [&](const char* anchor, const char* name, const QString& label,
                          auto run) {
    const QList<QAction*> items = file->actions();
    QAction* before = nullptr;
    for (int i = 0; i < items.size(); ++i)
      if (items[i]->objectName() == QLatin1String(anchor)) before = items.value(i + 1);
    auto* action = new QAction(label, file);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, run);
    file->insertAction(before, action);
    return action;
  };
  Card_Wizard_menu_item = insert_after("New_menu_item", "Card_Wizard_menu_item",
                                       QStringLiteral("Card Wizard..."),
                                       [this] { Open_Card_Wizard(); });
  New_Template_menu_item = insert_after("New_menu_item", "New_Template_menu_item",
                                        QStringLiteral("New from Template..."),
                                        [this] { New_From_Template(); });
  Export_Template_menu_item = insert_after("SaveAs_menu_item", "Export_Template_menu_item",
                                           QStringLiteral("Export as Template..."),
                                           [this] { Export_As_Template_Clicked(); });

  // The Help menu, last in the menu bar.
  auto* help = new QMenu(QStringLiteral("&Help"), menuBar());
  help->setObjectName(QStringLiteral("Help_menu"));
  menuBar()->addMenu(help);
  auto item = [&](const char* name, const QString& label, auto slot) {
    QAction* action = help->addAction(label);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, slot);
    return action;
  };
  Help_menu_item = item("Help_menu_item", QStringLiteral("Help and Support..."),
                        [this] { Help_Button(); });
  Help_menu_item->setShortcut(QKeySequence::HelpContents);
  help->addSeparator();
  item("Support_Mail_item", QStringLiteral("E-mail Support"), [this] { Open_Support_Mail(); });
  item("Reseller_Mail_item", QStringLiteral("Become a Reseller"), [this] { Open_Reseller_Mail(); });
  item("Website_1_item", QStringLiteral("Our Web Site"), [this] { Open_Website_1(); });
  item("Website_2_item", QStringLiteral("Card Ideas Online"), [this] { Open_Website_2(); });
  item("Website_3_item", QStringLiteral("More Apps"), [this] { Open_Website_3(); });
  help->addSeparator();
  item("Share_item", QStringLiteral("Share..."), [this] { Open_Share_Window(); });
  help->addSeparator();
  const QString app = QCoreApplication::applicationName();
  for (const char* code : {"S", "R", "B"}) {
    const QString software_type = QString::fromLatin1(code);
    if (const Promoted_Product* product = Find_Promoted_Product(software_type, app))
      item("Promotion_item", product->name + QStringLiteral("..."),
           [this, software_type] { Open_Promotion(software_type); });
  }
}

Wizard_Hooks CRDWindowController::wizard_hooks() {
  const QPointer<CRDWindowController> self(this);
  Wizard_Hooks hooks;
  hooks.resize_canvas = [self](QSizeF points) {
    if (!self) return;
    self->Set_Document_Size(points);
    self->SetDocumentCanvasSize(points);
  };
  // The general profile dialog; its answer is not used here.
  hooks.open_general_profile = [self] {
    if (self) self->Open_User_Profile_Window(false, QString());
  };
  return hooks;
}

int CRDWindowController::New_From_Template() {
  Template_Wizard* library = Template_Wizard::defaultInstance();
  library->hooks = wizard_hooks();
  if (library->Open_Template_Window() != 1) return 0;
  const QString chosen = Selected_Template_Path;
  if (Show_YES_NO_MessageBox(QStringLiteral("Do you want to save changes before opening new document?")))
    Save_project_file(false, true);
  // Template mode: the design is loaded untitled; its next Save asks for a name.
  const int loaded = Read_and_load_design_Log(chosen, QStringLiteral("T"));
  Undo_Redo_Button_state();
  return loaded;
}

void CRDWindowController::Export_As_Template_Clicked() {
  if (!export_template_window_) export_template_window_ = new Export_Template(this);
  if (export_template_window_->Ask_Name(QString(), QString()) != 1) return;
  QString failure;
  if (!Write_Template(User_Templates_Folder() + QLatin1Char('/') + export_template_name,
                      &failure)) {
    Show_MessageBox(QStringLiteral("Template could not be exported: %1").arg(failure));
    return;
  }
  Show_MessageBox(QStringLiteral("Template exported successfully."));
}

bool CRDWindowController::Write_Template(const QString& base, QString* failure) {
  const QString design_path = base + QLatin1Char('.') + design_file_EXT;
  const QString picture_path = base + QStringLiteral(".png");
  const QString folder = QFileInfo(base).absolutePath();
  // The user templates' folder is the program's own: made when missing, refused when it is
  // a link. (The build writes the built-in templates elsewhere.)
  if (QString why; Lies_Below(folder, Resource_Path)
                       ? !Make_Own_Folders(Resource_Path, folder, &why)
                       : !QDir().mkpath(folder)) {
    *failure = why.isEmpty() ? QStringLiteral("the folder %1 cannot be made.").arg(folder)
                             : why + QLatin1Char('.');
    return false;
  }
  // Both files are written whole over any old ones: nothing is deleted first, so a failed
  // write leaves the old template as it was. Both are the program's own files: a link
  // planted at either name is replaced, never written through.
  const QString own_name = Project_File_Name;
  Project_File_Name = design_path;
  QString reason;
  const bool design_written = Save_project_file(false, false, &reason);
  Project_File_Name = own_name;
  Set_Log_Name_In_Title();
  if (!design_written) {
    *failure = reason.isEmpty() ? design_path : reason;
    return false;
  }
  // The preview: both sides combined into one picture.
  if (!ExportWindow) ExportWindow = new Export_Window(this);
  export_card_side.set(QStringLiteral("BOTH"));
  ExportWindow->export_combined_image_chk->setChecked(true);
  if (!Export_Single_File(picture_path, false)) {
    *failure = QStringLiteral("the preview %1 was not written.").arg(picture_path);
    return false;
  }
  return true;
}

int CRDWindowController::Open_Card_Wizard() {
  Card_Wizard* wizard = Card_Wizard::defaultInstance();
  wizard->hooks = wizard_hooks();
  const int code = wizard->Open_Wnd();
  if (code != 1) return code;
  // The outline the wizard shows is the card's, clicked or not.
  if (const int shape = wizard->matrix_card_shape->checkedId(); shape >= 0) Card_Shape = shape;
  // The wizard's choices as the card panel lists them, and the preset that has the card's
  // size.
  const Card_Size_Chooser& chooser = *wizard->chooser;
  Card_Wizard_Choice choice;
  choice.card_shape = Card_Shape;
  choice.category = Category_ComboBox->itemText(chooser.Category_ComboBox->currentIndex());
  choice.preset = Preset_ComboBox->itemText(chooser.Preset_ComboBox->currentIndex());
  const QModelIndexList rows = chooser.ColList->selectionModel()->selectedRows();
  const bool pvc = chooser.Category_ComboBox->currentIndex() == 0;
  const QString orientation =
      chooser.Preset_ComboBox->currentIndex() == 1 ? QStringLiteral("V") : QStringLiteral("H");
  choice.size_row = Preset_Row_For_Size(choice.category, orientation, chooser.Size_mm(),
                                        rows.isEmpty() ? -1 : rows.first().row());
  choice.size_name = (pvc ? PVC_Card_Names() : Paper_Card_Names()).value(choice.size_row);
  choice.bounds = Front_Canvas_Bounds();
  for (Card_Property* side : {&Front_card_Prop, &Back_card_Prop})
    Apply_Card_Wizard_Choice(choice, *side);
  // The card panel shows the card as set up.
  Show_RHS_Properties(nullptr);
  Refresh_Canvas();
  return code;
}

void CRDWindowController::Help_Button() {
  try {
    if (!help_window_) help_window_ = new Help_Support(this);
    platform::Run_Modal(help_window_);
    help_window_->hide();
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromUtf8(e.what()));
  }
}

void CRDWindowController::Share_It_Button_Clicked() { Open_Share_It_Dl(); }

void CRDWindowController::Open_Share_Window() {
  if (!share_window_) share_window_ = new Share_It_Dlg(this);
  platform::Run_Modal(share_window_);
  share_window_->hide();
}

void CRDWindowController::Show_Review_Window() {
  Review_Form::defaultInstance()->Open_Review_Form_Window();
}

void CRDWindowController::Open_Promotion(const QString& software_type) {
  Promotion_Form* form = Promotion_Form::defaultInstance();
  form->software_type = software_type;
  form->Open_Promotion_Window();
}

void CRDWindowController::Open_Support_Mail() { ::Open_Support_Mail(); }
void CRDWindowController::Open_Reseller_Mail() { Open_Support_Link(Support_Link::Reseller_Mail); }
void CRDWindowController::Open_Website_1() { Open_Support_Link(Support_Link::Website_1); }
void CRDWindowController::Open_Website_2() { Open_Support_Link(Support_Link::Website_2); }
void CRDWindowController::Open_Website_3() { Open_Support_Link(Support_Link::Website_3); }
void CRDWindowController::Open_Google_Plus() { Open_Support_Link(Support_Link::Google_Plus); }
void CRDWindowController::Open_FaceBook() { Open_Support_Link(Support_Link::FaceBook); }
void CRDWindowController::Open_Twitter() { Open_Support_Link(Support_Link::Twitter); }
void CRDWindowController::Open_FB_Like() { Open_Support_Link(Support_Link::FB_Like); }
void CRDWindowController::Open_Share_It_Dl() { Open_Support_Link(Support_Link::Social_Comments); }
