#include "library/ui/Invitation_Wizard.h"

#include "library/ui/Library_Dialog.h"

#include "library/Support_Links.h"
#include "library/ui/Image_Browser_View.h"
#include "model/Common_Functions.h"
#include "model/Resource_Folder.h"
#include "model/Shared_Design_State.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateEdit>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {

constexpr double default_zoom = 0.4;
constexpr double default_size_mm = 120.0;
constexpr int name_limit = 40;      // From, To
constexpr int venue_limit = 100;
constexpr int title_limit = 100;
constexpr int message_limit = 250;

QLabel* heading(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  QFont font = label->font();
  font.setPointSizeF(font.pointSizeF() * 1.4);
  font.setBold(true);
  label->setFont(font);
  label->setAlignment(Qt::AlignHCenter);
  return label;
}

QPushButton* button(const QString& text, const char* name, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setAutoDefault(false);
  return b;
}

// Text fields show the pattern through a plain white box of their own.
QWidget* panel(QWidget* parent) {
  auto* box = new QWidget(parent);
  box->setAutoFillBackground(true);
  QPalette p = box->palette();
  p.setColor(QPalette::Window, QColor(255, 255, 255, 225));
  box->setPalette(p);
  return box;
}

// The resource folder as the start screen names it: what it holds and where, the home
// folder written "~".
QString Resource_Folder_Sentence(const QString& folder) {
  QString shown = QDir::cleanPath(folder);
  const QString home = QDir::cleanPath(QDir::homePath());
  if (shown == home || shown.startsWith(home + QLatin1Char('/')))
    shown = QLatin1Char('~') + shown.mid(home.size());
  return QStringLiteral("Your data series, templates and pictures are kept in %1")
      .arg(QDir::toNativeSeparators(shown));
}

}  // namespace

Invitation_Wizard* Invitation_Wizard::defaultInstance() {
  static QPointer<Invitation_Wizard> instance;
  if (!instance) instance = new Invitation_Wizard(Design_Window_Parent());
  return instance;
}

