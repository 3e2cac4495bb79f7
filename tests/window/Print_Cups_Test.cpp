// Real printing: sheets of cards from the design window through a private cupsd with a
// cups-pdf queue, read back with pdfinfo and pdftoppm. The cupsd listens only on a socket
// in the test's own folder; the application is pointed at it with CUPS_SERVER and a
// temporary HOME, so no CUPS of the machine is ever asked. cups-pdf reads its instance
// settings from /etc/cups: the test writes one under a name of its own and deletes it.
// Needs root (cupsd runs cups-pdf only as root).

#include "../output/Output_Test_Support.h"
#include "model/CRDDocument.h"
#include "output/Print_Run.h"
#include "output/Sheet_Layout.h"
#include "output/ui/Print_Wnd.h"
#include "output/ui/Send_Modeless.h"
#include "platform/Scripted_Platform.h"
#include "window/ui/CRDWindowController.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPageSetupDialog>
#include <QPrinterInfo>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QAction>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <QTransform>

#include <atomic>
#include <iostream>

#include <dlfcn.h>
#include <unistd.h>
#include "support/Deadlock_Guard.h"

using namespace output_test;

namespace {

// A cupsd of the test's own with one cups-pdf queue.
class Private_Cups {
 public:
  bool Start(QString* why) {
    if (!folder_.isValid()) return Fail(why, "no temporary folder");
    dir_ = QDir(folder_.path());
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                           QFile::ReadGroup | QFile::ExeGroup |
                                           QFile::ReadOther | QFile::ExeOther);
    for (const char* sub : {"cache", "state", "log", "out", "pdf-spool", "spool", "tmp"})
      dir_.mkpath(QString::fromLatin1(sub));
    // The request and temporary folders as cupsd wants them: root:lp 0710 and 1770.
    if (Run("chown", {"root:lp", Path("spool"), Path("tmp")}) != 0 ||
        Run("chmod", {"0710", Path("spool")}) != 0 || Run("chmod", {"1770", Path("tmp")}) != 0 ||
        Run("chmod", {"1777", Path("out")}) != 0)
      return Fail(why, "cannot prepare the spool folders");
    Write("cupsd.conf", QStringLiteral("Listen %1\nBrowsing No\nDefaultAuthType None\n"
                                       "WebInterface No\nLogLevel warn\n"
                                       "<Policy default>\n  <Limit All>\n    Order deny,allow\n"
                                       "  </Limit>\n</Policy>\n")
                            .arg(Socket()));
    Write("cups-files.conf",
          QStringLiteral("ServerRoot %1\nStateDir %1/state\nCacheDir %1/cache\n"
                         "AccessLog %1/log/access_log\nErrorLog %1/log/error_log\n"
                         "PageLog %1/log/page_log\nPrintcap %1/printcap\n"
                         "RequestRoot %1/spool\nTempDir %1/tmp\n")
              .arg(dir_.path()));
    instance_ = QStringLiteral("lumigrove%1x%2").arg(getpid()).arg(QDateTime::currentMSecsSinceEpoch());
    instance_conf_ = QStringLiteral("/etc/cups/cups-pdf-%1.conf").arg(instance_);
    QFile conf(instance_conf_);
    if (!conf.open(QIODevice::WriteOnly))
      return Fail(why, "cannot write the cups-pdf instance settings");
    conf.write(QStringLiteral("Out %1\nAnonDirName %1\nSpool %2\nLog %3\n")
                   .arg(Path("out"), Path("pdf-spool"), Path("log"))
                   .toUtf8());
    conf.close();

