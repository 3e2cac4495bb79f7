#include "Fuzz_Support.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

std::unique_ptr<QTemporaryDir>& folder() {
  static std::unique_ptr<QTemporaryDir> dir;
  return dir;
}

void write_seeds(const QString& where) {
  QDir().mkpath(where);
  int i = 0;
  for (const QByteArray& seed : Fuzz_Seeds()) {
    QFile file(QDir(where).filePath(QStringLiteral("seed-%1").arg(++i, 3, 10, QLatin1Char('0'))));
    if (!file.open(QIODevice::WriteOnly) || file.write(seed) != seed.size()) std::exit(1);
  }
  std::fprintf(stderr, "%d seeds written to %s\n", i, qPrintable(where));
}

}  // namespace

namespace fuzz {

QString Folder() { return folder()->path(); }

QString Write_File(const QString& name, const uint8_t* data, size_t size) {
  const QString path = QDir(Folder()).filePath(name);
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
    file.write(reinterpret_cast<const char*>(data), qint64(size));
  return path;
}

}  // namespace fuzz

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  folder() = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/lumigrove-fuzz-XXXXXX"));
  // Per-user locations stay inside the private folder.
  qputenv("XDG_DATA_HOME", QDir(fuzz::Folder()).filePath("data").toUtf8());
  qputenv("XDG_CONFIG_HOME", QDir(fuzz::Folder()).filePath("config").toUtf8());
  qputenv("XDG_CACHE_HOME", QDir(fuzz::Folder()).filePath("cache").toUtf8());
  static QGuiApplication app(*argc, *argv);
  const QString seeds = qEnvironmentVariable("LUMIGROVE_FUZZ_SEEDS");
  if (!seeds.isEmpty()) {
    write_seeds(seeds);
    std::exit(0);
  }
  return 0;
}
