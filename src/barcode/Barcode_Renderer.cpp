#include "barcode/Barcode_Renderer.h"

#include "barcode/Barcode_Gen.h"
#include "barcode/JapanPostBarcode.h"
#include "barcode/LinBarcode.h"
#include "barcode/LinPostalBarcode.h"
#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>
#include <map>
#include <tuple>
#include <cmath>
#include <exception>

// The resolution Qt gives fonts that are not drawn on a particular device.
Q_GUI_EXPORT int qt_defaultDpiY();

namespace {

// Dots per metre of a 72 dpi device: QImage reports qRound(2835 x 0.0254) = 72 dots per
// inch, so fonts measured against it come out in points.
constexpr int kPoint_Dots_Per_Meter = 2835;
// Keeps rasters far below what a QImage can address and memory can hold.
constexpr double kMax_Side_Pixels = 32768.0;

// Pictures are painted on a device of Qt's default font resolution, whatever their pixel
// density: letter spacing (kerning) is counted in pixels of that resolution, and on a device
// of another resolution Qt scales it, down to nothing below it. Point sizes are scaled
// to match (draw_text), so one painter unit stays one point.
int text_dpi() { return std::max(qt_defaultDpiY(), 1); }

void set_dpi(QImage& image, double dpi) {
  const int dots_per_meter = int(std::lround(dpi / 0.0254));
  image.setDotsPerMeterX(dots_per_meter);
  image.setDotsPerMeterY(dots_per_meter);
}

const QImage& point_device() {
  static const QImage device = [] {
    QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(kPoint_Dots_Per_Meter);
    image.setDotsPerMeterY(kPoint_Dots_Per_Meter);
    return image;
  }();
  return device;
}

// A rectangle measured with y growing upwards from the picture's bottom edge
// (x, bottom, width, height), turned into the y-down rectangle of the same place.
QRectF from_bottom(double x, double bottom, double width, double height, double frame_height) {
  return QRectF(x, frame_height - bottom - height, width, height);
}

// A text whose line box stands on `bottom`, aligned within (x, x + width).
Barcode_Text_Item text_item(const QString& text, const QFont& font, const QColor& colour,
                            double kerning, Qt::Alignment alignment, double x, double bottom,
                            double width, double frame_height) {
  Barcode_Text_Item item;
  item.text = text;
  item.font = font;
  item.colour = colour;
  item.kerning = kerning;
  item.alignment = alignment;
  const double h = Barcode_Line_Height(font);
  item.rect = from_bottom(x, bottom, width, h, frame_height);
  return item;
}

bool four_state(const LinBarcode& model) {
  return dynamic_cast<const LinRoyalMailBarcode*>(&model) ||
         dynamic_cast<const JapanPostBarcode*>(&model);
}

// ---- Glyphs on rasters -------------------------------------------------------------------
// Qt keeps no glyph pictures above 64 pixels: a caption at 600 dpi is filled as outlines,
// glyph by glyph, every time. On rasters each glyph's outline is filled once per thread
// (the same outline, the same antialiasing) at a quarter-pixel phase, and then copied.

// The key names the font rather than holding it: a thread's pictures may outlive the font
// engines (the main thread's last until exit).
struct Glyph_Key {
  QString family, style;
  double pixel_size;
  quint32 glyph;
  double scale_x, scale_y;
  int phase_x, phase_y;  // quarter pixels
  QRgb colour;
  bool operator==(const Glyph_Key& o) const {
    return glyph == o.glyph && phase_x == o.phase_x && phase_y == o.phase_y && colour == o.colour &&
           scale_x == o.scale_x && scale_y == o.scale_y && pixel_size == o.pixel_size &&
           family == o.family && style == o.style;
  }
};

size_t qHash(const Glyph_Key& key, size_t seed = 0) {
  return qHashMulti(seed, key.family, key.style, key.pixel_size, key.glyph, key.scale_x,
                    key.scale_y, key.phase_x, key.phase_y, key.colour);
}

struct Glyph_Picture {
  QImage image;   // null for a glyph without ink (a space)
  QPoint offset;  // of the picture's top left from the glyph's whole-pixel origin
};

constexpr int kPhases = 4;
// The largest glyph, in device pixels, that Qt draws from its glyph cache.
constexpr double kQt_Glyph_Cache_Limit = 64;
constexpr qsizetype kMax_Cached_Glyphs = 4096;

const Glyph_Picture& glyph_picture(const Glyph_Key& key, const QRawFont& font) {
  thread_local QHash<Glyph_Key, Glyph_Picture> cache;
  if (const auto found = cache.constFind(key); found != cache.constEnd()) return *found;
  if (cache.size() >= kMax_Cached_Glyphs) cache.clear();
  QPainterPath outline =
      QTransform::fromScale(key.scale_x, key.scale_y)
          .map(font.pathForGlyph(key.glyph))
          .translated(double(key.phase_x) / kPhases, double(key.phase_y) / kPhases);
  outline.setFillRule(Qt::WindingFill);  // as Qt fills glyph outlines: overlaps stay inked
  Glyph_Picture picture;
  const QRectF bounds = outline.boundingRect();
  if (!outline.isEmpty() && bounds.width() > 0 && bounds.height() > 0) {
    const QPoint from(int(std::floor(bounds.left())) - 1, int(std::floor(bounds.top())) - 1);
    const QPoint to(int(std::ceil(bounds.right())) + 1, int(std::ceil(bounds.bottom())) + 1);
    picture.image =
        QImage(QSize(to.x() - from.x(), to.y() - from.y()), QImage::Format_ARGB32_Premultiplied);
    picture.image.fill(Qt::transparent);
    picture.offset = from;
    QPainter painter(&picture.image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(-QPointF(from));
    painter.fillPath(outline, QColor::fromRgba(key.colour));
  }
  return *cache.insert(key, std::move(picture));
}

// Lays the text out as QPainter::drawText does for a single line at the top of `rect`.
QTextLayout& line_layout(QTextLayout& layout, const Barcode_Text_Item& item,
                         Qt::LayoutDirection direction) {
  QTextOption option;
  option.setWrapMode(QTextOption::NoWrap);
  option.setTextDirection(direction);
  layout.setTextOption(option);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  line.setLineWidth(0x01000000);
  Qt::Alignment horizontal = item.alignment & Qt::AlignHorizontal_Mask;
  if (direction == Qt::RightToLeft && !(horizontal & Qt::AlignAbsolute)) {
    if (horizontal & Qt::AlignLeft)
      horizontal = Qt::AlignRight;
    else if (horizontal & Qt::AlignRight)
      horizontal = Qt::AlignLeft;
  }
  double x = 0;
  if (horizontal & Qt::AlignRight)
    x = item.rect.width() - line.naturalTextWidth();
  else if (horizontal & Qt::AlignHCenter)
    x = (item.rect.width() - line.naturalTextWidth()) / 2;
  line.setPosition(QPointF(x, 0));
  layout.endLayout();
  return layout;
}

// The glyphs of a laid-out text copied from the per-thread pictures; false when the painter
// is not one this applies to (then Qt draws the text).
bool draw_glyphs(QPainter& painter, const QFont& font, const Barcode_Text_Item& item) {
  QPaintDevice* device = painter.device();
  const QTransform to_device = painter.deviceTransform();
  if (!device || device->devType() != QInternal::Image || to_device.type() > QTransform::TxScale ||
      to_device.m11() <= 0 || to_device.m22() <= 0 || font.underline() || font.overline() ||
      font.strikeOut() || painter.pen().style() == Qt::NoPen)
    return false;
  // Smaller glyphs Qt keeps in its own cache (rasterised its own way): leave them to it.
  const double pixel_size = font.pointSizeF() > 0 ? font.pointSizeF() * device->logicalDpiY() / 72
                                                  : double(font.pixelSize());
  if (pixel_size * pixel_size * std::abs(to_device.determinant()) <
      kQt_Glyph_Cache_Limit * kQt_Glyph_Cache_Limit)
    return false;
  // Tab stops and line breaks are laid out by drawText's own rules.
  for (const QChar ch : item.text)
    if (ch.category() == QChar::Other_Control || ch == QChar::LineSeparator ||
        ch == QChar::ParagraphSeparator)
      return false;
  QTextLayout layout(item.text, font, device);
  line_layout(layout, item, painter.layoutDirection());
  const QRgb colour = painter.pen().color().rgba();
  painter.save();
  painter.resetTransform();
  for (const QGlyphRun& run : layout.glyphRuns()) {
    const QRawFont raw = run.rawFont();
    const QString family = raw.familyName(), style = raw.styleName();
    const QList<quint32> glyphs = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i) {
      const QPointF at = to_device.map(item.rect.topLeft() + positions.at(i));
      const double qx = std::round(at.x() * kPhases), qy = std::round(at.y() * kPhases);
      const int whole_x = int(std::floor(qx / kPhases)), whole_y = int(std::floor(qy / kPhases));
      const Glyph_Key key{family,
                          style,
                          raw.pixelSize(),
                          glyphs.at(i),
                          to_device.m11(),
                          to_device.m22(),
                          int(qx) - whole_x * kPhases,
                          int(qy) - whole_y * kPhases,
                          colour};
      const Glyph_Picture& glyph = glyph_picture(key, raw);
      if (!glyph.image.isNull())
        painter.drawImage(QPoint(whole_x, whole_y) + glyph.offset, glyph.image);
    }
  }
  painter.restore();
  return true;
}

// Draws the text with a painter whose unit is the point.
void draw_text(QPainter& painter, const Barcode_Text_Item& item) {
  QFont font = Barcode_Text_Font(item.font);
  const double device_dpi = painter.device() ? painter.device()->logicalDpiY() : 72;
  if (device_dpi > 0 && font.pointSizeF() > 0)
    font.setPointSizeF(font.pointSizeF() * 72.0 / device_dpi);
  if (item.kerning != 0)
    font.setLetterSpacing(QFont::AbsoluteSpacing,
                          device_dpi > 0 ? item.kerning * text_dpi() / device_dpi : item.kerning);
  painter.setFont(font);
  painter.setPen(item.colour);
  if (draw_glyphs(painter, font, item)) return;
  painter.drawText(item.rect,
                   int(item.alignment) | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine,
                   item.text);
}

}  // namespace

