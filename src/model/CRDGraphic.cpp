#include "model/CRDGraphic.h"

#include "model/Design_Window_Services.h"
#include "model/Fonts.h"
#include "model/Shared_Design_State.h"

#include <QDir>
#include <QPainter>

#include <stdexcept>

const QString CRDGraphicIsDrawingFillKey = QStringLiteral("drawingFill");
const QString CRDGraphicFillColorKey = QStringLiteral("fillColor");
const QString CRDGraphicIsDrawingStrokeKey = QStringLiteral("drawingStroke");
const QString CRDGraphicStrokeColorKey = QStringLiteral("strokeColor");
const QString CRDGraphicStrokeWidthKey = QStringLiteral("strokeWidth");
const QString CRDGraphicXPositionKey = QStringLiteral("xPosition");
const QString CRDGraphicYPositionKey = QStringLiteral("yPosition");
const QString CRDGraphicWidthKey = QStringLiteral("width");
const QString CRDGraphicHeightKey = QStringLiteral("height");
const QString CRDGraphicBoundsKey = QStringLiteral("bounds");
const QString CRDGraphicDrawingBoundsKey = QStringLiteral("drawingBounds");
const QString CRDGraphicDrawingContentsKey = QStringLiteral("drawingContents");
const QString CRDGraphicKeysForValuesToObserveForUndoKey =
    QStringLiteral("keysForValuesToObserveForUndo");
const QString CRDGraphicCanSetDrawingFillKey = QStringLiteral("canSetDrawingFill");
const QString CRDGraphicCanSetDrawingStrokeKey = QStringLiteral("canSetDrawingStroke");

CRDGraphic::CRDGraphic() {
  _isDrawingFill = true;
  _fillColor = CRDColor::whiteColor();
  _isDrawingStroke = true;
  _strokeColor = CRDColor::blackColor();
  _strokeWidth = 1.0;
  _stroke_border_type = QStringLiteral("S");
  _fill_type = QStringLiteral("S");
  _fill_Grad_clr1 = CRDColor::whiteColor();
  _fill_Grad_clr2 = CRDColor::whiteColor();
  _fill_htch_clr = CRDColor::whiteColor();
  _fill_hatch_type = QStringLiteral("");
  img_trnsp_val = 100;
  sat_val = 1;
  con_val = 1;
  _file_path = Resource_Path + QStringLiteral("/no.png");
  sign_or_fingureprint = QStringLiteral("S");
  batch_list_name = QStringLiteral("");
  cor_rad_val_val = 10;
  alpha_val = 100;
  alpha_val_stroke = 100;
  // The window's all-text font and colour are applied where the window creates a graphic
  // (Window_Apply_New_Graphic_Defaults): a graphic made on a worker asks the window nothing.
  text_ctrl_font = Make_Font(Text_Ctrl_Font, 14);
  txt_clr = CRDColor::blackColor();
  _shape_type = QStringLiteral("R");
  linear_font_val = QStringLiteral("0123");
  two_d_font_val = QStringLiteral("0123");
  header_val = QStringLiteral("HEADER");
  footer_val = QStringLiteral("FOOTER");
  align_hdr_index = 1;
  align_ftr_index = 1;
  linear_height_val = 0.6f;
  linear_width_val = 20;
  qr_size_val = 60;
  pdf_hgt_val = 20;
  pdf_wdt_val = 100;
  pdf_ec_val = 2;
  dm_module_val = 2;
  hdr_margin_val = 0.1f;
  ftr_margin_val = 0.1f;
  val_margin_val = 0.1f;
  TB_marging_val = 0.1f;
  LR_margin_val = 0.1f;
  value_font_val = Make_Font(QStringLiteral("Times New Roman"), 10);
  header_font_val = Make_Font(QStringLiteral("Times New Roman"), 10);
  footer_font_val = Make_Font(QStringLiteral("Times New Roman"), 10);
  barcode_hdr_clr_val = CRDColor::blackColor();
  barcode_ftr_clr_val = CRDColor::blackColor();
  barcode_val_clr_val = CRDColor::blackColor();
  barcode_back_clr_val = CRDColor::whiteColor();
  barcode_clr_val = CRDColor::blackColor();
  dpi_custom_val = QStringLiteral("0");
  barcode_unit_val = 1;
  control_ID = QStringLiteral("");
  Text_Value = QStringLiteral("Text here");
  ctrl_is_visible = true;
  double_star_type = 1;
  polygon_type = 1;
}

CRDGraphic::CRDGraphic(Bare) {}

CRDGraphic::CRDGraphic(const CRDGraphic& other)
    : std::enable_shared_from_this<CRDGraphic>(), CRDGraphic_Record(other) {
  if (_Text_contents) _Text_contents = std::make_shared<StyledText>(*_Text_contents);
  _scriptingContainer = nullptr;
}

