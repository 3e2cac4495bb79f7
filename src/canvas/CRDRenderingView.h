#pragma once
// The card image renderer: the one place where a card side becomes a picture, PDF or
// TIFF. A side is painted from explicit inputs (Card_Side_Snapshot) onto any QPainter
// device, in points: first the card base, then the graphics from the last list index to
// index 0, leaving out those marked not to be printed, never in their editing state and
// without selection handles. Painting from a snapshot reads no global state (the graphics'
// resource pictures come from the snapshot's folder through a Painting_Resources scope),
// so worker threads can render clones of the design while the main thread goes on.
//
// CRDRenderingView keeps the design's interface: its class methods read the current side
// from the design state (main thread) and render it.

#include "canvas/Card_Base.h"
#include "model/CRDError.h"
#include "model/CRDGraphic.h"
#include "model/Card_Property.h"
#include "model/Picture.h"

#include <QByteArray>
#include <QRectF>
#include <QString>

class QPainter;

// Everything a card side is painted from.
struct Card_Side_Snapshot {
  Card_Property side;     // the side's settings (fill, border, background picture)
  int card_shape = 0;     // outline: 1 rounded rectangle, 2 ellipse, else rectangle
  QRectF frame;           // the canvas bounds: the card in points
  QString resource_path;  // holds the hatch patterns ("Fill_Style_Image")
  Graphic_List graphics;  // index 0 is the front-most graphic
};

// How a painting went. A graphic that throws while drawing ends the painting: the
// graphics in front of it stay out, and the reason is reported here.
struct Render_Report {
  bool failed = false;
  QString reason;
};

// Paints the card base on rect and then the graphics of the snapshot. The painter is in
// points (canvas coordinates); its state is restored afterwards.
Render_Report Paint_Card_Side(QPainter& painter, const Card_Side_Snapshot& snapshot,
                              const QRectF& rect);

// The pixels of the side's raster at the resolution: ceil(dpi x points / 72) each way;
// empty when the frame is empty or the raster would be larger than a card picture may be
// (32,767 pixels a side, 256 MB).
QSize Card_Picture_Size(const QRectF& frame, double dpi);

// The side as a raster of ceil(dpi x points / 72) pixels over the frame, transparent
// outside the card's outline, carrying its resolution; a null picture (logged, and the
// reason in the report: the size it would have, what a card picture may take) when the
// frame is empty or the raster cannot be made.
// With a canvas: the raster is painted in the caller's canvas, kept from one picture to
// the next (a record renderer's), when no picture made from it is held any more and its
// size fits; otherwise the canvas becomes a new raster. The picture shares the canvas's
// pixels, so a batch that lets each picture go before the next reuses one raster.
Picture Render_Card_Picture(const Card_Side_Snapshot& snapshot, double dpi,
                            Render_Report* report = nullptr, QImage* canvas = nullptr);
// The side as a one-page PDF of the frame's size; empty (logged) when it cannot be made.
QByteArray Render_Card_PDF(const Card_Side_Snapshot& snapshot, Render_Report* report = nullptr);

// The current side as the design state describes it: the window's settings of the side
// Card_Front_Or_Back names, Card_Shape, the front canvas bounds, Resource_Path.
Card_Side_Snapshot Current_Card_Side(const Graphic_List& graphics);

class CRDRenderingView {
 public:
  // The resolution of card pictures.
  static constexpr double Card_Picture_DPI = 300;

  // A view of the frame showing the graphics (shared with the caller, read only).
  CRDRenderingView(const QRectF& frame, Graphic_List graphics, QString printJobTitle = QString());

  QRectF bounds() const { return QRectF(QPointF(0, 0), frame_.size()); }
  QRectF frame() const { return frame_; }
  bool isFlipped() const { return true; }
  bool isOpaque() const { return true; }
  QString printJobTitle() const { return printJobTitle_; }
  const Graphic_List& graphics() const { return graphics_; }

  // Paints the card base of the current side (Card_Base_Drawing) on rect, then the
  // graphics not marked print_object. Reports a graphic that failed to draw.
  Render_Report drawRect(QPainter& painter, const QRectF& rect) const;

  // The picture of a card side at the size of the front canvas: the card base of the
  // side Card_Front_Or_Back names, then the graphics. A graphic that fails to draw is
  // shown once in a message box and the picture made so far is answered; a picture that
  // cannot be made at all is logged and answered null. print_box (pictures for printed
  // sheets) gives the same picture.
  static Picture image_From_Card_Graphics(const Graphic_List& graphics, bool print_box,
                                          double dpi = Card_Picture_DPI);
  // A one-page PDF of the front canvas's size: card base of the current side and the
  // graphics not marked print_object.
  static QByteArray pdfDataWithGraphics_data(const Graphic_List& graphics);
  // A TIFF of exactly the graphics (no card base, print_object not consulted), each
  // clipped to its drawing bounds, over the union of their drawing bounds (for an empty
  // list the front canvas bounds). Empty, with error code 3, when that union is empty.
  static QByteArray tiffDataWithGraphics(const Graphic_List& graphics, CRDError* error = nullptr,
                                         double dpi = Card_Picture_DPI);

 private:
  QRectF frame_;
  Graphic_List graphics_;
  QString printJobTitle_;
};
