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
  // When set, `data` is deflated already and unpacks to `declared_size` bytes whose
  // checksum is `crc` (see Spaces_Bomb).
  bool packed = false;
  uLong crc = 0;
};

// Deflated data (a fixed-Huffman block) that unpacks to `head`, `spaces` spaces and `tail`:
// a thousand times smaller than what it unpacks to, made in milliseconds, as a zip bomb is.
// The entry for it carries its size and checksum.
inline Raw_Entry Spaces_Bomb(const QByteArray& name, const QByteArray& head, qint64 spaces,
                             const QByteArray& tail) {
  QByteArray out;
  quint64 bits = 0;
  int count = 0;
  const auto put = [&](quint32 value, int length) {  // LSB first
    bits |= quint64(value) << count;
    count += length;
    while (count >= 8) {
      out.append(char(bits & 0xFF));
      bits >>= 8;
      count -= 8;
    }
  };
  const auto code = [&](quint32 huffman, int length) {  // Huffman codes go MSB first
    quint32 reversed = 0;
    for (int i = 0; i < length; ++i) reversed |= ((huffman >> i) & 1u) << (length - 1 - i);
    put(reversed, length);
  };
  const auto literal = [&](uchar c) {
    if (c < 144)
      code(0x30 + c, 8);
    else
      code(0x190 + (c - 144), 9);
  };
  put(1, 1);  // the final block
  put(1, 2);  // fixed Huffman codes
  for (char c : head) literal(uchar(c));
  qint64 left = spaces;
  if (left > 0) {
    literal(' ');
    --left;
  }
  out.reserve(qsizetype(left / 258 * 13 / 8 + 1024));
  for (; left >= 258; left -= 258) {
    code(0xC5, 8);  // length 258 (code 285)
    code(0, 5);     // distance 1
  }
  for (; left > 0; --left) literal(' ');
  for (char c : tail) literal(uchar(c));
  code(0, 7);  // end of block
  if (count > 0) out.append(char(bits & 0xFF));
  // The checksum of the spaces by doubling, not by reading a gigabyte.
  const QByteArray one(1, ' ');
  uLong run = crc32(0, reinterpret_cast<const Bytef*>(one.constData()), 1);
  uLong spaces_crc = crc32(0, nullptr, 0);
  qint64 run_length = 1;
  for (qint64 n = spaces; n > 0; n >>= 1) {
    if (n & 1) spaces_crc = crc32_combine64(spaces_crc, run, run_length);
    run = crc32_combine64(run, run, run_length);
    run_length *= 2;
  }
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(head.constData()), uInt(head.size()));
  crc = crc32_combine64(crc, spaces_crc, spaces);
  crc = crc32_combine64(crc, crc32(0, reinterpret_cast<const Bytef*>(tail.constData()),
                                   uInt(tail.size())),
                        tail.size());
  Raw_Entry entry{name, out};
  entry.declared_size = uLong(head.size() + spaces + tail.size());
  entry.packed = true;
  entry.crc = crc;
  return entry;
}

inline void Make_Zip(const QString& path, const std::vector<Raw_Entry>& entries) {
  zipFile zip = zipOpen(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
  ASSERT_NE(zip, nullptr);
  for (const Raw_Entry& e : entries) {
    zip_fileinfo info{};
    info.dosDate = e.dos_date;
    if (e.packed) {
      ASSERT_EQ(zipOpenNewFileInZip2(zip, e.name.constData(), &info, nullptr, 0, nullptr, 0,
                                     nullptr, Z_DEFLATED, 9, 1),
                ZIP_OK);
      ASSERT_EQ(zipWriteInFileInZip(zip, e.data.constData(), unsigned(e.data.size())), ZIP_OK);
      ASSERT_EQ(zipCloseFileInZipRaw(zip, e.declared_size, e.crc), ZIP_OK);
      continue;
    }
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
