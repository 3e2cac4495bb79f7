// The barcode renderer: where bars, value text, header, footer and a framed symbol go, and
// what the finished raster looks like.

#include "barcode/Barcode_Renderer.h"
#include "Linear_Test_Support.h"
#include "barcode/Barcode_Gen.h"
#include "support/Barcode_Decoders.h"
#include "support/Test_Support.h"

#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>

#include <cmath>

namespace {

// A model with a bar string and a value text of the test's choosing.
class Fixed_Model : public LinBarcode {
 public:
  Fixed_Model(const QString& bars, float width, float bar_width = 1.0f, float height = 50.0f)
      : bars_(bars) {
    initWithContent(QStringLiteral("X"), false, bar_width, height, 6.0f, -1);
    setWidth(width);
  }
  QString barcode() const override { return bars_; }
  QString caption() const override { return middle; }
  QString initiator() const override { return start; }

  QString middle;
  QString start;

 private:
  QString bars_;
};

// Every test draws with settings of its own: start values, all working margins 0.
class Renderer : public ::testing::Test {
 protected:
  Renderer() : scope_(Barcode_Gen()) {
    Barcode_Gen& s = settings();
    s.value_margin = s.header_margin = s.footer_margin = s.LR_margin = s.TB_margin = 0;
  }
  Barcode_Gen& settings() { return scope_.settings(); }

