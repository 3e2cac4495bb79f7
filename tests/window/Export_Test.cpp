// Card image export from the design window: single files (front, back, both, combined),
// each file type at its resolution, batch export per record with its progress sheet,
// failures, records drawn without their picture, and Stop. Every file written is checked by
// independent readers (pngcheck, Pillow, file).

#include "../output/Output_Test_Support.h"
#include "Export_Driver.h"
#include "model/CRDDocument.h"
#include "output/Batch_Export.h"
#include "output/ui/Export_Window.h"
#include "output/ui/Send_Modeless.h"
#include "platform/Scripted_Platform.h"
#include "platform/Whole_File.h"
#include "support/File_Size_Limit.h"
#include "support/Deadlock_Guard.h"
#include "window/ui/CRDWindowController.h"
#include "window/ui/Open_Export_Log.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTimer>
#include <QToolButton>

#include <cmath>
#include <thread>

using namespace output_test;

namespace {

const QColor front_colour(200, 30, 30), back_colour(30, 30, 200);

class Export : public test_support::Design_Test {
 protected:
  void SetUp() override {
    Design_Test::SetUp();
    window = std::make_unique<CRDWindowController>(&document, scratch.filePath("Lumigrove"));
    window->SetDocumentCanvasSize(card_points);
    for (auto [prop, colour] : {std::pair{&window->Front_card_Prop, front_colour},
                                std::pair{&window->Back_card_Prop, back_colour}}) {
      prop->Card_fill_chk = true;
      prop->Card_fill_style = QStringLiteral("S");
      prop->Card_fill_clr = CRDColor::fromQColor(colour);
    }
    CARD_SIDE_STR = QStringLiteral("2");
    platform.on_run_modal = [this](QObject* modal) { return drive(modal); };
  }
  void TearDown() override {
    window.reset();
    Design_Test::TearDown();
  }

  // The export options as the test chose them; the result box is closed with OK.
  int drive(QObject* modal) {
    int code = 0;
    test_support::Answer_Export_Run(modal, *window, side_row, combined, result_boxes, &code,
                                    type, dpi);
    return code;
  }

  // Runs a batch export through the Export button into a fresh folder and waits for it.
  QString batch_export(const QString& folder) {
    platform.open_answers.push_back({folder});
    window->Export_Button();
    if (Batch_Export* run = window->Current_Batch_Export()) run->waitForFinished();
    return QDir(folder).filePath(QStringLiteral("ZELK Festival Greeting Card"));
  }

  static QColor centre(const QString& path, int half = 0) {
    const QImage image(path);
    if (image.isNull()) return {};
    const int h = half == 0 ? image.height() : image.height() / 2;
    return image.pixelColor(image.width() / 2, (half == 2 ? h : 0) + h / 2);
  }

