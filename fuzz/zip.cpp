// Zip archives (the packages of .xlsx and .ods files) unpacked into a folder.

#include "Fuzz_Support.h"
#include "series/Zip_Archive.h"

#include <QDir>

QList<QByteArray> Fuzz_Seeds() {
  QList<QByteArray> seeds;
  const QString path = QDir(fuzz::Folder()).filePath("seed.zip");
  const auto add = [&](const std::function<bool(Zip_Archive&)>& fill) {
    Zip_Archive archive(path);
    if (archive.open() && fill(archive) && archive.close()) {
      QFile file(path);
      if (file.open(QIODevice::ReadOnly)) seeds << file.readAll();
    }
  };
  add([](Zip_Archive& a) { return a.writeData("hello", "a.txt"); });
  add([](Zip_Archive& a) {
    return a.writeData("<?xml version=\"1.0\"?><x/>", "xl/worksheets/sheet1.xml") &&
           a.writeData(QByteArray(3000, 'q'), "folder/b.bin");
  });
  const QString tree = QDir(fuzz::Folder()).filePath("tree");
  QDir().mkpath(tree + "/inner/empty");
  QFile stored(tree + "/mimetype");
  if (stored.open(QIODevice::WriteOnly)) stored.write("application/x-test");
  stored.close();
  add([&](Zip_Archive& a) {
    return a.writeFile("mimetype", tree, false) && a.writeFile("inner", tree);
  });
  return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString path = fuzz::Write_File("input.zip", data, size);
  const QString out = QDir(fuzz::Folder()).filePath("out");
  Zip_Error error;
  Zip_Limits limits;
  limits.max_entries = 200;
  limits.max_total_bytes = 4 << 20;
  Zip_Archive::unzipFileAtPath(path, out, true, QString(), &error, limits);
  QDir(out).removeRecursively();
  return 0;
}