 private:
  Barcode_Gen_Scope scope_;
};

struct Bars_Case {
  const char* bars;
  float width;
  std::vector<std::pair<double, double>> runs;  // left edge and width of each rectangle
};

TEST_F(Renderer, BarsAreOneRectangleARunCentredInTheFrame) {
  const Bars_Case cases[] = {
      // Seven modules in a frame of 100: the pen starts at 46.5.
      {"0110100", 100, {{47.5, 2}, {50.5, 1}}},
      {"0110", 4, {{1, 2}}},
      {"011", 3, {{1, 2}}},                     // a run that ends the string is drawn
      {"1x1 11", 6, {{0, 1}, {2, 1}, {4, 2}}},  // anything but "1" is a space module
      {"0000", 10, {}},
  };
  for (const Bars_Case& c : cases) {
    SCOPED_TRACE(c.bars);
    Fixed_Model model(QString::fromLatin1(c.bars), c.width);
    const Barcode_Drawing drawing = LinBarcodeOffscreenView(&model).layout();
    EXPECT_EQ(drawing.frame, QSizeF(c.width, 50));
    ASSERT_EQ(drawing.bars.size(), c.runs.size());
    for (size_t i = 0; i < c.runs.size(); ++i)
      // Nothing printed but the bars, no margins: every bar spans the whole height.
      EXPECT_EQ(drawing.bars[i], QRectF(c.runs[i].first, 0, c.runs[i].second, 50));
  }
}

TEST_F(Renderer, ValueTextStandsBelowOrOnTopOfTheBars) {
  Barcode_Gen& s = settings();
  s.value_margin = 4;
  s.footer_margin = 3;
  s.TB_margin = 2;
  for (const char* bars : {"0110", "0000"}) {
    for (int on_top : {0, 1}) {
      SCOPED_TRACE(testing::Message() << bars << " on top " << on_top);
      s.showinTopCheckbox = on_top;
      Fixed_Model model(QString::fromLatin1(bars), 40);
      model.middle = QStringLiteral("12");
      model.setPrintsCaption(true);
      model.setCaptionFontSize(10);
      const double capH = model.captionHeight() * 72.0;
      const double top = model.barTop(0);
      const Barcode_Drawing drawing = LinBarcodeOffscreenView(&model).layout();
      ASSERT_EQ(drawing.texts.size(), 1u);
      // Measured from the bottom edge: the foot of the value text's line.
      const double text_foot = 50 - drawing.texts[0].rect.bottom();
      if (!on_top) {
        EXPECT_NEAR(text_foot, 3 + 2, 1e-9);
        if (!drawing.bars.empty()) {
          EXPECT_NEAR(50 - drawing.bars[0].bottom(), capH + 4 + 3 + 2, 1e-4);
        }
      } else if (drawing.bars.empty()) {
        // No bar: the text stands on the margins alone.
        EXPECT_NEAR(text_foot, 3 + 4 + 2, 1e-9);
      } else {
        EXPECT_NEAR(50 - drawing.bars[0].bottom(), 3 + 2, 1e-9);
        EXPECT_NEAR(text_foot, 3 + top + 4 + 2, 1e-4);
      }
    }
  }
}

TEST_F(Renderer, AHeaderWiderThanTheBarsWidensTheFrameAndTheBarsStayCentred) {
  Fixed_Model model(QStringLiteral("101"), 3);
  model.setHeader(QStringLiteral("A header far wider than three modules"));
  model.setPrintsHeader(true);
  model.setHeaderFontSize(10);
  ASSERT_GT(model.headerWidth(), 100);
  const Barcode_Drawing drawing = LinBarcodeOffscreenView(&model).layout();
  EXPECT_FLOAT_EQ(drawing.frame.width(), model.headerWidth());
  ASSERT_EQ(drawing.bars.size(), 2u);
  EXPECT_NEAR(drawing.bars[0].left(), (model.headerWidth() - 3) / 2, 1e-4);
  EXPECT_NEAR(drawing.frame.width() - drawing.bars[1].right(), drawing.bars[0].left(), 1e-4);

  // Not printed, it does not count.
  model.setPrintsHeader(false);
  EXPECT_EQ(LinBarcodeOffscreenView(&model).bounds().width(), 3);
}

TEST_F(Renderer, SingleValueTextIsCentredAndSpreadOnlyWithTheSpacingBox) {
  Fixed_Model model(QStringLiteral("1010101"), 120);
  model.middle = QStringLiteral("1234");
  model.setPrintsCaption(true);
  model.setCaptionFontSize(10);
  const double w = Barcode_Text_Width(model.middle, settings().value_font);

  for (int box : {0, 2, 1}) {
    SCOPED_TRACE(box);
    settings().kerning_value_Checkbox = box;
    const Barcode_Drawing drawing = LinBarcodeOffscreenView(&model).layout();
    ASSERT_EQ(drawing.texts.size(), 1u);
    const Barcode_Text_Item& text = drawing.texts[0];
    EXPECT_EQ(text.text, "1234");
    EXPECT_EQ(text.alignment, Qt::AlignHCenter);
    EXPECT_EQ(text.rect.left(), 0);
    EXPECT_EQ(text.rect.width(), 120);
    if (box == 1)  // exactly as wide as the symbol
      EXPECT_NEAR(w + 4 * text.kerning, 120, 1e-4);
    else
      EXPECT_EQ(text.kerning, 2.0);
  }
}

TEST_F(Renderer, GroupedValueTextOfRetailSymbols) {
  Barcode_Gen& s = settings();
  s.LR_margin = 5;
  // UPC-E: a left part and one middle group between the guards, then the check digit.
  // EAN-8: no side parts, two TAB-separated halves.
  struct Case {
    const char* symbology;
    const char* value;
    QStringList pieces;
  } cases[] = {{"UPCE", "0425261", {"0", "425261", "4"}}, {"EAN-8", "9638507", {"9638", "5074"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.symbology);
    auto model = linear_test::Make(c.symbology, QString::fromLatin1(c.value));
    ASSERT_TRUE(model && model->isContentValid());
    model->setCaptionFontSize(10);
    const Barcode_Drawing drawing = LinBarcodeOffscreenView(model.get()).layout();
    QStringList pieces;
    for (const auto& text : drawing.texts) pieces << text.text.trimmed();
    EXPECT_EQ(pieces, c.pieces);

    const QStringList groups = model->caption().split('\t');
    const double W = model->width(), bw = model->barWidth(), first = model->firstBar();
    const double s_modules = model->initiator().size();
    const double G = groups.size() == 1 ? W - 2 * s_modules * bw - 2 * first
                                        : W / groups.size() - s_modules * bw - first;
    const size_t first_group = model->leftCaption().isEmpty() ? 0 : 1;
    for (qsizetype j = 0; j < groups.size(); ++j) {
      const Barcode_Text_Item& item = drawing.texts[first_group + size_t(j)];
      const double k = (G - Barcode_Text_Width(groups[j], s.value_font)) / (2 * groups[j].size());
      EXPECT_NEAR(item.kerning, 1.3 * k, 1e-4);
      EXPECT_NEAR(item.rect.left(), 3 * k + first + (j + 1) * s_modules * bw + j * G + 5, 1e-4);
    }
    if (first_group) {
      // The side parts sit 3 points higher than the groups.
      EXPECT_NEAR(drawing.texts.front().rect.bottom() + 3, drawing.texts[1].rect.bottom(), 1e-9);
      EXPECT_NEAR(drawing.texts.back().rect.bottom() + 3, drawing.texts[1].rect.bottom(), 1e-9);
      EXPECT_NEAR(drawing.texts.front().rect.left(), first * 0.25 + 5, 1e-4);
      EXPECT_NEAR(drawing.texts.back().rect.left(), model->lastBar() + 0.07 * W + 5, 1e-4);
    }
  }
}

TEST_F(Renderer, EmptyCaptionGroupsAreSkipped) {
  Fixed_Model model(QStringLiteral("1010101"), 80);
  model.start = QStringLiteral("101");
  model.setPrintsCaption(true);
  model.setCaptionFontSize(10);
  for (const char* caption : {"12\t\t34", "12\t34\t", "\t", "\t\t56"}) {
    SCOPED_TRACE(caption);
    model.middle = QString::fromLatin1(caption);
    const Barcode_Drawing drawing = LinBarcodeOffscreenView(&model).layout();
    QStringList drawn;
    for (const auto& text : drawing.texts) {
      drawn << text.text;
      EXPECT_TRUE(std::isfinite(text.kerning) && std::isfinite(text.rect.left()));
    }
    EXPECT_EQ(drawn, model.middle.split('\t', Qt::SkipEmptyParts));
  }
  // The picture itself can be made.
  EXPECT_FALSE(imageFromBarcode(&model, 72).isNull());
}

TEST_F(Renderer, HeaderAndFooterAlignmentFollowTheItemText) {
  const struct {
    const char* item;
    Qt::Alignment alignment;
  } cases[] = {{"Left", Qt::AlignLeft},
               {"Center", Qt::AlignHCenter},
               {"Right", Qt::AlignRight},
               {"Justified", Qt::AlignLeft},  // no alignment of its own: the natural one
               {"", Qt::AlignLeft}};
  Fixed_Model model(QStringLiteral("101"), 60);
  model.setHeader(QStringLiteral("H"));
  model.setFooter(QStringLiteral("F"));
  model.setPrintsHeader(true);
  model.setPrintsFooter(true);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.item);
    settings().align_hdr_combo = {{QString::fromLatin1(c.item)}, 0};
    settings().align_ftr_combo = {{QString::fromLatin1(c.item)}, 0};
    const Barcode_Drawing drawing = LinBarcodeOffscreenView(&model).layout();
    ASSERT_EQ(drawing.texts.size(), 2u);
    for (const auto& text : drawing.texts) {
      EXPECT_EQ(text.alignment, c.alignment) << text.text;
      EXPECT_EQ(text.kerning, 2.0);
      EXPECT_EQ(text.rect.width(), 60);
    }
  }
}