Qt::Alignment Barcode_Text_Alignment(const QString& item) {
  if (item == QLatin1String("Center")) return Qt::AlignHCenter;
  if (item == QLatin1String("Right")) return Qt::AlignRight;
  return Qt::AlignLeft;  // "Left", and the natural alignment for anything else
}

double Barcode_Line_Height(const QFont& font) {
  return QFontMetricsF(Barcode_Text_Font(font), &point_device()).height();
}

// ---- LinBarcodeOffscreenView ------------------------------------------------------------

LinBarcodeOffscreenView::LinBarcodeOffscreenView(const LinBarcode* barcode)
    : fromImageOrBarcode_(false) {
  if (barcode) {
    const float header = barcode->printsHeader() ? barcode->headerWidth() : 0.0f;
    const float footer = barcode->printsFooter() ? barcode->footerWidth() : 0.0f;
    frame_ = QRectF(0, 0, std::max({header, footer, barcode->width()}), barcode->height());
  }
  setBarcode(barcode);
}

LinBarcodeOffscreenView::LinBarcodeOffscreenView(const Picture& image_2d)
    : fromImageOrBarcode_(true) {
  const Barcode_Gen& settings = *Barcode_Gen_Var;
  frame_ = QRectF(0, 0, settings.width(), settings.height());
  setBarcode_Image_2D(image_2d);
}

