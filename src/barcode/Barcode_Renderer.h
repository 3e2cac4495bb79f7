#pragma once
// The barcode renderer: turns a linear model into a finished picture (background, bars,
// value text, header and footer), or frames a ready two-dimensional symbol picture with the
// header and the footer. Fonts, colours, margins, alignments and the two value-text check
// boxes come from the barcode settings (Barcode_Gen_Var) at the moment of drawing; the model
// supplies the bar string, the bands, the texts and the caption positions; for a framed
// symbol the settings' own metric properties (width, height, header, headerHeight, ...)
// take the model's place.
//
// Everything is painted in points with Qt's y-down axis: bars are filled rectangles (one per
// run of adjacent bar modules), texts are drawn as text, and a two-dimensional symbol is
// copied at its own size. The finished picture is a raster of that painting at a resolution
// (ceil(dpi x points / 72) pixels each way) that keeps its size in points, every bar module
// the same whole number of pixels (see layout(dpi)); pdfFromBarcode()
// gives the same painting as vector PDF data. Usable on any thread: a thread reads the
// settings that Barcode_Gen_Var answers there.

#include "model/Picture.h"

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <vector>

class LinBarcode;
class QPainter;

// One text of a picture: drawn on one line in `rect` (its top is the top of the line, its
// height the font's line height) with the given horizontal alignment; it may reach beyond
// the rectangle.
struct Barcode_Text_Item {
  QString text;
  QFont font;  // the design font; drawn with Barcode_Text_Font()
  QColor colour;
  double kerning = 0;  // extra space after each character, points
  Qt::Alignment alignment = Qt::AlignLeft;
  QRectF rect;
};

// What one picture is made of, in points, y growing downwards, in painting order:
// background, bars (or the symbol), texts.
struct Barcode_Drawing {
  QSizeF frame;
  QColor background;
  QColor bar_colour;
  std::vector<QRectF> bars;
  Picture symbol;      // a framed two-dimensional symbol; null for a linear picture
  QRectF symbol_rect;  // where the symbol is copied, at its own size
  // The symbol as filled rectangles of its colours (Trace_Symbol_Modules), in points; when
  // set, the symbol picture is not drawn.
  struct Module_Run {
    QColor colour;
    QRectF rect;
  };
  std::vector<Module_Run> symbol_modules;
  std::vector<Barcode_Text_Item> texts;
};

// Sizes, lays out and draws one picture.
class LinBarcodeOffscreenView {
 public:
  // A linear picture. The frame is as wide as the widest of the model's width, its header
  // width (when it prints a header) and its footer width (when it prints a footer), and as
  // high as the model's height. The view does not own the model: keep it alive meanwhile.
  explicit LinBarcodeOffscreenView(const LinBarcode* barcode);
  // A framed two-dimensional symbol: the frame is the settings' width() x height(), which the
  // frame size operations set for this very symbol beforehand. The view keeps a copy.
  explicit LinBarcodeOffscreenView(const Picture& image_2d);

  QRectF bounds() const { return frame_; }
  bool fromImageOrBarcode() const { return fromImageOrBarcode_; }  // true: framed symbol
  const LinBarcode* barcode() const { return barcode_; }
  void setBarcode(const LinBarcode* barcode) { barcode_ = barcode; }
  const Picture& barcode_Image_2D() const { return image_2d_; }
  void setBarcode_Image_2D(const Picture& image) { image_2d_ = image; }

  // The picture as it would be drawn now.
  Barcode_Drawing layout() const;
  // The same for a raster of the resolution: the modules of a linear picture are whole
  // pixels (a module's width in pixels rounded, at least 1) and the bars start on a pixel
  // edge; the frame is as much wider or narrower as the bars are.
  Barcode_Drawing layout(double dpi) const;
  // Paints the whole picture into a painter whose unit is the point, on any device (texts
  // take the device's font resolution into account).
  void drawRect(QPainter& painter) const;
  // Paints a drawing made by layout() or layout(dpi) as vectors (no pixel grid).
  static void Paint(QPainter& painter, const Barcode_Drawing& drawing);
  // The page of a PDF rendering: the model's width and height from the origin (the frame for
  // a framed symbol).
  QRectF rectForPage(int page) const;

  // The picture rasterised at the resolution (laid out by layout(dpi), its size in points
  // that frame's); null when the frame is empty or too large.
  Picture image(double dpi) const;
  // The painting of the rectangle as a one-page PDF document; empty on failure.
  QByteArray dataWithPDFInsideRect(const QRectF& rect) const;

 private:
  Barcode_Drawing linear_layout(double dpi) const;  // dpi 0: no pixel grid
  // Paints a drawing; with a resolution (not 0) the bars are filled as whole device pixels.
  static void paint(QPainter& painter, const Barcode_Drawing& drawing, double dpi);
  Barcode_Drawing framed_layout() const;

  const LinBarcode* barcode_ = nullptr;
  bool fromImageOrBarcode_ = false;
  Picture image_2d_;
  QRectF frame_;
};

// Adds to the drawing its symbol picture as rectangles of its pixels' colours (runs of one
// colour, rows of equal runs joined; clear pixels left out, so the frame's background shows
// there; a symbol without clear pixels first gets its most frequent colour over the whole
// of it): on a printer each module is then an exact rectangle, not resampled pixels. A
// symbol of more than 16 colours is left to be drawn as a picture.
void Trace_Symbol_Modules(Barcode_Drawing& drawing);
// Paints a drawing into a painter whose unit is the point, its frame from the origin: bars
// and traced modules as filled rectangles, texts as text, nothing rasterised (for printers
// and PDF; an untraced symbol is copied as its picture, without interpolation).
void Paint_Barcode_Drawing(QPainter& painter, const Barcode_Drawing& drawing);

// The finished picture of a linear model, at the resolution (USED_DPI_VALUE when not given);
// null for no model or on failure (logged).
Picture imageFromBarcode(const LinBarcode* barcode);
Picture imageFromBarcode(const LinBarcode* barcode, double dpi);
// A two-dimensional symbol framed with header, footer and margins; null for no symbol (no
// view is made) or on failure (logged).
Picture imageFromBarcodeImage(const Picture& image_2d);
Picture imageFromBarcodeImage(const Picture& image_2d, double dpi);
// The picture of a linear model as PDF data (vector); empty for no model or on failure.
QByteArray pdfFromBarcode(const LinBarcode* barcode);

// The alignment an alignment list's item text stands for: "Center", "Left", "Right"; any
// other text the default (left, the natural alignment of left-to-right text).
Qt::Alignment Barcode_Text_Alignment(const QString& item);
// Height in points of one line of text in the font (ascent plus descent), as measured for
// drawing.
double Barcode_Line_Height(const QFont& font);
