#pragma once
// Card templates: a preview picture ("png" or "jpg") and a design file ("dcard") with the
// same base name. Built-in templates lie in Resource_Path/"Templates", the user's own in
// its sub-folder "User". The file work of the template library and of the template-name
// window lives here, free of widgets.

#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>

// Last name the template-name window accepted (reserved characters removed).
extern QString export_template_name;
// Numbers the browser identities of user templates ("TEMP%llu.png"); only grows.
extern std::atomic<std::uint64_t> User_Defined_File;

QString Templates_Folder();       // Resource_Path + "/Templates"
QString User_Templates_Folder();  // Resource_Path + "/Templates/User"

// The previews of a folder: files whose extension, lower-cased, is "png" or "jpg", sorted
// by name (full paths). A missing folder, or a path that is not a folder, answers none.
QStringList List_Template_Previews(const QString& folder);

// The design file beside a preview: the same path with the extension "dcard".
QString Template_Design_Path(const QString& preview_path);

// The first free copy name of a preview: "<base> (copy n).<ext>" for n = 1, 2, ... in the
// preview's folder, where no file of that name exists.
QString Create_New_File_Path(const QString& preview_path);

// Outcome of a file operation on a template; reason is empty on success.
struct Template_Result {
  bool ok = false;
  QString reason;
};

// Deletes the preview and its design file.
Template_Result Delete_Template(const QString& preview_path);
// Copies the preview and the design file to the preview path given and its design path.
// Both copies are made or neither: a failed copy removes what it made.
Template_Result Copy_Template(const QString& preview_path, const QString& new_preview_path);
// Gives the user template a new name (the preview becomes "<name>.png", content unchanged;
// the design "<name>.dcard"). The old files are deleted only after both copies were made;
// a failed copy keeps the template as it was. Renaming to the current name changes nothing.
Template_Result Rename_Template(const QString& preview_path, const QString& new_name);

// What the template-name window does with a name.
struct Template_Name_Check {
  enum class Verdict {
    Refuse,          // show message, keep the window open
    Ask_Replace,     // ask message (Yes accepts, No keeps the window open)
    Accept,          // accepted_name is the name to store
  };
  Verdict verdict = Verdict::Refuse;
  QString message;
  QString accepted_name;
};
// Checks the typed name against the current name (empty for a new template) and the user
// folder. Names that are empty after trimming and removing reserved characters at their
// ends, or that are not a valid file name (Is_Valid_File_Name), are refused with
// "Please enter template name.".
Template_Name_Check Check_Template_Name(const QString& typed, const QString& current_name,
                                        const QString& user_folder);