    cupsd_.setProgram(QStringLiteral("/usr/sbin/cupsd"));
    cupsd_.setArguments({"-f", "-c", Path("cupsd.conf"), "-s", Path("cups-files.conf")});
    cupsd_.setProcessChannelMode(QProcess::MergedChannels);
    cupsd_.start();
    if (!cupsd_.waitForStarted(test_support::kDeadlock_Guard_Ms)) return Fail(why, "cupsd does not start");
    QDeadlineTimer deadline(test_support::kDeadlock_Guard_Ms);
    while (!QFileInfo::exists(Socket()) && !deadline.hasExpired()) QThread::msleep(50);
    if (!QFileInfo::exists(Socket())) return Fail(why, "cupsd made no socket");
    saved_server_ = qgetenv("CUPS_SERVER");
    saved_home_ = qgetenv("HOME");
    environment_set_ = true;
    qputenv("CUPS_SERVER", Socket().toUtf8());
    // libcups keeps the server a thread asked for first: after an earlier test's cupsd the
    // main thread is pointed at this one.
    if (void* cups = dlopen("libcups.so.2", RTLD_NOW | RTLD_NOLOAD)) {
      using Set_Server = void (*)(const char*);
      if (auto set = reinterpret_cast<Set_Server>(dlsym(cups, "cupsSetServer")))
        set(Socket().toUtf8().constData());
      dlclose(cups);
    }
    qputenv("HOME", Path("home").toUtf8());
    dir_.mkpath(QStringLiteral("home"));
    // lpadmin warns that printer drivers are deprecated; the queue works all the same.
    const auto added = test_support::Run_Program(
        "lpadmin", {"-p", Queue(), "-v", "cups-pdf:/" + instance_, "-P",
                    "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd", "-E"});
    if (added.exit_code != 0) return Fail(why, "lpadmin failed: " + added.err);
    return true;
  }

  void Stop() {
    if (cupsd_.state() == QProcess::NotRunning) return;
    cupsd_.terminate();  // SIGTERM to this cupsd's own pid
    if (!cupsd_.waitForFinished(15000)) {
      cupsd_.kill();
      cupsd_.waitForFinished(5000);
    }
  }

  ~Private_Cups() {
    Stop();
    if (!instance_conf_.isEmpty()) QFile::remove(instance_conf_);
    if (environment_set_) {
      if (saved_server_.isNull()) qunsetenv("CUPS_SERVER");
      else qputenv("CUPS_SERVER", saved_server_);
      qputenv("HOME", saved_home_);
    }
  }

  QString Queue() const { return QStringLiteral("q") + instance_; }
  QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

  // The next PDF cups-pdf writes, once its job is done (or "" after the deadlock guard).
  QString Wait_For_Pdf(int number) {
    QDeadlineTimer deadline(test_support::kDeadlock_Guard_Ms);
    while (!deadline.hasExpired()) {
      const QStringList pdfs =
          QDir(Path("out")).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
      const auto pending = test_support::Run_Program("lpstat", {"-o", Queue()});
      if (pdfs.size() >= number && pending.exit_code == 0 && pending.out.trimmed().isEmpty()) {
        // Job numbers grow; the newest job's file names its number last.
        QString newest;
        for (const QString& pdf : pdfs)
          if (pdf.contains(QStringLiteral("job_%1").arg(number))) newest = pdf;
        if (!newest.isEmpty()) return QDir(Path("out")).filePath(newest);
      }
      QThread::msleep(200);
    }
    return {};
  }

