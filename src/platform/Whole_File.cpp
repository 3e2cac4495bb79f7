#include "platform/Whole_File.h"

#include "platform/Bounded_File.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
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

QMutex program_folder_mutex;
QString program_folder;  // guarded by program_folder_mutex
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

// ".<name>.XXXXXX.lumigrove-part", the name of a temporary file of <name>, shortened (at
// a UTF-8 character boundary) when the whole would be longer than a file name may be.
std::string temporary_name(std::string name) {
  const size_t room = kName_Max - 2 - kRandom_Letters - kSuffix_Size;  // "." before, "." after
  if (name.size() > room) {
    size_t cut = room;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
  }
  std::string random(kRandom_Letters, 'x');
  for (char& c : random)
    c = kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))];
  return '.' + name + '.' + random + kTemporary_Suffix;
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

QString absolute_clean(const QString& path) {
  return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// The folder whose own-folder rule covers `path`: the one asked for, else the program's
// folder when the path lies below it; empty when the file is not the program's own.
QString own_folder_of(const QString& path, const QString& asked) {
  if (!asked.isEmpty()) return asked;
  const QString folder = Program_Folder();
  return !folder.isEmpty() && Lies_Below(path, folder) ? folder : QString();
}

int remove_stale_in(int dir_fd, const std::function<bool(std::string_view name)>& replacing);

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

void Set_Program_Folder(const QString& folder) {
  QMutexLocker lock(&program_folder_mutex);
  program_folder = folder.isEmpty() ? QString() : absolute_clean(folder);
}

QString Program_Folder() {
  QMutexLocker lock(&program_folder_mutex);
  return program_folder;
}

bool Lies_Below(const QString& path, const QString& folder) {
  if (path.isEmpty() || folder.isEmpty()) return false;
  const QString inside = absolute_clean(path);
  QString above = absolute_clean(folder);
  if (!above.endsWith(QLatin1Char('/'))) above += QLatin1Char('/');
  return inside.size() > above.size() && inside.startsWith(above);
}

QString Linked_Folder_Below(const QString& folder, const QString& path, bool include_path) {
  if (!Lies_Below(path, folder)) return {};
  const QString above = absolute_clean(folder);
  const QString inside = absolute_clean(path);
  QStringList parts = inside.mid(above.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
  if (!include_path && !parts.isEmpty()) parts.removeLast();
  QString walked = above;
  for (const QString& part : parts) {
    walked += QLatin1Char('/') + part;
    struct stat info {};
    if (::lstat(QFile::encodeName(walked).constData(), &info) != 0) return {};
    if (S_ISLNK(info.st_mode)) return walked;
  }
  return {};
}

QString Linked_Folder_Refusal(const QString& folder) {
  return QStringLiteral(
             "%1 is a symbolic link: the program writes nothing into a folder of its "
             "own that is a link")
      .arg(folder);
}

bool Make_Own_Folders(const QString& own_folder, const QString& path, QString* why) {
  auto refuse = [why](const QString& reason) {
    if (why) *why = reason;
    return false;
  };
  const QString above = absolute_clean(own_folder);
  const QString inside = absolute_clean(path);
  if (own_folder.isEmpty() || (inside != above && !Lies_Below(inside, above)))
    return refuse(QStringLiteral("%1 is not inside %2").arg(path, own_folder));
  if (!QDir().mkpath(above))
    return refuse(QStringLiteral("the folder %1 cannot be made").arg(above));
  int fd = ::open(QFile::encodeName(above).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return refuse(failure(QStringLiteral("opening %1").arg(above), errno));
  QString walked = above;
  for (const QString& folder :
       inside.mid(above.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
    walked += QLatin1Char('/') + folder;
    const QByteArray name = QFile::encodeName(folder);
    const bool made = ::mkdirat(fd, name.constData(), 0777) == 0;
    const int made_why = errno;
    const int next =
        ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const int why_not = errno;
    struct stat info {};
    const bool linked = next < 0 &&
                        ::fstatat(fd, name.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                        S_ISLNK(info.st_mode);
    ::close(fd);
    if (linked) return refuse(Linked_Folder_Refusal(walked));
    if (next < 0)
      return refuse(failure(QStringLiteral("making the folder %1").arg(walked),
                            made || made_why == EEXIST ? why_not : made_why));
    fd = next;
  }
  ::close(fd);
  return true;
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
  if (!open_folder()) return false;

  // A link that is replaced lends nothing of what it names (a new file's mode).
  struct stat existing {};
  // (A link written through was resolved to the file it names.)
  const bool exists =
      ::fstatat(folder_fd_, final_name_.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
  if (exists && S_ISDIR(existing.st_mode)) {
    discard();
    return fail(QStringLiteral("replacing a folder"), EISDIR);
  }
  const mode_t create_mode = options_.permissions ? mode_bits(*options_.permissions) : 0666;
  if (options_.remove_stale_temporaries && options_.durable) {
    const std::string_view target = final_name_;
    remove_stale_in(folder_fd_, [target](std::string_view name) { return name == target; });
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary_name_ = temporary_name(final_name_);
    fd_ = ::openat(folder_fd_, temporary_name_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC,
                   create_mode);
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
    temporary_name_.clear();
    discard();
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

// Opens the folder the file goes into. A file of the program's own: from its own folder down,
// each folder opened without following a link, and its own name replaced whatever it is. Any
// other: the folder of the file named, or of the file a link names when written through.
bool Whole_File_Writer::open_folder() {
  const QString own = own_folder_of(path_, options_.own_folder);
  if (own.isEmpty()) {
    final_path_ = QFile::encodeName(final_path(path_, options_.write_through_link)).toStdString();
    final_name_ = std::string(base_name(final_path_));
    folder_fd_ = ::open(folder_of(final_path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_fd_ < 0) return fail(QStringLiteral("creating the temporary file"), errno);
    return true;
  }
  if (!Lies_Below(path_, own)) return fail(QStringLiteral("creating the temporary file"), EINVAL);
  const QString above = absolute_clean(own);
  const QString inside = absolute_clean(path_);
  final_path_ = QFile::encodeName(inside).toStdString();
  QStringList folders = inside.mid(above.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
  final_name_ = QFile::encodeName(folders.takeLast()).toStdString();
  folder_fd_ = ::open(QFile::encodeName(above).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder_fd_ < 0) return fail(QStringLiteral("creating the temporary file"), errno);
  QString walked = above;
  for (const QString& folder : folders) {
    walked += QLatin1Char('/') + folder;
    const QByteArray name = QFile::encodeName(folder);
    const int next =
        ::openat(folder_fd_, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const int why = errno;
    if (next < 0) {
      struct stat info {};
      const bool linked = why == ELOOP || (::fstatat(folder_fd_, name.constData(), &info,
                                                     AT_SYMLINK_NOFOLLOW) == 0 &&
                                           S_ISLNK(info.st_mode));
      ::close(folder_fd_);
      folder_fd_ = -1;
      if (!linked) return fail(QStringLiteral("creating the temporary file"), why);
      error_ = Linked_Folder_Refusal(walked);
      setErrorString(error_);
      return false;
    }
    ::close(folder_fd_);
    folder_fd_ = next;
  }
  return true;
}

bool Whole_File_Writer::lock_and_keep_name() {
  int locked;
  do locked = ::flock(fd_, LOCK_EX);
  while (locked != 0 && errno == EINTR);
  // A file system without locks: the file is written all the same, and never taken for
  // a stale one (no run can lock it either).
  if (locked != 0) return true;
  struct stat opened {}, named {};
  return ::fstat(fd_, &opened) == 0 &&
         ::fstatat(folder_fd_, temporary_name_.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
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
  if (::renameat(folder_fd_, temporary_name_.c_str(), folder_fd_, final_name_.c_str()) != 0) {
    fail(QStringLiteral("replacing the file"), errno);
    discard();
    return false;
  }
  temporary_name_.clear();
  release_lock();
  QIODevice::close();
  bool synced = true;
  int why = 0;
  if (options_.durable && options_.sync_folder) {
    // The new file is in place; a folder that cannot be synced is still reported, since
    // the new name might not survive a crash. File systems that cannot sync a folder say
    // EINVAL: nothing is lost there.
    synced = sync_file(folder_fd_) == 0 || errno == EINVAL || errno == EROFS;
    why = errno;
  }
  ::close(folder_fd_);
  folder_fd_ = -1;
  if (!synced) return fail(QStringLiteral("syncing the folder"), why);
  return true;
}

void Whole_File_Writer::remove_temporary() {
  if (!temporary_name_.empty() && folder_fd_ >= 0)
    ::unlinkat(folder_fd_, temporary_name_.c_str(), 0);
  temporary_name_.clear();
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
  if (folder_fd_ >= 0) ::close(folder_fd_);
  folder_fd_ = -1;
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
  const int removed = remove_stale_in(dir_fd, replacing);
  ::close(dir_fd);
  return removed;
}

namespace {

int remove_stale_in(int folder_fd, const std::function<bool(std::string_view name)>& replacing) {
  // The listing reads through a descriptor of its own; the folder's stays the caller's.
  const int dir_fd = ::fcntl(folder_fd, F_DUPFD_CLOEXEC, 0);
  if (dir_fd < 0) return 0;
  ::lseek(dir_fd, 0, SEEK_SET);
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

}  // namespace