Invitation_Wizard::Invitation_Wizard(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Invitation_Wizard"));
  setWindowTitle(QStringLiteral("Welcome to ") + QCoreApplication::applicationName());
  setModal(true);
  resize(720, 520);

  // The tiled pattern behind every page.
  Apply_Library_Dialog_Style(this);
  const QImage pattern(Shipped_Resources_Path() + QStringLiteral("/Wizard_pattern.jpg"));
  if (!pattern.isNull()) {
    QPalette background = palette();
    background.setBrush(QPalette::Window, QBrush(pattern));
    setPalette(background);
  }

  images = new Image_Browser_Model(this);

  pages = new QStackedWidget(this);
  pages->setObjectName(QStringLiteral("pages"));
  Start_card_box = build_start_page();
  first_box = build_size_page();
  second_box = build_background_page();
  event_box = build_festival_page();
  third_box = build_greeting_page();
  fourth_box = build_details_page();
  for (QWidget* page : {Start_card_box, first_box, second_box, event_box, third_box, fourth_box})
    pages->addWidget(page);

  // The start screen's own buttons.
  start_buttons = new QWidget(this);
  auto* start_row = new QHBoxLayout(start_buttons);
  Help_btn_1 = button(QStringLiteral("&Help"), "Help_btn_1", start_buttons);
  Contact_us_btn = button(QStringLiteral("&Contact Us"), "Contact_us_btn", start_buttons);
  Exit_btn = button(QStringLiteral("E&xit"), "Exit_btn", start_buttons);
  start_row->addWidget(Help_btn_1);
  start_row->addWidget(Contact_us_btn);
  start_row->addStretch(1);
  start_row->addWidget(Exit_btn);

  // The wizard pages' navigation.
  button_box = new QWidget(this);
  button_box->setObjectName(QStringLiteral("button_box"));
  auto* nav = new QHBoxLayout(button_box);
  Cancel_btn = button(QStringLiteral("Cancel"), "Cancel_btn", button_box);
  Back_btn = button(QStringLiteral("< &Back"), "Back_btn", button_box);
  Next_btn = button(QStringLiteral("&Next >"), "Next_btn", button_box);
  Next_btn->setDefault(true);
  nav->addWidget(Cancel_btn);
  nav->addStretch(1);
  nav->addWidget(Back_btn);
  nav->addWidget(Next_btn);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages, 1);
  layout->addWidget(start_buttons);
  layout->addWidget(button_box);

  connect(Using_Wizard_btn, &QPushButton::clicked, this, &Invitation_Wizard::Using_Wizard_Click);
  connect(Open_Log_btn, &QPushButton::clicked, this, &Invitation_Wizard::Open_Log_Click);
  connect(Exit_btn, &QPushButton::clicked, this, &Invitation_Wizard::ExitClick);
  connect(Help_btn_1, &QPushButton::clicked, this, &Invitation_Wizard::HelpClick);
  connect(Contact_us_btn, &QPushButton::clicked, this, &Invitation_Wizard::Contact_Us_Click);
  connect(Next_btn, &QPushButton::clicked, this, &Invitation_Wizard::OK_Click);
  connect(Back_btn, &QPushButton::clicked, this, &Invitation_Wizard::Back_Click);
  connect(Cancel_btn, &QPushButton::clicked, this, &Invitation_Wizard::CancelClick);
  connect(imageBrowser->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &Invitation_Wizard::imageBrowserSelectionDidChange);
  connect(Title_Back_btn, &QPushButton::clicked, this, &Invitation_Wizard::Title_Back_Click);
  connect(Title_Next_btn, &QPushButton::clicked, this, &Invitation_Wizard::Title_Next_Click);
  connect(Msg_Back_btn, &QPushButton::clicked, this, &Invitation_Wizard::Msg_Back_Click);
  connect(Msg_Next_btn, &QPushButton::clicked, this, &Invitation_Wizard::Msg_Next_Click);
  connect(clear_details_btn, &QPushButton::clicked, this, &Invitation_Wizard::Clear_Details_Click);
  connect(Date_picker, &QDateEdit::dateChanged, this, &Invitation_Wizard::datePickerAction);
  connect(Time_picker, &QTimeEdit::timeChanged, this, &Invitation_Wizard::timePickerAction);
  for (QLineEdit* field : {msg_title, from_value, to_value, venue_value})
    connect(field, &QLineEdit::textChanged, this, [this, field] { controlTextDidChange(field); });
  connect(msg_value, &QPlainTextEdit::textChanged, this,
          [this] { controlTextDidChange(msg_value); });

  {
    const QSignalBlocker quiet_date(Date_picker), quiet_time(Time_picker);
    Date_picker->setDate(QDate::currentDate());
    Time_picker->setTime(QTime::currentTime());
  }
  Set_Image_Browser_Zoom(imageBrowser, images, default_zoom);
  show_page(0);
}

// ---- Pages -------------------------------------------------------------------------------

QWidget* Invitation_Wizard::build_start_page() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("Start_card_box"));
  auto* layout = new QVBoxLayout(page);
  layout->addStretch(1);
  layout->addWidget(heading(QCoreApplication::applicationName(), page));
  auto* intro = new QLabel(QStringLiteral("Design a greeting card or an invitation."), page);
  intro->setAlignment(Qt::AlignHCenter);
  layout->addWidget(intro);
  layout->addSpacing(24);
  Using_Wizard_btn =
      button(QStringLiteral("&Design a New Card with the Wizard"), "Using_Wizard_btn", page);
  Open_Log_btn = button(QStringLiteral("&Open a Saved Design…"), "Open_Log_btn", page);
  for (QPushButton* b : {Using_Wizard_btn, Open_Log_btn}) {
    b->setMinimumSize(320, 44);
    layout->addWidget(b, 0, Qt::AlignHCenter);
  }
  layout->addStretch(1);
  APP_path_label = new QLabel(page);
  APP_path_label->setObjectName(QStringLiteral("APP_path_label"));
  APP_path_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  APP_path_label->setWordWrap(true);
  APP_path_label->setAlignment(Qt::AlignHCenter);
  layout->addWidget(APP_path_label);  // the page's width, its lines centred
  return page;
}

