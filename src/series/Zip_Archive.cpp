#include "series/Zip_Archive.h"

#include "model/Common_Functions.h"
#include "platform/Bounded_File.h"
#include "platform/Whole_File.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <libdeflate.h>
#include <unzip.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

const QString Zip_Archive::ErrorDomain = QStringLiteral("Zip_ArchiveErrorDomain");

namespace {

constexpr uLong kUtf8_Names_Flag = 1u << 11;  // general purpose bit 11: names are UTF-8
constexpr int kUnpack_Buffer = 65536;
// Deflated entries declared up to this size are inflated in one piece by libdeflate (two
// to three times zlib's speed; the piece and its packed bytes are held meanwhile); larger,
// stored and encrypted ones are streamed by minizip, a block at a time.
constexpr ZPOS64_T kWhole_Entry_Max = ZPOS64_T(32) << 20;
constexpr int kPack_Buffer = 16384;
// Files larger than this are compressed block by block on several threads.
constexpr qint64 kParallel_Block = qint64(1) << 20;
constexpr int kMax_Compress_Threads = 4;
constexpr int kWindow_Blocks = 16;

bool fail(Zip_Error* error, long code, const QString& message) {
  if (error) *error = Zip_Error{Zip_Archive::ErrorDomain, code, message};
  return false;
}

// Names flagged as UTF-8 are UTF-8; older tools wrote their own code page, which we read
// as UTF-8 when it is valid and as Latin-1 otherwise.
QString decode_entry_name(const QByteArray& raw, uLong flag) {
  if (flag & kUtf8_Names_Flag) return QString::fromUtf8(raw);
  QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
  const QString name = utf8(raw);
  return utf8.hasError() ? QString::fromLatin1(raw) : name;
}

// The entry's path below the destination with "/" between its parts; false when the name
// is absolute, starts with a drive letter, or climbs out with "..".
bool relative_entry_path(QString name, QString* relative, bool* folder) {
  *folder = name.endsWith(u'/') || name.endsWith(u'\\');
  name.replace(u'\\', u'/');
  if (name.startsWith(u'/') || name.contains(QChar(0))) return false;
  if (name.size() >= 2 && name.at(1) == u':' && name.at(0).isLetter()) return false;
  QStringList parts;
  for (const QString& part : name.split(u'/', Qt::SkipEmptyParts)) {
    if (part == u"..") return false;
    if (part != u".") parts << part;
  }
  *relative = parts.join(u'/');
  return true;
}

// True for a well-formed archive without entries: only its end-of-central-directory record
// (signature 0x06054b50) with an entry count of 0, which minizip refuses to open.
bool archive_without_entries(QFile& file) {
  if (file.size() < 22) return false;
  const qint64 tail = std::min<qint64>(file.size(), 22 + 65535);
  if (!file.seek(file.size() - tail)) return false;
  const QByteArray bytes = file.read(tail);
  const qsizetype at = bytes.lastIndexOf(QByteArrayView("PK\x05\x06", 4));
  if (at < 0 || at + 22 > bytes.size()) return false;
  const auto u16 = [&](qsizetype i) { return uchar(bytes[i]) | (uchar(bytes[i + 1]) << 8); };
  return u16(at + 8) == 0 && u16(at + 10) == 0;
}

bool inside(const QString& path, const QString& folder) {
  return path == folder || path.startsWith(folder + u'/');
}

void set_modification_time(const QString& path, const tm_unz& date) {
  const QDateTime when(QDate(int(date.tm_year), int(date.tm_mon) + 1, int(date.tm_mday)),
                       QTime(int(date.tm_hour), int(date.tm_min), int(date.tm_sec)), Qt::LocalTime);
  if (!when.isValid()) return;
  QFile file(path);
  if (file.open(QIODevice::ReadOnly)) file.setFileTime(when, QFileDevice::FileModificationTime);
}

struct Unzip_Handle {
  unzFile zip = nullptr;
  bool entry_open = false;
  void close_entry() {
    if (entry_open) unzCloseCurrentFile(zip);
    entry_open = false;
  }
  ~Unzip_Handle() {
    close_entry();
    if (zip) unzClose(zip);
  }
};

bool read_entry_info(unzFile zip, unz_file_info64* info, QByteArray* raw_name) {
  if (unzGetCurrentFileInfo64(zip, info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
    return false;
  // A buffer of our own with room for the terminating zero minizip adds (an empty name
  // too: minizip writes that zero even then).
  std::vector<char> name(size_t(info->size_filename) + 1, '\0');
  if (unzGetCurrentFileInfo64(zip, info, name.data(), uLong(name.size()), nullptr, 0, nullptr,
                              0) != UNZ_OK)
    return false;
  *raw_name = QByteArray(name.data(), qsizetype(info->size_filename));
  return true;
}

// Reads the current entry, opened raw, and inflates it whole into `out`: true only when
// the data fills exactly the declared size and its CRC matches.
bool inflate_whole(unzFile zip, const unz_file_info64& info, QByteArray* out) {
  try {
    QByteArray packed(qsizetype(info.compressed_size), Qt::Uninitialized);
    for (qsizetype have = 0; have < packed.size();) {
      const int got = unzReadCurrentFile(
          zip, packed.data() + have, unsigned(std::min<qsizetype>(packed.size() - have, 1 << 30)));
      if (got <= 0) return false;
      have += got;
    }
    out->resize(qsizetype(info.uncompressed_size));
    std::unique_ptr<libdeflate_decompressor, void (*)(libdeflate_decompressor*)> inflater(
        libdeflate_alloc_decompressor(), libdeflate_free_decompressor);
    size_t size = 0;
    return inflater &&
           libdeflate_deflate_decompress(inflater.get(), packed.constData(), size_t(packed.size()),
                                         out->data(), size_t(out->size()),
                                         &size) == LIBDEFLATE_SUCCESS &&
           size == size_t(out->size()) &&
           libdeflate_crc32(0, out->constData(), size) == uint32_t(info.crc);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// What minizip does with a stream that reads and moves alike on both devices: a QFile
// opened as readers open theirs (a regular file only: a FIFO named .xlsx would block an
// open by name for ever) and the Whole_File_Writer an archive is written into.
template <typename Device>
struct Stream_Calls {
  static Device* file(voidpf stream) { return static_cast<Device*>(stream); }
  static voidpf ZCALLBACK open(voidpf opaque, const void*, int) { return opaque; }
  static uLong ZCALLBACK read(voidpf, voidpf stream, void* buffer, uLong size) {
    const qint64 got = file(stream)->read(static_cast<char*>(buffer), qint64(size));
    return got < 0 ? 0 : uLong(got);
  }
  static ZPOS64_T ZCALLBACK tell(voidpf, voidpf stream) { return ZPOS64_T(file(stream)->pos()); }
  static long ZCALLBACK seek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    Device* f = file(stream);
    qint64 base = 0;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR)
      base = f->pos();
    else if (origin == ZLIB_FILEFUNC_SEEK_END)
      base = f->size();
    return f->seek(base + qint64(offset)) ? 0 : -1;
  }
  static int ZCALLBACK close(voidpf, voidpf) { return 0; }
};

// minizip reads an archive through these.
struct source : Stream_Calls<QFile> {
  static uLong ZCALLBACK write(voidpf, voidpf, const void*, uLong) { return 0; }
  static int ZCALLBACK error(voidpf, voidpf stream) {
    return file(stream)->error() == QFileDevice::NoError ? 0 : 1;
  }
};

// minizip writes the archive through these, into a Whole_File_Writer.
struct io : Stream_Calls<Whole_File_Writer> {
  static uLong ZCALLBACK write(voidpf, voidpf stream, const void* buffer, uLong size) {
    const qint64 put = file(stream)->write(static_cast<const char*>(buffer), qint64(size));
    return put < 0 ? 0 : uLong(put);
  }
  static int ZCALLBACK error(voidpf, voidpf stream) { return file(stream)->failed() ? 1 : 0; }
};

}  // namespace

// ---- Unpacking -------------------------------------------------------------------------

bool Zip_Archive::unzipFileAtPath(const QString& path, const QString& destination, bool overwrite,
                                  const QString& password, Zip_Error* error,
                                  const Zip_Limits& limits,
                                  const std::function<bool(const QString& entry)>& wanted,
                                  Zip_Memory_Entries* in_memory) {
  QFile archive;
  QString not_opened;
  if (!Open_Regular_File(archive, path, &not_opened)) {
    // A missing file needs no more words; for anything else there (a FIFO, a device, a
    // folder, a file we may not read) the reason follows.
    const QString message = QStringLiteral("failed to open zip file");
    return fail(error, Open_Failed,
                QFileInfo::exists(path) || QFileInfo(path).isSymLink()
                    ? message + QStringLiteral(": ") + not_opened
                    : message);
  }
  zlib_filefunc64_def functions{source::open, source::read,  source::write, source::tell,
                                source::seek, source::close, source::error, &archive};
  Unzip_Handle handle;
  handle.zip = unzOpen2_64(QFile::encodeName(path).constData(), &functions);
  if (!handle.zip) {
    if (archive_without_entries(archive))
      return fail(error, No_First_File, QStringLiteral("failed to open first file in zip file"));
    return fail(error, Open_Failed, QStringLiteral("failed to open zip file"));
  }
  unzFile zip = handle.zip;
  // minizip opens only archives whose directory lists entries (see archive_without_entries):
  // one whose first entry cannot be found has a damaged directory.
  if (unzGoToFirstFile(zip) != UNZ_OK)
    return fail(error, Damaged_Entry, QStringLiteral("the zip file's directory is damaged"));

  // Every entry is checked before anything is written.
  unz_file_info64 info;
  QByteArray raw_name;
  QString relative;
  bool folder = false;
  qint64 entries = 0, declared = 0;
  int step = UNZ_OK;
  do {
    if (!read_entry_info(zip, &info, &raw_name))
      return fail(error, Damaged_Entry, QStringLiteral("failed to read an entry of the zip file"));
    const QString name = decode_entry_name(raw_name, info.flag);
    if (!relative_entry_path(name, &relative, &folder))
      return fail(error, Unsafe_Entry_Name,
                  QStringLiteral("the zip file holds an entry outside its folder: %1").arg(name));
    if (++entries > limits.max_entries)
      return fail(error, Too_Large,
                  QStringLiteral("the zip file holds more than %1 entries").arg(limits.max_entries));
    // Only what is unpacked counts: a part the reader never reads is never inflated.
    if (!relative.isEmpty() && !folder && (!wanted || wanted(relative))) {
      if (info.uncompressed_size > ZPOS64_T(limits.max_entry_bytes))
        return fail(error, Too_Large,
                    QStringLiteral("the zip entry %1 unpacks to more than %2")
                        .arg(name, Bounded_File_Size_Text(limits.max_entry_bytes)));
      declared += qint64(info.uncompressed_size);
      if (declared > limits.max_total_bytes)
        return fail(error, Too_Large,
                    QStringLiteral("the zip file unpacks to more than %1")
                        .arg(Bounded_File_Size_Text(limits.max_total_bytes)));
    }
    step = unzGoToNextFile(zip);
  } while (step == UNZ_OK);
  if (step != UNZ_END_OF_LIST_OF_FILE || unzGoToFirstFile(zip) != UNZ_OK)
    return fail(error, Damaged_Entry, QStringLiteral("failed to read an entry of the zip file"));

  if (!QDir().mkpath(destination))
    return fail(error, Write_Failed,
                QStringLiteral("failed to create the folder %1").arg(destination));
  const QString root = QFileInfo(destination).canonicalFilePath();
  const QByteArray password_bytes = password.toLatin1();
  QByteArray buffer(kUnpack_Buffer, Qt::Uninitialized);
  const qint64 archive_bytes = archive.size();
  qint64 unpacked = 0;
  qint64 held = 0;  // the declared sizes of the entries kept in memory
  do {
    if (!read_entry_info(zip, &info, &raw_name))
      return fail(error, Damaged_Entry, QStringLiteral("failed to read an entry of the zip file"));
    const QString name = decode_entry_name(raw_name, info.flag);
    if (!relative_entry_path(name, &relative, &folder))
      return fail(error, Unsafe_Entry_Name,
                  QStringLiteral("the zip file holds an entry outside its folder: %1").arg(name));
    // Opens the current entry and hands its bytes to `sink` (false: the sink failed and
    // has said why), or, when `whole_into` is given and the entry is inflated in one piece,
    // moves that piece there; checks the limits and the entry's integrity on the way.
    const auto read_entry = [&](const std::function<bool(const char*, qint64)>& sink,
                                QByteArray* whole_into) {
      const bool whole = password_bytes.isEmpty() && info.compression_method == Z_DEFLATED &&
                         !(info.flag & 1) && info.uncompressed_size > 0 &&
                         info.uncompressed_size <= kWhole_Entry_Max;
      int method = 0, level = 0;
      const int opened = whole                      ? unzOpenCurrentFile2(zip, &method, &level, 1)
                         : password_bytes.isEmpty() ? unzOpenCurrentFile(zip)
                                                    : unzOpenCurrentFilePassword(zip, password_bytes.constData());
      if (opened != UNZ_OK)
        return fail(error, Damaged_Entry, QStringLiteral("failed to open an entry of the zip file"));
      handle.entry_open = true;
      if (whole) {
        if (qint64(info.uncompressed_size) > limits.max_total_bytes - unpacked)
          return fail(error, Too_Large,
                      QStringLiteral("the zip file unpacks to more than is allowed"));
        QByteArray data;
        if (info.compressed_size > ZPOS64_T(archive_bytes) || !inflate_whole(zip, info, &data))
          return fail(error, Damaged_Entry,
                      QStringLiteral("the zip entry %1 is damaged").arg(name));
        unpacked += data.size();
        if (whole_into)
          *whole_into = std::move(data);
        else if (!sink(data.constData(), data.size()))
          return false;
      }
      qint64 streamed = 0;
      while (!whole) {
        const int got = unzReadCurrentFile(zip, buffer.data(), unsigned(buffer.size()));
        if (got < 0)
          return fail(error, Damaged_Entry, QStringLiteral("the zip entry %1 is damaged").arg(name));
        if (got == 0) {
          // Data shorter than the entry declares ends before its check is made.
          if (ZPOS64_T(streamed) != info.uncompressed_size)
            return fail(error, Damaged_Entry,
                        QStringLiteral("the zip entry %1 is damaged").arg(name));
          break;
        }
        streamed += got;
        unpacked += got;
        if (unpacked > limits.max_total_bytes)
          return fail(error, Too_Large,
                      QStringLiteral("the zip file unpacks to more than is allowed"));
        if (!sink(buffer.constData(), got)) return false;
      }
      handle.entry_open = false;
      if (unzCloseCurrentFile(zip) != UNZ_OK)
        return fail(error, Damaged_Entry, QStringLiteral("the zip entry %1 is damaged").arg(name));
      return true;
    };
    const bool chosen = !relative.isEmpty() && (!wanted || wanted(relative));
    const bool fits = in_memory && (in_memory->max_bytes < 0 ||
                                    info.uncompressed_size <= ZPOS64_T(in_memory->max_bytes - held));
    if (chosen && !folder && fits && in_memory->keep && in_memory->keep(relative)) {
      held += qint64(info.uncompressed_size);
      QByteArray bytes;
      const bool read = read_entry(
          [&](const char* data, qint64 size) {
            bytes.append(data, size);
            return true;
          },
          &bytes);
      if (!read) return false;
      in_memory->entries.insert(relative, bytes);
    } else if (chosen) {
      const QString target = root + u'/' + relative;
      const QString holder = folder ? target : QFileInfo(target).absolutePath();
      // The deepest part of the holder that is there already: a link in it must not lead
      // the folders made below it elsewhere.
      QString present = holder;
      while (present.size() > root.size() && !QFileInfo(present).exists() &&
             !QFileInfo(present).isSymLink())
        present = QFileInfo(present).absolutePath();
      if (!inside(QFileInfo(present).canonicalFilePath(), root))
        return fail(error, Unsafe_Entry_Name,
                    QStringLiteral("the zip file holds an entry outside its folder: %1").arg(name));
      if (!QDir().mkpath(holder))
        return fail(error, Write_Failed,
                    QStringLiteral("failed to create the folder %1").arg(holder));
      // A link already in the destination must not lead the entry elsewhere.
      if (!inside(QFileInfo(holder).canonicalFilePath(), root) || QFileInfo(target).isSymLink())
        return fail(error, Unsafe_Entry_Name,
                    QStringLiteral("the zip file holds an entry outside its folder: %1").arg(name));
      const QFileInfo existing(target);
      if (!folder && (!existing.exists() || overwrite)) {
        if (existing.isDir())
          return fail(error, Write_Failed, QStringLiteral("a folder stands at %1").arg(target));
        // An unpacked file must be whole, not lasting: the folder is scratch space.
        Whole_File_Options scratch;
        scratch.durable = false;
        Whole_File_Writer out(target, scratch);
        if (!out.open(QIODevice::WriteOnly))
          return fail(error, Write_Failed,
                      QStringLiteral("failed to write %1: %2").arg(target, out.error_string()));
        const bool read = read_entry([&](const char* data, qint64 size) {
          if (out.write(data, size) == size) return true;
          return fail(error, Write_Failed,
                      QStringLiteral("failed to write %1: %2").arg(target, out.error_string()));
        }, nullptr);
        if (!read) return false;
        if (!out.commit())
          return fail(error, Write_Failed,
                      QStringLiteral("failed to write %1: %2").arg(target, out.error_string()));
        if (info.dosDate != 0) set_modification_time(target, info.tmu_date);
      }
    }
    handle.close_entry();
    step = unzGoToNextFile(zip);
  } while (step == UNZ_OK);
  if (step != UNZ_END_OF_LIST_OF_FILE)
    return fail(error, Damaged_Entry, QStringLiteral("failed to read an entry of the zip file"));
  return true;
}

bool Zip_Archive::unzipFileAtPath(const QString& path, const QString& destination) {
  return unzipFileAtPath(path, destination, true, QString(), nullptr);
}

// ---- Packing ---------------------------------------------------------------------------

bool Zip_Archive::createZipFileAtPath(const QString& path, const QStringList& paths,
                                      QString* error) {
  Zip_Archive archive(path);
  const auto failed = [&] {
    if (error) *error = archive.errorString();
    return false;
  };
  if (!archive.open()) return failed();
  for (QString item : paths) {
    if (item.size() > 1 && item.endsWith(u'/')) item.chop(1);
    const QString name = QFileInfo(item).fileName();
    const QString base = item.left(item.size() - name.size());
    if (name.isEmpty()) {
      archive.note(QStringLiteral("no file name in %1").arg(item));
      return failed();
    }
    if (!archive.writeFile(name, base)) return failed();
  }
  return archive.close() || failed();
}

bool Zip_Archive::createZipFileAtPath(const QString& path, const QString& item_path,
                                      QString* error) {
  return createZipFileAtPath(path, QStringList{item_path}, error);
}

QDateTime Zip_Archive::_dateFor1980() {
  return QDateTime(QDate(1980, 1, 1), QTime(0, 0), Qt::LocalTime);
}

Zip_Archive::Zip_Archive(const QString& path) : _path(path) {}

Zip_Archive::~Zip_Archive() {
  if (_zip && !closed_) zipClose(_zip, nullptr);
  if (file_) file_->discard();
}

void Zip_Archive::note(const QString& reason) {
  failed_ = true;
  if (error_.isEmpty()) error_ = reason;
}

void Zip_Archive::keep_file_error() {
  // The file's own failure says most (the step and the system's error): it wins over what
  // minizip made of it.
  if (file_ && file_->failed()) error_ = file_->error_string();
}

QString Zip_Archive::errorString() const {
  if (file_ && file_->failed()) return file_->error_string();
  return error_.isEmpty() && failed_ ? QStringLiteral("the archive could not be written") : error_;
}

bool Zip_Archive::open() {
  if (_zip || closed_) {
    Show_NSLog_Message(QStringLiteral("Attempting open an archive which is already open"));
    return false;
  }
  Whole_File_Options options;
  options.write_through_link = true;  // a workbook the user names
  file_ = std::make_unique<Whole_File_Writer>(_path, options);
  if (!file_->open(QIODevice::ReadWrite)) {
    note(file_->error_string());
    file_.reset();
    return false;
  }
  zlib_filefunc64_def functions{io::open, io::read,  io::write, io::tell,
                                io::seek, io::close, io::error, file_.get()};
  _zip =
      zipOpen2_64(QFile::encodeName(_path).constData(), APPEND_STATUS_CREATE, nullptr, &functions);
  if (!_zip) {
    note(QStringLiteral("the archive could not be started"));
    keep_file_error();
    file_->discard();
    file_.reset();
  }
  return _zip != nullptr;
}

bool Zip_Archive::add_entry(const QString& name, const zip_fileinfo* info, bool compress,
                            qint64 size) {
  const QByteArray utf8 = name.toUtf8();
  const int rc = zipOpenNewFileInZip4_64(
      _zip, utf8.constData(), info, nullptr, 0, nullptr, 0, nullptr, compress ? Z_DEFLATED : 0,
      compress ? Z_DEFAULT_COMPRESSION : 0, 0, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY, nullptr, 0, 0,
      kUtf8_Names_Flag, size >= qint64(0xffffffff) ? 1 : 0);
  if (rc != ZIP_OK) note(QStringLiteral("the entry %1 could not be added").arg(name));
  return rc == ZIP_OK;
}

bool Zip_Archive::writeFile(const QString& name, const QString& base_path, bool compress) {
  if (!_zip || closed_) {
    Show_NSLog_Message(QStringLiteral("Attempting to write to an archive which was never opened"));
    return false;
  }
  QString full = name;
  if (!base_path.isEmpty())
    full = base_path.endsWith(u'/') ? base_path + name : base_path + u'/' + name;
  const QFileInfo item(full);
  if (item.isDir()) {
    if (item.isSymLink()) return true;  // never follow a link into another folder
    const QStringList children = QDir(full).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    if (children.isEmpty()) {
      if (!add_entry(name + u'/', nullptr, compress, 0)) return false;
      if (zipCloseFileInZip(_zip) != ZIP_OK)
        note(QStringLiteral("the entry %1 could not be finished").arg(name));
      return !failed_;
    }
    for (const QString& child : children)
      if (!writeFile(name + u'/' + child, base_path, compress)) return false;
    return true;
  }
  // Read as every file is: a regular file only (a FIFO would hold the write for ever).
  QFile in;
  QString why;
  if (!Open_Regular_File(in, full, &why)) {
    note(QStringLiteral("reading %1 failed: %2").arg(full, why));
    return false;
  }
  if (compress && in.size() > kParallel_Block) return write_blocks(name, in);
  if (!add_entry(name, nullptr, compress, in.size())) return false;
  char buffer[kPack_Buffer];
  for (;;) {
    const qint64 got = in.read(buffer, sizeof buffer);
    if (got < 0) {
      // The entry is cut short: the archive cannot be finished.
      note(QStringLiteral("reading %1 failed: %2").arg(full, in.errorString()));
      break;
    }
    if (got == 0) break;
    if (zipWriteInFileInZip(_zip, buffer, unsigned(got)) != ZIP_OK) {
      note(QStringLiteral("writing the entry %1 failed").arg(name));
      break;
    }
  }
  if (zipCloseFileInZip(_zip) != ZIP_OK)
    note(QStringLiteral("the entry %1 could not be finished").arg(name));
  return !failed_;
}

namespace {

struct Deflate_Block {
  QByteArray input;
  QByteArray output;
  uLong crc = 0;
  bool ok = false;
};

// Deflates one block at the default level as a raw stream. Every block but the last ends
// with a sync flush, which leaves it on a byte boundary without a final block, so that the
// blocks joined in order are one deflate stream.
void deflate_block(Deflate_Block* block, bool last) {
  z_stream stream{};
  block->ok = false;
  if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) !=
      Z_OK)
    return;
  const uLong input_size = uLong(block->input.size());
  block->output.resize(qsizetype(deflateBound(&stream, input_size) + 64));
  stream.next_in = reinterpret_cast<Bytef*>(block->input.data());
  stream.avail_in = uInt(input_size);
  stream.next_out = reinterpret_cast<Bytef*>(block->output.data());
  stream.avail_out = uInt(block->output.size());
  const int result = deflate(&stream, last ? Z_FINISH : Z_SYNC_FLUSH);
  block->ok = (last ? result == Z_STREAM_END : result == Z_OK) && stream.avail_in == 0;
  block->output.resize(qsizetype(stream.total_out));
  deflateEnd(&stream);
  block->crc = crc32(0, reinterpret_cast<const Bytef*>(block->input.constData()), uInt(input_size));
}

}  // namespace

