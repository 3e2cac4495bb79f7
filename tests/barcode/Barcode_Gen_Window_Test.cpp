// The barcode designer dialog driven by object name, offscreen: every symbology chosen and
// typed into, OK's picture read back by independent decoders; the handlers' edge cases; OK
// refused while the preview is blank; Cancel and the value source leave the graphic alone.

#include "barcode/ui/Barcode_Gen_Window.h"

#include "barcode/Barcode_Symbologies.h"
#include "model/CRDBarcode.h"
#include "model/Graphic_Archive.h"
#include "model/Shared_Design_State.h"
#include "platform/Scripted_Platform.h"
#include "series/Data_From_Excel.h"
#include "series/ui/Data_Table_Window.h"
#include "support/Barcode_Decoders.h"
#include "support/Test_Support.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

using test_support::Decoder;

template <typename W>
W* child(const char* name) {
  auto* w = Barcode_Gen_Window::defaultInstance()->findChild<W*>(QString::fromLatin1(name));
  EXPECT_NE(w, nullptr) << name;
  return w;
}

void choose(const char* combo_name, const QString& item) {
  auto* combo = child<QComboBox>(combo_name);
  const int index = combo->findText(item);
  ASSERT_GE(index, 0) << combo_name << " " << item.toStdString();
  combo->setCurrentIndex(index);
  emit combo->activated(index);
}

// Types the value into the current mode's value control, key by key.
void type_value(const QString& value) {
  auto* dialog = Barcode_Gen_Window::defaultInstance();
  if (dialog->designer().liner_or_2D_font == 1) {
    dialog->dataText_2D->clear();
    dialog->dataText_2D->insertPlainText(value);
  } else {
    dialog->dataText->clear();
    emit dialog->dataText->textEdited(QString());
    bool ascii = true;
    for (const QChar ch : value) ascii = ascii && ch.unicode() < 128;
    if (ascii) {
      QTest::keyClicks(dialog->dataText, value);
    } else {  // QTest types ASCII only
      dialog->dataText->setText(value);
      emit dialog->dataText->textEdited(value);
    }
  }
}

QImage flattened(const Picture& picture) {
  QImage flat(picture.image().size(), QImage::Format_RGB32);
  flat.fill(Qt::white);
  QPainter painter(&flat);
  painter.drawImage(0, 0, picture.image());
  return flat;
}

// ZXingReader's own report of a QR symbol's error-correction level ("L", "M", "Q", "H").
QString zxing_ec_level(const QImage& image) {
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("qr.png"));
  if (!image.save(file)) return {};
  const auto run = test_support::Run_Program(QStringLiteral("ZXingReader"), {file});
  for (const QByteArray& line : run.out.split('\n'))
    if (line.trimmed().startsWith("EC Level:")) return QString::fromLatin1(line.mid(9).trimmed());
  return {};
}

class Designer_Dialog : public test_support::Design_Test {
 public:
  void SetUp() override {
    Design_Test::SetUp();
    dialog = Barcode_Gen_Window::defaultInstance();
    graphic = std::make_shared<CRDBarcode>(QPointF(50, 50), Picture());
  }
  // Runs the designer on the graphic; `drive` plays the user inside the modal run.
  void run(const std::function<void()>& drive) {
    platform.on_run_modal = [this, drive](QObject* window) {
      if (window != dialog) return other_runs ? other_runs(window) : 0;
      drive();
      return 0;
    };
    dialog->Open_Wnd(graphic);
  }

  platform::Scoped_Scripted_Platform platform;
  std::function<int(QObject*)> other_runs;  // modal runs of other windows meanwhile
  Barcode_Gen_Window* dialog = nullptr;
  std::shared_ptr<CRDGraphic> graphic;
};

// ---- Every symbology, with its options, through OK ----------------------------------------

struct Symbology_Case {
  const char* title;
  const char* value;
  Decoder decoder;          // which decoder reads it (postal ones: none, only non-blank)
  const char* expected;     // what it reads
  QStringList arguments;    // extra decoder arguments
  std::function<void()> options;
  const char* qr_level = nullptr;
};

std::ostream& operator<<(std::ostream& os, const Symbology_Case& c) { return os << c.title; }

class Every_Symbology : public Designer_Dialog,
                        public ::testing::WithParamInterface<Symbology_Case> {};

