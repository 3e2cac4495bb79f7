#pragma once
// The per-user resource folder (Resource_Path): a writable folder in the platform's
// application data location, seeded from the read-only resources the program ships.

#include <QString>
#include <QStringList>

// Where the shipped resources are: $LUMIGROVE_RESOURCES when set, else the folder the
// build was made from, else "../share/lumigrove/resources" beside the executable.
QString Shipped_Resources_Path();
// The resources the build generates (the user guide, the promotion pictures), or "" when
// there is no such folder or $LUMIGROVE_RESOURCES names the one folder to use.
QString Generated_Resources_Path();

// Makes `folder` (default: the application data location) the resource folder: creates
// it with default permissions, copies every shipped file that is missing there (files
// already present are the user's and stay, except the program's own mail script, which is
// replaced when it differs from the shipped one), and sets Resource_Path and
// Data_Folder_Path. Answers false when the folder cannot be created.
bool Prepare_Resource_Path(const QString& folder = {});

// The data folders below Resource_Path ("DataSet", "Background", "Fill_Style_Image",
// "LibraryImage", "Templates", "Templates/User") that are symbolic links, in that order (a
// folder inside a linked one is not listed again). The program reads them but writes
// nothing into them.
QStringList Linked_Data_Folders();
// What the user is told once at start when there are such folders; empty when none.
QString Linked_Data_Folders_Message(const QStringList& folders);
