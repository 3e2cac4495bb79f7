#include "library/ui/Support_Windows.h"

#include "library/Support_Links.h"
#include "model/Common_Functions.h"
#include "model/Picture.h"
#include "model/Shared_Design_State.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QColor dialog_background(241, 244, 250);

QPushButton* make_button(QWidget* parent, const char* name, const QString& title) {
  auto* button = new QPushButton(title, parent);
  button->setObjectName(QString::fromLatin1(name));
  return button;
}

QPushButton* make_link(QWidget* parent, const char* name, const QString& title) {
  QPushButton* button = make_button(parent, name, title);
  Apply_Link_Style(button);
  return button;
}

// The four social buttons of the help and share windows, in one row.
QHBoxLayout* social_row(QWidget* parent) {
  auto* row = new QHBoxLayout;
  const struct {
    const char* name;
    const char* title;
    Support_Link link;
  } buttons[] = {{"Gplus_btn", "Google+", Support_Link::Google_Plus},
                 {"Facebook_btn", "Facebook", Support_Link::FaceBook},
                 {"Twitter_btn", "Twitter", Support_Link::Twitter},
                 {"FB_Like_btn", "Like", Support_Link::FB_Like}};
  for (const auto& b : buttons) {
    QPushButton* button = make_button(parent, b.name, QString::fromLatin1(b.title));
    QObject::connect(button, &QPushButton::clicked, parent,
                     [link = b.link] { Open_Support_Link(link); });
    row->addWidget(button);
  }
  return row;
}

void open_logged(const QString& address) {
  try {
    Open_Link(address);
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromUtf8(e.what()));
  }
}
}  // namespace

int Run_Modal_Logged(QDialog* window, const std::function<void()>& prepare) {
  try {
    if (prepare) prepare();
    const int code = platform::Run_Modal(window);
    window->hide();
    return code;
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromUtf8(e.what()));
    window->hide();
    return 0;
  }
}

void Apply_Link_Style(QPushButton* button) {
  QFont font = button->font();
  font.setBold(true);
  font.setPointSize(11);
  font.setUnderline(true);
  button->setFont(font);
  button->setFlat(true);
  button->setCursor(Qt::OpenHandCursor);
  QPalette palette = button->palette();
  palette.setColor(QPalette::ButtonText, Qt::blue);
  palette.setColor(QPalette::Button, dialog_background);
  palette.setColor(QPalette::Window, dialog_background);
  button->setPalette(palette);
  button->setAutoFillBackground(true);
}

// ---- Help and support ----------------------------------------------------------------------

Help_Support::Help_Support(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(QStringLiteral("Help and Support"));
  setModal(true);
  Apply_Library_Dialog_Style(this);

  _Help_File_Label = make_link(this, "_Help_File_Label", QStringLiteral("Open the user guide"));
  support_id = make_link(this, "support_id", QStringLiteral("support@example.com"));
  support_id_2 = make_link(this, "support_id_2", QStringLiteral("Write to support"));
  website_1 = make_link(this, "website_1", QStringLiteral("www.example.com"));
  reseller_1 = make_link(this, "reseller_1", QStringLiteral("partners@example.com"));
  reseller_2 = make_link(this, "reseller_2", QStringLiteral("Become a reseller"));
  auto* comments = make_button(this, "Social_Comments_btn", QStringLiteral("Comments..."));
  auto* close = make_button(this, "Close_btn", QStringLiteral("Close"));

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("Help:"), this), 0, 0);
  grid->addWidget(_Help_File_Label, 0, 1, Qt::AlignLeft);
  grid->addWidget(new QLabel(QStringLiteral("Support:"), this), 1, 0);
  grid->addWidget(support_id, 1, 1, Qt::AlignLeft);
  grid->addWidget(support_id_2, 1, 2, Qt::AlignLeft);
  grid->addWidget(new QLabel(QStringLiteral("Resellers:"), this), 2, 0);
  grid->addWidget(reseller_1, 2, 1, Qt::AlignLeft);
  grid->addWidget(reseller_2, 2, 2, Qt::AlignLeft);
  grid->addWidget(new QLabel(QStringLiteral("Web site:"), this), 3, 0);
  grid->addWidget(website_1, 3, 1, Qt::AlignLeft);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(comments);
  bottom->addStretch(1);
  bottom->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(social_row(this));
  layout->addLayout(bottom);

  connect(_Help_File_Label, &QPushButton::clicked, this, &Help_Support::HelpFilePressed);
  for (QPushButton* mail : {support_id, support_id_2})
    connect(mail, &QPushButton::clicked, this, [] { Open_Support_Link(Support_Link::Support_Mail); });
  for (QPushButton* mail : {reseller_1, reseller_2})
    connect(mail, &QPushButton::clicked, this, [] { Open_Support_Link(Support_Link::Reseller_Mail); });
  connect(website_1, &QPushButton::clicked, this, [] { Open_Support_Link(Support_Link::Website_1); });
  connect(comments, &QPushButton::clicked, this, &Help_Support::Social_Comments_Clicked);
  connect(close, &QPushButton::clicked, this, [this] { platform::Stop_Modal(this, 1); });
}

