#include "library/Templates.h"

#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "platform/Whole_File.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString export_template_name;
std::atomic<std::uint64_t> User_Defined_File{0};

QString Templates_Folder() { return Resource_Path + QStringLiteral("/Templates"); }
QString User_Templates_Folder() { return Templates_Folder() + QStringLiteral("/User"); }

QStringList List_Template_Previews(const QString& folder) {
  QStringList previews;
  const QFileInfo info(folder);
  if (folder.isEmpty() || !info.isDir()) return previews;
  const QDir dir(folder);
  for (const QFileInfo& entry :
       dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)) {
    const QString ext = entry.suffix().toLower();
    if (ext == QLatin1String("png") || ext == QLatin1String("jpg"))
      previews.append(dir.filePath(entry.fileName()));
  }
  return previews;
}

namespace {

QString with_extension(const QString& path, const QString& ext) {
  const QFileInfo info(path);
  return info.dir().filePath(info.completeBaseName() + QLatin1Char('.') + ext);
}

// Copies a file whole: the target appears only once all of it reached the disk.
bool copy_whole(const QString& from, const QString& to, QString* reason) {
  QString why;
  if (Copy_Whole_File(from, to, &why)) return true;
  *reason = QStringLiteral("%1: %2").arg(to, why);
  return false;
}

// Both files of a template to new paths; on failure nothing new is left behind.
Template_Result copy_pair(const QString& preview, const QString& design,
                          const QString& new_preview, const QString& new_design) {
  Template_Result result;
  const bool preview_existed = QFileInfo::exists(new_preview);
  if (!copy_whole(preview, new_preview, &result.reason)) return result;
  if (!copy_whole(design, new_design, &result.reason)) {
    if (!preview_existed) QFile::remove(new_preview);
    return result;
  }
  result.ok = true;
  return result;
}

}  // namespace

QString Template_Design_Path(const QString& preview_path) {
  return with_extension(preview_path, design_file_EXT);
}

QString Create_New_File_Path(const QString& preview_path) {
  const QFileInfo info(preview_path);
  const QString base = info.completeBaseName();
  const QString ext = info.suffix();
  QString candidate;
  for (int n = 1; n < 1000000; ++n) {
    candidate = info.dir().filePath(QStringLiteral("%1 (copy %2).%3").arg(base).arg(n).arg(ext));
    if (!QFileInfo::exists(candidate)) break;
  }
  return candidate;
}

Template_Result Delete_Template(const QString& preview_path) {
  Template_Result result;
  const QString design = Template_Design_Path(preview_path);
  Delete_File(preview_path);
  Delete_File(design);
  result.ok = !QFileInfo::exists(preview_path) && !QFileInfo::exists(design);
  if (!result.ok) result.reason = QStringLiteral("The template's files could not be deleted.");
  return result;
}

Template_Result Copy_Template(const QString& preview_path, const QString& new_preview_path) {
  return copy_pair(preview_path, Template_Design_Path(preview_path), new_preview_path,
                   Template_Design_Path(new_preview_path));
}

Template_Result Rename_Template(const QString& preview_path, const QString& new_name) {
  const QFileInfo info(preview_path);
  if (new_name == info.completeBaseName()) return {true, {}};
  const QString base = User_Templates_Folder() + QLatin1Char('/') + new_name;
  const QString new_preview = base + QStringLiteral(".png");
  const QString new_design = base + QLatin1Char('.') + design_file_EXT;
  Template_Result result =
      copy_pair(preview_path, Template_Design_Path(preview_path), new_preview, new_design);
  if (!result.ok) return result;
  // A "jpg" preview renamed to "png" must not delete the new file when the paths agree.
  if (QFileInfo(preview_path).absoluteFilePath() != QFileInfo(new_preview).absoluteFilePath())
    Delete_File(preview_path);
  Delete_File(Template_Design_Path(preview_path));
  return result;
}

Template_Name_Check Check_Template_Name(const QString& typed, const QString& current_name,
                                        const QString& user_folder) {
  Template_Name_Check check;
  const QString name = Remove_Reserve_Char_In_File_Name(Trim_Str(typed));
  if (!Is_Valid_File_Name(name)) {
    check.message = QStringLiteral("Please enter template name.");
    return check;
  }
  const QString current = Trim_Str(current_name);
  const bool exists =
      QFileInfo::exists(user_folder + QLatin1Char('/') + name + QLatin1Char('.') + design_file_EXT);
  if (current.isEmpty() && exists) {
    check.verdict = Template_Name_Check::Verdict::Ask_Replace;
    check.message = QStringLiteral(
        "Template with this name already exists, Do you want to replace the existing template?");
  } else if (!current.isEmpty() && name != current && exists) {
    check.message = QStringLiteral("Template with this name already exists.");
    return check;
  } else {
    check.verdict = Template_Name_Check::Verdict::Accept;
  }
  check.accepted_name = Remove_Reserve_Char_In_File_Name(name);
  return check;
}