QWidget* Invitation_Wizard::build_size_page() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("first_box"));
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(heading(QStringLiteral("Card Size"), page));
  auto* box = panel(page);
  auto* form = new QFormLayout(box);
  const auto stepper = [box](const char* name) {
    auto* s = new QDoubleSpinBox(box);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(1, 2000);
    s->setDecimals(2);
    s->setSingleStep(1);
    s->setSuffix(QStringLiteral(" mm"));
    s->setKeyboardTracking(false);
    return s;
  };
  width_Stepper = stepper("width_Stepper");
  height_Stepper = stepper("height_Stepper");
  form->addRow(QStringLiteral("&Width:"), width_Stepper);
  form->addRow(QStringLiteral("&Height:"), height_Stepper);
  layout->addStretch(1);
  layout->addWidget(box, 0, Qt::AlignHCenter);
  layout->addStretch(2);
  return page;
}

QWidget* Invitation_Wizard::build_background_page() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("second_box"));
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(heading(QStringLiteral("Choose a Background"), page));
  imageBrowser = Make_Image_Browser(images, page);
  layout->addWidget(imageBrowser, 1);
  return page;
}

QWidget* Invitation_Wizard::build_festival_page() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("event_box"));
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(heading(QStringLiteral("Choose the Occasion"), page));
  auto* grid = new QGridLayout;
  int i = 0;
  for (const Greeting_Festival& row : Greeting_Table()) {
    QPushButton* b = button(row.festival, row.action.toLatin1().constData(), page);
    b->setMinimumHeight(34);
    const QString code = row.code;
    connect(b, &QPushButton::clicked, this, [this, code] { Festival_Click(code); });
    grid->addWidget(b, i / 4, i % 4);
    ++i;
  }
  layout->addLayout(grid);
  layout->addStretch(1);
  return page;
}

QWidget* Invitation_Wizard::build_greeting_page() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("third_box"));
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(heading(QStringLiteral("Title and Message"), page));
  auto* box = panel(page);
  auto* grid = new QGridLayout(box);
  msg_title = new QLineEdit(box);
  msg_title->setObjectName(QStringLiteral("msg_title"));
  msg_value = new QPlainTextEdit(box);
  msg_value->setObjectName(QStringLiteral("msg_value"));
  msg_value->setTabChangesFocus(true);
  Title_Back_btn = button(QStringLiteral("<"), "Title_Back_btn", box);
  Title_Next_btn = button(QStringLiteral(">"), "Title_Next_btn", box);
  Msg_Back_btn = button(QStringLiteral("<"), "Msg_Back_btn", box);
  Msg_Next_btn = button(QStringLiteral(">"), "Msg_Next_btn", box);
  Title_Back_btn->setToolTip(QStringLiteral("Previous title"));
  Title_Next_btn->setToolTip(QStringLiteral("Next title"));
  Msg_Back_btn->setToolTip(QStringLiteral("Previous message"));
  Msg_Next_btn->setToolTip(QStringLiteral("Next message"));
  grid->addWidget(new QLabel(QStringLiteral("Title:"), box), 0, 0);
  grid->addWidget(Title_Back_btn, 0, 1);
  grid->addWidget(msg_title, 0, 2);
  grid->addWidget(Title_Next_btn, 0, 3);
  grid->addWidget(new QLabel(QStringLiteral("Message:"), box), 1, 0, Qt::AlignTop);
  grid->addWidget(Msg_Back_btn, 1, 1, Qt::AlignTop);
  grid->addWidget(msg_value, 1, 2);
  grid->addWidget(Msg_Next_btn, 1, 3, Qt::AlignTop);
  layout->addWidget(box, 1);
  return page;
}

