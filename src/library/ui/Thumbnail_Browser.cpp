#include "library/ui/Thumbnail_Browser.h"

#include "library/Image_Browser_Model.h"

#include <QListView>
#include <QSlider>

#include <algorithm>
#include <cmath>

namespace {
constexpr int full_thumbnail = 240;  // pixels at zoom 1
}

QListView* Make_Thumbnail_Browser(QWidget* parent, Image_Browser_Model* model) {
  auto* browser = new QListView(parent);
  browser->setObjectName(QStringLiteral("imageBrowser"));
  browser->setViewMode(QListView::IconMode);
  browser->setResizeMode(QListView::Adjust);
  browser->setMovement(QListView::Snap);
  browser->setSelectionMode(QAbstractItemView::SingleSelection);
  browser->setDragDropMode(QAbstractItemView::InternalMove);
  browser->setDefaultDropAction(Qt::MoveAction);
  browser->setWordWrap(true);
  browser->setModel(model);
  return browser;
}

void Zoom_Thumbnail_Browser(QListView* browser, Image_Browser_Model* model, int percent) {
  const int side = std::max(16, full_thumbnail * percent / 100);
  model->setThumbnailSize(QSize(side, side));
  browser->setIconSize(QSize(side, side));
  browser->setGridSize(QSize(side + 24, side + 36));
  browser->viewport()->update();
}

void Set_Browser_Zoom(QSlider* slider, QListView* browser, Image_Browser_Model* model,
                      double zoom) {
  const int percent = int(std::lround(zoom * 100));
  if (slider->value() != percent)
    slider->setValue(percent);  // reaches the slider's handler
  else
    Zoom_Thumbnail_Browser(browser, model, percent);
}
