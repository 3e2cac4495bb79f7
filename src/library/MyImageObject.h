#pragma once
// A picture in an image browser: the file it shows (or a picture held in memory), the
// title under its thumbnail and the identity under which the browser keeps the thumbnail
// (items with the same identity share one).

#include <QImage>
#include <QString>

class MyImageObject {
 public:
  MyImageObject() = default;
  // The item of a picture file.
  static MyImageObject initWithImage_Path(const QString& path, const QString& image_Name,
                                          const QString& image_UID);
  // An item of a picture in memory (copied); the path stays empty.
  static MyImageObject initWithImage(const QImage& image, const QString& image_Name,
                                     const QString& image_UID);

  void setPath(const QString& path) { path_ = path; }
  const QString& path() const { return path_; }
  const QImage& image() const { return image_; }

  // What the browser shows: the file at the path, its identity, the title and subtitle.
  const QString& imageRepresentation() const { return path_; }
  const QString& imageUID() const { return image_UID_; }
  const QString& imageTitle() const { return image_Name_; }
  const QString& imageSubtitle() const { return image_Name_; }

 private:
  QString path_;
  QImage image_;
  QString image_Name_;
  QString image_UID_;
};