QRectF LinBarcodeOffscreenView::rectForPage(int) const {
  if (barcode_) return QRectF(0, 0, barcode_->width(), barcode_->height());
  return frame_;
}

Barcode_Drawing LinBarcodeOffscreenView::layout() const {
  return fromImageOrBarcode_ ? framed_layout() : linear_layout(0);
}

Barcode_Drawing LinBarcodeOffscreenView::layout(double dpi) const {
  return fromImageOrBarcode_ ? framed_layout() : linear_layout(dpi);
}

Barcode_Drawing LinBarcodeOffscreenView::linear_layout(double dpi) const {
  Barcode_Drawing drawing;
  drawing.frame = frame_.size();
  if (!barcode_) return drawing;
  const LinBarcode& model = *barcode_;
  const Barcode_Gen& settings = *Barcode_Gen_Var;
  const QString S = model.completeBarcode();
  const qsizetype n = S.size();
  // On a raster every module is the same whole number of pixels (its width rounded, at
  // least one) and the bars start on a pixel edge: a module of 1.44 pixels drawn at its
  // fractional places comes out as runs of 1 to 3 pixels, which scanners misread. The bars
  // take the width of those whole modules, and the frame follows.
  const double pixel = dpi > 0 ? 72.0 / dpi : 0;  // one pixel in points
  const double bw = pixel > 0 ? std::max(1.0, std::round(model.barWidth() / pixel)) * pixel
                              : double(model.barWidth());
  const double W = model.width() + double(n) * (bw - model.barWidth());
  const double header = model.printsHeader() ? model.headerWidth() : 0.0;
  const double footer = model.printsFooter() ? model.footerWidth() : 0.0;
  const double Wv = std::max({header, footer, W});
  const double Hv = frame_.height();
  drawing.frame = QSizeF(Wv, Hv);

  drawing.background = settings.bar_back_clr.toQColor();
  drawing.bar_colour = settings.barcode_clr.toQColor();

  const double capH = model.printsCaption() ? double(model.captionHeight()) * 72 : 0;
  const double hdrH = model.printsHeader() ? double(model.headerHeight()) * 72 : 0;
  const double ftrH = model.printsFooter() ? double(model.footerHeight()) * 72 : 0;
  const bool on_top = settings.showinTopCheckbox != 0;
  // The header margin enters through barTop(): the bars end that far below the header band.
  const double vm = settings.value_margin, fm = settings.footer_margin, lr = settings.LR_margin,
               tb = settings.TB_margin;

  // Bars, centred in the frame, standing on the base line B.
  const double B = on_top ? ftrH + fm + tb : capH + ftrH + vm + fm + tb;
  const bool postal = four_state(model);
  double x = (Wv - double(n) * bw) / 2;
  if (pixel > 0) x = std::round(x / pixel) * pixel;
  double barH = 0;
  int run = 0, last_bar = -1;
  auto draw_run = [&] {
    const double top = model.barTop(last_bar);
    const double foot = postal ? model.barBottom(last_bar) : 0.0;
    drawing.bars.push_back(from_bottom(x, B + foot, bw * run, top - foot, Hv));
    barH = top;
  };
  for (qsizetype i = 0; i < n; ++i) {
    if (S.at(i) == QLatin1Char('1')) {
      ++run;
      last_bar = int(i);
      if (i == n - 1) draw_run();
    } else {
      if (run > 0) draw_run();
      x += bw * (run + 1);
      run = 0;
    }
  }

  // Value text.
  if (model.printsCaption()) {
    const double y0 = on_top ? ftrH + fm + barH + vm + tb : ftrH + fm + tb;
    const QColor colour = settings.bar_val_clr.toQColor();
    const QFont& font = settings.value_font;
    const QString L = model.leftCaption(), M = model.caption(), R = model.rightCaption();
    if (!L.isEmpty())
      drawing.texts.push_back(text_item(L, font, colour, 0, Qt::AlignLeft,
                                        model.firstBar() * 0.25 + lr, y0 + 3, Wv, Hv));
    if (!M.isEmpty()) {
      if (L.isEmpty() && !M.contains(QLatin1Char('\t'))) {
        // One piece across the frame.
        const double w = Barcode_Text_Width(M, font);
        const double m = double(M.size());
        const double kerning = settings.kerning_value_Checkbox == 1 ? 2 * ((W - w) / (2 * m)) : 2.0;
        drawing.texts.push_back(
            text_item(M, font, colour, kerning, Qt::AlignHCenter, 0, y0, Wv, Hv));
      } else {
        // TAB-separated groups spread over the symbol between its guards.
        const QStringList groups = M.split(QLatin1Char('\t'));
        const double g = double(groups.size());
        const double s = double(model.initiator().size());
        const double first = model.firstBar();
        const double G = groups.size() == 1 ? W - 2 * s * bw - 2 * first : W / g - s * bw - first;
        for (qsizetype j = 0; j < groups.size(); ++j) {
          const QString& group = groups.at(j);
          if (group.isEmpty()) continue;  // a doubled or trailing TAB: nothing to place
          const double w = Barcode_Text_Width(group, font);
          const double k = (G - w) / (2 * double(group.size()));
          const double gx = 3 * k + first + double(j + 1) * s * bw + double(j) * G + lr;
          drawing.texts.push_back(
              text_item(group, font, colour, 1.3 * k, Qt::AlignLeft, gx, y0, Wv, Hv));
        }
      }
    }
    if (!R.isEmpty())
      drawing.texts.push_back(text_item(R, font, colour, 0, Qt::AlignLeft,
                                        model.lastBar() + 0.07 * W + lr, y0 + 3, Wv, Hv));
  }

  if (model.printsHeader())
    drawing.texts.push_back(
        text_item(model.header(), settings.header_font, settings.bar_hdr_clr.toQColor(), 2.0,
                  Barcode_Text_Alignment(settings.align_hdr_combo.titleOfSelectedItem()), 0,
                  Hv - hdrH - tb, Wv, Hv));
  if (model.printsFooter())
    drawing.texts.push_back(text_item(
        model.footer(), settings.footer_font, settings.bar_ftr_clr.toQColor(), 2.0,
        Barcode_Text_Alignment(settings.align_ftr_combo.titleOfSelectedItem()), 0, tb, Wv, Hv));
  return drawing;
}