// Colours per part, alignment and margins as a person sees them in the finished picture.
TEST_F(Renderer, PictureShowsEachPartInItsColourPlaceAndMargin) {
  Barcode_Gen& s = settings();
  s.bar_back_clr = CRDColor::rgb(1, 1, 0);
  s.barcode_clr = CRDColor::rgb(0, 0.5, 0);
  s.bar_hdr_clr = CRDColor::rgb(1, 0, 0);
  s.bar_ftr_clr = CRDColor::rgb(0, 0, 1);
  s.bar_val_clr = CRDColor::rgb(1, 0, 1);
  s.align_hdr_combo.index = s.align_hdr_combo.items.indexOf("Right");
  s.align_ftr_combo.index = s.align_ftr_combo.items.indexOf("Left");
  s.TB_margin = 8;
  s.header_margin = s.footer_margin = s.value_margin = 2;

  Fixed_Model model(QStringLiteral("1111100000111110000011111"), 200, 1, 0);
  model.middle = QStringLiteral("8888");
  model.setHeader(QStringLiteral("HH"));
  model.setFooter(QStringLiteral("HH"));
  model.setPrintsCaption(true);
  model.setPrintsHeader(true);
  model.setPrintsFooter(true);
  model.setCaptionFontSize(10);
  model.setHeaderFontSize(10);
  model.setFooterFontSize(10);
  model.setHeight(30 + model.captionHeight() * 72 + model.headerHeight() * 72 +
                  model.footerHeight() * 72 + 3 * 2 + 2 * 8);

  const double scale = 2;  // 144 dpi
  const Picture picture = imageFromBarcode(&model, 144);
  ASSERT_FALSE(picture.isNull());
  const QImage image = picture.image().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(image.width(), int(std::ceil(200 * scale)));

  // Where each colour occurs, in points.
  auto extent = [&](QRgb colour) {
    QRectF found;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, y) == colour)
          found |= QRectF(x / scale, y / scale, 1 / scale, 1 / scale);
    return found;
  };
  const QRectF header = extent(qRgb(255, 0, 0)), footer = extent(qRgb(0, 0, 255));
  const QRectF bars = extent(qRgb(0, 128, 0)), value = extent(qRgb(255, 0, 255));
  ASSERT_TRUE(header.isValid() && footer.isValid() && bars.isValid() && value.isValid());
  EXPECT_GT(header.left(), 150);  // right-aligned
  EXPECT_LT(footer.right(), 50);  // left-aligned
  // From the top: margin, header, bars, value text, footer, margin.
  EXPECT_GE(header.top(), 8);
  EXPECT_LT(header.bottom(), bars.top());
  EXPECT_LE(bars.bottom(), value.top() + 1);
  EXPECT_LT(value.bottom(), footer.top());
  EXPECT_LE(footer.bottom(), picture.size().height() - 8);
  EXPECT_NEAR(bars.left(), (200 - 25) / 2.0, 0.5);
  EXPECT_NEAR(bars.width(), 25, 0.5);
  EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 0));
  EXPECT_EQ(image.pixel(image.width() - 1, image.height() - 1), qRgb(255, 255, 0));
}

