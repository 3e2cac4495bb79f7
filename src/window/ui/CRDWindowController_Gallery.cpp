// The background gallery: the pictures of the resource folder's "Background" shown under
// the card's background settings; picking one makes it the front side's background.

#include "canvas/Card_Base.h"
#include "library/Image_Browser_Model.h"
#include "model/Shared_Design_State.h"
#include "window/ui/CRDWindowController.h"

#include <QBoxLayout>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>

void CRDWindowController::build_gallery() {
  gallery_images_ = new Image_Browser_Model(this);
  gallery_images_->setThumbnailSize(QSize(72, 48));
  imageBrowser = new QListView(card_bkgd_tab);
  imageBrowser->setObjectName(QStringLiteral("imageBrowser"));
  imageBrowser->setViewMode(QListView::IconMode);
  imageBrowser->setResizeMode(QListView::Adjust);
  imageBrowser->setMovement(QListView::Snap);
  imageBrowser->setIconSize(QSize(72, 48));
  imageBrowser->setGridSize(QSize(84, 72));
  imageBrowser->setSelectionMode(QAbstractItemView::SingleSelection);
  // Pictures may be reordered; they are not removed or dragged out (the model refuses).
  imageBrowser->setDragDropMode(QAbstractItemView::InternalMove);
  imageBrowser->setDefaultDropAction(Qt::MoveAction);
  imageBrowser->setWordWrap(true);
  imageBrowser->setMinimumWidth(0);
  imageBrowser->setFixedHeight(160);
  imageBrowser->setModel(gallery_images_);
  connect(imageBrowser->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &CRDWindowController::imageBrowserSelectionDidChange);

  // Under the background settings, above the page's closing stretch.
  auto* page = qobject_cast<QBoxLayout*>(card_bkgd_tab->layout());
  if (!page) page = new QVBoxLayout(card_bkgd_tab);
  int at = page->count();
  if (at > 0 && page->itemAt(at - 1)->spacerItem()) --at;
  auto* title = new QLabel(QStringLiteral("Gallery (front side)"), card_bkgd_tab);
  page->insertWidget(at, title);
  page->insertWidget(at + 1, imageBrowser);
}

void CRDWindowController::Load_and_fill_backgrounds() {
  const QString folder = Resource_Path + QStringLiteral("/Background");
  if (!QFileInfo(folder).isDir()) return;
  // Png and jpg pictures, sorted by name; each named and identified by its file name.
  gallery_images_->List_Picture_Folder(folder);
}

void CRDWindowController::addImageWithPath(const QString& path, const QString& imageName,
                                           const QString& image_UID) {
  gallery_images_->addImageWithPath(path, imageName, image_UID);
}

const QList<MyImageObject>& CRDWindowController::gallery_images() const {
  return gallery_images_->images();
}

void CRDWindowController::imageBrowserSelectionDidChange() {
  const QModelIndexList chosen = imageBrowser->selectionModel()->selectedIndexes();
  if (chosen.isEmpty()) return;
  const MyImageObject* item = gallery_images_->itemAtIndex(chosen.first().row());
  if (!item) return;
  selected_image = item->path();
  // The gallery dresses the front side, whichever side is shown.
  set_Front_BG_Image(selected_image);
  Refresh_Canvas();
  _graphicView->update();
}