QWidget* Invitation_Wizard::build_details_page() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("fourth_box"));
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(heading(QStringLiteral("From and To"), page));
  auto* box = panel(page);
  auto* grid = new QGridLayout(box);
  const auto field = [box](const char* name) {
    auto* f = new QLineEdit(box);
    f->setObjectName(QString::fromLatin1(name));
    return f;
  };
  from_value = field("from_value");
  to_value = field("to_value");
  venue_value = field("venue_value");
  Date_ctrl_value = field("Date_ctrl_value");
  Time_ctrl_value = field("Time_ctrl_value");
  Date_ctrl_value->setReadOnly(true);
  Time_ctrl_value->setReadOnly(true);
  Date_picker = new QDateEdit(box);
  Date_picker->setObjectName(QStringLiteral("Date_picker"));
  Date_picker->setCalendarPopup(true);
  Time_picker = new QTimeEdit(box);
  Time_picker->setObjectName(QStringLiteral("Time_picker"));
  venue_label = new QLabel(QStringLiteral("Venue:"), box);
  date_label = new QLabel(QStringLiteral("Date:"), box);
  time_label = new QLabel(QStringLiteral("Time:"), box);
  clear_details_btn = button(QStringLiteral("C&lear"), "clear_details_btn", box);
  auto* from_label = new QLabel(QStringLiteral("Fr&om:"), box);
  from_label->setBuddy(from_value);
  auto* to_label = new QLabel(QStringLiteral("&To:"), box);
  to_label->setBuddy(to_value);
  grid->addWidget(from_label, 0, 0);
  grid->addWidget(from_value, 0, 1, 1, 2);
  grid->addWidget(to_label, 1, 0);
  grid->addWidget(to_value, 1, 1, 1, 2);
  grid->addWidget(venue_label, 2, 0);
  grid->addWidget(venue_value, 2, 1, 1, 2);
  grid->addWidget(date_label, 3, 0);
  grid->addWidget(Date_picker, 3, 1);
  grid->addWidget(Date_ctrl_value, 3, 2);
  grid->addWidget(time_label, 4, 0);
  grid->addWidget(Time_picker, 4, 1);
  grid->addWidget(Time_ctrl_value, 4, 2);
  grid->addWidget(clear_details_btn, 5, 2, Qt::AlignRight);
  layout->addStretch(1);
  layout->addWidget(box);
  layout->addStretch(2);
  return page;
}

void Invitation_Wizard::show_page(int page) {
  next_counter = page;
  pages->setCurrentIndex(page);
  start_buttons->setVisible(page == 0);
  button_box->setVisible(page != 0);
  Back_btn->setEnabled(page > 0);
  Next_btn->setText(page == 5 ? QStringLiteral("&Finish") : QStringLiteral("&Next >"));
}

void Invitation_Wizard::set_details_extras_visible(bool visible) {
  for (QWidget* w : std::initializer_list<QWidget*>{venue_value, Date_picker, Date_ctrl_value,
                                                    Time_picker, Time_ctrl_value, venue_label,
                                                    date_label, time_label})
    w->setVisible(visible);
}

// ---- Opening and reset ---------------------------------------------------------------------

int Invitation_Wizard::Open_Wnd() {
  try {
    Event_Type = QStringLiteral("1");
    width_Stepper->setValue(default_size_mm);
    height_Stepper->setValue(default_size_mm);
    APP_path_label->setText(Resource_Folder_Sentence(Resource_Path));
    APP_path_label->setToolTip(QDir::toNativeSeparators(Resource_Path));
    images->removeAll();
    Show_Hide_Card_Start_Screen(true);
    Set_Image_Browser_Zoom(imageBrowser, images, default_zoom);
    Load_and_fill_backgrounds();
    Reset_All();
    const int code = platform::Run_Modal(this);
    hide();
    return code;
  } catch (const std::exception& e) {
    hide();
    const QString reason = QStringLiteral("The start screen could not be opened: ") +
                           QString::fromUtf8(e.what());
    Show_NSLog_Message(reason);
    Show_MessageBox(reason);
    return Open_Failed;
  }
}

