#pragma once
// Card pictures as files: the types a card can be written as (PNG, JPEG, TIFF, BMP), the
// fast PNG encoder, the file naming of card sides, and the combined picture.
//
// Every type is encoded to bytes first and then handed whole to one write call, so a file
// holds the data its name says, complete or not at all. PNG goes through our own encoder;
// JPEG, TIFF and BMP through Qt's image writers (libjpeg, libtiff), with settings for
// print: JPEG at quality 95, TIFF compressed without loss (LZW). JPEG and BMP hold no
// transparency, so a card's transparent parts (outside a rounded or oval outline) are laid
// on white for them; TIFF keeps them (straight alpha). JPEG, TIFF and BMP carry the
// resolution the picture was made at (its dots per metre) in their resolution fields.
//
// PNG:
// The encoder writes the PNG chunks itself: the rows with one fixed filter (Up), read
// straight from the picture's 32-bit pixels four at a time (SSE2) a band at a time,
// premultiplied ones made straight on the way by a table of Qt's own results, compressed
// by ISA-L's igzip at its fast level (several times faster than zlib for the same pixels,
// and Qt's writer also tries every filter on every row). A picture without a single
// translucent pixel is written as RGB, anything else as RGBA (straight alpha). The size in points is kept as
// the PNG's resolution (pHYs).

#include "model/Picture.h"

#include <QByteArray>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

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

// ---- Every type --------------------------------------------------------------------------------

enum class Card_File_Type { PNG, JPEG, TIFF, BMP };

// The type's title as the export offers it ("PNG", "JPEG", "TIFF", "BMP") and its file
// extension (the title in lower case).
QString Card_File_Title(Card_File_Type type);
QString Card_File_Extension(Card_File_Type type);
// The type a title or extension names, in any case: "png", "jpeg" or "jpg", "tiff" or
// "tif", "bmp". Nothing for any other name.
std::optional<Card_File_Type> Card_File_Type_Named(const QString& name);
// True when this program can write the type (PNG always; the others need Qt's writer for
// them, the TIFF one coming with Qt's extra image plugins).
bool Card_File_Type_Writable(Card_File_Type type);
// The titles of the types that can be written, in the export's order: "TIFF", "PNG",
// "JPEG", "BMP".
QStringList Card_File_Titles();

// The type a file named by *path is written as: the type its extension names, when this
// program writes it; otherwise `chosen`, and *path gets that type's extension added, so
// that the name and the data always agree.
Card_File_Type Card_File_Type_For_Path(QString* path, Card_File_Type chosen);

// Encodes pictures as any type; keeps a PNG encoder for its buffers (a batch worker owns
// one). One thread at a time.
class Card_Picture_Encoder {
 public:
  // The file data of the picture as the type; empty (with the reason) when it cannot be
  // encoded.
  QByteArray Encode(const Picture& picture, Card_File_Type type, QString* error = nullptr);
  // Writes that data whole or not at all; false with the reason when nothing was written.
  bool Write(const Picture& picture, Card_File_Type type, const QString& path,
             QString* error = nullptr);

 private:
  Card_PNG_Encoder png_;
};

// Encode and Write of a fresh encoder, for a single picture (the mail run, a single export).
QByteArray Encode_Card_Picture(const Picture& picture, Card_File_Type type, QString* error = nullptr);
bool Write_Card_Picture(const Picture& picture, Card_File_Type type, const QString& path,
                        QString* error = nullptr);

// The front file of a path: the path itself.
QString Create_Front_Card_Path(const QString& path);
// The back file of a path: the last component name.ext becomes name_Back.ext (name_Back
// for a name without extension); the folders stay.
QString Create_Back_Card_Path(const QString& path);
// Removes the file written for one side of a card whose other side failed, so that the
// card leaves no file; when it cannot be removed, says so after the reason given.
void Remove_Written_Side(const QString& path, QString* reason = nullptr);
// "Card_<record + 1>.<ext>" in the folder: the batch file of record i.
QString Batch_Card_Path(const QString& folder, int record, const QString& ext);

// The front above the back, pixel for pixel: the front's width, twice its height, the
// back drawn below the front at full opacity. Its size in points is the front's width by
// twice its height. Null when either picture is null or their pixel sizes differ.
Picture Combine_Card_Pictures(const Picture& front, const Picture& back);

// The card pictures of the front's size that both sides in one picture hold while it is
// made and written: both sides, the picture of the two (twice a side) and its data.
inline constexpr int Combined_Export_Rasters = 6;
// Why both sides of a card with this front frame cannot be exported as one picture at the
// resolution: made and written, it would take more than `most` bytes; "" when it can (or
// when the front alone is refused, with its own size).
QString Combined_Export_Refusal(const QRectF& front_frame, double dpi, qint64 most);
