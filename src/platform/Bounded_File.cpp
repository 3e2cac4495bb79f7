#include "platform/Bounded_File.h"

#include <QDir>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }

QString system_error(int error_number) {
  return QString::fromLocal8Bit(std::strerror(error_number));
}

// Opens without blocking (a FIFO without a writer would wait for ever), checks the kind of
// file on the descriptor itself (no race with a rename), then reads blocking as usual.
int open_regular(const QString& path, struct stat* info, QString* error) {
  const QByteArray name = QFile::encodeName(path);
  const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    if (error) *error = QStringLiteral("%1 cannot be read: %2").arg(shown(path), system_error(errno));
    return -1;
  }
  if (::fstat(fd, info) != 0) {
    const int saved = errno;
    ::close(fd);
    if (error) *error = QStringLiteral("%1 cannot be read: %2").arg(shown(path), system_error(saved));
    return -1;
  }
  if (!S_ISREG(info->st_mode)) {
    ::close(fd);
    if (error) {
      *error = S_ISDIR(info->st_mode) ? QStringLiteral("%1 is a folder, not a file").arg(shown(path))
                                      : QStringLiteral("%1 is not a regular file").arg(shown(path));
    }
    return -1;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

}  // namespace

QString Bounded_File_Size_Text(qint64 bytes) {
  constexpr qint64 kilo = 1024, mega = 1024 * 1024;
  if (bytes >= mega && bytes % mega == 0) return QStringLiteral("%1 MB").arg(bytes / mega);
  if (bytes >= kilo && bytes % kilo == 0) return QStringLiteral("%1 KB").arg(bytes / kilo);
  return QStringLiteral("%1 bytes").arg(bytes);
}

bool Read_Bounded_File(const QString& path, qint64 max_bytes, QByteArray* out, QString* error) {
  out->clear();
  struct stat info {};
  const int fd = open_regular(path, &info, error);
  if (fd < 0) return false;
  const auto too_large = [&] {
    ::close(fd);
    out->clear();
    if (error) {
      *error = QStringLiteral("%1 is larger than %2, more than a file of this kind holds")
                   .arg(shown(path), Bounded_File_Size_Text(max_bytes));
    }
    return false;
  };
  if (info.st_size > max_bytes) return too_large();
  // The size may change while reading: read at most one byte past the limit to notice.
  out->resize(qsizetype(info.st_size));
  qint64 filled = 0;
  for (;;) {
    if (filled == out->size()) {
      if (filled > max_bytes) return too_large();
      const qint64 grown = std::min<qint64>(max_bytes + 1, std::max<qint64>(filled * 2, filled + 65536));
      if (grown <= filled) return too_large();
      out->resize(qsizetype(grown));
    }
    const ssize_t got = ::read(fd, out->data() + filled, size_t(out->size() - filled));
    if (got < 0) {
      if (errno == EINTR) continue;
      const int saved = errno;
      ::close(fd);
      out->clear();
      if (error) *error = QStringLiteral("%1 cannot be read: %2").arg(shown(path), system_error(saved));
      return false;
    }
    if (got == 0) break;
    filled += got;
  }
  ::close(fd);
  if (filled > max_bytes) return too_large();
  out->resize(qsizetype(filled));
  return true;
}

bool Open_Regular_File(QFile& file, const QString& path, QString* error) {
  if (file.isOpen()) file.close();
  struct stat info {};
  const int fd = open_regular(path, &info, error);
  if (fd < 0) return false;
  file.setFileName(path);
  if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    if (error) *error = QStringLiteral("%1 cannot be read: %2").arg(shown(path), file.errorString());
    return false;
  }
  return true;
}