 private:
  static bool Fail(QString* why, const QString& text) {
    *why = text;
    return false;
  }
  int Run(const char* program, const QStringList& arguments) {
    return test_support::Run_Program(QString::fromLatin1(program), arguments).exit_code;
  }
  void Write(const char* name, const QString& text) {
    QFile file(Path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
  }
  QString Socket() const { return Path("cups.sock"); }

  QTemporaryDir folder_;
  QDir dir_;
  QString instance_, instance_conf_;
  QProcess cupsd_;
  QByteArray saved_server_, saved_home_;
  bool environment_set_ = false;
};

const QColor front_grey(96, 96, 96), back_grey(176, 176, 176);

class Print_Cups : public test_support::Design_Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0)
      GTEST_SKIP() << "not run as root: the printing tests start a private cupsd, whose "
                      "cups-pdf queue prints only for root (run make test as root)";
    Design_Test::SetUp();
    QString why;
    ASSERT_TRUE(cups.Start(&why)) << why;
    window = std::make_unique<CRDWindowController>(&document, scratch.filePath("Lumigrove"));
    window->SetDocumentCanvasSize(card_points);
    for (auto [prop, colour] : {std::pair{&window->Front_card_Prop, front_grey},
                                std::pair{&window->Back_card_Prop, back_grey}}) {
      prop->Card_fill_chk = true;
      prop->Card_fill_style = QStringLiteral("S");
      prop->Card_fill_clr = CRDColor::fromQColor(colour);
      prop->Card_border_chk = false;
    }
    CARD_SIDE_STR = QStringLiteral("2");
  }
  void TearDown() override {
    window.reset();
    Design_Test::TearDown();
  }

  // Prints through the toolbar's Print with the dialog set as `choose` says.
  void Print(const std::function<void(Print_Wnd&)>& choose) {
    platform.on_run_modal = [&](QObject* modal) {
      if (auto* dialog = qobject_cast<Print_Wnd*>(modal)) {
        EXPECT_EQ(dialog->Printer_ComboBox->currentText(), cups.Queue());
        choose(*dialog);
        dialog->PrintButtonPressed();
      }
      return 0;
    };
    window->Print_Button();
  }

  static void Type(Print_Wnd& dialog, QLineEdit* field, const char* text,
                   void (Print_Wnd::*handler)()) {
    field->setText(QString::fromLatin1(text));
    (dialog.*handler)();
  }

  // The pages of a PDF at 72 dpi: one pixel a point.
  QList<QImage> Pages(const QString& pdf) {
    const QString prefix = QDir(scratch.path()).filePath(QFileInfo(pdf).baseName());
    const auto made = test_support::Run_Program("pdftoppm", {"-r", "72", "-png", pdf, prefix});
    EXPECT_EQ(made.exit_code, 0) << made.err.constData();
    QList<QImage> pages;
    const QFileInfo info(prefix);
    for (const QString& name : QDir(info.path()).entryList({info.fileName() + "-*.png"},
                                                           QDir::Files, QDir::Name))
      pages << QImage(QDir(info.path()).filePath(name)).convertToFormat(QImage::Format_RGB32);
    return pages;
  }

  // The bounding box of the pixels near the colour, inside the region.
  static QRect Box_Of(const QImage& page, QColor colour, QRect region) {
    QRect box;
    for (int y = region.top(); y <= region.bottom(); ++y)
      for (int x = region.left(); x <= region.right(); ++x) {
        const QColor c = page.pixelColor(x, y);
        if (std::abs(c.red() - colour.red()) < 12 && std::abs(c.green() - colour.green()) < 12 &&
            std::abs(c.blue() - colour.blue()) < 12)
          box |= QRect(x, y, 1, 1);
      }
    return box;
  }

  static void Expect_Near(const QRect& box, const QRectF& want, const char* what) {
    EXPECT_NEAR(box.left(), want.left(), 1.01) << what;
    EXPECT_NEAR(box.top(), want.top(), 1.01) << what;
    EXPECT_NEAR(box.right() + 1, want.right(), 1.01) << what;
    EXPECT_NEAR(box.bottom() + 1, want.bottom(), 1.01) << what;
  }

  Private_Cups cups;
  QSizeF card_points{144, 72};
  QTemporaryDir scratch;
  CRDDocument document;
  std::unique_ptr<CRDWindowController> window;
  platform::Scoped_Scripted_Platform platform;
};