void Help_Support::HelpFilePressed() { Open_Help_File(); }
void Help_Support::Gplus_Clicked() { Open_Support_Link(Support_Link::Google_Plus); }
void Help_Support::Facebook_Clicked() { Open_Support_Link(Support_Link::FaceBook); }
void Help_Support::Twitter_Clicked() { Open_Support_Link(Support_Link::Twitter); }
void Help_Support::FB_Like_Clicked() { Open_Support_Link(Support_Link::FB_Like); }
void Help_Support::Social_Comments_Clicked() { Open_Support_Link(Support_Link::Social_Comments); }

// ---- Share -----------------------------------------------------------------------------------

Share_It_Dlg::Share_It_Dlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Share_It_Dlg"));
  setWindowTitle(QStringLiteral("Share"));
  setModal(true);
  Apply_Library_Dialog_Style(this);
  auto* text = new QLabel(QStringLiteral("Tell your friends about %1.")
                              .arg(QCoreApplication::applicationName()), this);
  auto* comments = make_button(this, "Go_Share_It_btn", QStringLiteral("Comments..."));
  auto* ok = make_button(this, "OK_btn", QStringLiteral("OK"));
  ok->setDefault(true);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(comments);
  bottom->addStretch(1);
  bottom->addWidget(ok);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  layout->addLayout(social_row(this));
  layout->addLayout(bottom);
  connect(comments, &QPushButton::clicked, this, &Share_It_Dlg::Go_Share_It_Pressed);
  connect(ok, &QPushButton::clicked, this, &Share_It_Dlg::OK_Pressed);
}

void Share_It_Dlg::OK_Pressed() { platform::Stop_Modal(this, 1); }
void Share_It_Dlg::Go_Share_It_Pressed() { Open_Support_Link(Support_Link::Social_Comments); }

// ---- Review ----------------------------------------------------------------------------------

Review_Form* Review_Form::defaultInstance() {
  static QPointer<Review_Form> instance;
  if (!instance) instance = new Review_Form(Design_Window_Parent());
  return instance;
}

Review_Form::Review_Form(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Review_Window"));
  setWindowTitle(QStringLiteral("Thank you"));
  setModal(true);
  Apply_Library_Dialog_Style(this);
  auto* text = new QLabel(
      QStringLiteral("Thank you for using %1.\nWould you take a minute to review it?")
          .arg(QCoreApplication::applicationName()),
      this);
  website_1 = make_link(this, "website_1", QStringLiteral("www.example.com"));
  support_id = make_link(this, "support_id", QStringLiteral("support@example.com"));
  auto* review = make_button(this, "Review_btn", QStringLiteral("Write a Review"));
  auto* ok = make_button(this, "OK_btn", QStringLiteral("OK"));
  review->setDefault(true);
  auto* links = new QHBoxLayout;
  links->addWidget(website_1);
  links->addWidget(support_id);
  links->addStretch(1);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(review);
  bottom->addWidget(ok);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  layout->addLayout(links);
  layout->addLayout(bottom);
  connect(website_1, &QPushButton::clicked, this, [] { Open_Support_Link(Support_Link::Website_1); });
  connect(support_id, &QPushButton::clicked, this, [] { Open_Support_Link(Support_Link::Support_Mail); });
  connect(review, &QPushButton::clicked, this, &Review_Form::Review_Clicked);
  connect(ok, &QPushButton::clicked, this, &Review_Form::OK_Clicked);
}

int Review_Form::Open_Review_Form_Window() { return Run_Modal_Logged(this); }

void Review_Form::Open_Link(const QString& address) { open_logged(address); }

void Review_Form::OK_Clicked() {
  Open_Link(Support_Address(Support_Link::Review_Page));
  platform::Stop_Modal(this, 1);
}

void Review_Form::Review_Clicked() {
  Open_Link(Support_Address(Support_Link::Review_Page));
  platform::Stop_Modal(this, 1);
}

void Review_Form::reject() { platform::Stop_Modal(this, 0); }

// ---- Promotion -------------------------------------------------------------------------------

