#include "canvas/ui/CRDZoomingScrollView.h"

#include "canvas/Card_Base.h"
#include "canvas/Zoom_Geometry.h"
#include "canvas/ui/CRDGraphicView.h"
#include "canvas/ui/CRDRulerView.h"
#include "model/Shared_Design_State.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The shadow under the card: 3 pixels right and down, blur radius 15 pixels, black.
constexpr int Shadow_Offset = 3;
constexpr double Shadow_Blur_Radius = 15;
// The blur is computed on a picture at least this many times smaller, then scaled up.
constexpr int Shadow_Reduction = 3;
constexpr double Max_Shadow_Pixels = 1e6;

// Three box blurs approximate a Gaussian blur of the alpha channel.
void box_blur_alpha(QImage& image, int radius) {
  if (radius < 1) return;
  const int w = image.width(), h = image.height();
  std::vector<int> line(size_t(std::max(w, h)));
  auto pass = [&](int count, int length, auto&& at) {
    for (int k = 0; k < count; ++k) {
      for (int i = 0; i < length; ++i) line[size_t(i)] = at(k, i);
      int sum = 0;
      for (int i = -radius; i <= radius; ++i) sum += line[size_t(std::clamp(i, 0, length - 1))];
      const int span = 2 * radius + 1;
      for (int i = 0; i < length; ++i) {
        at(k, i) = uchar(sum / span);
        sum += line[size_t(std::min(i + radius + 1, length - 1))] -
               line[size_t(std::max(i - radius, 0))];
      }
    }
  };
  for (int round = 0; round < 3; ++round) {
    pass(h, w, [&](int y, int x) -> uchar& { return image.scanLine(y)[x]; });
    pass(w, h, [&](int x, int y) -> uchar& { return image.scanLine(y)[x]; });
  }
}

}  // namespace

// ---- Clip view ---------------------------------------------------------------------------

SWCenteringClipView::SWCenteringClipView(CRDZoomingScrollView* scroll_view)
    : scroll_view_(scroll_view) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void SWCenteringClipView::centerDocument() { scroll_view_->layout_document(); }

QPointF SWCenteringClipView::constrainScrollPoint(const QPointF& proposed) const {
  return Constrain_Scroll_Point(proposed, scroll_view_->document_size(), scroll_view_->clipSize());
}

// The blurred silhouette, computed at a reduced scale (the shadow is soft, so little is lost)
// and kept until the card's size or outline changes. *target is where it is drawn,
// relative to the card's top-left corner.
const QImage& SWCenteringClipView::shadow_picture(const QSize& card_pixels, int card_shape,
                                                  QRect* target) {
  const int margin = int(std::ceil(Shadow_Blur_Radius));
  const QSize full = card_pixels + QSize(2 * margin, 2 * margin);
  // At least 3 times smaller, and never more than about a million pixels.
  const double pixels = double(full.width()) * full.height();
  const int reduction =
      std::max(Shadow_Reduction, int(std::ceil(std::sqrt(pixels / Max_Shadow_Pixels))));
  const QSize small((full.width() + reduction - 1) / reduction,
                    (full.height() + reduction - 1) / reduction);
  *target = QRect(QPoint(-margin + Shadow_Offset, -margin + Shadow_Offset), small * reduction);
  if (card_pixels == shadow_card_size_ && card_shape == shadow_card_shape_) return shadow_;
  shadow_card_size_ = card_pixels;
  shadow_card_shape_ = card_shape;
  QImage alpha(small, QImage::Format_Alpha8);
  if (alpha.isNull()) {
    shadow_ = QImage();
    return shadow_;
  }
  alpha.fill(0);
  {
    QPainter painter(&alpha);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(1.0 / reduction, 1.0 / reduction);
    painter.fillPath(Card_Outline(QRectF(QPointF(margin, margin), QSizeF(card_pixels)), card_shape),
                     Qt::black);
  }
  // A blur radius r spreads like a Gaussian of deviation r / 2; three boxes of width w
  // have the variance 3 (w^2 - 1) / 12.
  const double sigma = Shadow_Blur_Radius / 2 / reduction;
  const int width = int(std::lround(std::sqrt(4 * sigma * sigma + 1)));
  box_blur_alpha(alpha, width / 2);
  shadow_ = QImage(small, QImage::Format_ARGB32_Premultiplied);
  if (shadow_.isNull()) return shadow_;
  shadow_.fill(Qt::black);
  QPainter mask(&shadow_);
  mask.setCompositionMode(QPainter::CompositionMode_DestinationIn);
  mask.drawImage(0, 0, alpha);
  return shadow_;
}

