#pragma once
// Helpers of the series tests: files, hand-made zip archives and their listings.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <unzip.h>
#include <zip.h>
#include <zlib.h>

#include "support/Test_Support.h"

#include <gtest/gtest.h>

#include <vector>

namespace series_test {

inline void Write_File(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  ASSERT_EQ(file.write(bytes), bytes.size());
}

inline QByteArray Read_File(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
  return file.readAll();
}

// Every file and folder below `root`, as sorted relative paths (folders end with "/").
inline QStringList Tree(const QString& root) {
  QStringList items;
  QDir dir(root);
  const auto walk = [&](auto&& self, const QString& relative) -> void {
    const QDir here(root + u'/' + relative);
    for (const QFileInfo& info : here.entryInfoList(
             QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
      const QString name = relative.isEmpty() ? info.fileName() : relative + u'/' + info.fileName();
      if (info.isDir() && !info.isSymLink()) {
        items << name + u'/';
        self(self, name);
      } else {
        items << name;
      }
    }
  };
  walk(walk, QString());
  return items;
}

// An entry written into a hand-made archive exactly as given (names are not checked).
struct Raw_Entry {
  QByteArray name;
  QByteArray data;
  uLong dos_date = 0;
  // When not 0, the entry claims this unpacked size (and the checksum of that many bytes)
  // while its compressed data holds all of `data`.
  uLong declared_size = 0;
};

inline void Make_Zip(const QString& path, const std::vector<Raw_Entry>& entries) {
  zipFile zip = zipOpen(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
  ASSERT_NE(zip, nullptr);
  for (const Raw_Entry& e : entries) {
    zip_fileinfo info{};
    info.dosDate = e.dos_date;
    if (e.declared_size == 0) {
      ASSERT_EQ(zipOpenNewFileInZip(zip, e.name.constData(), &info, nullptr, 0, nullptr, 0, nullptr,
                                    Z_DEFLATED, Z_DEFAULT_COMPRESSION),
                ZIP_OK);
      if (!e.data.isEmpty()) {
        ASSERT_EQ(zipWriteInFileInZip(zip, e.data.constData(), unsigned(e.data.size())), ZIP_OK);
      }
      ASSERT_EQ(zipCloseFileInZip(zip), ZIP_OK);
      continue;
    }
    // Raw deflate data whose header claims another size and checksum.
    z_stream stream{};
    ASSERT_EQ(deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
    QByteArray packed(int(deflateBound(&stream, uLong(e.data.size()))), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(e.data.constData()));
    stream.avail_in = uInt(e.data.size());
    stream.next_out = reinterpret_cast<Bytef*>(packed.data());
    stream.avail_out = uInt(packed.size());
    ASSERT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    packed.resize(int(stream.total_out));
    deflateEnd(&stream);
    ASSERT_EQ(zipOpenNewFileInZip2(zip, e.name.constData(), &info, nullptr, 0, nullptr, 0, nullptr,
                                   Z_DEFLATED, 9, 1),
              ZIP_OK);
    ASSERT_EQ(zipWriteInFileInZip(zip, packed.constData(), unsigned(packed.size())), ZIP_OK);
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(e.data.constData()),
                            uInt(std::min<qsizetype>(e.data.size(), qsizetype(e.declared_size))));
    ASSERT_EQ(zipCloseFileInZipRaw(zip, e.declared_size, crc), ZIP_OK);
  }
  ASSERT_EQ(zipClose(zip, nullptr), ZIP_OK);
}

struct Listed_Entry {
  QString name;
  uLong flag = 0;
  uLong dos_date = 0;
  int method = 0;
  quint64 size = 0;
};

inline std::vector<Listed_Entry> List_Zip(const QString& path) {
  std::vector<Listed_Entry> listed;
  unzFile zip = unzOpen64(QFile::encodeName(path).constData());
  if (!zip) return listed;
  for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK; rc = unzGoToNextFile(zip)) {
    unz_file_info64 info;
    char name[1024];
    unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0);
    listed.push_back({QString::fromUtf8(name), info.flag, info.dosDate,
                      int(info.compression_method), info.uncompressed_size});
  }
  unzClose(zip);
  return listed;
}

inline QStringList Entry_Names(const QString& path) {
  QStringList names;
  for (const Listed_Entry& e : List_Zip(path)) names << e.name;
  return names;
}

using test_support::Log_Capture;

}  // namespace series_test