bool Zip_Archive::write_blocks(const QString& name, QFile& in) {
  const qint64 size = in.size();
  const QByteArray utf8 = name.toUtf8();
  if (zipOpenNewFileInZip4_64(_zip, utf8.constData(), nullptr, nullptr, 0, nullptr, 0, nullptr,
                              Z_DEFLATED, Z_DEFAULT_COMPRESSION, 1, -MAX_WBITS, 8,
                              Z_DEFAULT_STRATEGY, nullptr, 0, 0, kUtf8_Names_Flag,
                              size >= qint64(0xffffffff) ? 1 : 0) != ZIP_OK) {
    note(QStringLiteral("the entry %1 could not be added").arg(name));
    return false;
  }
  const int threads =
      std::clamp(int(std::thread::hardware_concurrency()), 1, kMax_Compress_Threads);
  std::vector<Deflate_Block> window(static_cast<size_t>(kWindow_Blocks));
  uLong crc = crc32(0, nullptr, 0);
  qint64 done = 0;
  while (done < size && !failed_) {
    // Read a window of blocks, let the threads take blocks from it until none is left,
    // then write the blocks in order.
    int count = 0;
    qint64 read = done;
    for (; count < kWindow_Blocks && read < size; ++count) {
      QByteArray& input = window[size_t(count)].input;
      input = in.read(std::min(kParallel_Block, size - read));
      if (input.isEmpty()) break;
      read += input.size();
    }
    if (count == 0) {
      note(QStringLiteral("reading %1 failed: it ended early").arg(name));
      break;
    }
    const bool window_ends_file = read == size;
    std::atomic<int> next{0};
    const auto work = [&] {
      for (int b = next++; b < count; b = next++)
        deflate_block(&window[size_t(b)], window_ends_file && b == count - 1);
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < std::min(threads, count); ++t) helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers) helper.join();
    for (int b = 0; b < count && !failed_; ++b) {
      const Deflate_Block& block = window[size_t(b)];
      if (!block.ok || zipWriteInFileInZip(_zip, block.output.constData(),
                                           unsigned(block.output.size())) != ZIP_OK)
        note(QStringLiteral("writing the entry %1 failed").arg(name));
      crc = crc32_combine(crc, block.crc, z_off_t(block.input.size()));
    }
    done = read;
  }
  if (zipCloseFileInZipRaw64(_zip, ZPOS64_T(done), crc) != ZIP_OK)
    note(QStringLiteral("the entry %1 could not be finished").arg(name));
  return !failed_;
}