TEST_F(Print_Cups, SeriesOnTwoByTwoSheetsThenBothSidesThenNoPrinter) {
  // Seven records of a text bound to a series, on a card filled grey.
  Write_Series("Names", "a\nb\nc\nd\ne\nf\ng\n");
  auto text = Bound<CRDText>(1, "Names", 0, QRectF(50, 20, 40, 20));
  document.insertGraphics(CRDDocument::Side::Front, {text}, {0});

  Print([&](Print_Wnd& dialog) {
    EXPECT_EQ(dialog.Total_Text->text(), QStringLiteral("7"));
    Type(dialog, dialog.Row_Text, "2", &Print_Wnd::Row_Changed);
    Type(dialog, dialog.Col_Text, "2", &Print_Wnd::Col_Changed);
    // Gaps keep neighbouring cards apart on the read-back pages.
    Type(dialog, dialog.horz_mar_Text, "5", &Print_Wnd::Horz_Margin_Changed);
    Type(dialog, dialog.vert_mar_Text, "5", &Print_Wnd::Vert_Margin_Changed);
  });
  // The job's end is said once, with the sheets sent.
  ASSERT_EQ(platform.messages.size(), 1) << platform.messages.join("|");
  EXPECT_EQ(platform.messages[0].trimmed(),
            QStringLiteral("2 sheets were sent to the printer \"%1\".").arg(cups.Queue()));
  platform.messages.clear();
  const Sheet_Layout& l = Print_Layout();
  // The margins are the printer's, as Qt reports them.
  EXPECT_GT(l.Left_Mar, 0);
  const QString first = cups.Wait_For_Pdf(1);
  ASSERT_FALSE(first.isEmpty()) << "no PDF from cups-pdf";
  const auto info = test_support::Run_Program("pdfinfo", {first});
  EXPECT_TRUE(info.out.contains("Pages:           2")) << info.out.constData();
  EXPECT_TRUE(QString::fromUtf8(info.out).contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 842")))
      << info.out.constData();
  const QList<QImage> pages = Pages(first);
  ASSERT_EQ(pages.size(), 2);
  int filled_on_second = 0;
  for (int page = 0; page < 2; ++page) {
    for (int cell = 0; cell < 4; ++cell) {
      const int row = cell / 2 + 1, column = cell % 2 + 1;
      const QRectF place = Place_Cell(l, row, column, card_points).front;
      // y flipped: the top of the picture is the paper height - y - h.
      const QRectF want(place.x(), 842 - place.y() - place.height(), place.width(), place.height());
      const QRect region = want.toAlignedRect().adjusted(-4, -4, 4, 4);
      const QRect box = Box_Of(pages[page], front_grey, region);
      if (page == 1 && cell == 3) {
        EXPECT_TRUE(box.isEmpty()) << "the eighth cell stays white";
        continue;
      }
      ASSERT_FALSE(box.isEmpty()) << "page " << page + 1 << " cell " << cell + 1;
      Expect_Near(box, want, "card at its place");
      if (page == 1) ++filled_on_second;
    }
  }
  EXPECT_EQ(filled_on_second, 3);
  // The job wrote record 0 back into the front.
  EXPECT_EQ(Text_Of(text), QStringLiteral("a"));

  // Both sides in one cell, front left of back, one card.
  document.removeGraphicsAtIndexes(CRDDocument::Side::Front, {0});
  Print([&](Print_Wnd& dialog) {
    dialog.matrix_card_side->button(0)->click();
    dialog.print_alignment->setCurrentIndex(1);
    dialog.comboBoxSelectionDidChange(dialog.print_alignment);
    Type(dialog, dialog.Total_Text, "1", &Print_Wnd::Total_Val_Changed);
  });
  ASSERT_EQ(platform.messages.size(), 1) << platform.messages.join("|");
  EXPECT_TRUE(platform.messages[0].trimmed().startsWith(QStringLiteral("1 sheet was sent")))
      << platform.messages[0];
  platform.messages.clear();
  const QString second = cups.Wait_For_Pdf(2);
  ASSERT_FALSE(second.isEmpty());
  const QList<QImage> both = Pages(second);
  ASSERT_EQ(both.size(), 1);
  const QRectF front = Place_Cell(l, 1, 1, card_points).front;
  const QRectF want_front(front.x(), 842 - front.y() - front.height(), 144, 72);
  Expect_Near(Box_Of(both[0], front_grey, want_front.toAlignedRect().adjusted(-4, -4, 4, 4)),
              want_front, "front on the left");
  Expect_Near(Box_Of(both[0], back_grey, want_front.translated(144, 0).toAlignedRect().adjusted(-4, -4, 4, 4)),
              want_front.translated(144, 0), "back on the right");

  // File > Print...: the front side through the platform's print dialog, one page.
  platform.on_run_modal = [&](QObject* modal) {
    auto* dialog = qobject_cast<QPrintDialog*>(modal);
    EXPECT_NE(dialog, nullptr);
    if (!dialog) return 0;
    dialog->printer()->setPrinterName(cups.Queue());
    return 1;
  };
  window->Print_menu_item->trigger();
  const QString third = cups.Wait_For_Pdf(3);
  ASSERT_FALSE(third.isEmpty());
  const QList<QImage> document_pages = Pages(third);
  ASSERT_EQ(document_pages.size(), 1);
  EXPECT_FALSE(Box_Of(document_pages[0], front_grey, document_pages[0].rect()).isEmpty());

  // Without a cupsd there is no printer, and no dialog opens.
  cups.Stop();
  platform.modal_runs.clear();
  window->Print_Button();
  ASSERT_EQ(platform.messages.size(), 1);
  EXPECT_EQ(platform.messages[0].trimmed(), QStringLiteral("No printer found."));
  EXPECT_TRUE(platform.modal_runs.isEmpty());

  // A dialog still open on the vanished printer says that the job could not start.
  platform.messages.clear();
  Print_Wnd::defaultInstance()->PrintButtonPressed();
  ASSERT_EQ(platform.messages.size(), 1);
  EXPECT_TRUE(platform.messages[0].trimmed().startsWith(
      QStringLiteral("The print job could not be started on the printer")))
      << platform.messages[0];
}

// The Copies field is the job's copy count: three copies of a one-sheet job come out of
// the queue as three pages.
TEST_F(Print_Cups, CopiesAreTheJobsCopyCount) {
  Print([&](Print_Wnd& dialog) {
    Type(dialog, dialog.Copies_Text, "3", &Print_Wnd::Copies_Val_Changed);
    EXPECT_EQ(dialog.Copies_Stepper->value(), 3);
  });
  ASSERT_EQ(platform.messages.size(), 1);
  EXPECT_EQ(platform.messages[0].trimmed(),
            QStringLiteral("1 sheet was sent to the printer \"%1\", 3 copies of each.")
                .arg(cups.Queue()));
  const QString pdf = cups.Wait_For_Pdf(1);
  ASSERT_FALSE(pdf.isEmpty()) << "no PDF from cups-pdf";
  const QList<QImage> pages = Pages(pdf);
  ASSERT_EQ(pages.size(), 3);
  for (const QImage& page : pages)
    EXPECT_FALSE(Box_Of(page, front_grey, page.rect()).isEmpty()) << "each copy holds the card";
}

// Stop during a print of 500 records: the window stays live (its event loop turns while the
// sheets are drawn, and the Stop pressed from it ends the job), the job ends after the sheet
// being drawn and the queue gets whole sheets only. Sheet 20 holds the next one as an open
// stop question does, until the Stop pressed on the GUI thread has been answered: the job
// can end only through an event handled while it runs.
TEST_F(Print_Cups, StopDuringALargePrintKeepsTheWindowLive) {
  QByteArray names;
  for (int r = 1; r <= 500; ++r) names += "Guest " + QByteArray::number(r) + "\n";
  Write_Series("Guests", names);
  auto text = Bound<CRDText>(1, "Guests", 0, QRectF(10, 20, 120, 30));
  document.insertGraphics(CRDDocument::Side::Front, {text}, {0});

  constexpr int held_at_sheet = 20;
  std::atomic<bool> held{false};
  bool stop_pressed = false;
  QTimer tick;
  tick.setInterval(5);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    Send_Modeless* progress = Send_Modeless::defaultInstance();
    if (!stop_pressed && held && progress->isVisible()) {
      stop_pressed = true;
      platform.yes_no_answers.push_back(true);
      progress->_stop_btn->click();
    }
  });
  tick.start();
  Print([&](Print_Wnd& dialog) {
    EXPECT_EQ(dialog.Total_Text->text(), QStringLiteral("500"));
    Type(dialog, dialog.Row_Text, "2", &Print_Wnd::Row_Changed);
    Type(dialog, dialog.Col_Text, "2", &Print_Wnd::Col_Changed);
    QObject::connect(&dialog, &Print_Wnd::runStarting, &tick, [&](Print_Run* run) {
      QObject::connect(
          run, &Print_Run::sheetBegun, run,
          [&](int sheet) {
            if (sheet != held_at_sheet) return;
            Stop_Question_Open = true;
            held = true;
          },
          Qt::DirectConnection);
    });
  });
  tick.stop();
  ASSERT_TRUE(held) << "the job never reached sheet " << held_at_sheet;
  ASSERT_TRUE(stop_pressed) << "the event loop did not turn while the sheets were drawn";
  ASSERT_EQ(platform.questions.size(), 1);
  ASSERT_EQ(platform.messages.size(), 1) << platform.messages.join("|");
  const QRegularExpressionMatch said =
      QRegularExpression(QStringLiteral("^The print was stopped: (\\d+) of 125 sheets were sent"))
          .match(platform.messages[0].trimmed());
  ASSERT_TRUE(said.hasMatch()) << platform.messages[0];
  const int sent = said.captured(1).toInt();
  EXPECT_EQ(sent, held_at_sheet);
  EXPECT_FALSE(Send_Modeless::defaultInstance()->isVisible());
  // The job reached the queue with exactly the sheets sent.
  const QString pdf = cups.Wait_For_Pdf(1);
  ASSERT_FALSE(pdf.isEmpty()) << "no PDF from cups-pdf";
  const auto info = test_support::Run_Program("pdfinfo", {pdf});
  EXPECT_TRUE(info.out.contains("Pages:           " + QByteArray::number(sent)))
      << info.out.constData();
  // The last sheet is whole: four cards.
  const QList<QImage> pages = Pages(pdf);
  ASSERT_EQ(pages.size(), sent);
  const Sheet_Layout& l = Print_Layout();
  for (int cell = 0; cell < 4; ++cell) {
    const QRectF place = Place_Cell(l, cell / 2 + 1, cell % 2 + 1, card_points).front;
    const QRectF want(place.x(), 842 - place.y() - place.height(), place.width(), place.height());
    EXPECT_FALSE(
        Box_Of(pages.last(), front_grey, want.toAlignedRect().adjusted(-4, -4, 4, 4)).isEmpty())
        << "cell " << cell + 1 << " of the last sheet";
  }
}