  QSizeF card_points{72, 36};  // 300 x 150 pixels at 300 dpi
  QTemporaryDir scratch;
  CRDDocument document;
  std::unique_ptr<CRDWindowController> window;
  platform::Scoped_Scripted_Platform platform;
  QStringList result_boxes;
  int side_row = 1;
  bool combined = false;
  QString type = QStringLiteral("PNG");
  QString dpi;  // the resolution list's choice; empty: as the options open
};

TEST_F(Export, SingleFilesForEachSideAndTheCombinedPicture) {
  const int width = int(std::ceil(300 * 72 / 72.0)), height = int(std::ceil(300 * 36 / 72.0));
  struct Case {
    const char* what;
    int side_row;
    bool combined;
    const char* name;
    std::vector<const char*> files;  // written, in this order of checks
  };
  const Case cases[] = {
      {"front", 1, false, "F.png", {"F.png"}},
      {"back: the back name", 2, false, "B.png", {"B_Back.png"}},
      {"both", 0, false, "Both.png", {"Both.png", "Both_Back.png"}},
      {"combined", 0, true, "One.png", {"One.png"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QTemporaryDir out;
    side_row = c.side_row;
    combined = c.combined;
    platform.save_answers.push_back(out.filePath(QString::fromLatin1(c.name)));
    result_boxes.clear();
    window->Export_Button();
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files).size(), qsizetype(c.files.size()));
    for (const char* file : c.files) {
      const QString path = out.filePath(QString::fromLatin1(file));
      const bool back = QString::fromLatin1(file).contains("_Back") || c.side_row == 2;
      EXPECT_EQ(Checked_Png(path), QStringLiteral("RGB %1x%2").arg(width).arg(c.combined ? 2 * height : height));
      if (c.combined) {
        EXPECT_EQ(centre(path, 1), front_colour) << "the front on top";
        EXPECT_EQ(centre(path, 2), back_colour);
      } else {
        EXPECT_EQ(centre(path), back ? back_colour : front_colour);
      }
    }
    EXPECT_EQ(result_boxes, QStringList{"Card has been exported successfully."});
  }
  EXPECT_EQ(Card_Front_Or_Back, 0);
  EXPECT_TRUE(platform.messages.isEmpty()) << platform.messages;
}

// Both sides in one picture hold six card pictures while it is made and written: a card too
// large for that is refused before anything is drawn, with its size, as a batch refuses it.
TEST_F(Export, ACombinedPictureTooLargeToMakeIsRefusedWithItsSize) {
  window->SetDocumentCanvasSize(QSizeF(500 / 25.4 * 72, 500 / 25.4 * 72));  // 500 x 500 mm
  side_row = 0;
  combined = true;
  QTemporaryDir out;
  platform.save_answers.push_back(out.filePath("Large.png"));
  window->Export_Button();
  EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
  EXPECT_TRUE(result_boxes.isEmpty()) << result_boxes;
  ASSERT_EQ(platform.messages.size(), 1) << platform.messages;
  EXPECT_TRUE(platform.messages[0].startsWith(
      "\nBoth sides of 500 x 500 mm in one picture at 300 dpi would be 5906 x 11812 pixels"))
      << platform.messages[0].toStdString();
}

// A side too large for a card picture: the refusal with its size is the one message; no
// second box about an empty picture follows it, for one side or for both.
TEST_F(Export, ASideTooLargeToMakeIsRefusedOnce) {
  window->SetDocumentCanvasSize(QSizeF(2000 / 25.4 * 72, 2000 / 25.4 * 72));  // 2000 x 2000 mm
  for (const int row : {1, 2, 0}) {
    SCOPED_TRACE(row);
    side_row = row;
    combined = false;
    platform.messages.clear();
    QTemporaryDir out;
    platform.save_answers.push_back(out.filePath("Large.png"));
    window->Export_Button();
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_TRUE(result_boxes.isEmpty()) << result_boxes;
    ASSERT_EQ(platform.messages.size(), 1) << platform.messages;
    EXPECT_TRUE(platform.messages[0].startsWith(
        "\nThe card picture of 2000 x 2000 mm at 300 dpi would be 23623 x 23623 pixels"))
        << platform.messages[0].toStdString();
  }
}

// The card is 72 x 36 points: ceil(dpi x points / 72) pixels.
TEST_F(Export, EachTypeWritesItsOwnDataAtItsResolution) {
  struct Case {
    const char* type;
    const char* dpi;      // chosen in the resolution list
    const char* name;     // answered in the save panel
    const char* written;  // the file
    const char* format;   // Pillow's
    int resolution;       // of the picture and in the file
  };
  const Case cases[] = {
      {"JPEG", nullptr, "Card", "Card.jpeg", "JPEG", 300},
      {"TIFF", "150", "Card", "Card.tiff", "TIFF", 150},
      {"TIFF", "600", "Card.tif", "Card.tif", "TIFF", 600},
      {"BMP", nullptr, "Card.bmp", "Card.bmp", "BMP", 300},
      {"PNG", "600", "Card", "Card.png", "PNG", 300},  // the list counts for TIFF only
      {"TIFF", "72", "Card.png", "Card.png", "PNG", 300},  // the name decides the data
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.written);
    QTemporaryDir out;
    type = QLatin1String(c.type);
    dpi = c.dpi ? QString::fromLatin1(c.dpi) : QString();
    platform.save_answers.push_back(out.filePath(QString::fromLatin1(c.name)));
    result_boxes.clear();
    window->Export_Button();
    EXPECT_EQ(platform.save_requests.last().extension, type.toLower());
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList{c.written});
    const Picture_File_Facts facts = Read_Picture_File(out.filePath(QString::fromLatin1(c.written)));
    EXPECT_EQ(facts.format, QLatin1String(c.format));
    EXPECT_EQ(facts.size, QSize(int(std::ceil(c.resolution * 72 / 72.0)),
                                int(std::ceil(c.resolution * 36 / 72.0))));
    EXPECT_EQ(facts.dpi, QSize(c.resolution, c.resolution));
    if (facts.format == QLatin1String("TIFF")) {
      EXPECT_EQ(facts.tiff_x, c.resolution);
      EXPECT_EQ(facts.tiff_unit, 2);
    }
    EXPECT_TRUE(Near(facts.centre, front_colour)) << facts.centre.name().toStdString();
    EXPECT_EQ(result_boxes, QStringList{"Card has been exported successfully."});
  }
  EXPECT_TRUE(platform.messages.isEmpty()) << platform.messages;
}