Barcode_Drawing LinBarcodeOffscreenView::framed_layout() const {
  Barcode_Drawing drawing;
  drawing.frame = frame_.size();
  drawing.background = QColor(Qt::white);
  const Barcode_Gen& settings = *Barcode_Gen_Var;
  const double Wv = frame_.width(), Hv = frame_.height();
  const double tb = settings.TB_margin;

  double y_h = Hv - tb;
  if (settings.printsHeader()) {
    const double hdrH = double(settings.headerHeight()) * 72;
    y_h = Hv - hdrH - tb;
    drawing.texts.push_back(text_item(
        settings.header(), settings.header_font, settings.bar_hdr_clr.toQColor(), 2.0,
        Barcode_Text_Alignment(settings.align_hdr_combo.titleOfSelectedItem()), 0, y_h, Wv, Hv));
  }
  if (!image_2d_.isNull()) {
    const QSizeF size = image_2d_.size();
    drawing.symbol = image_2d_;
    drawing.symbol_rect =
        from_bottom((double(settings.width()) - size.width()) / 2,
                    y_h - size.height() - settings.header_margin, size.width(), size.height(), Hv);
  }
  if (settings.printsFooter())
    drawing.texts.push_back(text_item(
        settings.footer(), settings.footer_font, settings.bar_ftr_clr.toQColor(), 2.0,
        Barcode_Text_Alignment(settings.align_ftr_combo.titleOfSelectedItem()), 0, tb, Wv, Hv));
  return drawing;
}

