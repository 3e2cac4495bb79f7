// The card wizard, the help, share, review and promotion windows and the link actions of
// the design window.

#include "window/ui/CRDWindowController.h"

#include "library/Support_Links.h"
#include "library/ui/Card_Wizard.h"
#include "library/ui/Support_Windows.h"
#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "platform/Platform.h"

#include <QCoreApplication>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QToolBar>
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

  Card_Wizard_menu_item = File_menu()->addAction(QStringLiteral("Card Wizard..."));
  Card_Wizard_menu_item->setObjectName(QStringLiteral("Card_Wizard_menu_item"));
  connect(Card_Wizard_menu_item, &QAction::triggered, this, [this] { Open_Card_Wizard(); });

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

int CRDWindowController::Open_Card_Wizard() {
  Card_Wizard* wizard = Card_Wizard::defaultInstance();
  const QPointer<CRDWindowController> self(this);
  wizard->hooks.resize_canvas = [self](QSizeF points) {
    if (!self) return;
    self->Set_Document_Size(points);
    self->SetDocumentCanvasSize(points);
  };
  const int code = wizard->Open_Wnd();
  if (code == 1) Refresh_Canvas();
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

void CRDWindowController::Open_Support_Mail() { Open_Support_Link(Support_Link::Support_Mail); }
void CRDWindowController::Open_Reseller_Mail() { Open_Support_Link(Support_Link::Reseller_Mail); }
void CRDWindowController::Open_Website_1() { Open_Support_Link(Support_Link::Website_1); }
void CRDWindowController::Open_Website_2() { Open_Support_Link(Support_Link::Website_2); }
void CRDWindowController::Open_Website_3() { Open_Support_Link(Support_Link::Website_3); }
void CRDWindowController::Open_Google_Plus() { Open_Support_Link(Support_Link::Google_Plus); }
void CRDWindowController::Open_FaceBook() { Open_Support_Link(Support_Link::FaceBook); }
void CRDWindowController::Open_Twitter() { Open_Support_Link(Support_Link::Twitter); }
void CRDWindowController::Open_FB_Like() { Open_Support_Link(Support_Link::FB_Like); }
void CRDWindowController::Open_Share_It_Dl() { Open_Support_Link(Support_Link::Social_Comments); }