TEST_F(Export, TheOptionsOfferTheTypesWrittenAndTheResolutionForTiffOnly) {
  auto* options = new Export_Window(window.get());
  EXPECT_EQ(options->matrix_file_type->buttons().size(), 4);
  struct Case {
    int row;
    const char* title;
    bool resolution_enabled;
  };
  for (const Case& c : {Case{2, "JPEG", false}, Case{0, "TIFF", true}, Case{3, "BMP", false},
                        Case{1, "PNG", false}}) {
    options->matrix_file_type->button(c.row)->click();
    EXPECT_EQ(options->fileFormatPopup->currentText(), QLatin1String(c.title));
    EXPECT_EQ(options->saveDPIText->isEnabled(), c.resolution_enabled) << c.title;
  }
  options->saveDPIText->setCurrentText(QStringLiteral("150"));
  EXPECT_EQ(options->Resolution(), 300) << "PNG";
  options->fileFormatPopup->setCurrentText(QStringLiteral("TIFF"));
  EXPECT_TRUE(options->saveDPIText->isEnabled());
  EXPECT_EQ(options->Resolution(), 150);
  options->Reset(false, false);
  EXPECT_EQ(options->Type(), Card_File_Type::TIFF);
  EXPECT_EQ(options->Resolution(), 300) << "item 0";
}

TEST_F(Export, ASingleFileThatCannotBeWrittenShowsNoResultBox) {
  QTemporaryDir out;
  const QString taken = out.filePath("Card.png");
  ASSERT_TRUE(QDir().mkdir(taken));
  platform.save_answers.push_back(taken);
  window->Export_Button();
  EXPECT_TRUE(result_boxes.isEmpty());
  ASSERT_EQ(platform.messages.size(), 2);
  EXPECT_TRUE(platform.messages[0].contains(taken)) << "the path, then the reason";
}

// Both sides as two files are both written or neither: a back that cannot be written makes
// the export a failure and no front is written; a front that cannot be written takes the
// back already written with it.
TEST_F(Export, BothSidesAreWrittenTogetherOrNotAtAll) {
  for (const char* blocked : {"Both_Back.png", "Both.png"}) {
    SCOPED_TRACE(blocked);
    QTemporaryDir out;
    ASSERT_TRUE(QDir().mkdir(out.filePath(QString::fromLatin1(blocked))));
    side_row = 0;
    platform.messages.clear();
    platform.save_answers.push_back(out.filePath("Both.png"));
    window->Export_Button();
    EXPECT_TRUE(result_boxes.isEmpty()) << result_boxes;
    ASSERT_EQ(platform.messages.size(), 2);
    EXPECT_EQ(platform.messages[0], "\n" + out.filePath(QString::fromLatin1(blocked)))
        << "the path, then the reason";
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList())
        << "no side of the card is left";
  }
}

class Batch : public Export {
 protected:
  void SetUp() override {
    Export::SetUp();
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue};
    QStringList paths;
    for (int i = 0; i < 3; ++i) {
      QImage pixels(20, 10, QImage::Format_RGB32);
      pixels.fill(colours[i]);
      paths << scratch.filePath(QStringLiteral("p%1.png").arg(i));
      ASSERT_TRUE(pixels.save(paths.last()));
      record_colours << colours[i];
    }
    Write_Series("Photos", (paths.join('\n') + '\n').toUtf8());
    for (const char* side : {"graphics", "graphics_back"}) {
      auto picture = Bound<CRDImage>(1, "Photos", 0, QRectF(QPointF(0, 0), card_points));
      document.insertGraphics(QLatin1String(side) == QLatin1String("graphics")
                                  ? CRDDocument::Side::Front
                                  : CRDDocument::Side::Back,
                              {picture}, {0});
    }
  }
  QList<QColor> record_colours;
};