TEST_P(Every_Symbology, OkHandsOutThePictureThatDecodesToTheValue) {
  const Symbology_Case& c = GetParam();
  run([&] {
    choose("barcodeTypePopup", QString::fromLatin1(c.title));
    type_value(QString::fromUtf8(c.value));
    if (c.options) c.options();
    EXPECT_TRUE(dialog->OK_Btn->isEnabled());
    dialog->OK_Btn->click();
  });
  const Picture out = Barcode_output_image.get();
  ASSERT_FALSE(out.isNull());
  EXPECT_EQ(out, dialog->designer().barcodeImage());
  EXPECT_EQ(graphic->barcode_font_index,
            Barcode_Symbology_Titles().indexOf(QString::fromLatin1(c.title)));
  EXPECT_EQ(graphic->linear_or_2d == 1 ? graphic->two_d_font_val : graphic->linear_font_val,
            QString::fromUtf8(c.value));
  if (c.decoder == Decoder::Dmtx || c.expected) {
    const auto read = test_support::Decode(c.decoder, flattened(out), c.arguments);
    ASSERT_TRUE(read.ran) << read.log;
    EXPECT_EQ(read.data, QByteArray(c.expected)) << read.log;
  } else {
    // Postal symbols: no decoder; the picture has dark bars on its background.
    const QImage flat = flattened(out);
    int dark = 0;
    for (int y = 0; y < flat.height(); y += 2)
      for (int x = 0; x < flat.width(); x += 2) dark += qGray(flat.pixel(x, y)) < 64;
    EXPECT_GT(dark, 50);
  }
  if (c.qr_level) {
    EXPECT_EQ(zxing_ec_level(flattened(out)), QString::fromLatin1(c.qr_level));
  }
}

const auto set_width = [](double mils) {
  return [mils] { child<QDoubleSpinBox>("widthStepper")->setValue(mils); };
};

INSTANTIATE_TEST_SUITE_P(
    Dialog, Every_Symbology,
    ::testing::Values(
        Symbology_Case{"Code 39", "CARD-39", Decoder::Zbar, "CARD-39", {}, set_width(15)},
        // ZXing reads the full-ASCII pairs as they stand: "C", "+A" for "a", "/K" for "+".
        Symbology_Case{"Extended Code 39", "Card+39", Decoder::ZXing, "C+A+R+D/K39",
                       {"-format", "Code39"}, set_width(25)},
        Symbology_Case{"Interleaved 2 of 5", "12345678", Decoder::Zbar, "12345678", {}, {}},
        Symbology_Case{"UPCA", "03600029145", Decoder::ZXing, "036000291452", {"-format", "UPC-A"}, {}},
        Symbology_Case{"PostNet", "12345", Decoder::Zbar, nullptr, {}, {}},
        Symbology_Case{"Modified Plessey", "123456", Decoder::Zbar, nullptr, {}, {}},
        Symbology_Case{"Modified Plessey (Hex)", "12AB", Decoder::Zbar, nullptr, {}, {}},
        Symbology_Case{"Industrial 2 of 5", "12345", Decoder::Zbar, nullptr, {}, {}},
        Symbology_Case{"EAN-13", "400638133393", Decoder::Zbar, "4006381333931", {}, {}},
        Symbology_Case{"Code 128", "Lumigrove 2024", Decoder::Zbar, "Lumigrove 2024", {},
                       set_width(12)},
        Symbology_Case{"Code 128 SET A", "CARD-A", Decoder::Zbar, "CARD-A", {}, {}},
        Symbology_Case{"Code 128 SET B", "card-b", Decoder::Zbar, "card-b", {}, {}},
        Symbology_Case{"Code 128 SET C", "123456", Decoder::Zbar, "123456", {}, {}},
        Symbology_Case{"Codabar", "A40156B", Decoder::Zbar, "A40156B", {}, {}},
        Symbology_Case{"UPCE", "0425261", Decoder::ZXing, "04252614", {"-format", "UPC-E"}, {}},
        Symbology_Case{"EAN-8", "9638507", Decoder::Zbar, "96385074", {}, {}},
        Symbology_Case{"Royal Mail Barcode (RM4SCC / CBC)", "SN34RD1A", Decoder::Zbar, nullptr,
                       {}, {}},
        Symbology_Case{"Planet", "12345678901", Decoder::Zbar, nullptr, {}, {}},
        Symbology_Case{"Japan Post Barcode", "1500013", Decoder::Zbar, nullptr, {}, {}},
        Symbology_Case{"QR Code", "Lumigrove QR", Decoder::ZXing, "Lumigrove QR",
                       {"-format", "QRCode"},
                       [] {
                         choose("qr_version_ComboBox", QStringLiteral("V4"));
                         choose("qr_ec_lvl_ComboBox", QStringLiteral("Q"));
                         child<QSpinBox>("HeightStepper_2D")->setValue(90);
                       },
                       "Q"},
        Symbology_Case{"PDF417", "Lumigrove PDF", Decoder::ZXing, "Lumigrove PDF",
                       {"-format", "PDF417"},
                       [] {
                         child<QSpinBox>("pdf_ec_lvl_Stepper")->setValue(4);
                         child<QSpinBox>("Pdf_widthStepper_2D")->setValue(160);
                         child<QSpinBox>("pdf_HeightStepper_2D")->setValue(40);
                       }},
        Symbology_Case{"DataMatrix", "CARD 2024", Decoder::Dmtx, "CARD 2024", {"-s", "12x36"},
                       [] {
                         choose("dm_format_ComboBox", QStringLiteral("C12X36"));
                         choose("dm_encoding_ComboBox", QStringLiteral("Ascii"));
                         child<QCheckBox>("hideHeaderCheckbox")->click();
                         child<QLineEdit>("FooterText")->setText(QStringLiteral("Door 3"));
                         emit child<QLineEdit>("FooterText")->textEdited(QStringLiteral("Door 3"));
                       }}));

