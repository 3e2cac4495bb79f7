#include "model/Common_Functions.h"

#include "model/Shared_Design_State.h"
#include "platform/Platform.h"
#include "platform/Whole_File.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QUrl>

// Developer notes are silent by default; QT_LOGGING_RULES="lumigrove.info=true" shows them.
// Warnings of the category stay visible.
Q_LOGGING_CATEGORY(lumigroveLog, "lumigrove", QtWarningMsg)

void Show_MessageBox(const QString& text) { platform::Message_Box(QStringLiteral("\n") + text); }

bool Show_YES_NO_MessageBox(const QString& text) {
  const bool yes = platform::Yes_No_Box(text);
  yes_no_msg_val = yes;
  return yes;
}

void Show_NSLog_Message(const QString& text) {
  if (text.isEmpty()) return;
  qCInfo(lumigroveLog).noquote() << text;
}

namespace {

bool is_control(QChar c) {
  const QChar::Category cat = c.category();
  return cat == QChar::Other_Control || cat == QChar::Other_Format;
}

template <typename Pred>
QString trim_ends(const QString& text, Pred drop) {
  qsizetype start = 0, end = text.size();
  while (start < end && drop(text.at(start))) ++start;
  while (end > start && drop(text.at(end - 1))) --end;
  return text.mid(start, end - start);
}

bool is_reserved(QChar c) {
  static const QString reserved = QStringLiteral("/\\?%*|\"<>");
  return reserved.contains(c);
}

}  // namespace

QString Trim_Str(const QString& text) {
  if (text.isNull()) return {};
  const QString spaced = trim_ends(text, [](QChar c) { return c.isSpace(); });
  return trim_ends(spaced, is_control);
}

QString Replace_Char_For_valid(const QString& text) { return Trim_Str(text); }

QString Remove_Reserve_Char_In_File_Name(const QString& name) {
  if (name.isNull()) return {};
  return Trim_Str(trim_ends(name, is_reserved));
}

bool Is_Valid_File_Name(const QString& name) {
  if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) return false;
  return !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
         !name.contains(QChar(0));
}

QString Left_Str_substringToIndex(const QString& text, int n) {
  if (text.isNull()) return {};
  if (n >= text.size()) return text;
  return text.left(std::max(n, 0));
}

QString Right_Str_substringFromIndex(const QString& text, int n) {
  if (text.isNull()) return {};
  if (n >= text.size()) return text;
  if (n <= 0) return QStringLiteral("");
  return text.mid(text.size() - n);
}

QString Read_Str_FromIndex(const QString& text, int index) {
  if (index < 0 || index >= text.size()) return QStringLiteral("");
  return text.mid(index);
}

QString Replace_char_in_string(const QString& text, const QString& target,
                               const QString& replacement) {
  if (text.isNull()) return {};
  if (target.isEmpty()) return text;
  QString result = text;
  return result.replace(target, replacement, Qt::CaseSensitive);
}

bool Find_Str(const QString& text, const QString& part) {
  if (text.isNull() || part.isEmpty()) return false;
  return text.contains(part, Qt::CaseSensitive);
}

bool Check_Path_And_Create_Files() {
  if (Resource_Path.isEmpty()) {
    Show_NSLog_Message(QStringLiteral("No resource folder: the data folders cannot be made."));
    return false;
  }
  const QStringList folders = {
      Data_Folder_Path.isEmpty() ? Resource_Path + QStringLiteral("/DataSet") : Data_Folder_Path,
      Resource_Path + QStringLiteral("/Background"),
      Resource_Path + QStringLiteral("/Fill_Style_Image"),
      Resource_Path + QStringLiteral("/LibraryImage"),
      Resource_Path + QStringLiteral("/Templates"),
      Resource_Path + QStringLiteral("/Templates/User"),
  };
  bool all = true;
  for (const QString& folder : folders) {
    // A data folder that is a link is left as it is: read, never written into (the writers
    // refuse it), and nothing is made inside it.
    if (!Linked_Folder_Below(Resource_Path, folder).isEmpty()) continue;
    if (QFileInfo(folder).isDir()) continue;
    QString why;
    if (!Make_Own_Folders(Resource_Path, folder, &why)) {
      Show_NSLog_Message(QStringLiteral("Could not create the folder %1: %2").arg(folder, why));
      all = false;
    }
  }
  return all;
}

bool Delete_File(const QString& path) {
  if (path.isEmpty()) return false;
  // Nothing is removed through a linked folder of the program's own.
  if (const QString linked = Linked_Folder_Below(Program_Folder(), path, false);
      !linked.isEmpty()) {
    Show_NSLog_Message(Linked_Folder_Refusal(linked));
    return false;
  }
  const QFileInfo info(path);
  if (!info.exists() && !info.isSymLink()) return false;
  if (info.isDir() && !info.isSymLink()) return QDir(path).removeRecursively();
  return QFile::remove(path);
}

void Open_Help_File() {
  const QString help = Resource_Path + QStringLiteral("/Help.pdf");
  if (!QFileInfo::exists(help)) {
    Show_MessageBox(QStringLiteral("Help file does not exist!"));
    return;
  }
  platform::Open_Url(QUrl::fromLocalFile(help), [help] {
    Show_MessageBox(QStringLiteral("The user guide could not be opened: no program to show PDF "
                                   "files was found, or it failed.\n\n"
                                   "The user guide is the file\n%1")
                        .arg(QDir::toNativeSeparators(help)));
  });
}