void LinBarcodeOffscreenView::drawRect(QPainter& painter) const { paint(painter, layout(), 0); }

void LinBarcodeOffscreenView::Paint(QPainter& painter, const Barcode_Drawing& drawing) {
  paint(painter, drawing, 0);
}

void LinBarcodeOffscreenView::paint(QPainter& painter, const Barcode_Drawing& drawing, double dpi) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.fillRect(QRectF(QPointF(0, 0), drawing.frame), drawing.background);
  if (dpi > 0) {
    // Whole device pixels: the layout put every edge on one.
    const double scale = dpi / 72.0;
    painter.save();
    painter.resetTransform();
    for (const QRectF& bar : drawing.bars) {
      const QPoint from(int(std::lround(bar.left() * scale)), int(std::lround(bar.top() * scale)));
      const QPoint to(int(std::lround(bar.right() * scale)),
                      int(std::lround(bar.bottom() * scale)));
      painter.fillRect(QRect(from, to - QPoint(1, 1)), drawing.bar_colour);
    }
    painter.restore();
  } else {
    for (const QRectF& bar : drawing.bars) painter.fillRect(bar, drawing.bar_colour);
  }
  if (!drawing.symbol_modules.empty()) {
    for (const Barcode_Drawing::Module_Run& run : drawing.symbol_modules)
      if (run.colour.alpha() > 0) painter.fillRect(run.rect, run.colour);
  } else if (!drawing.symbol.isNull()) {
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(drawing.symbol_rect, drawing.symbol.image());
    painter.restore();
  }
  for (const Barcode_Text_Item& text : drawing.texts) draw_text(painter, text);
  painter.restore();
}