TEST_F(Batch, OneFilePerRecordAndSideThenRecordZeroOnTheFront) {
  QTemporaryDir out;
  const QString existing = QDir(out.path()).filePath("ZELK Festival Greeting Card");
  ASSERT_TRUE(QDir().mkpath(existing));
  {
    QFile old(QDir(existing).filePath("Card_2.png"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
  }
  // Hidden leftovers of earlier builds' killed writes go only beside the cards this run
  // replaces; names of that pattern beside anything else are not ours to remove (a record
  // number is the whole of what stands between "Card_" and the extension).
  const QStringList leftovers = {".Card_2.png.Ab12Cd", ".Card_3_Back.png.zZ9yY8"};
  const QStringList others = {".Card_4.png.Ab12Cd",      ".Card_02.png.Ab12Cd",
                              ".Card_2.jpg.Ab12Cd",      ".notes.txt.Ab12Cd",
                              ".Card_2.png.Ab12C",       ".Card_3x.png.Ab12Cd",
                              ".Card_2 .png.Ab12Cd",     ".Card_1x_Back.png.Ab12Cd"};
  for (const QString& name : leftovers + others) {
    QFile file(QDir(existing).filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("partial");
  }
  Card_Front_Or_Back = 1;  // the back side is current
  side_row = 0;
  const QString folder = batch_export(out.path());
  EXPECT_EQ(folder, existing);
  const QStringList expected = {"Card_1.png", "Card_1_Back.png", "Card_2.png",
                                "Card_2_Back.png", "Card_3.png", "Card_3_Back.png"};
  EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name), expected);
  QStringList hidden_left = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
  for (const QString& name : expected) hidden_left.removeAll(name);
  QStringList others_sorted = others;
  others_sorted.sort();
  EXPECT_EQ(hidden_left, others_sorted);
  for (int r = 0; r < 3; ++r) {
    for (const char* suffix : {"", "_Back"}) {
      const QString path = QDir(folder).filePath(QStringLiteral("Card_%1%2.png").arg(r + 1).arg(suffix));
      SCOPED_TRACE(path.toStdString());
      EXPECT_EQ(Checked_Png(path), QStringLiteral("RGB 300x150"));
      EXPECT_EQ(centre(path), record_colours[r]);
    }
  }
  EXPECT_FALSE(QFileInfo(folder).permissions() & QFileDevice::WriteOther);
  EXPECT_EQ(result_boxes, QStringList{"Card has been exported successfully."});
  EXPECT_EQ(Export_File_Path.get(), folder);
  // Afterwards: record 0 on the front, the previous side current, the canvas live again.
  EXPECT_EQ(window->Get_Front_Controls_Array()[0]->FilePath(), QDir(scratch.path()).filePath("p0.png"));
  EXPECT_EQ(Card_Front_Or_Back, 1);
  EXPECT_FALSE(Card_Value_In_Process);
  EXPECT_FALSE(window->send_modls_wnd->isVisible());
  EXPECT_TRUE(platform.messages.isEmpty()) << platform.messages;
}

// The export folder is the program's own, made in the user's folder: a link planted at a
// card's name is replaced by the card, and an export folder that is a link is not written
// into; what the links named stays as it was.
TEST_F(Batch, LinksPlantedInTheExportFolderAreNotFollowed) {
  QTemporaryDir out, elsewhere;
  const QString notes = elsewhere.filePath("notes.txt");
  {
    QFile file(notes);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("someone else's notes");
  }
  const QString folder = QDir(out.path()).filePath("ZELK Festival Greeting Card");
  ASSERT_TRUE(QDir().mkpath(folder));
  ASSERT_TRUE(QFile::link(notes, QDir(folder).filePath("Card_1.png")));
  side_row = 0;
  batch_export(out.path());
  EXPECT_EQ(result_boxes, QStringList{"Card has been exported successfully."});
  EXPECT_FALSE(QFileInfo(QDir(folder).filePath("Card_1.png")).isSymLink());
  EXPECT_EQ(Checked_Png(QDir(folder).filePath("Card_1.png")), QStringLiteral("RGB 300x150"));
  auto outside = [&] {
    QFile file(notes);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  };
  EXPECT_EQ(outside(), QByteArray("someone else's notes"));

  ASSERT_TRUE(QDir(folder).removeRecursively());
  ASSERT_TRUE(QFile::link(elsewhere.path(), folder));
  result_boxes.clear();
  batch_export(out.path());
  EXPECT_TRUE(result_boxes.isEmpty()) << result_boxes;
  EXPECT_EQ(platform.messages,
            QStringList{"\n" + unable_saving_Msg + "\n\n" + Linked_Folder_Refusal(folder)});
  EXPECT_EQ(
      QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
      QStringList{"notes.txt"});
  EXPECT_EQ(outside(), QByteArray("someone else's notes"));
  EXPECT_FALSE(Card_Value_In_Process);
}

TEST_F(Batch, AFailedRecordLeavesNoFileAndTheOthersAreWritten) {
  QTemporaryDir out;
  const QString folder = QDir(out.path()).filePath("ZELK Festival Greeting Card");
  ASSERT_TRUE(QDir().mkpath(folder + "/Card_2.png"));
  batch_export(out.path());
  EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name), (QStringList{"Card_1.png", "Card_3.png"}));
  ASSERT_EQ(result_boxes.size(), 1);
  EXPECT_TRUE(result_boxes[0].startsWith("1 of 3 cards could not be exported (record 2)"))
      << result_boxes[0];
  EXPECT_TRUE(platform.messages.isEmpty()) << "failures are collected, not shown per file";
}

