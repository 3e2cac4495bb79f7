// Real printing: sheets of cards from the design window through a private cupsd with a
// cups-pdf queue (test_support::Private_Cups), read back with pdfinfo, pdftoppm, pdffonts,
// pdftotext, pdfimages and zbarimg. Needs root (cupsd runs cups-pdf only as root).

#include "../output/Output_Test_Support.h"
#include "model/CRDDocument.h"
#include "model/Fonts.h"
#include "model/Shape_Control.h"
#include "output/Print_Run.h"
#include "output/Sheet_Layout.h"
#include "output/ui/Print_Wnd.h"
#include "output/ui/Send_Modeless.h"
#include "platform/Scripted_Platform.h"
#include "support/Private_Cups.h"
#include "window/ui/CRDWindowController.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QSet>
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

#include <algorithm>
#include <atomic>
#include <iostream>

#include <dlfcn.h>
#include <unistd.h>
#include "support/Deadlock_Guard.h"

using namespace output_test;
using test_support::Private_Cups;

namespace {

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

// The sheets carry the cards as drawing, from the dialog's Print and from the preview's:
// the bound texts as text in the text's font, in record order; the barcodes as rectangles
// that decode from the PDF drawn at 150 and at 600 dpi; the photo as the one picture in the
// job, at no more than what its frame needs at 600 dpi; no picture of a whole card.
TEST_F(Print_Cups, SheetsCarryTheCardsAsDrawing) {
  constexpr int records = 6;
  QByteArray names;
  for (int r = 1; r <= records; ++r) names += "Guest " + QByteArray::number(r) + "\n";
  Write_Series("Guests", names);
  window->SetDocumentCanvasSize(QSizeF(360, 200));
  // A white card: the Code 128's quiet zone is narrower than a scanner wants beside grey.
  window->Front_card_Prop.Card_fill_clr = CRDColor::fromQColor(Qt::white);
  auto text = Bound<CRDText>(1, "Guests", 0, QRectF(10, 10, 200, 30));
  auto qr = Bound_Barcode(QStringLiteral("QR Code"), QStringLiteral("Guests"));
  qr->setBounds(QRectF(10, 60, 60, 60));
  auto code128 = Bound_Barcode(QStringLiteral("Code 128"), QStringLiteral("Guests"));
  code128->setBounds(QRectF(100, 60, 200, 60));
  auto shape = std::make_shared<Shape_Control>();
  shape->setBounds(QRectF(300, 10, 40, 40));
  // A photo of 2000 x 2000 pixels in a frame of 40 x 40 points: 334 pixels at 600 dpi.
  QImage photo(2000, 2000, QImage::Format_RGB32);
  for (int y = 0; y < photo.height(); ++y)
    for (int x = 0; x < photo.width(); ++x) photo.setPixel(x, y, qRgb(x / 8, y / 8, 90));
  const QString photo_file = scratch.filePath("photo.png");
  ASSERT_TRUE(photo.save(photo_file));
  auto picture = std::make_shared<CRDImage>();
  picture->setFilePath(photo_file);
  picture->setBounds(QRectF(310, 140, 40, 40));
  document.insertGraphics(CRDDocument::Side::Front, {text, qr, code128, shape, picture},
                          {0, 1, 2, 3, 4});
  const QString family = QFontInfo(Drawing_Font(text->Text_Font_value())).family();

  struct Road {
    const char* what;
    bool preview;
  };
  int job = 0;
  for (const Road road : {Road{"the dialog's Print", false}, Road{"the preview's Print", true}}) {
    SCOPED_TRACE(road.what);
    platform.messages.clear();
    platform.on_run_modal = [&](QObject* modal) {
      if (auto* dialog = qobject_cast<Print_Wnd*>(modal)) {
        Type(*dialog, dialog->Row_Text, "3", &Print_Wnd::Row_Changed);
        Type(*dialog, dialog->Col_Text, "1", &Print_Wnd::Col_Changed);
        if (road.preview) dialog->PreviewButtonPressed();
        else dialog->PrintButtonPressed();
      } else if (modal->objectName() == QLatin1String("Print_Preview")) {
        if (auto* print = modal->findChild<QAbstractButton*>(QStringLiteral("Print_btn")))
          print->click();
      }
      return 0;
    };
    window->Print_Button();
    ASSERT_EQ(platform.messages.size(), 1) << platform.messages.join("|");
    EXPECT_EQ(platform.messages[0].trimmed(),
              QStringLiteral("2 sheets were sent to the printer \"%1\".").arg(cups.Queue()));
    const QString pdf = cups.Wait_For_Pdf(++job);
    ASSERT_FALSE(pdf.isEmpty()) << "no PDF from cups-pdf";

    // The text's font is in the job.
    const auto fonts = test_support::Run_Program("pdffonts", {pdf});
    EXPECT_TRUE(QString::fromUtf8(fonts.out).contains(QString(family).remove(u' ')))
        << family.toStdString() << " not in\n" << fonts.out.constData();
    // Each record's text, in order (a Code 128 prints its value under its bars too).
    const auto words = test_support::Run_Program("pdftotext", {pdf, "-"});
    QList<int> order;
    for (auto it = QRegularExpression(QStringLiteral("Guest (\\d+)")).globalMatch(QString::fromUtf8(words.out));
         it.hasNext();)
      order << it.next().captured(1).toInt();
    QList<int> firsts;
    for (int r : order)
      if (!firsts.contains(r)) firsts << r;
    EXPECT_EQ(firsts, QList<int>({1, 2, 3, 4, 5, 6})) << words.out.constData();
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end())) << words.out.constData();
    // Pictures: the photo only, one picture for the whole job however many cards show it,
    // at no more than its frame's pixels at 600 dpi; no picture of a card (1500 x 834
    // pixels at 300 dpi).
    const auto images = test_support::Run_Program("pdfimages", {"-list", pdf});
    const QStringList lines = QString::fromUtf8(images.out).split(u'\n', Qt::SkipEmptyParts).mid(2);
    EXPECT_EQ(lines.size(), records) << images.out.constData();
    QSet<QString> objects;
    for (const QString& line : lines) {
      const QStringList f = line.simplified().split(u' ');
      ASSERT_GE(f.size(), 11) << line.toStdString();
      EXPECT_LE(f[3].toInt(), 334) << line.toStdString();
      EXPECT_LE(f[4].toInt(), 334) << line.toStdString();
      objects << f[10];
    }
    EXPECT_EQ(objects.size(), 1) << images.out.constData();
    // Every barcode decodes from the sheets drawn at 150 and at 600 dpi.
    QStringList want;
    for (int r = 1; r <= records; ++r)
      want << QStringLiteral("CODE-128:Guest %1").arg(r) << QStringLiteral("QR-Code:Guest %1").arg(r);
    want.sort();
    for (const char* dpi : {"150", "600"}) {
      const QString prefix = scratch.filePath(QStringLiteral("job%1-%2").arg(job).arg(dpi));
      const auto drawn = test_support::Run_Program("pdftoppm", {"-r", dpi, "-png", pdf, prefix});
      ASSERT_EQ(drawn.exit_code, 0) << drawn.err.constData();
      QStringList found;
      const QFileInfo info(prefix);
      for (const QString& page :
           QDir(info.path()).entryList({info.fileName() + "-*.png"}, QDir::Files, QDir::Name)) {
        const auto read = test_support::Run_Program(
            "zbarimg", {"-q", QDir(info.path()).filePath(page)}, 120000);
        found << QString::fromUtf8(read.out).split(u'\n', Qt::SkipEmptyParts);
      }
      found.sort();
      EXPECT_EQ(found, want) << dpi << " dpi";
    }
  }
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
