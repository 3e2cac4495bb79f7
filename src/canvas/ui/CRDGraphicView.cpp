#include "canvas/ui/CRDGraphicView.h"

#include "canvas/CRDGrid.h"
#include "canvas/Card_Base.h"
#include "canvas/Graphic_Layer.h"
#include "model/Design_Window_Services.h"

#include <QDebug>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <exception>

const QString CRDGraphicViewGraphicsBindingName = QStringLiteral("graphics");
const QString CRDGraphicViewGraphicsBindingName_back = QStringLiteral("graphics_back");
const QString CRDGraphicViewGraphicsBindingName_temp = QStringLiteral("graphics_temp");
const QString CRDGraphicViewPasteboardMimeType =
    QStringLiteral("application/x-dirar-voveda-2-pasteboard-type");
const QString CRDGraphicViewPasteboardTokenMimeType =
    QStringLiteral("application/x-dirar-voveda-2-pasteboard-token");
const QString CRDGraphicViewLockedMessage = QStringLiteral("Selected control is locked.");

namespace {

// From this many graphics over this many pixels, a repaint is shared out among threads.
constexpr int Layer_Minimum_Graphics = 24;
constexpr double Layer_Minimum_Pixels = 160.0 * 160.0;
// From this many missing pictures, they are rendered on a worker thread meanwhile.
constexpr int Pictures_Minimum_Later = 8;

// The rectangle union in which an empty rectangle does not count.
QRectF unite(const QRectF& a, const QRectF& b) { return Union_Rect(a, b); }

// The platform's point-in-rectangle rule: the left and top edges belong to the rectangle,
// the right and bottom edges do not.
bool point_in_rect(const QPointF& p, const QRectF& r) {
  return p.x() >= r.left() && p.x() < r.right() && p.y() >= r.top() && p.y() < r.bottom();
}

Index_Set normalized(Index_Set indexes, int count) {
  std::sort(indexes.begin(), indexes.end());
  indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
  indexes.erase(std::remove_if(indexes.begin(), indexes.end(),
                               [count](int i) { return i < 0 || i >= count; }),
                indexes.end());
  return indexes;
}

}  // namespace

CRDGraphicView::CRDGraphicView(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(false);
  // Corners outside a rounded or oval card show what lies behind the canvas.
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  handle_showing_timer_.setSingleShot(true);
  handle_showing_timer_.setTimerType(Qt::PreciseTimer);
  handle_showing_timer_.setInterval(500);
  connect(&handle_showing_timer_, &QTimer::timeout, this, [this] {
    hiding_handles_ = false;
    setNeedsDisplayInRect(CRDGraphic::drawingBoundsOfGraphics(selectedGraphics()));
  });
  update_widget_size();
}

CRDGraphicView::~CRDGraphicView() {
  handle_showing_timer_.stop();
  if (drag_.kind != Drag_Kind::None) end_drag();
  setGrid(nullptr);
  unbind(CRDGraphicViewGraphicsBindingName);
}

// ---- Connections -------------------------------------------------------------------------

bool CRDGraphicView::bind(const QString& name, CRDDocument* document) {
  CRDDocument::Side side;
  if (name == CRDGraphicViewGraphicsBindingName)
    side = CRDDocument::Side::Front;
  else if (name == CRDGraphicViewGraphicsBindingName_back)
    side = CRDDocument::Side::Back;
  else if (name == CRDGraphicViewGraphicsBindingName_temp)
    side = CRDDocument::Side::Temp;
  else
    return false;
  if (!document) return false;
  if (isBound()) unbind(CRDGraphicViewGraphicsBindingName);
  document_ = document;
  side_ = side;
  pictures_.Clear();
  document_connections_
      << connect(document, &CRDDocument::graphicsInserted, this, &CRDGraphicView::on_inserted)
      << connect(document, &CRDDocument::graphicsRemoved, this, &CRDGraphicView::on_removed)
      << connect(document, &CRDDocument::graphicChanged, this, &CRDGraphicView::on_changed)
      << connect(document, &QObject::destroyed, this, [this] {
           document_connections_.clear();
           pictures_.Clear();
           selection_.clear();
           selected_graphic_.reset();
           update();
         });
  update();
  schedule_card_check();
  return true;
}