// Print inside the preview prints the whole job as the dialog's Print does: every sheet,
// past the fifty the preview shows, with the progress sheet and the result. The preview
// offers no paper, orientation or page setup of its own (the sheet layout is fitted to
// the dialog's paper).
TEST_F(Print_Cups, PrintInThePreviewPrintsEverySheetWithProgressAndResult) {
  QStringList preview_actions;
  bool progress_shown = false;
  platform.on_run_modal = [&](QObject* modal) {
    if (auto* dialog = qobject_cast<Print_Wnd*>(modal)) {
      // 120 cards at 1 x 2: 60 sheets.
      Type(*dialog, dialog->Col_Text, "2", &Print_Wnd::Col_Changed);
      Type(*dialog, dialog->Total_Text, "120", &Print_Wnd::Total_Val_Changed);
      dialog->PreviewButtonPressed();
      return 0;
    }
    if (modal->objectName() == QLatin1String("Print_Preview")) {
      for (const QAction* action : modal->findChildren<QAction*>()) preview_actions << action->text();
      auto* print = modal->findChild<QAbstractButton*>(QStringLiteral("Print_btn"));
      EXPECT_NE(print, nullptr) << "the preview has a Print button";
      if (print) {
        // The progress sheet shows while the job runs.
        QTimer::singleShot(0, [&] { progress_shown = Send_Modeless::defaultInstance()->isVisible(); });
        print->click();
      }
    }
    return 0;
  };
  window->Print_Button();
  for (const QString& text : preview_actions)
    for (const char* control : {"portrait", "landscape", "page setup"})
      EXPECT_FALSE(text.toLower().remove(u'&').contains(QLatin1String(control))) << text;
  ASSERT_EQ(platform.messages.size(), 2) << platform.messages.join("|");
  EXPECT_TRUE(platform.messages[0].contains(QStringLiteral("only first 50 sheets")));
  EXPECT_EQ(platform.messages[1].trimmed(),
            QStringLiteral("60 sheets were sent to the printer \"%1\".").arg(cups.Queue()));
  EXPECT_EQ(Send_Modeless::defaultInstance()->_tot_msg_cnt->text(), QStringLiteral("60"));
  EXPECT_TRUE(progress_shown);
  const QString pdf = cups.Wait_For_Pdf(1);
  ASSERT_FALSE(pdf.isEmpty()) << "no PDF from cups-pdf";
  const auto info = test_support::Run_Program("pdfinfo", {pdf});
  EXPECT_TRUE(info.out.contains("Pages:           60")) << info.out.constData();
}