// ---- Preview, sizes and options --------------------------------------------------------------

TEST_F(Designer_Dialog, PreviewFollowsEachKeystroke) {
  QList<Picture> previews;
  run([&] {
    choose("barcodeTypePopup", QStringLiteral("Code 128"));
    dialog->dataText->clear();
    for (const QChar ch : QStringLiteral("AB7")) {
      QTest::keyClick(dialog->dataText, ch.toLatin1());
      previews << dialog->designer().barcodeImage();
    }
    dialog->Cancel_Btn->click();
  });
  ASSERT_EQ(previews.size(), 3);
  for (const Picture& p : previews) ASSERT_FALSE(p.isNull());
  EXPECT_LT(previews[0].size().width(), previews[1].size().width());
  const auto read = test_support::Decode(Decoder::Zbar, flattened(previews[2]));
  EXPECT_EQ(read.data, QByteArray("AB7")) << read.log;
}

TEST_F(Designer_Dialog, LinearHeightFollowsTheHiddenTextsAndMargins) {
  run([&] {
    choose("barcodeTypePopup", QStringLiteral("Code 39"));
    for (const char* box : {"hideHeaderCheckbox", "hideFooterCheckbox", "captionCheckbox"})
      child<QCheckBox>(box)->click();
    child<QDoubleSpinBox>("TB_mar_Stepper")->setValue(0);
    child<QDoubleSpinBox>("HeightStepper")->setValue(1.0);
    EXPECT_FALSE(child<QCheckBox>("showinTopCheckbox")->isEnabled());
    dialog->OK_Btn->click();
  });
  // 1 cm of bars, nothing else.
  EXPECT_NEAR(Barcode_output_image.get().size().height(), 28.346472, 0.01);
  EXPECT_EQ(graphic->show_hide_val, 1);
  EXPECT_FLOAT_EQ(graphic->TB_marging_val, 0.0f);
}

struct Edge_Case {
  const char* name;
  std::function<void(Designer_Dialog&)> drive;
};

std::ostream& operator<<(std::ostream& os, const Edge_Case& c) { return os << c.name; }

class Dialog_Edge_Cases : public Designer_Dialog, public ::testing::WithParamInterface<Edge_Case> {};

TEST_P(Dialog_Edge_Cases, Behaves) {
  run([&] {
    GetParam().drive(*this);
    dialog->Cancel_Btn->click();
  });
}

