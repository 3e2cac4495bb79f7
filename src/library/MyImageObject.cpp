#include "library/MyImageObject.h"

MyImageObject MyImageObject::initWithImage_Path(const QString& path, const QString& image_Name,
                                                const QString& image_UID) {
  MyImageObject item;
  item.path_ = path;
  item.image_Name_ = image_Name;
  item.image_UID_ = image_UID;
  return item;
}

MyImageObject MyImageObject::initWithImage(const QImage& image, const QString& image_Name,
                                           const QString& image_UID) {
  MyImageObject item;
  item.image_ = image.copy();
  item.image_Name_ = image_Name;
  item.image_UID_ = image_UID;
  return item;
}
