#pragma once
// The one writer of image files the design window saves: exported card pictures and
// template previews. Safe on any thread (its messages are shown on the main thread).

#include "model/Picture.h"
#include "output/Card_Picture_File.h"

#include <QString>

// Writes the picture as the type's data to the path, with its pixels unchanged (laid on
// white for JPEG and BMP, which hold no transparency). The file is written whole or not at
// all: an existing file is replaced only once the new data is complete. On failure says
// the path, then the reason, and answers false.
bool Save_Card_Picture(const Picture& image, const QString& file_path_val, Card_File_Type type);

// Save_Card_Picture as PNG, whatever extension the path has, with the picture's size in
// points recorded as the resolution.
bool Save_gen_image(const Picture& image, const QString& file_path_val);