TEST_F(Batch, EveryRecordInTheChosenTypeAndResolution) {
  side_row = 0;
  type = QStringLiteral("TIFF");
  dpi = QStringLiteral("150");
  QTemporaryDir out;
  const QString folder = batch_export(out.path());
  EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name),
            (QStringList{"Card_1.tiff", "Card_1_Back.tiff", "Card_2.tiff", "Card_2_Back.tiff",
                         "Card_3.tiff", "Card_3_Back.tiff"}));
  for (int r = 0; r < 3; ++r) {
    for (const char* suffix : {"", "_Back"}) {
      const QString path = QDir(folder).filePath(QStringLiteral("Card_%1%2.tiff").arg(r + 1).arg(suffix));
      SCOPED_TRACE(path.toStdString());
      const Picture_File_Facts facts = Read_Picture_File(path);
      EXPECT_EQ(facts.format, QStringLiteral("TIFF"));
      EXPECT_EQ(facts.size, QSize(150, 75));
      EXPECT_EQ(facts.tiff_x, 150);
      EXPECT_EQ(facts.tiff_y, 150);
      EXPECT_EQ(facts.tiff_unit, 2);
      EXPECT_EQ(facts.centre, record_colours[r]);
    }
  }
  EXPECT_EQ(result_boxes, QStringList{"Card has been exported successfully."});
}

TEST_F(Batch, RecordsWithoutTheirPictureAreNamedInTheResult) {
  const QString missing = QDir(scratch.path()).filePath("p1.png");
  ASSERT_TRUE(QFile::remove(missing));
  QTemporaryDir out;
  const QString folder = batch_export(out.path());
  EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name),
            (QStringList{"Card_1.png", "Card_2.png", "Card_3.png"}))
      << "the record is still written, with an empty frame";
  EXPECT_EQ(result_boxes, QStringList{QStringLiteral(
                              "1 of 3 cards were exported with an empty frame (record 2): "
                              "%1 could not be read.")
                                          .arg(missing)});
  EXPECT_TRUE(platform.messages.isEmpty()) << platform.messages;
}

// A picture object (not bound) whose file is gone is drawn as an empty frame on every card:
// the single export and the batch both name the file instead of a plain success. A picture
// on a side not exported is not named.
void Add_Pictures_Whose_Files_Are_Gone(CRDDocument& document, const QString& front_file,
                                       const QString& back_file) {
  for (const auto& [file, side] : {std::pair{front_file, CRDDocument::Side::Front},
                                   std::pair{back_file, CRDDocument::Side::Back}}) {
    auto picture = std::make_shared<CRDImage>();
    picture->setBounds(QRectF(0, 0, 20, 20));
    picture->Set_Control_File_path(file);
    document.insertGraphics(side, {picture}, {0});
  }
}

QString Missing_Result(const QString& file) {
  return QStringLiteral("The card has been exported, but not whole.\n\nA picture file is missing; "
                        "its frame is empty on every card:\n%1").arg(file);
}

TEST_F(Export, PictureObjectsWhoseFileIsGoneAreNamedInTheResult) {
  const QString gone = QDir(scratch.path()).filePath("moved away.png");
  Add_Pictures_Whose_Files_Are_Gone(document, gone, QDir(scratch.path()).filePath("back only.png"));
  side_row = 1;  // the front
  QTemporaryDir single;
  platform.save_answers.push_back(single.filePath("one.png"));
  window->Export_Button();
  EXPECT_EQ(result_boxes, QStringList{Missing_Result(gone)});
  EXPECT_TRUE(platform.messages.isEmpty()) << platform.messages;
}

TEST_F(Batch, PictureObjectsWhoseFileIsGoneAreNamedInTheResult) {
  const QString gone = QDir(scratch.path()).filePath("moved away.png");
  Add_Pictures_Whose_Files_Are_Gone(document, gone, QDir(scratch.path()).filePath("back only.png"));
  side_row = 1;  // the front
  QTemporaryDir out;
  batch_export(out.path());
  EXPECT_EQ(result_boxes, QStringList{Missing_Result(gone)});
  EXPECT_TRUE(platform.messages.isEmpty()) << platform.messages;
}

TEST_F(Batch, ABarcodeThatCannotBeDrawnIsReportedOnceByTheWindow) {
  // A QR Code whose stored side is far too large for a picture: its workers used to show a
  // message box each through the seam.
  auto qr = Bound_Barcode(QStringLiteral("QR Code"), QStringLiteral("Photos"));
  qr->qr_size_val = 1000000;
  document.insertGraphics(CRDDocument::Side::Front, {qr}, {0});
  QTemporaryDir out;
  const QString folder = batch_export(out.path());
  EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 3);
  EXPECT_TRUE(platform.messages.isEmpty()) << "workers show nothing: " << platform.messages;
  EXPECT_EQ(result_boxes,
            QStringList{"3 of 3 cards were exported with an empty frame (record 1, 2, 3): "
                        "The picture would be 1000000 x 1000000 points at 600 dpi, more than the 32768 pixels "
                        "a side that a picture can have. Lower the resolution (Resolution tab) or the QR "
                        "size (Barcode tab)."});
}

