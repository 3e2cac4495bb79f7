#pragma once
// The items of an image browser (the picture library, the template library, the
// background pages): a list of MyImageObject in display order, with thumbnails read and
// scaled on a worker thread and kept per item identity. Items can be reordered by
// dragging; they cannot be removed or dragged out.

#include "library/MyImageObject.h"

#include <QAbstractListModel>
#include <QHash>
#include <QImage>
#include <QList>
#include <QSet>
#include <QSize>
#include <QStringList>

#include <memory>

class Image_Browser_Model : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit Image_Browser_Model(QObject* parent = nullptr);
  ~Image_Browser_Model() override;

  const QList<MyImageObject>& images() const { return images_; }
  int numberOfItemsInImageBrowser() const { return int(images_.size()); }
  const MyImageObject* itemAtIndex(int index) const;

  // Adds an item with the path trimmed of blanks and line breaks; an empty path adds
  // nothing. Answers whether it was added.
  bool addImageWithPath(const QString& path, const QString& imageName, const QString& image_UID);
  void removeAll();
  // Moves the dragged items, in index order, as one block to the drop index (less the
  // number of dragged items before it). Answers true.
  bool moveItemsAtIndexes(QList<int> indexes, int toIndex);
  // Lists the pictures (".png" and ".jpg", any case) of a folder, sorted by name, in place
  // of the items; answers false and changes nothing when the folder does not exist.
  bool List_Picture_Folder(const QString& folder);

  // Thumbnails are read at this size (the browser's zoom).
  void setThumbnailSize(const QSize& size);
  QSize thumbnailSize() const { return thumb_size_; }

  // QAbstractListModel
  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                    const QModelIndex& parent) override;
  bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

 signals:
  // A thumbnail arrived (for tests and the view).
  void thumbnailReady(const QString& image_UID);

 private:
  void request_thumbnail(const MyImageObject& item) const;

  QList<MyImageObject> images_;
  QSize thumb_size_{96, 96};
  mutable QHash<QString, QImage> thumbnails_;  // by identity
  mutable QSet<QString> pending_;
  std::shared_ptr<int> alive_;  // workers post only while the model lives
};

// The category folders of a picture library folder (sorted by name), each offered with
// its name capitalised ("sea animals" -> "Sea Animals").
QStringList Library_Categories(const QString& library_folder);
QString Capitalised_Words(const QString& name);
// The folder of a capitalised category name, or "" when none matches.
QString Library_Category_Folder(const QString& library_folder, const QString& category);