CRDGraphic::~CRDGraphic() = default;

std::shared_ptr<CRDGraphic> CRDGraphic::clone() const { return clone_as<CRDGraphic>(); }

std::shared_ptr<StyledText> CRDGraphic::Text_contents() {
  if (!_Text_contents) {
    Text_Attributes attributes;
    attributes.foreground = CRDColor::blackColor();
    attributes.font = Make_Font(Text_Ctrl_Font, 14);
    _Text_contents = std::make_shared<StyledText>(Text_Value, attributes);
  }
  return _Text_contents;
}

namespace {
CRDColor with_opacity(CRDColor& stored, float opacity) {
  if (!stored.isValid()) return {};
  stored = stored.colorWithAlphaComponent(opacity);
  return stored;
}
}  // namespace

CRDColor CRDGraphic::fillColor() { return with_opacity(_fillColor, alpha_val); }
CRDColor CRDGraphic::strokeColor() { return with_opacity(_strokeColor, alpha_val_stroke); }
CRDColor CRDGraphic::fill_Grad_clr1() { return with_opacity(_fill_Grad_clr1, alpha_val); }
CRDColor CRDGraphic::fill_Grad_clr2() { return with_opacity(_fill_Grad_clr2, alpha_val); }
CRDColor CRDGraphic::fill_hatch_bk_clr() { return with_opacity(_fill_htch_clr, alpha_val); }

// ---- Observed changes ------------------------------------------------------------------

void CRDGraphic::willChangeValueForKey(const QString& key) {
  if (observer_) observer_->graphicWillChange(*this, key);
}

void CRDGraphic::didChangeValueForKey(const QString& key) {
  if (observer_) observer_->graphicDidChange(*this, key);
}

void CRDGraphic::setDrawingFill(bool on) {
  willChangeValueForKey(CRDGraphicIsDrawingFillKey);
  _isDrawingFill = on;
  didChangeValueForKey(CRDGraphicIsDrawingFillKey);
}

void CRDGraphic::setFillColor(const CRDColor& color) {
  willChangeValueForKey(CRDGraphicFillColorKey);
  _fillColor = color;
  didChangeValueForKey(CRDGraphicFillColorKey);
}

void CRDGraphic::setDrawingStroke(bool on) {
  willChangeValueForKey(CRDGraphicIsDrawingStrokeKey);
  _isDrawingStroke = on;
  didChangeValueForKey(CRDGraphicIsDrawingStrokeKey);
}

void CRDGraphic::setStrokeColor(const CRDColor& color) {
  willChangeValueForKey(CRDGraphicStrokeColorKey);
  _strokeColor = color;
  didChangeValueForKey(CRDGraphicStrokeColorKey);
}

void CRDGraphic::setStrokeWidth(double width) {
  willChangeValueForKey(CRDGraphicStrokeWidthKey);
  _strokeWidth = width;
  didChangeValueForKey(CRDGraphicStrokeWidthKey);
}

QVariant CRDGraphic::valueForKey(const QString& key) {
  if (key == CRDGraphicBoundsKey) return bounds();
  if (key == CRDGraphicIsDrawingFillKey) return isDrawingFill();
  if (key == CRDGraphicFillColorKey) return QVariant::fromValue(fillColor());
  if (key == CRDGraphicIsDrawingStrokeKey) return isDrawingStroke();
  if (key == CRDGraphicStrokeColorKey) return QVariant::fromValue(strokeColor());
  if (key == CRDGraphicStrokeWidthKey) return strokeWidth();
  if (key == CRDGraphicXPositionKey) return xPosition();
  if (key == CRDGraphicYPositionKey) return yPosition();
  if (key == CRDGraphicWidthKey) return width();
  if (key == CRDGraphicHeightKey) return height();
  if (key == CRDGraphicDrawingBoundsKey) return drawingBounds();
  return {};
}

bool CRDGraphic::setValueForKey(const QString& key, const QVariant& value) {
  if (key == CRDGraphicBoundsKey)
    setBounds(value.toRectF());
  else if (key == CRDGraphicIsDrawingFillKey)
    setDrawingFill(value.toBool());
  else if (key == CRDGraphicFillColorKey)
    setFillColor(value.value<CRDColor>());
  else if (key == CRDGraphicIsDrawingStrokeKey)
    setDrawingStroke(value.toBool());
  else if (key == CRDGraphicStrokeColorKey)
    setStrokeColor(value.value<CRDColor>());
  else if (key == CRDGraphicStrokeWidthKey)
    setStrokeWidth(value.toDouble());
  else if (key == CRDGraphicXPositionKey)
    setXPosition(value.toDouble());
  else if (key == CRDGraphicYPositionKey)
    setYPosition(value.toDouble());
  else if (key == CRDGraphicWidthKey)
    setWidth(value.toDouble());
  else if (key == CRDGraphicHeightKey)
    setHeight(value.toDouble());
  else
    return false;
  return true;
}