void CRDGraphicView::unbind(const QString& name) {
  if (name != CRDGraphicViewGraphicsBindingName && name != CRDGraphicViewGraphicsBindingName_back &&
      name != CRDGraphicViewGraphicsBindingName_temp)
    return;
  if (drag_.kind != Drag_Kind::None) end_drag();
  for (const auto& connection : document_connections_) disconnect(connection);
  document_connections_.clear();
  document_ = nullptr;
  pictures_.Clear();
  const bool had_selection = !selection_.isEmpty();
  selection_.clear();
  selected_graphic_.reset();
  update();
  if (had_selection) emit selectionIndexesChanged();
}

void CRDGraphicView::setGrid(CRDGrid* grid) {
  if (grid == grid_) return;
  disconnect(grid_connection_);
  grid_ = grid;
  if (grid)
    grid_connection_ = connect(grid, &CRDGrid::valueChanged, this, [this](const QString& key) {
      if (key == CRDGridAnyKey) update();
    });
  update();
}

// ---- Frame and zoom ----------------------------------------------------------------------

void CRDGraphicView::setFrameSize(const QSizeF& size) {
  const QSizeF valid(std::isfinite(size.width()) ? std::max(0.0, size.width()) : 0.0,
                     std::isfinite(size.height()) ? std::max(0.0, size.height()) : 0.0);
  if (valid == frame_size_) return;
  frame_size_ = valid;
  update_widget_size();
  update();
}

void CRDGraphicView::setZoomFactor(double factor) {
  if (!(factor > 0) || !std::isfinite(factor) || factor == zoom_) return;
  zoom_ = factor;
  update_widget_size();
  update();
}

void CRDGraphicView::update_widget_size() {
  // Whole pixels covering the card (a hair over a whole number does not add a pixel).
  auto pixels = [this](double points) {
    return int(std::clamp(std::ceil(points * zoom_ - 1e-6), 0.0, double(QWIDGETSIZE_MAX)));
  };
  setFixedSize(pixels(frame_size_.width()), pixels(frame_size_.height()));
}

QRectF CRDGraphicView::widgetRect(const QRectF& points) const {
  return QRectF(points.topLeft() * zoom_, points.size() * zoom_);
}

void CRDGraphicView::setNeedsDisplayInRect(const QRectF& points) {
  if (!(points.width() > 0) || !(points.height() > 0)) return;
  // One pixel more on every side covers antialiased edges.
  update(widgetRect(points).toAlignedRect().adjusted(-1, -1, 1, 1));
}

void CRDGraphicView::refreshGraphics() {
  pictures_.Clear();
  update();
}

void CRDGraphicView::Refresh_ScrollView() {
  QWidget* area = parentWidget();
  while (area && !area->inherits("QAbstractScrollArea")) area = area->parentWidget();
  if (area)
    area->update();
  else
    update();
}

// ---- List and selection ------------------------------------------------------------------

const Graphic_List& CRDGraphicView::graphics() const {
  static const Graphic_List empty;
  return document_ ? document_->list(side_) : empty;
}

int CRDGraphicView::index_of(const CRDGraphic* graphic) const {
  const Graphic_List& list = graphics();
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].get() == graphic) return int(i);
  return -1;
}

bool CRDGraphicView::isSelected(int index) const {
  return std::binary_search(selection_.begin(), selection_.end(), index);
}

Graphic_List CRDGraphicView::selectedGraphics() const {
  const Graphic_List& list = graphics();
  Graphic_List selected;
  selected.reserve(selection_.size());
  for (int i : selection_)
    if (i < int(list.size())) selected.push_back(list[size_t(i)]);
  return selected;
}

std::shared_ptr<CRDGraphic> CRDGraphicView::Selected_Graphic() const {
  return selected_graphic_.lock();
}