Picture LinBarcodeOffscreenView::image(double dpi) const {
  if (!(frame_.width() > 0) || !(frame_.height() > 0) || !(dpi > 0)) {
    Show_NSLog_Message(QStringLiteral("The barcode picture has no size."));
    return {};
  }
  const Barcode_Drawing drawing = layout(dpi);
  const QSizeF size = drawing.frame;
  if (!(size.width() > 0) || !(size.height() > 0)) {
    Show_NSLog_Message(QStringLiteral("The barcode picture has no size."));
    return {};
  }
  const double pw = std::ceil(dpi * size.width() / 72.0);
  const double ph = std::ceil(dpi * size.height() / 72.0);
  if (pw > kMax_Side_Pixels || ph > kMax_Side_Pixels) {
    Show_NSLog_Message(QStringLiteral("The barcode picture is too large at %1 dpi.").arg(dpi));
    return {};
  }
  QImage raster(int(pw), int(ph), QImage::Format_ARGB32_Premultiplied);
  if (raster.isNull()) {
    Show_NSLog_Message(QStringLiteral("Unable to make a barcode picture at %1 dpi.").arg(dpi));
    return {};
  }
  set_dpi(raster, text_dpi());
  // The ceiling leaves part of a pixel beyond the frame: give it the background too.
  raster.fill(fromImageOrBarcode_ ? QColor(Qt::white) : Barcode_Gen_Var->bar_back_clr.toQColor());
  {
    QPainter painter(&raster);
    painter.scale(dpi / 72.0, dpi / 72.0);
    paint(painter, drawing, dpi);
  }
  set_dpi(raster, dpi);
  return Picture(std::move(raster), size);
}

QByteArray LinBarcodeOffscreenView::dataWithPDFInsideRect(const QRectF& rect) const {
  if (!(rect.width() > 0) || !(rect.height() > 0)) return {};
  QByteArray data;
  QBuffer buffer(&data);
  if (!buffer.open(QIODevice::WriteOnly)) return {};
  {
    QPdfWriter writer(&buffer);
    const int resolution = text_dpi();
    writer.setResolution(resolution);
    writer.setCreator(QStringLiteral("Lumigrove"));
    const QPageSize page(rect.size(), QPageSize::Point, QString(), QPageSize::ExactMatch);
    if (!writer.setPageLayout(QPageLayout(page, QPageLayout::Portrait, QMarginsF()))) return {};
    QPainter painter;
    if (!painter.begin(&writer)) return {};
    painter.scale(resolution / 72.0, resolution / 72.0);
    painter.translate(-rect.topLeft());
    drawRect(painter);
    painter.end();
  }
  buffer.close();
  return data;
}