QStringList CRDGraphic::keysForValuesToObserveForUndo() const {
  return {CRDGraphicIsDrawingFillKey, CRDGraphicFillColorKey,   CRDGraphicIsDrawingStrokeKey,
          CRDGraphicStrokeColorKey,   CRDGraphicStrokeWidthKey, CRDGraphicBoundsKey};
}

QStringList CRDGraphic::keysAffectedBy(const QString& key) const {
  QStringList keys;
  if (key == CRDGraphicBoundsKey)
    keys << CRDGraphicXPositionKey << CRDGraphicYPositionKey << CRDGraphicWidthKey
         << CRDGraphicHeightKey << CRDGraphicDrawingBoundsKey;
  else if (key == CRDGraphicStrokeWidthKey)
    keys << CRDGraphicDrawingBoundsKey;
  else if (key == CRDGraphicIsDrawingFillKey || key == CRDGraphicFillColorKey ||
           key == CRDGraphicIsDrawingStrokeKey || key == CRDGraphicStrokeColorKey)
    keys << CRDGraphicDrawingContentsKey;
  return keys;
}

QString CRDGraphic::presentablePropertyNameForKey(const QString&) const { return QString(""); }

// ---- Geometry ----------------------------------------------------------------------------

void CRDGraphic::setBounds(const QRectF& bounds) {
  willChangeValueForKey(CRDGraphicBoundsKey);
  _bounds = bounds;
  didChangeValueForKey(CRDGraphicBoundsKey);
}

void CRDGraphic::setXPosition(double x) {
  QRectF b = bounds();
  b.moveLeft(x);
  setBounds(b);
}

void CRDGraphic::setYPosition(double y) {
  QRectF b = bounds();
  b.moveTop(y);
  setBounds(b);
}

void CRDGraphic::setWidth(double w) {
  QRectF b = bounds();
  b.setWidth(w);
  setBounds(b);
}

void CRDGraphic::setHeight(double h) {
  QRectF b = bounds();
  b.setHeight(h);
  setBounds(b);
}

QRectF CRDGraphic::drawingBounds() const {
  double outset = CRDGraphicHandleHalfWidth;
  if (isDrawingStroke()) {
    const double half_stroke = strokeWidth() / 2.0;
    if (half_stroke > outset) outset = half_stroke;
  }
  const QRectF b = bounds();
  return QRectF(b.x() - outset, b.y() - outset, b.width() + 2 * outset + 1.0,
                b.height() + 2 * outset + 1.0);
}

// ---- Painting ----------------------------------------------------------------------------

void CRDGraphic::drawContentsInView(QPainter&, bool) {}

QPainterPath CRDGraphic::bezierPathForDrawing() const {
  throw std::logic_error(
      "Neither -drawContentsInView: nor -bezierPathForDrawing has been overridden.");
}

QPointF CRDGraphic::handlePoint(const QRectF& b, int handle) {
  const double mid_x = b.x() + b.width() * 0.5, mid_y = b.y() + b.height() * 0.5;
  const double min_x = b.x(), max_x = b.x() + b.width();
  const double min_y = b.y(), max_y = b.y() + b.height();
  switch (handle) {
    case 1: return {min_x, min_y};
    case 2: return {mid_x, min_y};
    case 3: return {max_x, min_y};
    case 4: return {min_x, mid_y};
    case 5: return {max_x, mid_y};
    case 6: return {min_x, max_y};
    case 7: return {mid_x, max_y};
    case 8: return {max_x, max_y};
    default: return {};
  }
}

void CRDGraphic::drawHandlesInView(QPainter& painter, bool lock_hai) const {
  for (int handle = 1; handle <= 8; ++handle)
    drawHandleInView(painter, handlePoint(bounds(), handle), lock_hai);
}

void CRDGraphic::drawHandleInView(QPainter& painter, const QPointF& point, bool lock_hai) {
  QRectF square(point.x() - CRDGraphicHandleHalfWidth, point.y() - CRDGraphicHandleHalfWidth,
                CRDGraphicHandleWidth, CRDGraphicHandleWidth);
  // Align the square to whole device pixels, so the handle stays crisp at any zoom.
  const QTransform& to_device = painter.worldTransform();
  bool invertible = false;
  const QTransform to_user = to_device.inverted(&invertible);
  if (invertible) {
    QRectF device = to_device.mapRect(square);
    device = QRectF(QPointF(std::round(device.left()), std::round(device.top())),
                    QPointF(std::round(device.right()), std::round(device.bottom())));
    square = to_user.mapRect(device);
  }
  painter.save();
  painter.setPen(Qt::NoPen);
  painter.fillRect(square.translated(1, 1), QColor(64, 64, 64));
  painter.fillRect(square, lock_hai ? QColor(Qt::red) : QColor(128, 128, 128));
  painter.restore();
}

