#include "platform/Whole_File.h"

#include "platform/Bounded_File.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Writes are gathered up to this much and written out in one piece; larger ones go
// straight to the file.
constexpr qsizetype kBuffer_Size = 256 * 1024;
constexpr qint64 kCopy_Chunk = 1 << 20;
// A file name may hold at most this many bytes (NAME_MAX on the file systems we meet).
constexpr size_t kName_Max = 255;

std::atomic<Whole_File_System_Call> sync_call{&::fsync};
std::atomic<Whole_File_System_Call> close_call{&::close};

int sync_file(int fd) { return sync_call.load()(fd); }
int close_file(int fd) { return close_call.load()(fd); }

QString failure(const QString& step, int error_number) {
  return QStringLiteral("%1 failed: %2").arg(step, qt_error_string(error_number));
}

// The file a write replaces: the name itself, or with write_through_link the file a
// symbolic link names.
QString final_path(const QString& path, bool write_through_link) {
  const QFileInfo info(path);
  if (!write_through_link || !info.isSymLink()) return path;
  const QString canonical = info.canonicalFilePath();
  return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}

std::string folder_of(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr size_t kRandom_Letters = 6;
// Ends the name of every temporary file of ours, and nothing else's.
constexpr char kTemporary_Suffix[] = ".lumigrove-part";
constexpr size_t kSuffix_Size = sizeof kTemporary_Suffix - 1;

// ".<name>.XXXXXX.lumigrove-part" beside the file, the name shortened (at a UTF-8
// character boundary) when the whole would be longer than a file name may be.
std::string temporary_name(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t room = kName_Max - 2 - kRandom_Letters - kSuffix_Size;  // "." before, "." after
  if (name.size() > room) {
    size_t cut = room;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
  }
  std::string random(kRandom_Letters, 'x');
  for (char& c : random)
    c = kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))];
  return folder + '.' + name + '.' + random + kTemporary_Suffix;
}

bool is_temporary_name(const char* name) {
  const size_t length = std::strlen(name);
  if (length < 1 + 1 + 1 + kRandom_Letters + kSuffix_Size || name[0] != '.') return false;
  if (std::memcmp(name + length - kSuffix_Size, kTemporary_Suffix, kSuffix_Size) != 0) return false;
  const char* random = name + length - kSuffix_Size - kRandom_Letters;
  if (random[-1] != '.') return false;
  for (size_t i = 0; i < kRandom_Letters; ++i)
    if (!std::strchr(kLetters, random[i]) || random[i] == '\0') return false;
  return true;
}

// ".<name>.XXXXXX", the name of an earlier build's temporary file of <name>: the name, or
// empty when it is none.
std::string_view earlier_temporary_target(std::string_view name) {
  if (name.size() < 1 + 1 + 1 + kRandom_Letters || name[0] != '.') return {};
  const std::string_view random = name.substr(name.size() - kRandom_Letters);
  if (name[name.size() - kRandom_Letters - 1] != '.') return {};
  for (char c : random)
    if (c == '\0' || !std::strchr(kLetters, c)) return {};
  return name.substr(1, name.size() - kRandom_Letters - 2);
}

std::string_view base_name(std::string_view path) {
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

mode_t mode_bits(QFileDevice::Permissions p) {
  mode_t mode = 0;
  if (p & QFileDevice::ReadOwner) mode |= S_IRUSR;
  if (p & QFileDevice::WriteOwner) mode |= S_IWUSR;
  if (p & QFileDevice::ExeOwner) mode |= S_IXUSR;
  if (p & QFileDevice::ReadGroup) mode |= S_IRGRP;
  if (p & QFileDevice::WriteGroup) mode |= S_IWGRP;
  if (p & QFileDevice::ExeGroup) mode |= S_IXGRP;
  if (p & QFileDevice::ReadOther) mode |= S_IROTH;
  if (p & QFileDevice::WriteOther) mode |= S_IWOTH;
  if (p & QFileDevice::ExeOther) mode |= S_IXOTH;
  return mode;
}

}  // namespace

Whole_File_System_Call Replace_Whole_File_Sync(Whole_File_System_Call sync) {
  return sync_call.exchange(sync ? sync : &::fsync);
}

Whole_File_System_Call Replace_Whole_File_Close(Whole_File_System_Call close) {
  return close_call.exchange(close ? close : &::close);
}

Whole_File_Writer::Whole_File_Writer(const QString& path, const Whole_File_Options& options)
    : path_(path), options_(options) {}

Whole_File_Writer::~Whole_File_Writer() { discard(); }

bool Whole_File_Writer::fail(const QString& step, int error_number) {
  if (error_.isEmpty()) {
    error_ = failure(step, error_number);
    setErrorString(error_);
  }
  return false;
}