void CRDGraphicView::changeSelectionIndexes(const Index_Set& indexes) {
  if (!isBound()) {
    qWarning("An CRDGraphicView's 'graphics' property is not bound to anything.");
    return;
  }
  const Graphic_List& list = graphics();
  const Index_Set wanted = normalized(indexes, int(list.size()));
  // The graphics whose selection changes, old ones first.
  QRectF changed;
  for (int i : selection_)
    if (!wanted.contains(i) && i < int(list.size()))
      changed = unite(changed, list[size_t(i)]->drawingBounds());
  for (int i : wanted)
    if (!isSelected(i)) changed = unite(changed, list[size_t(i)]->drawingBounds());
  set_selection(wanted, changed);
  Window_Set_Same_Size_Buttons_Enabled(wanted.size() > 1);
}

void CRDGraphicView::set_selection(Index_Set indexes, const QRectF& changed_area) {
  if (indexes == selection_) return;
  selection_ = std::move(indexes);
  setNeedsDisplayInRect(changed_area);
  remember_drawn_selection(changed_area);
  emit selectionIndexesChanged();
}

// The front-most selected graphic that the redraw of the area shows with handles becomes
// the remembered graphic, as a redraw would show it to the user.
void CRDGraphicView::remember_drawn_selection(const QRectF& area) {
  if (hiding_handles_ || area.isEmpty()) return;
  const Graphic_List& list = graphics();
  for (int i : selection_) {
    if (i >= int(list.size())) break;
    const auto& graphic = list[size_t(i)];
    if (graphic == creating_) continue;
    if (graphic->drawingBounds().intersects(area)) {
      selected_graphic_ = graphic;
      return;
    }
  }
}

void CRDGraphicView::selectAll() {
  Index_Set all;
  for (int i = 0; i < int(graphics().size()); ++i) all << i;
  changeSelectionIndexes(all);
  show_selection_in_sidebar();
}

void CRDGraphicView::show_selection_in_sidebar() {
  const Graphic_List selected = selectedGraphics();
  if (selected.empty()) return;
  selected_graphic_ = selected.front();
  Window_Show_RHS_Properties(selected.front());
}

void CRDGraphicView::deselectAll() { changeSelectionIndexes({}); }

// ---- Changes of the list -----------------------------------------------------------------

void CRDGraphicView::on_inserted(CRDDocument::Side side, const QList<int>& indexes) {
  if (side != side_) return;
  const Graphic_List& list = graphics();
  QRectF area;
  for (int i : indexes)
    if (i >= 0 && i < int(list.size())) area = unite(area, list[size_t(i)]->drawingBounds());
  setNeedsDisplayInRect(area);

  // The selected graphics keep their selection at their new places.
  Index_Set inserted = indexes;
  std::sort(inserted.begin(), inserted.end());
  Index_Set moved;
  int j = 0, shift = 0;
  for (int s : selection_) {
    while (j < inserted.size() && inserted[j] <= s + shift) {
      ++shift;
      ++j;
    }
    moved << s + shift;
  }
  if (moved != selection_) {
    selection_ = moved;
    emit selectionIndexesChanged();
  }
  remember_drawn_selection(area);
  if (undo_selection_indexes_)
    for (int i : indexes)
      if (!undo_selection_indexes_->contains(i)) undo_selection_indexes_->append(i);
}

void CRDGraphicView::on_removed(CRDDocument::Side side, const QList<int>& indexes,
                                const Graphic_List& graphics_removed,
                                const QList<QRectF>& drawing_bounds) {
  if (side != side_) return;
  for (const auto& graphic : graphics_removed) drop_picture(graphic.get());
  QRectF area;
  for (const QRectF& r : drawing_bounds) area = unite(area, r);
  setNeedsDisplayInRect(area);

  const auto remembered = selected_graphic_.lock();
  for (const auto& graphic : graphics_removed)
    if (graphic == remembered) selected_graphic_.reset();

  Index_Set removed = indexes;
  std::sort(removed.begin(), removed.end());
  Index_Set kept;
  for (int s : selection_) {
    if (std::binary_search(removed.begin(), removed.end(), s)) continue;
    kept << s - int(std::lower_bound(removed.begin(), removed.end(), s) - removed.begin());
  }
  if (kept != selection_) {
    selection_ = kept;
    emit selectionIndexesChanged();
  }
  remember_drawn_selection(area);
  if (graphics().empty()) schedule_card_check();
}