// A batch onto a disk that takes no more (files may not grow past a limit): every file
// that failed is counted and the reason shown; a file counted as written is whole. Card
// files are small, so they fail only when their data is written out.
TEST_F(Batch, ADiskThatTakesNoMoreIsCountedHonestly) {
  QTemporaryDir out;
  const QString folder = QDir(out.path()).filePath("ZELK Festival Greeting Card");
  ASSERT_TRUE(QDir().mkpath(folder));
  {
    QFile old(QDir(folder).filePath("Card_1.png"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the card exported before");
  }
  side_row = 1;
  const test_support::Limited_Write none = test_support::Expect_Refused_Under_Limit(
      QDir(folder).filePath("Card_1.png"), 0, [&](QString* shown) {
        batch_export(out.path());
        *shown = result_boxes.join(u'|');
        return result_boxes == QStringList{"Card has been exported successfully."};
      });
  EXPECT_TRUE(none.reason.startsWith("3 of 3 cards could not be exported (record 1, 2, 3): " +
                                     QDir(folder).filePath("Card_1.png") + ": writing failed: "))
      << none.reason.toStdString();

  // Record 2's picture is noise, which makes its file larger than the limit; the others fit.
  QImage noise(300, 150, QImage::Format_RGB32);
  QRandomGenerator random(9);
  for (int y = 0; y < noise.height(); ++y)
    for (int x = 0; x < noise.width(); ++x) noise.setPixel(x, y, random.generate() | 0xff000000u);
  ASSERT_TRUE(noise.save(scratch.filePath("p1.png")));
  const test_support::Limited_Write some =
      test_support::Run_With_File_Size_Limit(16 * 1024, [&](QString* shown) {
        batch_export(out.path());
        *shown = result_boxes.join(u'|');
        return result_boxes == QStringList{"Card has been exported successfully."};
      });
  ASSERT_TRUE(some.finished) << some.reason.toStdString();
  EXPECT_FALSE(some.written);
  EXPECT_TRUE(some.reason.startsWith(
      "1 of 3 cards could not be exported (record 2): " + QDir(folder).filePath("Card_2.png") +
      ": writing failed: " + test_support::File_Too_Large_Text()))
      << some.reason.toStdString();
  EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name),
            (QStringList{"Card_1.png", "Card_3.png"}));
  for (const char* file : {"Card_1.png", "Card_3.png"})
    EXPECT_EQ(Checked_Png(QDir(folder).filePath(file)), QStringLiteral("RGB 300x150")) << file;
}

// A two-sided record whose front or back file cannot be written (the disk takes no more of
// its noisy picture) leaves neither file; the other records are written whole.
TEST_F(Batch, ATwoSidedCardWithASideThatCannotBeWrittenLeavesNoFile) {
  // The back shows a second series, so that each side can be the large one.
  QStringList backs;
  for (int i = 0; i < 3; ++i) backs << scratch.filePath(QStringLiteral("back%1.png").arg(i));
  Write_Series("Backs", (backs.join('\n') + '\n').toUtf8());
  document.removeGraphicsAtIndexes(CRDDocument::Side::Back, {0});
  document.insertGraphics(CRDDocument::Side::Back,
                          {Bound<CRDImage>(1, "Backs", 0, QRectF(QPointF(0, 0), card_points))}, {0});
  QImage noise(300, 150, QImage::Format_RGB32);
  QRandomGenerator random(5);
  for (int y = 0; y < noise.height(); ++y)
    for (int x = 0; x < noise.width(); ++x) noise.setPixel(x, y, random.generate() | 0xff000000u);
  QImage plain(300, 150, QImage::Format_RGB32);
  plain.fill(Qt::yellow);
  const QString fronts[] = {scratch.filePath("p0.png"), scratch.filePath("p1.png"),
                            scratch.filePath("p2.png")};

  struct Case {
    const char* large;   // the side of record 2 whose file outgrows the disk
    const char* failed;  // the file named in the result
  };
  const Case cases[] = {{"front", "Card_2.png"}, {"back", "Card_2_Back.png"}};
  side_row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.large);
    const bool front_large = QLatin1String(c.large) == QLatin1String("front");
    for (int i = 0; i < 3; ++i) {
      ASSERT_TRUE((i == 1 && front_large ? noise : plain).save(fronts[i]));
      ASSERT_TRUE((i == 1 && !front_large ? noise : plain).save(backs[i]));
    }
    QTemporaryDir out;
    const QString folder = QDir(out.path()).filePath("ZELK Festival Greeting Card");
    result_boxes.clear();
    const test_support::Limited_Write run =
        test_support::Run_With_File_Size_Limit(16 * 1024, [&](QString* shown) {
          batch_export(out.path());
          *shown = result_boxes.join(u'|');
          return result_boxes == QStringList{"Card has been exported successfully."};
        });
    ASSERT_TRUE(run.finished) << run.reason.toStdString();
    EXPECT_FALSE(run.written);
    EXPECT_TRUE(run.reason.startsWith("1 of 3 cards could not be exported (record 2): " +
                                      QDir(folder).filePath(QString::fromLatin1(c.failed)) +
                                      ": writing failed: " + test_support::File_Too_Large_Text()))
        << run.reason.toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{"Card_1.png", "Card_1_Back.png", "Card_3.png", "Card_3_Back.png"}));
  }
}