INSTANTIATE_TEST_SUITE_P(
    Dialog, Dialog_Edge_Cases,
    ::testing::Values(
        Edge_Case{"QrWithEmptyValueSaysSoAndShowsTheTwoDimensionalPanes",
                  [](Designer_Dialog& t) {
                    t.dialog->dataText_2D->clear();
                    choose("barcodeTypePopup", QStringLiteral("QR Code"));
                    EXPECT_EQ(t.platform.messages, QStringList{"Please enter barcode value"});
                    EXPECT_TRUE(t.dialog->designer().barcodeImage().isNull());
                    EXPECT_FALSE(t.dialog->barcode_error_label->isHidden());
                    EXPECT_FALSE(t.dialog->two_d_sett_box->isHidden());
                    EXPECT_EQ(t.dialog->sett_tab->count(), 4);
                    EXPECT_FALSE(t.dialog->OK_Btn->isEnabled());
                  }},
        Edge_Case{"Ean13DisablesSpacingCode128EnablesIt",
                  [](Designer_Dialog& t) {
                    choose("barcodeTypePopup", QStringLiteral("EAN-13"));
                    EXPECT_FALSE(t.dialog->kerning_value_Checkbox->isEnabled());
                    choose("barcodeTypePopup", QStringLiteral("Code 128"));
                    EXPECT_TRUE(t.dialog->kerning_value_Checkbox->isEnabled());
                  }},
        Edge_Case{"OneResolutionTabForTwoDimensionalLinearRemovesIt",
                  [](Designer_Dialog& t) {
                    choose("barcodeTypePopup", QStringLiteral("QR Code"));
                    choose("barcodeTypePopup", QStringLiteral("PDF417"));
                    EXPECT_EQ(t.dialog->sett_tab->count(), 4);
                    EXPECT_FALSE(t.dialog->pdf_2d_sett_box->isHidden());
                    EXPECT_TRUE(t.dialog->two_d_sett_box->isHidden());
                    t.dialog->sett_tab->setCurrentIndex(2);
                    choose("barcodeTypePopup", QStringLiteral("Code 39"));
                    EXPECT_EQ(t.dialog->sett_tab->count(), 3);
                    EXPECT_EQ(t.dialog->sett_tab->currentIndex(), 0);
                  }},
        Edge_Case{"CustomResolutionSetsUsedDpiAutoSets600PreviewWaits",
                  [](Designer_Dialog& t) {
                    choose("barcodeTypePopup", QStringLiteral("QR Code"));
                    const Picture before = t.dialog->designer().barcodeImage();
                    choose("DPI_ComboBox", QStringLiteral("Custom"));
                    EXPECT_FALSE(t.dialog->dpi_Stepper->isHidden());
                    t.dialog->dpi_Stepper->setValue(300);
                    EXPECT_EQ(USED_DPI_VALUE.load(), 300);
                    EXPECT_EQ(t.dialog->designer().barcodeImage(), before);
                    t.dialog->Encode_btn();
                    EXPECT_LT(t.dialog->designer().barcodeImage().image().width(),
                              before.image().width());
                    choose("DPI_ComboBox", QStringLiteral("Auto"));
                    EXPECT_TRUE(t.dialog->dpi_Stepper->isHidden());
                    EXPECT_EQ(USED_DPI_VALUE.load(), 600);
                  }},
        Edge_Case{"SeriesWithoutSeriesSaysSoAndKeepsManual",
                  [](Designer_Dialog& t) {
                    choose("Data_source_type", QStringLiteral("Series"));
                    EXPECT_EQ(t.platform.messages,
                              QStringList{"Please create batch processing series first."});
                    EXPECT_EQ(t.dialog->Data_source_type->currentIndex(), 0);
                    EXPECT_FALSE(t.dialog->dataText->isReadOnly());
                  }},
        // The read-only size fields show the symbol of the format at the module size, typed or
        // stepped, smaller as well as larger; "Auto" shows the symbol drawn.
        Edge_Case{"DataMatrixSizeFieldsFollowFormatAndModuleSize",
                  [](Designer_Dialog& t) {
                    choose("barcodeTypePopup", QStringLiteral("DataMatrix"));
                    type_value(QStringLiteral("0123"));
                    t.dialog->dm_moduleStepper_2D->setValue(2);
                    choose("dm_format_ComboBox", QStringLiteral("C16X48"));
                    EXPECT_EQ(t.dialog->dm_widthStepper_2D->value(), 96);
                    EXPECT_EQ(t.dialog->dm_HeightStepper_2D->value(), 32);
                    t.dialog->dm_moduleStepper_2D->setValue(3);
                    EXPECT_EQ(t.dialog->dm_widthStepper_2D->value(), 144);
                    EXPECT_EQ(t.dialog->dm_HeightStepper_2D->value(), 48);
                    t.dialog->dm_moduleStepper_2D->stepBy(-2);
                    EXPECT_EQ(t.dialog->dm_widthStepper_2D->value(), 48);
                    EXPECT_EQ(t.dialog->dm_HeightStepper_2D->value(), 16);
                    choose("dm_format_ComboBox", QStringLiteral("Auto"));
                    EXPECT_EQ(t.dialog->dm_widthStepper_2D->value(), 10);  // 10 x 10 modules
                    EXPECT_EQ(t.dialog->dm_HeightStepper_2D->value(), 10);
                  }},
        Edge_Case{"QrVersionRaisesTheSize",
                  [](Designer_Dialog& t) {
                    choose("barcodeTypePopup", QStringLiteral("QR Code"));
                    t.dialog->HeightStepper_2D->setValue(40);
                    choose("qr_version_ComboBox", QStringLiteral("V10"));
                    EXPECT_EQ(t.dialog->HeightStepper_2D->value(), 57);
                    EXPECT_EQ(QR_Version_Val.load(), 10);
                    choose("qr_version_ComboBox", QStringLiteral("Auto"));
                    EXPECT_EQ(t.dialog->HeightStepper_2D->minimum(), 21);
                  }},
        Edge_Case{"PreviewAlignmentLastsUntilTheNextPicture",
                  [](Designer_Dialog& t) {
                    choose("barcodeTypePopup", QStringLiteral("Code 39"));
                    choose("bar_align_combo", QStringLiteral("TopLeft"));
                    EXPECT_EQ(t.dialog->barcodeImage->alignment(), Qt::AlignTop | Qt::AlignLeft);
                    QTest::keyClicks(t.dialog->dataText, QStringLiteral("9"));
                    EXPECT_EQ(t.dialog->barcodeImage->alignment(), Qt::AlignCenter);
                  }},
        Edge_Case{"TwoDimensionalHeaderAlignmentReframesAtOnce",
                  [](Designer_Dialog& t) {
                    choose("barcodeTypePopup", QStringLiteral("QR Code"));
                    const QImage before = t.dialog->designer().barcodeImage().image();
                    const QImage symbol = t.dialog->designer().image_2d().image();
                    choose("align_hdr_combo", QStringLiteral("Left"));
                    EXPECT_NE(t.dialog->designer().barcodeImage().image(), before);
                    EXPECT_EQ(t.dialog->designer().image_2d().image(), symbol);
                  }},
        Edge_Case{"FontAndColourGoThroughThePanels",
                  [](Designer_Dialog& t) {
                    choose("barcodeTypePopup", QStringLiteral("Code 39"));
                    // A font shows as the face it draws with, named as the font dialog
                    // names it.
                    EXPECT_EQ(t.dialog->value_font_value->text(),
                              QStringLiteral("Liberation Serif Regular ( 10.00 )"));
                    t.platform.font_answers.push_back(QFont(QStringLiteral("DejaVu Sans"), 14));
                    const double before = t.dialog->designer().barcodeImage().size().height();
                    t.dialog->val_font_btn->click();
                    EXPECT_EQ(t.dialog->value_font_value->text(),
                              QStringLiteral("DejaVu Sans Book ( 14.00 )"));
                    EXPECT_GT(t.dialog->designer().barcodeImage().size().height(), before);
                    t.platform.color_answers.push_back(QColor(200, 0, 0));
                    t.dialog->barcode_clr->click();
                    const QImage flat = flattened(t.dialog->designer().barcodeImage());
                    int red = 0;  // red bar pixels
                    for (int y = 0; y < flat.height(); ++y)
                      for (int x = 0; x < flat.width(); ++x) {
                        const QRgb p = flat.pixel(x, y);
                        red += qRed(p) > 150 && qGreen(p) < 60 && qBlue(p) < 60;
                      }
                    EXPECT_GT(red, 1000);
                  }},
        Edge_Case{"WideAndNarrowPicturesSwitchTheirScrollersOn",
                  [](Designer_Dialog& t) {
                    t.dialog->show();  // the preview's real size
                    QApplication::processEvents();
                    choose("barcodeTypePopup", QStringLiteral("Code 128"));
                    t.dialog->dataText->clear();
                    QTest::keyClicks(t.dialog->dataText, QStringLiteral("A"));
                    EXPECT_EQ(t.dialog->image_scroll->verticalScrollBarPolicy(),
                              Qt::ScrollBarAsNeeded);
                    EXPECT_EQ(t.dialog->barcodeImage->width(),
                              t.dialog->image_scroll->viewport()->width());
                    QTest::keyClicks(t.dialog->dataText, QString(40, QChar('W')));
                    EXPECT_EQ(t.dialog->image_scroll->horizontalScrollBarPolicy(),
                              Qt::ScrollBarAsNeeded);
                    EXPECT_GE(t.dialog->barcodeImage->width(),
                              int(t.dialog->designer().barcodeImage().size().width()));
                    EXPECT_GT(t.dialog->barcodeImage->width(),
                              t.dialog->image_scroll->viewport()->width());
                  }},
        Edge_Case{"HelpTextsGoToTheLongMessageDialog",
                  [](Designer_Dialog& t) {
                    QStringList shown;
                    Barcode_Gen_Window::hooks().show_help = [&](const QString& title,
                                                                const QString& text) {
                      shown << title << text;
                    };
                    child<QPushButton>("DM_format_Help_btn")->click();
                    Barcode_Gen_Window::hooks().show_help = nullptr;
                    EXPECT_EQ(shown, (QStringList{"Preferred Format :",
                                                  "Preferred Mode determines the smallest size "
                                                  "of the symbol."}));
                    (void)t;
                  }}));

