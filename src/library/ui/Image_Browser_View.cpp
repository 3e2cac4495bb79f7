#include "library/ui/Image_Browser_View.h"

#include "library/Image_Browser_Model.h"

#include <QListView>
#include <QSlider>

#include <algorithm>
#include <cmath>

namespace {
constexpr int full_thumbnail = 240;
}

QListView* Make_Image_Browser(Image_Browser_Model* model, QWidget* parent) {
  auto* view = new QListView(parent);
  view->setObjectName(QStringLiteral("imageBrowser"));
  view->setViewMode(QListView::IconMode);
  view->setResizeMode(QListView::Adjust);
  view->setMovement(QListView::Snap);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setDragDropMode(QAbstractItemView::InternalMove);
  view->setDefaultDropAction(Qt::MoveAction);
  view->setWordWrap(true);
  view->setModel(model);
  // A thumbnail may be shorter than the space kept for it: the title moves up, and the
  // place it was drawn at must be painted over too.
  QObject::connect(model, &Image_Browser_Model::thumbnailReady, view->viewport(),
                   [view] { view->viewport()->update(); });
  return view;
}

void Set_Image_Browser_Zoom(QListView* view, Image_Browser_Model* model, double zoom) {
  const int side = std::max(16, int(std::lround(full_thumbnail * zoom)));
  model->setThumbnailSize(QSize(side, side));
  view->setIconSize(QSize(side, side));
  view->setGridSize(QSize(side + 24, side + 36));
  view->viewport()->update();
}

void Set_Browser_Zoom(QSlider* slider, QListView* view, Image_Browser_Model* model, double zoom) {
  const int percent = int(std::lround(zoom * 100));
  if (slider->value() != percent)
    slider->setValue(percent);  // reaches the slider's handler
  else
    Set_Image_Browser_Zoom(view, model, zoom);
}
