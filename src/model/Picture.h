#pragma once
// A picture of the design: pixels plus the size in points at which it is drawn.

#include <QImage>
#include <QSizeF>
#include <QString>

class Picture {
 public:
  Picture() = default;
  // The size follows the image's resolution; an image without one counts as 72 dpi,
  // so one pixel is one point.
  explicit Picture(QImage image);
  Picture(QImage image, QSizeF size_in_points);

  // Reads a picture file; a null picture when the file cannot be read.
  static Picture fromFile(const QString& path);

  bool isNull() const { return image_.isNull(); }
  const QImage& image() const { return image_; }
  QSizeF size() const { return size_; }
  void setSize(QSizeF size_in_points) { size_ = size_in_points; }

  // Same pixels (shared data or equal contents) and the same size.
  bool operator==(const Picture& other) const;
  bool operator!=(const Picture& other) const { return !(*this == other); }

 private:
  QImage image_;
  QSizeF size_;
};