TEST_F(Renderer, FramedSymbolSitsUnderTheHeaderAtItsOwnSize) {
  Barcode_Gen& s = settings();
  s.setWidth(60);
  s.setHeight(80);
  s.setHeader(QStringLiteral("HDR"));
  s.setFooter(QStringLiteral("FTR"));
  s.setPrintsHeader(true);
  s.setPrintsFooter(true);
  s.setHeaderFontSize(10);
  s.TB_margin = 5;
  s.header_margin = 4;

  // A black symbol of 20 x 20 points with a transparent border of 2 points, at 72 dpi.
  QImage symbol(20, 20, QImage::Format_ARGB32_Premultiplied);
  symbol.fill(Qt::transparent);
  QPainter(&symbol).fillRect(2, 2, 16, 16, Qt::black);
  const Picture picture(symbol, QSizeF(20, 20));

  const Barcode_Drawing drawing = LinBarcodeOffscreenView(picture).layout();
  EXPECT_EQ(drawing.frame, QSizeF(60, 80));
  const double hdrH = s.headerHeight() * 72.0;
  const double top = hdrH + 5 + 4;
  EXPECT_EQ(drawing.symbol_rect.topLeft().x(), 20);
  EXPECT_NEAR(drawing.symbol_rect.top(), top, 1e-4);
  EXPECT_EQ(drawing.symbol_rect.size(), QSizeF(20, 20));
  ASSERT_EQ(drawing.texts.size(), 2u);
  EXPECT_EQ(drawing.texts[0].text, "HDR");
  // The header's band ends the top margin below the top edge.
  EXPECT_NEAR(drawing.texts[0].rect.top() + drawing.texts[0].rect.height(), hdrH + 5, 1e-4);
  EXPECT_NEAR(drawing.texts[1].rect.bottom(), 80 - 5, 1e-9);

  // The symbol is copied, transparent border included, over the white frame.
  const QImage framed = imageFromBarcodeImage(picture, 72).image();
  ASSERT_EQ(framed.size(), QSize(60, 80));
  EXPECT_EQ(qAlpha(framed.pixel(21, int(std::ceil(top)))), 0);
  EXPECT_EQ(framed.pixel(30, int(top) + 10), qRgb(0, 0, 0));
  EXPECT_EQ(framed.pixel(1, int(top) + 10), qRgb(255, 255, 255));

  // Without a header the symbol hangs from the top margin.
  s.setPrintsHeader(false);
  EXPECT_EQ(LinBarcodeOffscreenView(picture).layout().symbol_rect, QRectF(20, 5 + 4, 20, 20));

  // A symbol larger than the frame keeps its size and is cut by the frame.
  const Picture big(QImage(200, 200, QImage::Format_ARGB32_Premultiplied), QSizeF(200, 200));
  EXPECT_EQ(LinBarcodeOffscreenView(big).layout().symbol_rect.size(), QSizeF(200, 200));
  EXPECT_EQ(imageFromBarcodeImage(big, 72).image().size(), QSize(60, 80));

  EXPECT_TRUE(imageFromBarcodeImage(Picture(), 600).isNull());
}