bool Zip_Archive::writeData(const QByteArray& data, const QString& filename) {
  if (!_zip || closed_ || data.isEmpty()) return false;
  zip_fileinfo info{};
  zipInfo(&info, QDateTime::currentDateTime());
  if (!add_entry(filename, &info, true, data.size())) return false;
  if (zipWriteInFileInZip(_zip, data.constData(), unsigned(data.size())) != ZIP_OK)
    note(QStringLiteral("writing the entry %1 failed").arg(filename));
  if (zipCloseFileInZip(_zip) != ZIP_OK)
    note(QStringLiteral("the entry %1 could not be finished").arg(filename));
  return !failed_;
}

bool Zip_Archive::close() {
  if (!_zip || closed_) {
    Show_NSLog_Message(QStringLiteral("Attempting to close an archive which was never opened"));
    return false;
  }
  closed_ = true;
  if (zipClose(_zip, nullptr) != ZIP_OK) note(QStringLiteral("the archive could not be finished"));
  const bool committed = !failed_ && file_->commit();
  if (!committed) {
    keep_file_error();
    file_->discard();
  }
  file_.reset();
  return committed;
}

void Zip_Archive::zipInfo(zip_fileinfo* info, const QDateTime& date) {
  const QDateTime local = date.toLocalTime();
  info->tmz_date.tm_sec = uInt(local.time().second());
  info->tmz_date.tm_min = uInt(local.time().minute());
  info->tmz_date.tm_hour = uInt(local.time().hour());
  info->tmz_date.tm_mday = uInt(local.date().day());
  info->tmz_date.tm_mon = uInt(local.date().month() - 1);
  info->tmz_date.tm_year = uInt(local.date().year());
  info->dosDate = 0;
}