bool Whole_File_Writer::open(OpenMode mode) {
  if (isOpen() || fd_ >= 0) return fail(QStringLiteral("opening"), EBUSY);
  error_.clear();
  buffer_.clear();
  buffer_offset_ = device_pos_ = size_ = 0;
  if (path_.isEmpty()) return fail(QStringLiteral("creating the temporary file"), ENOENT);
  final_path_ = QFile::encodeName(final_path(path_, options_.write_through_link)).toStdString();

  // A link that is replaced lends nothing of what it names (a new file's mode).
  struct stat existing {};
  const bool exists = (options_.write_through_link ? ::stat(final_path_.c_str(), &existing)
                                                   : ::lstat(final_path_.c_str(), &existing)) == 0;
  if (exists && S_ISDIR(existing.st_mode))
    return fail(QStringLiteral("replacing a folder"), EISDIR);
  const mode_t create_mode = options_.permissions ? mode_bits(*options_.permissions) : 0666;
  if (options_.remove_stale_temporaries && options_.durable) {
    const std::string_view target = base_name(final_path_);
    Remove_Stale_Temporary_Files(QFile::decodeName(QByteArray::fromStdString(folder_of(final_path_))),
                                 [target](std::string_view name) { return name == target; });
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary_path_ = temporary_name(final_path_);
    fd_ = ::open(temporary_path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, create_mode);
    if (fd_ < 0 && errno == EEXIST) continue;
    if (fd_ < 0) break;
    // The lock tells other runs that the file is being written; it goes with the last
    // descriptor, so a writer that was killed leaves a file anyone may remove. A run
    // removing such files holds the lock while it removes one: when that happened to this
    // file before it was locked here, the name is gone and another is taken.
    if (!lock_and_keep_name()) {
      ::close(fd_);
      fd_ = -1;
      errno = EEXIST;
      continue;
    }
    break;
  }
  if (fd_ < 0) {
    const int why = errno;
    temporary_path_.clear();
    return fail(QStringLiteral("creating the temporary file"), why);
  }
  // The mode is set before any byte is in the file.
  const bool set_mode = options_.permissions || (exists && S_ISREG(existing.st_mode));
  const mode_t wanted = options_.permissions ? create_mode : (existing.st_mode & 07777);
  if (set_mode && ::fchmod(fd_, wanted) != 0) {
    const int why = errno;
    discard();
    return fail(QStringLiteral("setting the file's permissions"), why);
  }
  const OpenMode access =
      (mode & QIODevice::ReadOnly) ? QIODevice::ReadWrite : QIODevice::WriteOnly;
  return QIODevice::open(access | QIODevice::Unbuffered);
}

bool Whole_File_Writer::lock_and_keep_name() {
  int locked;
  do locked = ::flock(fd_, LOCK_EX);
  while (locked != 0 && errno == EINTR);
  // A file system without locks: the file is written all the same, and never taken for
  // a stale one (no run can lock it either).
  if (locked != 0) return true;
  struct stat opened {}, named {};
  return ::fstat(fd_, &opened) == 0 && ::lstat(temporary_path_.c_str(), &named) == 0 &&
         opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

bool Whole_File_Writer::put(const char* data, qint64 size, qint64 offset) {
  while (size > 0) {
    const ssize_t put =
        ::pwrite(fd_, data, size_t(std::min<qint64>(size, qint64(1) << 30)), offset);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return fail(QStringLiteral("writing"), errno);
    if (put == 0) return fail(QStringLiteral("writing"), ENOSPC);
    data += put;
    size -= put;
    offset += put;
  }
  return true;
}

bool Whole_File_Writer::flush_buffer() {
  if (buffer_.empty()) return !failed();
  const bool ok = !failed() && put(buffer_.data(), qint64(buffer_.size()), buffer_offset_);
  buffer_.clear();
  return ok;
}

qint64 Whole_File_Writer::writeData(const char* data, qint64 size) {
  if (fd_ < 0 || failed()) return -1;
  if (!buffer_.empty() && device_pos_ != buffer_offset_ + qint64(buffer_.size()) && !flush_buffer())
    return -1;
  if (buffer_.empty()) buffer_offset_ = device_pos_;
  if (size >= kBuffer_Size) {
    if (!flush_buffer() || !put(data, size, device_pos_)) return -1;
  } else {
    buffer_.append(data, size_t(size));
    if (qsizetype(buffer_.size()) >= kBuffer_Size && !flush_buffer()) return -1;
  }
  device_pos_ += size;
  size_ = std::max(size_, device_pos_);
  return size;
}

qint64 Whole_File_Writer::readData(char* data, qint64 max_size) {
  if (fd_ < 0 || failed() || !flush_buffer()) return -1;
  for (;;) {
    const ssize_t got = ::pread(fd_, data, size_t(max_size), device_pos_);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      fail(QStringLiteral("reading back"), errno);
      return -1;
    }
    device_pos_ += got;
    return got;
  }
}

