#include "model/Resource_Folder.h"

#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "platform/Bounded_File.h"
#include "platform/Whole_File.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <filesystem>
#include <system_error>

#ifndef LUMIGROVE_SHIPPED_RESOURCES
#define LUMIGROVE_SHIPPED_RESOURCES ""
#endif
#ifndef LUMIGROVE_GENERATED_RESOURCES
#define LUMIGROVE_GENERATED_RESOURCES ""
#endif

QString Shipped_Resources_Path() {
  const QString env = qEnvironmentVariable("LUMIGROVE_RESOURCES");
  if (!env.isEmpty()) return env;
  const QString built = QStringLiteral(LUMIGROVE_SHIPPED_RESOURCES);
  if (!built.isEmpty() && QFileInfo(built).isDir()) return built;
  if (QCoreApplication::instance())
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../share/lumigrove/resources");
  return {};
}

QString Generated_Resources_Path() {
  // A resource folder named by the environment holds everything itself.
  if (!qEnvironmentVariable("LUMIGROVE_RESOURCES").isEmpty()) return {};
  const QString built = QStringLiteral(LUMIGROVE_GENERATED_RESOURCES);
  if (!built.isEmpty() && QFileInfo(built).isDir()) return built;
  return {};
}

namespace {

// Files that are the program's own, not the user's: a copy that differs from the shipped
// one (an older version) is replaced, so that a mended file reaches every user.
bool is_program_file(const QString& relative) {
  return relative == QLatin1String("pyth_mail.py");
}

// True when both are regular files of the same bytes (program files are small: read whole
// only up to a megabyte).
bool same_contents(const QString& a, const QString& b) {
  constexpr qint64 limit = 1024 * 1024;
  const QFileInfo ia(a), ib(b);
  if (ia.isSymLink() || ib.isSymLink() || ia.size() != ib.size()) return false;
  QByteArray da, db;
  return Read_Bounded_File(a, limit, &da) && Read_Bounded_File(b, limit, &db) && da == db;
}

bool seed_from(const QString& shipped, const QString& target) {
  if (shipped.isEmpty() || !QFileInfo(shipped).isDir()) return true;
  bool all = true;
  // Folders of ours that are links: nothing is copied into them, and that is said once.
  QStringList linked;
  auto under_linked = [&linked](const QString& path) {
    return std::any_of(linked.begin(), linked.end(), [&path](const QString& folder) {
      return path == folder || path.startsWith(folder + QLatin1Char('/'));
    });
  };
  const QDir source(shipped);
  QDirIterator it(shipped, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    const QString relative = source.relativeFilePath(path);
    if (relative.startsWith(QLatin1Char('.'))) continue;  // placeholders such as .keep
    const QString destination = target + QLatin1Char('/') + relative;
    const QFileInfo info = it.fileInfo();
    if (!info.isDir() && info.fileName().startsWith(QLatin1Char('.'))) continue;
    const QString folder = info.isDir() ? destination : QFileInfo(destination).absolutePath();
    if (under_linked(folder)) continue;
    QString why;
    if (!Make_Own_Folders(target, folder, &why)) {
      if (const QString link = Linked_Folder_Below(target, folder); !link.isEmpty()) {
        linked << link;
        Show_NSLog_Message(why + QStringLiteral("; the shipped files are not copied into it."));
      } else {
        Show_NSLog_Message(QStringLiteral("Could not create the folder %1: %2").arg(folder, why));
        all = false;
      }
      continue;
    }
    if (info.isDir()) continue;
    const bool present = QFileInfo::exists(destination) || QFileInfo(destination).isSymLink();
    if (present && (!is_program_file(relative) || same_contents(path, destination))) continue;
    // A file is there whole or not at all. Its name need not outlive a crash: a copy that
    // is missing is made again at the next start. A program file behind a link is replaced.
    Whole_File_Options options;
    options.sync_folder = false;
    options.own_folder = target;
    if (!Copy_Whole_File(path, destination, &why, options)) {
      Show_NSLog_Message(QStringLiteral("Could not copy the resource %1: %2").arg(relative, why));
      all = false;
      continue;
    }
    // Shipped files may be read-only; the user's copies are theirs to change.
    QFile::setPermissions(destination, QFile::permissions(destination) | QFile::WriteOwner);
  }
  return all;
}

}  // namespace

bool Prepare_Resource_Path(const QString& folder) {
  QString path = folder;
  if (path.isEmpty()) path = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  if (path.isEmpty()) return false;
  path = QDir::cleanPath(QDir(path).absolutePath());
  if (!QDir().mkpath(path)) {
    Show_NSLog_Message(QStringLiteral("Could not create the resource folder %1").arg(path));
    return false;
  }
  seed_from(Shipped_Resources_Path(), path);
  seed_from(Generated_Resources_Path(), path);
  Resource_Path = path;
  // Every file below it is the program's own: a link there is replaced, never written through.
  Set_Program_Folder(path);
  Data_Folder_Path = Resource_Path + QStringLiteral("/DataSet");
  return true;
}

QStringList Linked_Data_Folders() {
  QStringList linked;
  if (Resource_Path.isEmpty()) return linked;
  for (const char* name : {"DataSet", "Background", "Fill_Style_Image", "LibraryImage", "Templates",
                           "Templates/User"}) {
    const QString link =
        Linked_Folder_Below(Resource_Path, Resource_Path + QLatin1Char('/') + QLatin1String(name));
    if (!link.isEmpty() && !linked.contains(link)) linked << link;
  }
  return linked;
}

QString Linked_Data_Folders_Message(const QStringList& folders) {
  if (folders.isEmpty()) return {};
  return QStringLiteral(
             "These data folders are symbolic links. Their contents are used, but "
             "nothing is written into them: templates, series and pictures cannot "
             "be saved there.\n\n") +
         folders.join(u'\n');
}