void SWCenteringClipView::drawRect(QPainter& painter, const QRect& area) {
  painter.save();
  painter.setClipRect(area, Qt::IntersectClip);
  QLinearGradient gradient(0, 0, 0, height());
  gradient.setColorAt(0, QColor::fromRgbF(0.88f, 0.88f, 0.88f));
  gradient.setColorAt(1, QColor::fromRgbF(0.78f, 0.78f, 0.78f));
  painter.fillRect(rect(), gradient);

  CRDGraphicView* canvas = scroll_view_->documentView();
  if (!canvas || canvas->width() <= 0 || canvas->height() <= 0) {
    painter.restore();
    return;
  }
  const QRect card = canvas->geometry();
  const int shape = Card_Shape;
  QRect target;
  const QImage& shadow = shadow_picture(card.size(), shape, &target);
  if (!shadow.isNull()) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target.translated(card.topLeft()), shadow);
  }
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillPath(Card_Outline(QRectF(card), shape), palette().color(QPalette::Button));
  painter.restore();
}

// ---- Scroll view -------------------------------------------------------------------------

CRDZoomingScrollView::CRDZoomingScrollView(QWidget* parent) : QAbstractScrollArea(parent) {
  clip_view_ = new SWCenteringClipView(this);
  setViewport(clip_view_);
  // The zoom pop-up sits at the left end of the horizontal scroll bar, which is always there.
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  factor_pop_up_ = new QComboBox(this);
  factor_pop_up_->setObjectName(QStringLiteral("_factorPopUpButton"));
  QFont small = factor_pop_up_->font();
  if (small.pointSizeF() > 0) small.setPointSizeF(small.pointSizeF() * 11 / 13);
  factor_pop_up_->setFont(small);
  for (const Zoom_Entry& entry : Zoom_Table())
    factor_pop_up_->addItem(QCoreApplication::translate("CRDZoomingScrollView", entry.label),
                            entry.factor);
  factor_pop_up_->setCurrentIndex(Zoom_Index(factor_));
  factor_pop_up_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  factor_pop_up_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  factor_pop_up_->setFixedWidth(factor_pop_up_->sizeHint().width());
  // The pop-up never keeps the keyboard: keys and the Edit commands stay with the canvas.
  factor_pop_up_->setFocusPolicy(Qt::NoFocus);
  addScrollBarWidget(factor_pop_up_, Qt::AlignLeft);
  connect(factor_pop_up_, &QComboBox::activated, this, [this](int index) {
    const double factor = factor_pop_up_->itemData(index).toDouble();
    setFactor(factor);
    emit factorChanged(factor);
    if (canvas_) canvas_->setFocus(Qt::PopupFocusReason);
  });
  layout_document();
}

CRDZoomingScrollView::~CRDZoomingScrollView() {
  if (canvas_) canvas_->removeEventFilter(this);
}

void CRDZoomingScrollView::setDocumentView(CRDGraphicView* canvas) {
  if (canvas == canvas_) return;
  if (canvas_) canvas_->removeEventFilter(this);
  canvas_ = canvas;
  // A click anywhere in the view (the backdrop, a scroll bar) gives the canvas the focus.
  setFocusProxy(canvas);
  if (canvas) {
    canvas->setParent(clip_view_);
    canvas->setZoomFactor(factor_);
    canvas->installEventFilter(this);
    canvas->show();
  }
  layout_document();
}