// A paper chosen in Page Setup stays when Page Setup is opened again and left with OK
// unchanged (on a CUPS printer Qt's panel used to open on the driver's default paper),
// and the job comes out on it.
TEST_F(Print_Cups, PageSetupKeepsTheChosenPaper) {
  struct Case {
    QPageSize::PageSizeId paper;
    // The sheet in points as pdfinfo says it: cups-pdf writes the paper upright and turns
    // a landscape page onto it.
    const char* pdf_size;
  };
  const Case cases[] = {{QPageSize::A5, "421 x 595"}, {QPageSize::Letter, "612 x 792"}};
  int job = 0;
  for (const Case& c : cases) {
    const QString name = QPageSize(c.paper).name();
    SCOPED_TRACE(name.toStdString());
    const QPageLayout chosen(QPageSize(c.paper), QPageLayout::Landscape, QMarginsF(20, 30, 20, 30),
                             QPageLayout::Millimeter);
    int setups = 0;
    platform.on_run_modal = [&](QObject* modal) {
      if (auto* setup = qobject_cast<QPageSetupDialog*>(modal)) {
        // The first opening: the user picks the paper, landscape, margins 20 / 30 mm.
        if (setups++ == 0) {
          setup->printer()->setPageLayout(chosen);
          return int(QDialog::Accepted);
        }
        // The second: OK as it opens.
        QTimer::singleShot(0, setup, &QDialog::accept);
        return setup->exec();
      }
      if (auto* dialog = qobject_cast<Print_Wnd*>(modal)) {
        dialog->pagesetup();
        dialog->pagesetup();
        EXPECT_EQ(setups, 2);
        const QPageLayout& page = dialog->printInfo().page;
        EXPECT_TRUE(page.pageSize().isEquivalentTo(QPageSize(c.paper))) << page.pageSize().name();
        EXPECT_EQ(page.orientation(), QPageLayout::Landscape);
        EXPECT_EQ(page.margins(QPageLayout::Millimeter), QMarginsF(20, 30, 20, 30));
        dialog->PrintButtonPressed();
      }
      return 0;
    };
    window->Print_Button();
    ASSERT_EQ(platform.messages.size(), 1) << platform.messages.join("|");
    EXPECT_TRUE(platform.messages[0].trimmed().startsWith(QStringLiteral("1 sheet was sent")))
        << platform.messages[0];
    platform.messages.clear();
    const QString pdf = cups.Wait_For_Pdf(++job);
    ASSERT_FALSE(pdf.isEmpty()) << "no PDF from cups-pdf";
    const auto info = test_support::Run_Program("pdfinfo", {pdf});
    EXPECT_TRUE(QString::fromUtf8(info.out).contains(
        QRegularExpression(QStringLiteral("Page size:\\s+%1 pts").arg(QLatin1String(c.pdf_size)))))
        << info.out.constData();
  }
}

