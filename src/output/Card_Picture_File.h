#pragma once
// Card pictures as PNG files: the fast encoder every exported, printed-to-file and mailed
// card goes through, the file naming of card sides, and the combined picture.
//
// The encoder writes the PNG chunks itself: the rows with one fixed filter (Up), read
// straight from the picture's 32-bit pixels a band at a time, compressed by ISA-L's
// igzip at its fast level (several times faster than zlib for the same pixels, and Qt's
// writer also tries every filter on every row). A picture without a single translucent pixel is
// written as RGB, anything else as RGBA (straight alpha). The size in points is kept as
// the PNG's resolution (pHYs).

#include "model/Picture.h"

#include <QByteArray>
#include <QString>

#include <memory>

// An encoder keeps its compressor tables and its row, band and output buffers (under a
// megabyte for a card, a few for the widest picture a QImage holds) from one picture to
// the next: a batch worker owns one and reuses it for every record. One thread at a time.
class Card_PNG_Encoder {
 public:
  Card_PNG_Encoder();
  ~Card_PNG_Encoder();
  Card_PNG_Encoder(Card_PNG_Encoder&&) noexcept;
  Card_PNG_Encoder& operator=(Card_PNG_Encoder&&) noexcept;

  // The PNG data of the picture; empty (with the reason) when it cannot be encoded.
  QByteArray Encode(const Picture& picture, QString* error = nullptr);
  // Writes the PNG data whole or not at all (Write_Whole_File: a temporary file beside
  // the target, synced, then renamed); an existing file is replaced only by a complete new one.
  // False with the reason when nothing was written. Shows nothing.
  bool Write(const Picture& picture, const QString& path, QString* error = nullptr);

 private:
  struct Buffers;
  std::unique_ptr<Buffers> buffers_;
};

// Encode and Write of a fresh encoder, for a single picture.
QByteArray Encode_Card_PNG(const Picture& picture, QString* error = nullptr);
bool Write_Card_PNG(const Picture& picture, const QString& path, QString* error = nullptr);

// The front file of a path: the path itself.
QString Create_Front_Card_Path(const QString& path);
// The back file of a path: the last component name.ext becomes name_Back.ext (name_Back
// for a name without extension); the folders stay.
QString Create_Back_Card_Path(const QString& path);
// "Card_<record + 1>.<ext>" in the folder: the batch file of record i.
QString Batch_Card_Path(const QString& folder, int record, const QString& ext);

// The front above the back, pixel for pixel: the front's width, twice its height, the
// back drawn below the front at full opacity. Its size in points is the front's width by
// twice its height. Null when either picture is null or their pixel sizes differ.
Picture Combine_Card_Pictures(const Picture& front, const Picture& back);