// ---- OK refused while the preview is blank ---------------------------------------------------

struct Refused_Case {
  const char* title;
  QString value;
  std::function<void()> options;
};

std::ostream& operator<<(std::ostream& os, const Refused_Case& c) {
  return os << c.title << " " << c.value.toStdString();
}

class Ok_Refused : public Designer_Dialog, public ::testing::WithParamInterface<Refused_Case> {};

TEST_P(Ok_Refused, WhileThePreviewIsBlank) {
  const Refused_Case& c = GetParam();
  graphic->header_val = QStringLiteral("Kept");
  const QByteArray before = Archive_Graphic(*graphic);
  run([&] {
    choose("barcodeTypePopup", QString::fromLatin1(c.title));
    if (c.options) c.options();
    type_value(c.value);
    EXPECT_FALSE(dialog->OK_Btn->isEnabled());
    EXPECT_FALSE(dialog->barcode_error_label->isHidden());
    dialog->OK_Btn_Clicked();  // Return in a field: still refused
    dialog->Cancel_Btn->click();
  });
  EXPECT_TRUE(Barcode_output_image.get().isNull());
  EXPECT_EQ(Archive_Graphic(*graphic), before);
}

INSTANTIATE_TEST_SUITE_P(
    Dialog, Ok_Refused,
    ::testing::Values(Refused_Case{"Code 128", QString(), {}},
                      Refused_Case{"Code 128", QStringLiteral("é"), {}},
                      Refused_Case{"EAN-13", QStringLiteral("12AB"), {}},
                      Refused_Case{"QR Code", QStringLiteral("THIS VALUE IS FAR TOO LONG FOR V1-H"),
                                   [] {
                                     choose("qr_version_ComboBox", QStringLiteral("V1"));
                                     choose("qr_ec_lvl_ComboBox", QStringLiteral("H"));
                                   }}));