TEST_F(Renderer, RasterHasItsResolutionAndKeepsTheSizeInPoints) {
  Fixed_Model model(QStringLiteral("1011"), 100.3f, 1, 20.1f);
  // Four modules of 1 point: 8 whole pixels each at 600 dpi (8.33 rounded), 4 at 300 dpi
  // (4.17), so the picture is 4 x 0.04 points narrower there.
  const struct {
    double dpi;
    QSize pixels;
    double width;
  } cases[] = {{72, {101, 21}, 100.3}, {600, {835, 168}, 100.14}, {300, {418, 84}, 100.14}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dpi);
    const Picture picture = imageFromBarcode(&model, c.dpi);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.image().size(), c.pixels);
    EXPECT_NEAR(picture.size().width(), c.width, 1e-4);
    EXPECT_NEAR(picture.size().height(), 20.1, 1e-4);
    EXPECT_NEAR(picture.image().dotsPerMeterX() * 0.0254, c.dpi, 0.1);
  }
  EXPECT_TRUE(imageFromBarcode(nullptr, 600).isNull());
  // A resolution that would need a raster beyond any reason is refused, not attempted.
  EXPECT_TRUE(imageFromBarcode(&model, 1e6).isNull());
}

// At the designer's 72 dpi a module of 1.44 points once came out as uneven runs of 1 to 3
// pixels: most symbols did not scan, some as another value. Every module is now the same
// whole number of pixels, and the pictures scan as what they hold.
TEST_F(Renderer, ModulesAreWholePixelsAndThePicturesScan) {
  const struct {
    const char* symbology;
    const char* value;
    QByteArray read;  // what zbarimg reads
  } cases[] = {
      {"Code 39", "CODE-39 TEST", "CODE-39 TEST"},
      {"Codabar", "A40156B", "A40156B"},
      {"EAN-13", "400638133393", "4006381333931"},
      {"Code 128", "Hello", "Hello"},
      {"Interleaved 2 of 5", "12345678", "12345678"},
  };
  for (const auto& c : cases) {
    for (const double dpi : {72.0, 100.0, 144.0}) {
      SCOPED_TRACE(std::string(c.symbology) + " at " + std::to_string(int(dpi)) + " dpi");
      auto model = linear_test::Make(c.symbology, QString::fromLatin1(c.value), false);
      ASSERT_TRUE(model);
      model->setBarWidth(1.44f);
      model->calculateWidth();
      const QString bars = model->completeBarcode();
      const int module = std::max(1, int(std::lround(1.44 * dpi / 72)));
      const Picture picture = imageFromBarcode(model.get(), dpi);
      ASSERT_FALSE(picture.isNull());
      const QImage image = picture.image().convertToFormat(QImage::Format_RGB32);
      // Along the middle row, module after module from the first bar on: each is `module`
      // pixels, all of them dark for a bar, all light for a space ('x': mixed).
      const int y = image.height() / 2;
      int first = 0;
      while (first < image.width() && qGray(image.pixel(first, y)) >= 128) ++first;
      const int origin = first - int(bars.indexOf(u'1')) * module;
      QString drawn;
      for (qsizetype i = 0; i < bars.size(); ++i) {
        int dark = 0;
        for (int x = origin + int(i) * module; x < origin + int(i + 1) * module; ++x)
          dark += x >= 0 && x < image.width() && qGray(image.pixel(x, y)) < 128;
        drawn += dark == module ? u'1' : dark == 0 ? u'0' : u'x';
      }
      EXPECT_EQ(drawn, bars);
      // On a card, white around it gives the quiet zone (the margins are 0 here); zbar wants
      // more than one pixel a module, so it reads the card enlarged three times (pixel for
      // pixel, as a zoomed view shows it).
      const int quiet = 15 * module;
      QImage card(image.width() + 2 * quiet, image.height() + 2 * quiet, QImage::Format_RGB32);
      card.fill(Qt::white);
      QPainter(&card).drawImage(quiet, quiet, image);
      const auto zbar = test_support::Decode(test_support::Decoder::Zbar, card.scaled(card.size() * 3));
      ASSERT_TRUE(zbar.ran) << zbar.log;
      EXPECT_EQ(zbar.data, c.read) << zbar.log;
    }
  }
}

