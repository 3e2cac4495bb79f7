#include "library/Image_Browser_Model.h"

#include "platform/Thread_Handover.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QImageReader>
#include <QMimeData>
#include <QPointer>
#include <QThreadPool>

#include <algorithm>

namespace {
const QString move_mime_type = QStringLiteral("application/x-lumigrove-browser-rows");

bool is_picture_name(const QString& name) {
  const QString suffix = QFileInfo(name).suffix().toLower();
  return suffix == QLatin1String("png") || suffix == QLatin1String("jpg");
}
}  // namespace

Image_Browser_Model::Image_Browser_Model(QObject* parent)
    : QAbstractListModel(parent), alive_(std::make_shared<int>(0)) {}

Image_Browser_Model::~Image_Browser_Model() = default;

const MyImageObject* Image_Browser_Model::itemAtIndex(int index) const {
  return index >= 0 && index < images_.size() ? &images_[index] : nullptr;
}

bool Image_Browser_Model::addImageWithPath(const QString& path, const QString& imageName,
                                           const QString& image_UID) {
  const QString trimmed = path.trimmed();
  if (trimmed.isEmpty()) return false;
  MyImageObject item = MyImageObject::initWithImage_Path(trimmed, imageName, image_UID);
  item.setPath(trimmed);
  const int row = int(images_.size());
  beginInsertRows({}, row, row);
  images_.append(item);
  endInsertRows();
  return true;
}

void Image_Browser_Model::removeAll() {
  beginResetModel();
  images_.clear();
  endResetModel();
}

bool Image_Browser_Model::moveItemsAtIndexes(QList<int> indexes, int toIndex) {
  std::sort(indexes.begin(), indexes.end());
  indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
  indexes.erase(std::remove_if(indexes.begin(), indexes.end(),
                               [this](int i) { return i < 0 || i >= images_.size(); }),
                indexes.end());
  if (indexes.isEmpty()) return true;
  const int before = int(std::count_if(indexes.begin(), indexes.end(),
                                       [toIndex](int i) { return i < toIndex; }));
  QList<MyImageObject> moved;
  for (int i : indexes) moved << images_[i];
  beginResetModel();
  for (auto it = indexes.crbegin(); it != indexes.crend(); ++it) images_.removeAt(*it);
  const int at = std::clamp(toIndex - before, 0, int(images_.size()));
  for (int i = 0; i < moved.size(); ++i) images_.insert(at + i, moved[i]);
  endResetModel();
  return true;
}

bool Image_Browser_Model::List_Picture_Folder(const QString& folder) {
  const QDir dir(folder);
  if (folder.isEmpty() || !dir.exists()) return false;
  removeAll();
  const QStringList names = dir.entryList(QDir::Files, QDir::Name);
  for (const QString& name : names)
    if (is_picture_name(name)) addImageWithPath(dir.filePath(name), name, name);
  return true;
}

void Image_Browser_Model::setThumbnailSize(const QSize& size) {
  if (size == thumb_size_ || size.isEmpty()) return;
  thumb_size_ = size;
  thumbnails_.clear();
  if (!images_.isEmpty()) emit dataChanged(index(0), index(int(images_.size()) - 1));
}

int Image_Browser_Model::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(images_.size());
}

QVariant Image_Browser_Model::data(const QModelIndex& index, int role) const {
  const MyImageObject* item = itemAtIndex(index.row());
  if (!item || index.column() != 0) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      return item->imageTitle();
    case Qt::DecorationRole: {
      const auto it = thumbnails_.constFind(item->imageUID());
      if (it != thumbnails_.constEnd()) return *it;
      if (!item->image().isNull())
        return item->image().scaled(thumb_size_, Qt::KeepAspectRatio, Qt::SmoothTransformation);
      request_thumbnail(*item);
      // An empty square keeps the item's place until its thumbnail arrives.
      QImage placeholder(thumb_size_, QImage::Format_ARGB32_Premultiplied);
      placeholder.fill(Qt::transparent);
      return placeholder;
    }
    case Qt::UserRole:
      return item->path();
    default:
      return {};
  }
}

void Image_Browser_Model::request_thumbnail(const MyImageObject& item) const {
  const QString uid = item.imageUID();
  if (item.path().isEmpty() || pending_.contains(uid)) return;
  pending_.insert(uid);
  const QString path = item.path();
  const QSize box = thumb_size_;
  // Checked on the main thread only: the model may be gone when the picture is read.
  const QPointer<const Image_Browser_Model> model(this);
  platform::Start_Task(*QThreadPool::globalInstance(), [model, path, uid, box] {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (full.isValid()) reader.setScaledSize(full.scaled(box, Qt::KeepAspectRatio));
    const QImage thumbnail = reader.read();
    platform::Post_To_Main([model, uid, box, thumbnail] {
          if (!model) return;
          auto* self = const_cast<Image_Browser_Model*>(model.data());
          self->pending_.remove(uid);
          if (box != self->thumb_size_) return;  // asked for at an older zoom
          self->thumbnails_.insert(uid, thumbnail);
          for (int row = 0; row < self->images_.size(); ++row)
            if (self->images_[row].imageUID() == uid)
              emit self->dataChanged(self->index(row), self->index(row), {Qt::DecorationRole});
          emit self->thumbnailReady(uid);
        });
  });
}

Qt::ItemFlags Image_Browser_Model::flags(const QModelIndex& index) const {
  const Qt::ItemFlags base = QAbstractListModel::flags(index);
  return index.isValid() ? base | Qt::ItemIsDragEnabled : base | Qt::ItemIsDropEnabled;
}

QStringList Image_Browser_Model::mimeTypes() const { return {move_mime_type}; }

QMimeData* Image_Browser_Model::mimeData(const QModelIndexList& indexes) const {
  // Only rows within this browser: nothing other programs could take.
  QByteArray rows;
  QDataStream out(&rows, QIODevice::WriteOnly);
  for (const QModelIndex& index : indexes) out << index.row();
  auto* data = new QMimeData;
  data->setData(move_mime_type, rows);
  return data;
}

bool Image_Browser_Model::dropMimeData(const QMimeData* data, Qt::DropAction action, int row,
                                       int, const QModelIndex& parent) {
  if (action != Qt::MoveAction || !data->hasFormat(move_mime_type)) return false;
  QList<int> rows;
  QDataStream in(data->data(move_mime_type));
  while (!in.atEnd()) {
    int r = -1;
    in >> r;
    rows << r;
  }
  const int to = row >= 0 ? row : parent.isValid() ? parent.row() : int(images_.size());
  moveItemsAtIndexes(rows, to);
  // The move is done here; the view must not remove the dragged rows afterwards.
  return false;
}

bool Image_Browser_Model::removeRows(int, int, const QModelIndex&) {
  // Pictures cannot be removed through the browser.
  return false;
}

QString Capitalised_Words(const QString& name) {
  QString out = name.toLower();
  bool start = true;
  for (QChar& c : out) {
    if (start && c.isLetter()) c = c.toUpper();
    start = c.isSpace();
  }
  return out;
}

QStringList Library_Categories(const QString& library_folder) {
  const QDir dir(library_folder);
  if (library_folder.isEmpty() || !dir.exists()) return {};
  QStringList categories;
  for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
    categories << Capitalised_Words(name);
  return categories;
}

QString Library_Category_Folder(const QString& library_folder, const QString& category) {
  const QDir dir(library_folder);
  for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
    if (Capitalised_Words(name) == category) return dir.filePath(name);
  return {};
}