TEST_F(Batch, StopLetsTheRecordsInFlightFinishAndStartsNoOther) {
  Write_Series("Photos", [&] {
    QByteArray lines;
    for (int i = 0; i < 200; ++i) lines += QDir(scratch.path()).filePath("p0.png").toUtf8() + '\n';
    return lines;
  }());
  card_points = QSizeF(297.6, 420);  // A6, whole pixels
  window->SetDocumentCanvasSize(card_points);
  platform.yes_no_answers = {true};
  QTemporaryDir out;
  platform.open_answers.push_back({out.path()});
  window->Export_Button();
  Batch_Export* run = window->Current_Batch_Export();
  ASSERT_TRUE(run);
  int begun_at_stop = -1;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (begun_at_stop < 0 && curr_barcode_count >= 2) {
      window->send_modls_wnd->_stop_btn->click();
      begun_at_stop = int(curr_barcode_count.load());
    }
  });
  poll.start(1);
  run->waitForFinished();
  const QString folder = QDir(out.path()).filePath("ZELK Festival Greeting Card");
  const QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
  EXPECT_EQ(platform.questions, QStringList{Send_Modeless::Stop_Question});
  ASSERT_GE(begun_at_stop, 2);
  EXPECT_LT(files.size(), 200);
  EXPECT_LE(files.size(), begun_at_stop + int(std::thread::hardware_concurrency()));
  for (const QString& file : files) {
    EXPECT_TRUE(QRegularExpression("^Card_\\d+\\.png$").match(file).hasMatch())
        << file << " (no temporary file is left)";
    EXPECT_EQ(Checked_Png(QDir(folder).filePath(file)), QStringLiteral("RGB 1240x1750"));
  }
  EXPECT_EQ(result_boxes.size(), 1);
}

// Answers the stop question as a person does: a while after it was asked. Meanwhile the
// workers begin no record.
class Deliberating_Platform : public platform::Scoped_Scripted_Platform {
 public:
  QString folder;  // where the cards are written
  int begun_when_asked = -1, begun_when_answered = -1;
  bool Yes_No_Box(const QString& text) override {
    // Records that had passed their last test when the question came up get going first:
    // once every record begun has its card, the workers are all waiting for the answer.
    const auto deadline = std::chrono::steady_clock::now() + test_support::kDeadlock_Guard;
    for (;;) {
      const int begun = int(curr_barcode_count.load());
      if (cards() == begun) {
        begun_when_asked = begun;
        break;
      }
      if (std::chrono::steady_clock::now() > deadline) {
        ADD_FAILURE() << "the records begun did not finish";
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // A while with the question open: a record wrongly begun would show meanwhile.
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    begun_when_answered = int(curr_barcode_count.load());
    return Scripted_Platform::Yes_No_Box(text);
  }

 private:
  int cards() const {
    return int(QDir(folder).entryList({QStringLiteral("Card_*")}, QDir::Files).size());
  }
};

TEST_F(Batch, WhileTheStopQuestionIsOpenNoRecordBeginsAndTheResultSaysStopped) {
  constexpr int records = 200;
  Write_Series("Photos", [&] {
    QByteArray lines;
    for (int i = 0; i < records; ++i)
      lines += QDir(scratch.path()).filePath("p0.png").toUtf8() + '\n';
    return lines;
  }());
  card_points = QSizeF(297.6, 420);  // A6
  window->SetDocumentCanvasSize(card_points);
  for (const bool yes : {true, false}) {
    SCOPED_TRACE(yes ? "Yes" : "No");
    Deliberating_Platform person;
    person.on_run_modal = platform.on_run_modal;
    person.yes_no_answers = {yes};
    result_boxes.clear();
    QTemporaryDir out;
    person.open_answers.push_back({out.path()});
    person.folder = QDir(out.path()).filePath("ZELK Festival Greeting Card");
    window->Export_Button();
    Batch_Export* run = window->Current_Batch_Export();
    ASSERT_TRUE(run);
    bool pressed = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (!pressed && curr_barcode_count >= 2) {
        pressed = true;
        window->send_modls_wnd->_stop_btn->click();
      }
    });
    poll.start(1);
    run->waitForFinished();
    ASSERT_TRUE(pressed);
    ASSERT_LT(person.begun_when_asked, records) << "the run ended before the question";
    EXPECT_EQ(person.begun_when_answered, person.begun_when_asked);
    const int files = int(QDir(QDir(out.path()).filePath("ZELK Festival Greeting Card"))
                              .entryList(QDir::Files)
                              .size());
    if (yes) {
      EXPECT_EQ(files, person.begun_when_answered);
      EXPECT_EQ(result_boxes, QStringList{QStringLiteral(
                                  "The export was stopped: %1 of %2 cards were written.")
                                                  .arg(files)
                                                  .arg(records)});
    } else {
      EXPECT_EQ(files, records);
      EXPECT_EQ(result_boxes, QStringList{"Card has been exported successfully."});
    }
    EXPECT_FALSE(Stop_Question_Open);
  }
}