bool Whole_File_Writer::seek(qint64 pos) {
  if (fd_ < 0 || !QIODevice::seek(pos)) return false;
  device_pos_ = pos;
  return true;
}

bool Whole_File_Writer::commit() {
  if (fd_ < 0) {
    if (!failed()) fail(QStringLiteral("writing"), EBADF);
    discard();
    return false;
  }
  if (!flush_buffer()) {
    discard();
    return false;
  }
  if (options_.durable && sync_file(fd_) != 0) {
    fail(QStringLiteral("syncing to disk"), errno);
    discard();
    return false;
  }
  // The lock is held through the rename by a second descriptor of the same open file.
  lock_fd_ = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
  const int closed = close_file(fd_);
  const int close_error = errno;
  fd_ = -1;
  // Linux releases the descriptor even when close is interrupted; the data was synced.
  if (closed != 0 && close_error != EINTR) {
    fail(QStringLiteral("closing"), close_error);
    discard();
    return false;
  }
  if (::rename(temporary_path_.c_str(), final_path_.c_str()) != 0) {
    fail(QStringLiteral("replacing the file"), errno);
    discard();
    return false;
  }
  temporary_path_.clear();
  release_lock();
  QIODevice::close();
  if (options_.durable && options_.sync_folder) {
    // The new file is in place; a folder that cannot be synced is still reported, since
    // the new name might not survive a crash. File systems that cannot sync a folder say
    // EINVAL: nothing is lost there.
    const int folder = ::open(folder_of(final_path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
      const bool synced = sync_file(folder) == 0 || errno == EINVAL || errno == EROFS;
      const int why = errno;
      ::close(folder);
      if (!synced) return fail(QStringLiteral("syncing the folder"), why);
    }
  }
  return true;
}

void Whole_File_Writer::remove_temporary() {
  if (!temporary_path_.empty()) ::unlink(temporary_path_.c_str());
  temporary_path_.clear();
}

void Whole_File_Writer::release_lock() {
  if (lock_fd_ >= 0) ::close(lock_fd_);
  lock_fd_ = -1;
}

void Whole_File_Writer::discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  remove_temporary();
  release_lock();
  buffer_.clear();
  buffer_.shrink_to_fit();
  if (isOpen()) QIODevice::close();
}

void Whole_File_Writer::close() { discard(); }

bool Write_Whole_File(const QString& path, QByteArrayView data, QString* error,
                      const Whole_File_Options& options) {
  Whole_File_Writer file(path, options);
  const bool ok = file.open(QIODevice::WriteOnly) &&
                  file.write(data.data(), data.size()) == data.size() && file.commit();
  if (!ok && error) *error = file.error_string();
  return ok;
}

bool Copy_Whole_File(const QString& from, const QString& to, QString* error,
                     const Whole_File_Options& options) {
  auto refuse = [&](const QString& why) {
    if (error) *error = QStringLiteral("reading %1 failed: %2").arg(from, why);
    return false;
  };
  // Only a regular file is copied, checked on the opened file itself (a FIFO must not
  // block the copy, a device must not be read without end).
  QFile source;
  QString why;
  if (!Open_Regular_File(source, from, &why)) return refuse(why);
  Whole_File_Writer target(to, options);
  if (!target.open(QIODevice::WriteOnly)) {
    if (error) *error = target.error_string();
    return false;
  }
  for (;;) {
    const QByteArray chunk = source.read(kCopy_Chunk);
    if (chunk.isEmpty()) {
      if (source.error() != QFileDevice::NoError) return refuse(source.errorString());
      break;
    }
    if (target.write(chunk) != chunk.size()) break;
  }
  if (!target.commit()) {
    if (error) *error = target.error_string();
    return false;
  }
  return true;
}

int Remove_Stale_Temporary_Files(const QString& folder,
                                 const std::function<bool(std::string_view name)>& replacing) {
  const QByteArray path = QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder);
  const int dir_fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd < 0) return 0;
  DIR* dir = ::fdopendir(dir_fd);
  if (!dir) {
    ::close(dir_fd);
    return 0;
  }
  int removed = 0;
  while (const dirent* entry = ::readdir(dir)) {
    if (!is_temporary_name(entry->d_name)) {
      const std::string_view target = earlier_temporary_target(entry->d_name);
      if (target.empty() || !replacing || !replacing(target)) continue;
    }
    const int fd = ::openat(dir_fd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat opened {}, named {};
    // Only a regular file that no writer holds locked, still under its name.
    if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::fstatat(dir_fd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        named.st_dev == opened.st_dev && named.st_ino == opened.st_ino &&
        ::unlinkat(dir_fd, entry->d_name, 0) == 0)
      ++removed;
    ::close(fd);
  }
  ::closedir(dir);
  return removed;
}