void CRDZoomingScrollView::setFactor(double factor) {
  if (!(factor > 0) || !std::isfinite(factor)) return;
  const int index = Zoom_Index(factor);
  if (index != factor_pop_up_->currentIndex()) factor_pop_up_->setCurrentIndex(index);
  if (factor == factor_) return;
  factor_ = factor;
  if (canvas_) canvas_->setZoomFactor(factor);
  layout_document();
}

QSizeF CRDZoomingScrollView::clipSize() const {
  const QSize pixels = viewport()->size();
  return QSizeF(pixels.width() / factor_, pixels.height() / factor_);
}

QSizeF CRDZoomingScrollView::document_size() const {
  return canvas_ ? canvas_->frameSize() : QSizeF();
}

void CRDZoomingScrollView::scrollToPoint(const QPointF& origin) {
  origin_ = origin;
  layout_document();
}

bool CRDZoomingScrollView::autoscroll(const QPointF& global_position) {
  const QPointF p = viewport()->mapFromGlobal(global_position);
  const QSizeF area = viewport()->size();
  auto beyond = [](double v, double extent) { return v < 0 ? v : v > extent ? v - extent : 0.0; };
  const double dx = beyond(p.x(), area.width()), dy = beyond(p.y(), area.height());
  if (dx == 0 && dy == 0) return false;
  const QPointF before = origin_;
  scrollToPoint(origin_ + QPointF(dx, dy) / factor_);
  return origin_ != before;
}

// Puts the canvas where the scroll position says, after the scroll position rule, and
// brings the scroll bars in step.
void CRDZoomingScrollView::layout_document() {
  if (laying_out_) return;
  laying_out_ = true;
  const QSizeF document = document_size();
  const QSizeF clip = clipSize();
  origin_ = Constrain_Scroll_Point(origin_, document, clip);

  auto set_bar = [&](QScrollBar* bar, double document_extent, double clip_extent, double value) {
    const QSignalBlocker block(bar);
    const int maximum =
        clip_extent <= document_extent ? int(std::lround(document_extent - clip_extent)) : 0;
    bar->setRange(0, std::max(0, maximum));
    bar->setPageStep(std::max(1, int(std::lround(clip_extent))));
    bar->setSingleStep(std::max(1, int(std::lround(20 / factor_))));
    bar->setValue(std::max(0, int(std::lround(value))));
  };
  set_bar(horizontalScrollBar(), document.width(), clip.width(), origin_.x());
  set_bar(verticalScrollBar(), document.height(), clip.height(), origin_.y());

  if (canvas_)
    canvas_->move(int(std::lround(-origin_.x() * factor_)),
                  int(std::lround(-origin_.y() * factor_)));
  clip_view_->update();
  update_rulers();
  laying_out_ = false;

  // The scroll bars heard nothing of the new ranges: a vertical bar that is no longer
  // needed (or now is) is laid out anew, which resizes the viewport and lays out again.
  QScrollBar* vertical = verticalScrollBar();
  const bool vertical_needed = vertical->maximum() > vertical->minimum();
  if (verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded && isVisible() &&
      vertical->isVisible() != vertical_needed)
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void CRDZoomingScrollView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  clip_view_->drawRect(painter, event->rect());
}

void CRDZoomingScrollView::scrollContentsBy(int, int) {
  origin_ = QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
  const QSizeF document = document_size(), clip = clipSize();
  // An axis on which the canvas is centred keeps its centred position.
  if (clip.width() > document.width()) origin_.setX(0);
  if (clip.height() > document.height()) origin_.setY(0);
  layout_document();
}

void CRDZoomingScrollView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  tile_rulers();
  layout_document();
}

bool CRDZoomingScrollView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == canvas_ && event->type() == QEvent::Resize) layout_document();
  // A ruler whose font changed needs another breadth.
  if (event->type() == QEvent::FontChange &&
      (watched == horizontal_ruler_ || watched == vertical_ruler_))
    tile_rulers();
  return QAbstractScrollArea::eventFilter(watched, event);
}