// ---- Editing -----------------------------------------------------------------------------

bool CRDGraphic::canMakeNaturalSize() const { return width() != height(); }

void CRDGraphic::makeNaturalSize() {
  // A locked object keeps its size.
  if (ctrl_is_locked) return;
  QRectF b = bounds();
  if (b.width() == b.height()) return;
  if (b.height() > b.width())
    b.setHeight(b.width());
  else
    b.setWidth(b.height());
  setBounds(b);
}

bool CRDGraphic::isContentsUnderPoint(const QPointF& point) const {
  const QRectF b = bounds();
  return point.x() >= b.left() && point.x() < b.right() && point.y() >= b.top() &&
         point.y() < b.bottom();
}

bool CRDGraphic::isHandleAtPoint(const QPointF& handlePoint, const QPointF& point) {
  const double left = handlePoint.x() - CRDGraphicHandleHalfWidth;
  const double top = handlePoint.y() - CRDGraphicHandleHalfWidth;
  return point.x() >= left && point.x() < left + CRDGraphicHandleWidth && point.y() >= top &&
         point.y() < top + CRDGraphicHandleWidth;
}

int CRDGraphic::handleUnderPoint(const QPointF& point) const {
  for (int handle = 1; handle <= 8; ++handle)
    if (isHandleAtPoint(handlePoint(bounds(), handle), point)) return handle;
  return CRDGraphicNoHandle;
}

int CRDGraphic::resizeByMovingHandle(int handle, const QPointF& point) {
  static const int flip_horizontal[9] = {0, 3, 2, 1, 5, 4, 8, 7, 6};
  static const int flip_vertical[9] = {0, 6, 7, 8, 4, 5, 1, 2, 3};
  double x = _bounds.x(), y = _bounds.y(), w = _bounds.width(), h = _bounds.height();
  if (handle == 1 || handle == 4 || handle == 6) {
    w = x + w - point.x();
    x = point.x();
  } else if (handle == 3 || handle == 5 || handle == 8) {
    w = point.x() - x;
  }
  if (w < 0) {
    handle = flip_horizontal[handle];
    w = -w;
    x -= w;
    flipHorizontally();
  }
  if (handle == 1 || handle == 2 || handle == 3) {
    h = y + h - point.y();
    y = point.y();
  } else if (handle == 6 || handle == 7 || handle == 8) {
    h = point.y() - y;
  }
  if (h < 0) {
    handle = flip_vertical[handle];
    h = -h;
    y -= h;
    flipVertically();
  }
  setBounds(QRectF(x, y, w, h));
  return handle;
}

// ---- Lists -------------------------------------------------------------------------------

QRectF Union_Rect(const QRectF& a, const QRectF& b) {
  const bool a_empty = a.width() <= 0 || a.height() <= 0;
  const bool b_empty = b.width() <= 0 || b.height() <= 0;
  if (a_empty && b_empty) return QRectF();
  if (a_empty) return b;
  if (b_empty) return a;
  return a.united(b);
}

QRectF CRDGraphic::boundsOfGraphics(const Graphic_List& graphics) {
  if (graphics.empty()) return QRectF();
  QRectF united = graphics.front()->bounds();
  for (size_t i = 1; i < graphics.size(); ++i) united = Union_Rect(united, graphics[i]->bounds());
  return united;
}

QRectF CRDGraphic::drawingBoundsOfGraphics(const Graphic_List& graphics) {
  if (graphics.empty()) return Window_Front_Canvas_Bounds();
  QRectF united = graphics.front()->drawingBounds();
  for (size_t i = 1; i < graphics.size(); ++i)
    united = Union_Rect(united, graphics[i]->drawingBounds());
  return united;
}

void CRDGraphic::translateGraphics(const Graphic_List& graphics, double dx, double dy) {
  for (const auto& graphic : graphics)
    if (!graphic->ctrl_is_locked) graphic->setBounds(graphic->bounds().translated(dx, dy));
}

void CRDGraphic::Paste_Location_Of_Graphics(const Graphic_List& graphics, double x, double y,
                                            const QString& card_side) {
  for (size_t i = 0; i < graphics.size(); ++i) {
    if (i > 0) {
      const QPointF next = Window_Control_New_Point(card_side);
      x = next.x();
      y = next.y();
    }
    const auto& graphic = graphics[i];
    if (!graphic->ctrl_is_locked)
      graphic->setBounds(QRectF(x, y, graphic->width(), graphic->height()));
  }
}