void Invitation_Wizard::Show_Hide_Card_Start_Screen(bool start_screen) {
  if (!start_screen) {
    show_page(1);
    return;
  }
  auto_background_selection = false;
  show_page(0);
  Reset_All();
  msg_title->setText(Get_Title());
  msg_value->setPlainText(Get_Message());
}

void Invitation_Wizard::Reset_All() {
  selected_image.clear();
  selected_title.clear();
  selected_msg.clear();
  selected_date.clear();
  selected_time.clear();
  show_page(0);
  greetings.title_index = 0;
  greetings.message_index = 0;
  msg_title->clear();
  msg_value->clear();
  clear_details_btn->setEnabled(false);
  Clear_Details();
}

void Invitation_Wizard::Clear_Details() {
  from_value->clear();
  to_value->clear();
  venue_value->clear();
  Date_ctrl_value->clear();
  Time_ctrl_value->clear();
  {
    const QSignalBlocker quiet_date(Date_picker), quiet_time(Time_picker);
    Date_picker->setDate(QDate::currentDate());
    Time_picker->setTime(QTime::currentTime());
  }
  clear_details_btn->setEnabled(false);
}

void Invitation_Wizard::Load_and_fill_backgrounds() {
  // Sorted by name, so the first background is always the same one.
  images->List_Picture_Folder(Resource_Path + QStringLiteral("/Background"));
  imageBrowser->clearSelection();
}

// ---- Start screen ----------------------------------------------------------------------------

void Invitation_Wizard::Using_Wizard_Click() {
  Event_Type = QStringLiteral("1");
  Select_card_option(1);
}

void Invitation_Wizard::Open_Log_Click() { Select_card_option(2); }

void Invitation_Wizard::Select_card_option(int option) {
  if (option == 1) Start_Card_Option = QStringLiteral("W");
  if (option == 2) Start_Card_Option = QStringLiteral("L");
  OK_Click();
}

void Invitation_Wizard::ExitClick() {
  Start_Card_Option.clear();
  platform::Stop_Modal(this, 0);
  platform::Terminate(0);
}

void Invitation_Wizard::HelpClick() { Open_Help_File(); }

void Invitation_Wizard::Contact_Us_Click() { Open_Support_Mail(); }

void Invitation_Wizard::reject() {
  if (next_counter > 0) CancelClick();
}

void Invitation_Wizard::closeEvent(QCloseEvent* event) {
  event->ignore();
  ExitClick();
}

// ---- Navigation ------------------------------------------------------------------------------

void Invitation_Wizard::OK_Click() {
  if (Start_Card_Option == QLatin1String("L")) {
    const int loaded = hooks.Open_Log_File ? hooks.Open_Log_File() : 0;
    if (loaded == 1) platform::Stop_Modal(this, 1);
    return;
  }
  switch (next_counter) {
    case 0:
      auto_background_selection = true;  // page 1 -> 2 picks the first background
      show_page(1);
      break;
    case 1:
      show_page(2);
      if (auto_background_selection) select_first_background();
      auto_background_selection = false;
      break;
    case 2:
      if (selected_image.isEmpty() || !QFileInfo(selected_image).isFile()) {
        Show_MessageBox(QStringLiteral("Please select background."));
        return;
      }
      show_page(3);
      break;
    case 3:
      Load_Msg_And_Title_According_Event();
      show_page(4);
      break;
    case 4:
      selected_title = msg_title->text();
      selected_msg = msg_value->toPlainText();
      show_page(5);
      set_details_extras_visible(false);
      from_value->setFocus();
      break;
    case 5:
      Finish();
      break;
    default:
      break;
  }
}

void Invitation_Wizard::select_first_background() {
  imageBrowser->clearSelection();
  if (images->numberOfItemsInImageBrowser() == 0) return;
  // The selection handler stores the path; the flag keeps it from moving on.
  imageBrowser->selectionModel()->select(images->index(0),
                                         QItemSelectionModel::ClearAndSelect);
  imageBrowser->setCurrentIndex(images->index(0));
}

