#pragma once
// Card pictures as PNG files: the fast encoder every exported, printed-to-file and mailed
// card goes through, the file naming of card sides, and the combined picture.
//
// The encoder uses libpng with one fixed filter and zlib level 1: Qt's writer tries every
// filter on every row and is several times slower for the same pixels. A picture without
// a single translucent pixel is written as RGB, anything else as RGBA (straight alpha).
// The size in points is kept as the PNG's resolution (pHYs).

#include "model/Picture.h"

#include <QByteArray>
#include <QString>

// The PNG data of the picture; empty (with the reason) when it cannot be encoded.
QByteArray Encode_Card_PNG(const Picture& picture, QString* error = nullptr);
// Writes the PNG data whole or not at all (QSaveFile: a temporary file beside the target,
// then a rename); an existing file is replaced only by a complete new one. False with the
// reason when nothing was written. Shows nothing.
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