// ---- Entrances ----------------------------------------------------------------------------

void Trace_Symbol_Modules(Barcode_Drawing& drawing) {
  if (drawing.symbol.isNull() || drawing.symbol_rect.isEmpty()) return;
  const QImage image = drawing.symbol.image().convertToFormat(QImage::Format_ARGB32);
  const int w = image.width(), h = image.height();
  if (w <= 0 || h <= 0) return;
  // The colours and how often each shows.
  QHash<QRgb, qint64> counts;
  for (int y = 0; y < h; ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < w; ++x) {
      ++counts[row[x]];
      if (counts.size() > 16) return;
    }
  }
  // Clear pixels let the picture's background show: they are left unpainted. Without them
  // the most frequent colour is painted over the whole symbol first.
  QRgb background = 0;
  bool clear = false;
  qint64 most = -1;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
    if (qAlpha(it.key()) == 0) {
      clear = true;
      background = it.key();
    }
  }
  for (auto it = counts.cbegin(); it != counts.cend() && !clear; ++it)
    if (it.value() > most) {
      most = it.value();
      background = it.key();
    }
  const double sx = drawing.symbol_rect.width() / w, sy = drawing.symbol_rect.height() / h;
  const QPointF origin = drawing.symbol_rect.topLeft();
  std::vector<Barcode_Drawing::Module_Run> runs;
  if (!clear) runs.push_back({QColor::fromRgba(background), drawing.symbol_rect});
  auto emit_run = [&](int x0, int x1, int y0, int y1, QRgb colour) {
    runs.push_back({QColor::fromRgba(colour),
                    QRectF(origin.x() + x0 * sx, origin.y() + y0 * sy, (x1 - x0) * sx,
                           (y1 - y0) * sy)});
  };
  // Runs of the row above still open: (x0, x1, colour) -> the row they began on.
  struct Run {
    int x0, x1;
    QRgb colour;
    bool operator<(const Run& o) const {
      return std::tie(x0, x1, colour) < std::tie(o.x0, o.x1, o.colour);
    }
  };
  std::map<Run, int> open, next;
  for (int y = 0; y <= h; ++y) {
    next.clear();
    if (y < h) {
      const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
      for (int x = 0; x < w;) {
        const QRgb colour = row[x];
        int end = x + 1;
        while (end < w && row[end] == colour) ++end;
        if (colour != background && qAlpha(colour) != 0) {
          const Run run{x, end, colour};
          const auto was = open.find(run);
          next.emplace(run, was != open.end() ? was->second : y);
          if (was != open.end()) open.erase(was);
        }
        x = end;
      }
    }
    for (const auto& [run, top] : open) emit_run(run.x0, run.x1, top, y, run.colour);
    open.swap(next);
  }
  drawing.symbol_modules = std::move(runs);
}

void Paint_Barcode_Drawing(QPainter& painter, const Barcode_Drawing& drawing) {
  LinBarcodeOffscreenView::Paint(painter, drawing);
}

Picture imageFromBarcode(const LinBarcode* barcode) {
  return imageFromBarcode(barcode, USED_DPI_VALUE.load());
}

Picture imageFromBarcode(const LinBarcode* barcode, double dpi) {
  if (!barcode) return {};
  try {
    return LinBarcodeOffscreenView(barcode).image(dpi);
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
    return {};
  }
}

Picture imageFromBarcodeImage(const Picture& image_2d) {
  return imageFromBarcodeImage(image_2d, USED_DPI_VALUE.load());
}

Picture imageFromBarcodeImage(const Picture& image_2d, double dpi) {
  if (image_2d.isNull()) return {};
  try {
    return LinBarcodeOffscreenView(image_2d).image(dpi);
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
    return {};
  }
}

QByteArray pdfFromBarcode(const LinBarcode* barcode) {
  if (!barcode) return {};
  const LinBarcodeOffscreenView view(barcode);
  return view.dataWithPDFInsideRect(view.bounds());
}