void CRDGraphicView::on_changed(CRDDocument::Side side, const std::shared_ptr<CRDGraphic>& graphic,
                                const QString&, const QRectF& old_drawing_bounds) {
  if (side != side_ || !graphic) return;
  drop_picture(graphic.get());
  setNeedsDisplayInRect(old_drawing_bounds);
  setNeedsDisplayInRect(graphic->drawingBounds());
  if (undo_selection_indexes_) {
    const int index = index_of(graphic.get());
    if (index >= 0 && !undo_selection_indexes_->contains(index))
      undo_selection_indexes_->append(index);
  }
}

// A side without graphics shows the card's settings in the sidebar: checked once control
// returns to the event loop, when the canvas is on screen, as a redraw would.
void CRDGraphicView::schedule_card_check() {
  if (card_check_pending_) return;
  card_check_pending_ = true;
  QMetaObject::invokeMethod(this, &CRDGraphicView::show_card_if_empty, Qt::QueuedConnection);
}

void CRDGraphicView::show_card_if_empty() {
  card_check_pending_ = false;
  if (isBound() && isVisible() && graphics().empty()) Window_Show_RHS_Properties(nullptr);
}

void CRDGraphicView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Graphics may have been written to while the canvas was hidden.
  pictures_.Clear();
  schedule_card_check();
}

void CRDGraphicView::hideEvent(QHideEvent* event) {
  // A press whose release can no longer arrive ends here.
  if (drag_.kind != Drag_Kind::None) end_drag();
  QWidget::hideEvent(event);
}

// ---- Drawing -----------------------------------------------------------------------------

void CRDGraphicView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.scale(zoom_, zoom_);
  const QRect area = event->rect();
  const QRectF widened = QRectF(area).adjusted(-1, -1, 1, 1);
  const QRectF rect(widened.topLeft() / zoom_, widened.size() / zoom_);

  // The base is built on the whole card; the area only limits what is painted.
  Card_Base_Drawing(painter, bounds());
  if (grid_) grid_->drawRect(painter, rect);

  // The graphics meeting the area, the back-most first; their handles come after.
  const Graphic_List& list = graphics();
  std::vector<Layer_Item> items;
  for (int i = int(list.size()) - 1; i >= 0; --i) {
    const auto& graphic = list[size_t(i)];
    if (!graphic->drawingBounds().intersects(rect)) continue;
    const bool creating = graphic == creating_;
    items.push_back({graphic, creating, false});
  }
  attach_pictures(items);
  if (int(items.size()) >= Layer_Minimum_Graphics &&
      double(area.width()) * area.height() >= Layer_Minimum_Pixels) {
    // Many graphics over a large area: painted in bands on several threads, from copies
    // (graphics with a picture are only read).
    for (Layer_Item& item : items)
      if (item.picture.isNull()) item.graphic = item.graphic->clone();
    const QImage layer = Paint_Layer_In_Bands(items, area, zoom_, devicePixelRatioF());
    if (!layer.isNull()) {
      painter.save();
      painter.resetTransform();
      painter.drawImage(area.topLeft(), layer);
      painter.restore();
    }
  } else {
    Paint_Layer_Items(painter, items);
  }
  paint_selection_handles(painter, rect);

  if (!marquee_.isNull()) {
    // A one-point frame inside the rubber band.
    const QColor knob(128, 128, 128);
    const QRectF m = marquee_;
    const double line = std::min({1.0, m.width(), m.height()});
    painter.fillRect(QRectF(m.left(), m.top(), m.width(), line), knob);
    painter.fillRect(QRectF(m.left(), m.bottom() - line, m.width(), line), knob);
    painter.fillRect(QRectF(m.left(), m.top(), line, m.height()), knob);
    painter.fillRect(QRectF(m.right() - line, m.top(), line, m.height()), knob);
  }
}

void CRDGraphicView::paint_selection_handles(QPainter& painter, const QRectF& area) const {
  if (hiding_handles_) return;
  const Graphic_List& list = graphics();
  // Back-most first, so the handles of a front graphic lie over those of one behind it.
  for (auto it = selection_.rbegin(); it != selection_.rend(); ++it) {
    if (*it >= int(list.size())) continue;
    const CRDGraphic& graphic = *list[size_t(*it)];
    if (list[size_t(*it)] == creating_ || !graphic.drawingBounds().intersects(area)) continue;
    painter.save();
    try {
      graphic.drawHandlesInView(painter, graphic.ctrl_is_locked);
    } catch (...) {
      // A graphic that cannot say where its handles are shows none.
    }
    painter.restore();
  }
}