TEST_F(Renderer, PdfDataIsOnePageOfTheModelsSize) {
  Fixed_Model model(QStringLiteral("1011"), 100, 1, 40);
  const QByteArray pdf = pdfFromBarcode(&model);
  ASSERT_TRUE(pdf.startsWith("%PDF-"));
  const QRegularExpression media(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"));
  const auto match = media.match(QString::fromLatin1(pdf));
  ASSERT_TRUE(match.hasMatch());
  EXPECT_NEAR(match.captured(1).toDouble(), 100, 0.5);
  EXPECT_NEAR(match.captured(2).toDouble(), 40, 0.5);
  EXPECT_TRUE(pdfFromBarcode(nullptr).isEmpty());
}

}  // namespace

// ---- Texts on rasters -----------------------------------------------------------------------

Q_GUI_EXPORT int qt_defaultDpiY();

namespace {

// The picture's texts as Qt draws them itself: on a pixmap (not an image), so the renderer
// hands every text to QPainter::drawText.
QImage drawn_by_qt(const LinBarcode& model, double dpi, QSize size) {
  QImage base(size, QImage::Format_ARGB32_Premultiplied);
  const int dots_per_meter = int(std::lround(qt_defaultDpiY() / 0.0254));
  base.setDotsPerMeterX(dots_per_meter);
  base.setDotsPerMeterY(dots_per_meter);
  base.fill(Barcode_Gen_Var->bar_back_clr.toQColor());
  QPixmap pixmap = QPixmap::fromImage(base);
  {
    QPainter painter(&pixmap);
    painter.scale(dpi / 72, dpi / 72);
    LinBarcodeOffscreenView(&model).drawRect(painter);
  }
  return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

// Texts on a raster come from glyph pictures made once per thread; they must show what Qt's
// own drawing shows: the same ink in the same places, to a fraction of a pixel.
TEST_F(Renderer, TextsOnRastersMatchQtsDrawing) {
  Barcode_Gen& s = settings();
  s.bar_val_clr = CRDColor::rgb(0.6, 0, 0.4);
  const struct {
    const char* caption;
    const char* align;
    double dpi;
    int kerning_box;
  } cases[] = {
      {"LG00000042", "Center", 576, 0},  // 80-pixel glyphs: beyond Qt's glyph cache
      {"LG00000042", "Right", 144, 1},   // small glyphs, spread to the bars' width
      {"Wq 7\t39\tAy", "Left", 576, 0},   // groups, letter spacing of their own; a footer
                                         // with tabs
      {"ÅÉ ñ 0", "Left", 1152, 0},        // composed glyphs, overlapping outlines
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.caption << " at " << c.dpi);
    s.kerning_value_Checkbox = c.kerning_box;
    s.align_hdr_combo.index = s.align_hdr_combo.items.indexOf(c.align);
    s.align_ftr_combo.index = s.align_ftr_combo.items.indexOf(c.align);
    Fixed_Model model(QStringLiteral("0"), 200, 1, 0);
    model.middle = QString::fromUtf8(c.caption);
    model.start = QStringLiteral("0");
    model.setHeader(QStringLiteral("Header gj"));
    model.setFooter(QString::fromUtf8(c.caption));
    model.setPrintsCaption(true);
    model.setPrintsHeader(true);
    model.setPrintsFooter(true);
    model.setCaptionFontSize(10);
    model.setHeaderFontSize(12);
    model.setFooterFontSize(7);
    model.setHeight(model.captionHeight() * 72 + model.headerHeight() * 72 +
                    model.footerHeight() * 72 + 10);
    const Picture picture = imageFromBarcode(&model, c.dpi);
    ASSERT_FALSE(picture.isNull());
    const QImage ours = picture.image().convertToFormat(QImage::Format_RGB32);
    const QImage qt = drawn_by_qt(model, c.dpi, ours.size());
    ASSERT_EQ(ours.size(), qt.size());
    const QRgb back = qt.pixel(0, 0);
    auto ink = [&](const QImage& image, QRect* where) {
      double total = 0;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
          const QRgb p = image.pixel(x, y);
          const int d = std::abs(qRed(p) - qRed(back)) + std::abs(qGreen(p) - qGreen(back)) +
                        std::abs(qBlue(p) - qBlue(back));
          total += d;
          if (d > 0) *where |= QRect(x, y, 1, 1);
        }
      return total;
    };
    QRect ours_box, qt_box;
    const double ours_ink = ink(ours, &ours_box), qt_ink = ink(qt, &qt_box);
    ASSERT_GT(qt_ink, 0);
    EXPECT_NEAR(ours_ink / qt_ink, 1.0, 0.02);
    for (const auto& [a, b] : {std::pair{ours_box.left(), qt_box.left()},
                               {ours_box.right(), qt_box.right()},
                               {ours_box.top(), qt_box.top()},
                               {ours_box.bottom(), qt_box.bottom()}})
      EXPECT_LE(std::abs(a - b), 1);
    // Pixel by pixel: an ink edge may lie a fraction of a pixel elsewhere, nothing more.
    int far = 0;
    for (int y = 0; y < ours.height(); ++y)
      for (int x = 0; x < ours.width(); ++x) {
        const QRgb p = ours.pixel(x, y);
        bool close = false;
        for (int dy = -1; dy <= 1 && !close; ++dy)
          for (int dx = -1; dx <= 1 && !close; ++dx) {
            if (!qt.rect().contains(x + dx, y + dy)) continue;
            const QRgb q = qt.pixel(x + dx, y + dy);
            close = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))}) <= 72;
          }
        far += !close;
      }
    EXPECT_EQ(far, 0);
  }
}
