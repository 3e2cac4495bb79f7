#pragma once
// What the fuzz targets share: an offscreen application for the code that needs one, a
// private folder for the files a target writes, and seeds from our own writers.
//
// Each target defines Fuzz_Seeds(), which returns seed inputs made by the project's own
// writers. Run a target with LUMIGROVE_FUZZ_SEEDS=<folder> to write them there and stop;
// make fuzz does so before each run.

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>

// The seeds of this target (defined by the target).
QList<QByteArray> Fuzz_Seeds();

namespace fuzz {

// A private folder of this process, removed when it ends.
QString Folder();
// Writes the bytes to a file of the private folder (replacing it); its path.
QString Write_File(const QString& name, const uint8_t* data, size_t size);

}  // namespace fuzz