void CRDGraphicView::attach_pictures(std::vector<Layer_Item>& items) {
  pictures_.Set_Scale(zoom_, devicePixelRatioF());
  pictures_.Collect();
  // What the mouse is changing changes with every frame: painted directly.
  auto in_motion = [this](const std::shared_ptr<CRDGraphic>& graphic) {
    if (graphic == drag_.graphic) return true;
    return drag_.kind == Drag_Kind::Move && drag_.moving &&
           std::find(drag_.group.begin(), drag_.group.end(), graphic) != drag_.group.end();
  };
  const double scale = zoom_ * devicePixelRatioF();
  const double max_pixels = pictures_.maxPicturePixels();
  std::vector<Layer_Item*> missing;
  for (Layer_Item& item : items) {
    if (item.being_created || in_motion(item.graphic)) continue;
    if (const Graphic_Picture* picture = pictures_.Find(item.graphic)) {
      item.picture = *picture;
      continue;
    }
    // Past the cache's budget, graphics are painted directly rather than rendered into
    // pictures that are not kept.
    const QRectF bounds = item.graphic->drawingBounds();
    const double pixels = double(bounds.width()) * scale * bounds.height() * scale;
    if (pixels <= max_pixels && pictures_.hasRoomFor(pixels)) missing.push_back(&item);
  }
  if (int(missing.size()) >= Pictures_Minimum_Later) {
    // Many at once: this frame paints the graphics; their pictures come from a worker.
    Graphic_List graphics;
    graphics.reserve(missing.size());
    for (Layer_Item* item : missing) graphics.push_back(item->graphic);
    pictures_.Render_Later(graphics);
    return;
  }
  for (Layer_Item* item : missing) {
    Graphic_Picture picture =
        Render_Graphic_Picture(*item->graphic, zoom_, devicePixelRatioF(), max_pixels);
    pictures_.Store(item->graphic, picture);
    item->picture = std::move(picture);
  }
}

void CRDGraphicView::finishPictures() {
  pictures_.Collect(true);
  update();
}

// ---- Hit testing -------------------------------------------------------------------------

std::optional<CRDGraphicView::Hit> CRDGraphicView::graphicUnderPoint(const QPointF& point) const {
  const Graphic_List& list = graphics();
  for (int i : selection_) {
    if (i >= int(list.size())) break;
    const auto& graphic = list[size_t(i)];
    if (!point_in_rect(point, graphic->drawingBounds())) continue;
    const int handle = graphic->handleUnderPoint(point);
    if (handle != CRDGraphicNoHandle) return Hit{graphic, i, true, handle};
  }
  for (size_t i = 0; i < list.size(); ++i) {
    const auto& graphic = list[i];
    if (!point_in_rect(point, graphic->drawingBounds())) continue;
    if (graphic->isContentsUnderPoint(point))
      return Hit{graphic, int(i), isSelected(int(i)), CRDGraphicNoHandle};
  }
  return std::nullopt;
}

Index_Set CRDGraphicView::indexesOfGraphicsIntersectingRect(const QRectF& rect) const {
  const Graphic_List& list = graphics();
  Index_Set indexes;
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i]->drawingBounds().intersects(rect)) indexes << int(i);
  return indexes;
}

// ---- List edits through the document -----------------------------------------------------

bool CRDGraphicView::insert_graphics(const Graphic_List& graphics_to_insert,
                                     const QList<int>& indexes) {
  if (!document_) {
    qWarning("An CRDGraphicView's 'graphics' property is not bound to anything.");
    return false;
  }
  return document_->insertGraphics(side_, graphics_to_insert, indexes);
}

bool CRDGraphicView::remove_graphics(const QList<int>& indexes) {
  if (!document_) {
    qWarning("An CRDGraphicView's 'graphics' property is not bound to anything.");
    return false;
  }
  return document_->removeGraphicsAtIndexes(side_, indexes);
}