void Invitation_Wizard::Back_Click() {
  if (next_counter <= 0) return;
  if (next_counter == 1) {
    Show_Hide_Card_Start_Screen(true);
    return;
  }
  if (next_counter == 2) auto_background_selection = true;  // page 2 again picks anew
  show_page(next_counter - 1);
}

void Invitation_Wizard::CancelClick() { Show_Hide_Card_Start_Screen(true); }

void Invitation_Wizard::Finish() {
  Card_Shape = 0;
  const float w = float(width_Stepper->value());
  const float h = float(height_Stepper->value());
  if (hooks.Set_Card_Size) hooks.Set_Card_Size(QSizeF(w, h));
  Invite_Title = Trim_Str(selected_title);
  Invite_Message = Trim_Str(selected_msg);
  Invite_From = Trim_Str(from_value->text());
  Invite_To = Trim_Str(to_value->text());
  Invite_Venue = Trim_Str(venue_value->text());
  Invite_Date = Trim_Str(selected_date);
  Invite_Time = Trim_Str(selected_time);
  Invite_BG_IMG = Trim_Str(selected_image);
  platform::Stop_Modal(this, 1);
}

void Invitation_Wizard::Festival_Click(const QString& code) {
  Event_Type = code;
  OK_Click();
}

// ---- Titles and messages ---------------------------------------------------------------------

void Invitation_Wizard::Load_Msg_And_Title_According_Event() {
  greetings.Load_Msg_And_Title_According_Event();
  msg_title->setText(Get_Title());
  msg_value->setPlainText(Get_Message());
}

void Invitation_Wizard::Title_Back_Click() {
  greetings.Title_Back();
  msg_title->setText(Get_Title());
}

void Invitation_Wizard::Title_Next_Click() {
  greetings.Title_Next();
  msg_title->setText(Get_Title());
}

void Invitation_Wizard::Msg_Back_Click() {
  greetings.Msg_Back();
  msg_value->setPlainText(Get_Message());
}

void Invitation_Wizard::Msg_Next_Click() {
  greetings.Msg_Next();
  msg_value->setPlainText(Get_Message());
}

// ---- Details ---------------------------------------------------------------------------------

void Invitation_Wizard::Clear_Details_Click() {
  if (Show_YES_NO_MessageBox(QStringLiteral("Are you sure you want to clear details?")))
    Clear_Details();
}

void Invitation_Wizard::datePickerAction() {
  selected_date = QLocale().toString(Date_picker->date(), QLocale::LongFormat);
  Date_ctrl_value->setText(selected_date);
  clear_details_btn->setEnabled(true);
}

void Invitation_Wizard::timePickerAction() {
  selected_time = QLocale().toString(Time_picker->time(), QStringLiteral("h:mm AP"));
  Time_ctrl_value->setText(selected_time);
  clear_details_btn->setEnabled(true);
}

void Invitation_Wizard::controlTextDidChange(QWidget* field) {
  if (field == msg_value) {
    const QString text = msg_value->toPlainText();
    if (text.size() <= message_limit) return;
    msg_value->setPlainText(Cut_To_Length(text, message_limit));
    msg_value->moveCursor(QTextCursor::End);
    return;
  }
  auto* line = qobject_cast<QLineEdit*>(field);
  if (!line) return;
  const int limit = line == msg_title ? title_limit : line == venue_value ? venue_limit : name_limit;
  if (line->text().size() > limit) {
    line->setText(Cut_To_Length(line->text(), limit));  // comes back here once, within limit
    return;
  }
  if (line != msg_title && !line->text().isEmpty()) clear_details_btn->setEnabled(true);
}

// ---- Background browser ----------------------------------------------------------------------

void Invitation_Wizard::imageBrowserSelectionDidChange() {
  // A pick only chooses the background; Next goes on, so a click can be taken back.
  const QModelIndexList rows = imageBrowser->selectionModel()->selectedIndexes();
  if (rows.isEmpty()) return;
  const MyImageObject* item = images->itemAtIndex(rows.first().row());
  if (!item) return;
  selected_image = item->path();
}
