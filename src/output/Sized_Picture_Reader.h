#pragma once
// Picture files read at the size a card needs rather than at their own.
//
// A picture frame of a card picture shows its picture at the frame's pixels (its size in
// points x dpi / 72), so a record renderer reads a bound picture only at that size: PNG
// files of 8 bits a channel (RGB, RGBA, grey with alpha) that are not interlaced, and JPEG
// files of one interleaved scan, are decoded at the smaller size by their readers row by
// row, holding little more than the result; every other file is decoded whole and scaled
// down at once by area averaging, a band of rows at a time, so that the whole picture is
// let go as soon as the small one is made. Reading_Pixels says beforehand how much a reading
// holds at most, so that readings in flight on several threads can be kept to a budget.
//
// One reader per file and thread; nothing is shared.

#include "model/Picture.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSize>
#include <QString>

class Sized_Picture_Reader {
 public:
  // Opens a regular file and reads its header (nothing is decoded).
  explicit Sized_Picture_Reader(const QString& path);

  // The picture's size as it is shown, the file's orientation applied; invalid when the
  // file is no regular file or gives no size.
  QSize size() const { return shown_; }

  // The 4-byte pixels a reading at `at` (see Read) holds at most while it reads: about
  // `at` for the files decoded at a smaller size (a progressive or multi-scan JPEG holds
  // its coefficients too), the whole picture as decoded plus a band of rows and `at` for
  // the others.
  qint64 Reading_Pixels(QSize at) const;

  // The picture at `at` pixels, each way no more than its own size (nor less than one),
  // smoothly scaled; its size in points is the whole picture's. Null when the file cannot
  // be read or the picture is larger than Picture::Max_Pixels. One reading per reader.
  Picture Read(QSize at);

  // `at` as Read takes it: at least one pixel and at most the picture's size each way.
  QSize Bounded(QSize at) const;

 private:
  enum class Kind { Other, Png_By_Rows, Jpeg_One_Scan, Jpeg_Coefficients };
  QFile file_;
  QImageReader reader_;
  QSize shown_;  // the picture's size, oriented
  QSize stored_;  // as the file stores it
  bool turned_ = false;  // the orientation swaps width and height
  Kind kind_ = Kind::Other;
  qint64 coefficient_pixels_ = 0;  // a JPEG's coefficient buffers, in 4-byte pixels
};

// The picture scaled down to `at` (each way at most its own size) by area averaging: every
// pixel of the result is the mean of the part of the picture it covers. The picture's rows
// are converted a band at a time, so that besides the picture and the result little is
// held. ARGB32_Premultiplied when the picture has alpha, else RGB32; its resolution
// follows the scale.
QImage Area_Scaled(const QImage& picture, QSize at);