// File > Print... takes the document's orientation and margins into the job: the card lies
// at the margins of a landscape page. The print dialog is run as the user runs it (OK on
// the printer chosen).
TEST_F(Print_Cups, FilePrintTakesTheDocumentsOrientationAndMargins) {
  document.setPrintInfo(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                    QMarginsF(50, 60, 40, 30), QPageLayout::Point));
  platform.on_run_modal = [&](QObject* modal) {
    auto* dialog = qobject_cast<QPrintDialog*>(modal);
    EXPECT_NE(dialog, nullptr);
    if (!dialog) return 0;
    dialog->printer()->setPrinterName(cups.Queue());
    QTimer::singleShot(0, dialog, &QDialog::accept);
    return dialog->exec();
  };
  window->Print_menu_item->trigger();
  EXPECT_TRUE(platform.messages.isEmpty()) << platform.messages.join("|");
  const QString pdf = cups.Wait_For_Pdf(1);
  ASSERT_FALSE(pdf.isEmpty()) << "no PDF from cups-pdf";
  const QList<QImage> pages = Pages(pdf);
  ASSERT_EQ(pages.size(), 1);
  // cups-pdf writes the A4 sheet upright; a landscape page comes on it turned a quarter to
  // the left, and is turned back here.
  ASSERT_EQ(pages[0].size(), QSize(595, 842));
  const QImage page = pages[0].transformed(QTransform().rotate(90));
  const QRect card = Box_Of(page, front_grey, page.rect());
  ASSERT_FALSE(card.isEmpty());
  // The card (243 x 154 points) lies across the page, its corner at the margins.
  Expect_Near(card, QRectF(50, 60, 243, 154), "card at the document's margins");
}

}  // namespace