// ---- What the dialog shows is what it uses -------------------------------------------------

TEST_F(Designer_Dialog, LoadingShowsTheValuesItUses) {
  CRDGraphic& g = *graphic;
  g.linear_or_2d = 1;
  g.barcode_font_index = Barcode_Symbology_Titles().indexOf(QStringLiteral("DataMatrix"));
  g.two_d_font_val = QStringLiteral("0123");
  g.dm_format_index = 25;  // "C8X18"
  g.dm_module_val = 3;
  g.dpi_val_index = 1;  // "72"
  // Stored values outside the pairs' ranges.
  g.qr_size_val = 5000;
  g.pdf_wdt_val = 1;
  g.LR_margin_val = 50;
  run([&] {
    EXPECT_EQ(dialog->dm_widthStepper_2D->value(), 54);
    EXPECT_EQ(dialog->dm_HeightStepper_2D->value(), 24);
    EXPECT_TRUE(dialog->dpi_Stepper->isHidden());
    EXPECT_TRUE(dialog->dpi_label->isHidden());
    choose("DPI_ComboBox", QStringLiteral("Custom"));
    EXPECT_FALSE(dialog->dpi_label->isHidden());
    choose("DPI_ComboBox", QStringLiteral("300"));
    EXPECT_TRUE(dialog->dpi_label->isHidden());
    EXPECT_EQ(dialog->designer().HeightStepper_2D, dialog->HeightStepper_2D->value());
    EXPECT_EQ(dialog->designer().LR_mar_Stepper, float(dialog->LR_mar_Stepper->value()));
    dialog->OK_Btn->click();
  });
  EXPECT_EQ(graphic->qr_size_val, 2000);
  EXPECT_EQ(graphic->pdf_wdt_val, 20);
  EXPECT_FLOAT_EQ(graphic->LR_margin_val, 10.0f);
}

