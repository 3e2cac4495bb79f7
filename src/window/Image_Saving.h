#pragma once
// The one writer of image files: every exported or mailed card picture is saved here.
// Safe on any thread (its messages are shown on the main thread).

#include "model/Picture.h"

#include <QString>

// Writes the picture as PNG data to the path, whatever extension the path has, with its
// pixels unchanged and its size in points recorded as the resolution. The file is written
// whole or not at all: an existing file is replaced only once the new data is complete.
// On failure says the path, then the reason, and answers false.
bool Save_gen_image(const Picture& image, const QString& file_path_val);