TEST(Batch_Result_Message, SaysWhatHappened) {
  auto records = [](std::initializer_list<int> numbers, const char* reason) {
    std::vector<Batch_Export_Failure> list;
    for (int n : numbers) list.push_back({n, QString::fromLatin1(reason)});
    return list;
  };
  struct Case {
    const char* what;
    Batch_Export_Result result;
    const char* message;
  };
  const Case cases[] = {
      {"all written", {1000, 1000, 1000, 0, {}, 0, {}, false},
       "Card has been exported successfully."},
      {"stopped", {1000, 361, 361, 0, {}, 0, {}, true},
       "The export was stopped: 361 of 1000 cards were written."},
      {"stopped with a failure", {1000, 361, 360, 1, records({4}, "disk full"), 0, {}, true},
       "The export was stopped: 360 of 1000 cards were written.\n\n"
       "1 of 361 cards could not be exported (record 5): disk full"},
      {"pictures missing, more than are kept",
       {30, 30, 30, 0, {}, 12, records({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, "/p/a.png could not be read."), false},
       "12 of 30 cards were exported with an empty frame (record 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, "
       "...): /p/a.png could not be read."},
  };
  for (const Case& c : cases) EXPECT_EQ(Batch_Result_Message(c.result), QLatin1String(c.message)) << c.what;
}

TEST_F(Export, ProgressSheetLabelsAndStopAnsweredNo) {
  Send_Modeless sheet;
  sheet.Start_Run(window.get(), 0, QStringLiteral("%d / %d Card"));
  EXPECT_EQ(sheet._tot_msg_cnt->text(), QStringLiteral("0"));
  EXPECT_EQ(sheet._curr_msg_cnt->text(), QStringLiteral("0 / 0 Card"));
  EXPECT_EQ(curr_msg_count.get(), QStringLiteral("0 / 0 Card"));
  EXPECT_TRUE(sheet.isVisible());
  EXPECT_TRUE(sheet.msend_modTimer.isActive());
  sheet.End_Run();
  EXPECT_FALSE(sheet.isVisible());
  EXPECT_FALSE(sheet.msend_modTimer.isActive());

  sheet.Start_Run(window.get(), 10, QStringLiteral("%d / %d"));
  EXPECT_EQ(sheet._curr_msg_cnt->text(), QStringLiteral("0 / 10"));
  curr_barcode_count = 4;
  sheet.update_sending_progress_bar();
  EXPECT_EQ(sheet._curr_msg_cnt->text(), QStringLiteral("4 / 10 "));
  EXPECT_EQ(sheet._Curr_Progress->value(), 4);
  platform.yes_no_answers = {false};
  sheet._stop_btn->click();
  EXPECT_FALSE(Stop_SMS_Sending_Now) << "No changes nothing";
  EXPECT_EQ(platform.questions, QStringList{Send_Modeless::Stop_Question});
  sheet.End_Run();
}

TEST_F(Export, TheExportButtonIsOnTheToolbarAndEnabled) {
  auto* button = window->findChild<QToolButton*>(QStringLiteral("Export_btn"));
  ASSERT_TRUE(button);
  EXPECT_TRUE(button->isEnabled());
  // Cancelled options write nothing and ask for no file.
  platform.on_run_modal = [](QObject*) { return 0; };
  button->click();
  EXPECT_TRUE(platform.save_requests.isEmpty());
  EXPECT_TRUE(platform.open_requests.isEmpty());
}

}  // namespace