TEST_F(Designer_Dialog, ASymbolTooLargeToDrawSaysWhatToLower) {
  const struct {
    const char* title;
    std::function<void()> enlarge;
    const char* what;
  } cases[] = {
      {"QR Code", [] { Barcode_Gen_Window::defaultInstance()->HeightStepper_2D->setValue(2000); },
       "the QR size"},
      {"PDF417", [] { Barcode_Gen_Window::defaultInstance()->Pdf_widthStepper_2D->setValue(4000); },
       "the PDF417 width and height"},
      {"DataMatrix",
       [] {
         choose("dm_format_ComboBox", QStringLiteral("C144X144"));
         Barcode_Gen_Window::defaultInstance()->dm_moduleStepper_2D->setValue(50);
       },
       "the module size"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    run([&] {
      choose("barcodeTypePopup", QString::fromLatin1(c.title));
      type_value(QStringLiteral("0123"));
      choose("DPI_ComboBox", QStringLiteral("1200"));
      c.enlarge();
      EXPECT_TRUE(dialog->designer().barcodeImage().isNull());
      EXPECT_FALSE(dialog->OK_Btn->isEnabled());
      const QString said = dialog->barcode_error_label->text();
      EXPECT_TRUE(said.contains(QStringLiteral("Lower the resolution"))) << said.toStdString();
      EXPECT_TRUE(said.contains(QString::fromLatin1(c.what))) << said.toStdString();
      choose("DPI_ComboBox", QStringLiteral("72"));
      dialog->Encode_btn();
      EXPECT_FALSE(dialog->designer().barcodeImage().isNull());
    });
  }
}

// A series or column gives each card its own value: a first value the symbology refuses
// does not keep the settings from being stored, and the preview says why it is blank.
TEST_F(Designer_Dialog, ABoundSourceIsStoredWhenItsFirstValueIsRefused) {
  QDir().mkpath(Data_Folder_Path);
  QFile file(Data_Folder_Path + QStringLiteral("/Codes.txt"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("not digits\n400638133393\n");
  file.close();
  run([&] {
    choose("barcodeTypePopup", QStringLiteral("EAN-13"));
    choose("Data_source_type", QStringLiteral("Series"));
    choose("Batch_Series", QStringLiteral("Codes"));
    EXPECT_TRUE(dialog->designer().barcodeImage().isNull());
    EXPECT_FALSE(dialog->barcode_error_label->isHidden());
    const QString said = dialog->barcode_error_label->text();
    EXPECT_TRUE(said.contains(QStringLiteral("EAN-13 cannot encode"))) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("OK keeps these settings"))) << said.toStdString();
    EXPECT_TRUE(dialog->OK_Btn->isEnabled());
    dialog->OK_Btn->click();
  });
  EXPECT_TRUE(Barcode_output_image.get().isNull());
  EXPECT_EQ(graphic->data_source_type, 1);
  EXPECT_EQ(graphic->batch_list_name, QStringLiteral("Codes"));
  EXPECT_EQ(graphic->barcode_font_index, Barcode_Symbology_Titles().indexOf(QStringLiteral("EAN-13")));
}

// ---- Cancel, the value source and the round trip ---------------------------------------------

TEST_F(Designer_Dialog, CancelLeavesTheGraphicByteEqualAlsoAfterChoosingASource) {
  QDir().mkpath(Data_Folder_Path);
  QFile file(Data_Folder_Path + QStringLiteral("/Guests.txt"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("A100\nA200\n");
  file.close();
  QImage old_picture(4, 4, QImage::Format_RGB32);
  old_picture.fill(Qt::blue);
  graphic->Set_Barcode_image(Picture(old_picture, QSizeF(4, 4)));
  const QByteArray before = Archive_Graphic(*graphic);
  run([&] {
    choose("barcodeTypePopup", QStringLiteral("Code 128"));
    choose("Data_source_type", QStringLiteral("Series"));
    EXPECT_TRUE(dialog->dataText->isReadOnly());
    choose("Batch_Series", QStringLiteral("Guests"));
    EXPECT_EQ(dialog->dataText->text(), QStringLiteral("A100"));
    EXPECT_FALSE(dialog->designer().barcodeImage().isNull());
    dialog->Cancel_Btn->click();
  });
  EXPECT_TRUE(Barcode_output_image.get().isNull());
  EXPECT_EQ(Archive_Graphic(*graphic), before);

  // The same choice with OK reaches the graphic, with the settings.
  run([&] {
    choose("Data_source_type", QStringLiteral("Series"));
    choose("Batch_Series", QStringLiteral("Guests"));
    dialog->OK_Btn->click();
  });
  EXPECT_EQ(graphic->data_source_type, 1);
  EXPECT_EQ(graphic->batch_list_name, QStringLiteral("Guests"));
  EXPECT_EQ(graphic->batch_list_index, 0);
  EXPECT_EQ(graphic->linear_font_val, QStringLiteral("A100"));
}

// "Excel" lists the loaded spreadsheet's columns; with none loaded it says where to load one
// and the source stays as it was (not a list of "Row No." alone over an empty table).
TEST_F(Designer_Dialog, ExcelWithoutASpreadsheetSaysWhereToLoadOne) {
  Data_From_Excel::defaultInstance()->Set_Columns({});
  run([&] {
    choose("barcodeTypePopup", QStringLiteral("Code 128"));
    choose("Data_source_type", QStringLiteral("Excel"));
    EXPECT_EQ(platform.messages, QStringList{Excel_Source_Not_Loaded});
    EXPECT_EQ(dialog->Data_source_type->currentText(), QStringLiteral("Manual"));
    EXPECT_FALSE(dialog->dataText->isReadOnly());
    EXPECT_FALSE(dialog->Batch_Series->isEnabled());
    dialog->OK_Btn->click();
  });
  EXPECT_EQ(graphic->data_source_type, 0);
}

TEST_F(Designer_Dialog, SpreadsheetColumnGivesItsFirstValueAndTheViewButtonShowsTheTable) {
  Data_From_Excel* table = Data_From_Excel::defaultInstance();
  table->Set_Columns({QStringLiteral("Name"), QStringLiteral("Code")});
  table->Create_List_By_Array({QStringLiteral("Ann"), QStringLiteral("C-17")}, 2);
  table->Create_List_By_Array({QStringLiteral("Bo"), QStringLiteral("C-18")}, 2);
  QList<QObject*> runs;
  run([&] {
    choose("barcodeTypePopup", QStringLiteral("Code 128"));
    choose("Data_source_type", QStringLiteral("Excel"));
    EXPECT_EQ(dialog->Batch_Series->count(), 3);  // "Row No.", "Name", "Code"
    choose("Batch_Series", QStringLiteral("Code"));
    EXPECT_EQ(dialog->dataText->text(), QStringLiteral("C-17"));
    other_runs = [&](QObject* window) {
      runs << window;
      return 0;
    };
    dialog->view_series_btn->click();
    dialog->OK_Btn->click();
  });
  ASSERT_EQ(runs.size(), 1);
  EXPECT_EQ(runs.front(), Data_Table_Window::defaultInstance());
  EXPECT_EQ(graphic->data_source_type, 2);
  EXPECT_EQ(graphic->excel_col_indx, 2);
  table->Set_Columns({});
}

TEST_F(Designer_Dialog, EveryBarcodeFieldComesBackEqualAfterOk) {
  CRDGraphic& g = *graphic;
  g.linear_or_2d = 1;
  g.barcode_font_index = Barcode_Symbology_Titles().indexOf(QStringLiteral("DataMatrix"));
  g.linear_font_val = QStringLiteral("LIN-7");
  g.two_d_font_val = QStringLiteral("Two D value");
  g.header_val = QStringLiteral("Head");
  g.footer_val = QStringLiteral("Foot");
  g.show_hide_hdr = 1;
  g.show_hide_ftr = 1;
  g.show_hide_val = 1;
  g.show_val_on_top = 1;
  g.align_hdr_index = 2;
  g.align_ftr_index = 0;
  g.linear_height_val = 1.25f;
  g.linear_width_val = 17.5f;
  g.qr_size_val = 90;
  g.qr_version_index = 6;
  g.qr_ec_index = 3;
  g.pdf_hgt_val = 33;
  g.pdf_wdt_val = 144;
  g.pdf_ec_val = 5;
  g.dm_module_val = 3;
  g.dm_format_index = 11;
  g.dm_encoding_index = 2;
  g.hdr_margin_val = 0.2f;
  g.ftr_margin_val = 0.3f;
  g.val_margin_val = 0.4f;
  g.TB_marging_val = 0.5f;
  g.LR_margin_val = 0.6f;
  g.value_font_val = QFont(QStringLiteral("DejaVu Sans"), 12);
  g.header_font_val = QFont(QStringLiteral("DejaVu Serif"), 11);
  g.footer_font_val = QFont(QStringLiteral("DejaVu Sans Mono"), 9);
  g.barcode_hdr_clr_val = CRDColor::rgb(0.1, 0.2, 0.3);
  g.barcode_ftr_clr_val = CRDColor::rgb(0.4, 0.5, 0.6);
  g.barcode_val_clr_val = CRDColor::rgb(0.7, 0.8, 0.9);
  g.barcode_back_clr_val = CRDColor::rgb(1.0, 1.0, 0.8);
  g.barcode_clr_val = CRDColor::rgb(0.0, 0.0, 0.5);
  g.dpi_val_index = 6;  // "Custom"
  g.dpi_custom_val = QStringLiteral("450");
  g.data_source_type = 0;
  const QByteArray before = Archive_Graphic(g);
  run([&] {
    EXPECT_EQ(dialog->barcodeTypePopup->currentText(), QStringLiteral("DataMatrix"));
    EXPECT_EQ(dialog->dpi_Stepper->value(), 450);
    dialog->OK_Btn->click();
  });
  EXPECT_FALSE(Barcode_output_image.get().isNull());
  EXPECT_EQ(Archive_Graphic(*graphic), before);
}

}  // namespace
