#pragma once
// Reading files that may not be what their name says: every reader of a file a user or a
// design names goes through here. Only regular files are taken (a FIFO, a device such as
// /dev/zero or a folder is refused at once, without blocking on the open), and a file larger
// than the reader's limit is refused before anything is allocated for it.
//
// Safe on any thread.

#include <QByteArray>
#include <QFile>
#include <QString>

// Reads the whole regular file of at most max_bytes into *out. False, with the reason in
// *error ("... is not a regular file", "... is larger than 256 MB", or the system's error),
// when it is not read; *out is then empty.
bool Read_Bounded_File(const QString& path, qint64 max_bytes, QByteArray* out,
                       QString* error = nullptr);

// Opens a regular file for reading, for readers that stream it; the file is opened read-only
// and unbuffered reads go through QFile as usual. False, with the reason, for anything that
// is not a regular file or cannot be opened; `file` is then closed.
bool Open_Regular_File(QFile& file, const QString& path, QString* error = nullptr);

// The limit written for people: "256 MB", "64 KB", "12 bytes".
QString Bounded_File_Size_Text(qint64 bytes);
