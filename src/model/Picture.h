#pragma once
// A picture of the design: pixels plus the size in points at which it is drawn.

#include <QImage>
#include <QSizeF>
#include <QString>

class Picture {
 public:
  // Larger pictures are not read (128 MB as RGBA).
  static constexpr qint64 Max_Pixels = 32LL * 1000 * 1000;

  Picture() = default;
  // The size follows the image's resolution; an image without one counts as 72 dpi,
  // so one pixel is one point.
  explicit Picture(QImage image);
  Picture(QImage image, QSizeF size_in_points);

  // Reads a picture file of at most max_pixels (its size read from the file's header
  // first); a null picture when the file is not a regular file, cannot be read or is larger.
  // *header_size gets the size the header gives (invalid when none could be read).
  static Picture fromFile(const QString& path, qint64 max_pixels = Max_Pixels,
                          QSize* header_size = nullptr);

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