Promotion_Form* Promotion_Form::defaultInstance() {
  static QPointer<Promotion_Form> instance;
  if (!instance) instance = new Promotion_Form(Design_Window_Parent());
  return instance;
}

Promotion_Form::Promotion_Form(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Promotion_Form"));
  setWindowTitle(QStringLiteral("More from Us"));
  setModal(true);
  Apply_Library_Dialog_Style(this);
  app_name = QCoreApplication::applicationName();

  bundle_image = new QLabel(this);
  bundle_image->setObjectName(QStringLiteral("bundle_image"));
  bundle_image->setFixedSize(160, 160);
  bundle_image->setScaledContents(true);
  Software_title = new QLabel(this);
  Software_title->setObjectName(QStringLiteral("Software_title"));
  QFont title_font = Software_title->font();
  title_font.setBold(true);
  title_font.setPointSize(title_font.pointSize() + 4);
  Software_title->setFont(title_font);
  short_descp = new QLabel(this);
  short_descp->setObjectName(QStringLiteral("short_descp"));
  long_descp = new QLabel(this);
  long_descp->setObjectName(QStringLiteral("long_descp"));
  long_descp->setWordWrap(true);
  for (QLabel* label : {Software_title, short_descp, long_descp})
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* how_to = make_button(this, "Mail_btn", QStringLiteral("How To..."));
  auto* contact = make_button(this, "Contact_us_btn", QStringLiteral("Contact Us"));
  auto* order = make_button(this, "Order_btn", QStringLiteral("Order"));
  auto* video = make_button(this, "youtube_btn", QStringLiteral("Videos"));
  auto* ok = make_button(this, "OK_btn", QStringLiteral("OK"));
  website_1 = make_link(this, "website_1", QStringLiteral("www.example.com"));
  support_id = make_link(this, "support_id", QStringLiteral("support@example.com"));

  auto* texts = new QVBoxLayout;
  texts->addWidget(Software_title);
  texts->addWidget(short_descp);
  texts->addWidget(long_descp, 1);
  auto* top = new QHBoxLayout;
  top->addWidget(bundle_image, 0, Qt::AlignTop);
  top->addLayout(texts, 1);
  auto* actions = new QHBoxLayout;
  for (QPushButton* b : {how_to, contact, order, video}) actions->addWidget(b);
  actions->addStretch(1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(website_1);
  bottom->addWidget(support_id);
  bottom->addStretch(1);
  bottom->addWidget(ok);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addLayout(actions);
  layout->addLayout(bottom);
  resize(560, 300);

  connect(how_to, &QPushButton::clicked, this, &Promotion_Form::Mail_Clicked);
  connect(contact, &QPushButton::clicked, this, &Promotion_Form::Contact_us_Clicked);
  connect(order, &QPushButton::clicked, this, &Promotion_Form::Order_Clicked);
  connect(video, &QPushButton::clicked, this, &Promotion_Form::youtube_Clicked);
  connect(ok, &QPushButton::clicked, this, &Promotion_Form::OK_Clicked);
  connect(website_1, &QPushButton::clicked, this, [] { Open_Support_Link(Support_Link::Website_1); });
  connect(support_id, &QPushButton::clicked, this, [] { Open_Support_Link(Support_Link::Support_Mail); });
}

int Promotion_Form::Open_Promotion_Window() {
  return Run_Modal_Logged(this, [this] {
    if (const Promoted_Product* product = Find_Promoted_Product(software_type, app_name)) {
      // Read as every picture file is: a regular file only (a FIFO or a device in the
      // resource folder would hold the window's thread), within the picture limits.
      const Picture picture =
          Picture::fromFile(Resource_Path + QLatin1Char('/') + product->picture_file);
      bundle_image->setPixmap(picture.isNull() ? QPixmap() : QPixmap::fromImage(picture.image()));
      Software_title->setText(product->name);
      short_descp->setText(product->short_description);
      long_descp->setText(product->long_description);
    }
  });
}

void Promotion_Form::OK_Clicked() { platform::Stop_Modal(this, 1); }
void Promotion_Form::Open_Link(const QString& address) { open_logged(address); }

void Promotion_Form::Mail_Clicked() {
  if (const auto* p = Find_Promoted_Product(software_type, app_name)) Open_Link(p->how_to_link);
}
void Promotion_Form::Contact_us_Clicked() {
  if (const auto* p = Find_Promoted_Product(software_type, app_name)) Open_Link(p->contact_link);
}
void Promotion_Form::Order_Clicked() {
  if (const auto* p = Find_Promoted_Product(software_type, app_name)) Open_Link(p->order_link);
}
void Promotion_Form::youtube_Clicked() { Open_Link(Support_Address(Support_Link::Video_Channel)); }
