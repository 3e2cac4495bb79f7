#pragma once
// Zip archives on minizip: unpacking a whole archive into a folder, and packing files and
// folders into a new archive. Workbooks (.xlsx) and OpenDocument spreadsheets (.ods) are
// zip packages.
//
// Unpacking reads only a regular file, checked on the opened file (a FIFO or a device is
// refused at once, without blocking), and refuses, before anything is written, an archive
// whose entry names would leave the destination folder (absolute names, drive letters, ".."
// components) or that holds more entries or more unpacked bytes than the limits allow; a
// damaged entry and a failed write are errors; unpacked files are written whole (Whole_File_Writer). Archives are
// written whole or not at all: the new file replaces an old one only when close()
// succeeds, once every byte reached the disk. Entry names are written as UTF-8 and say so.

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <zip.h>

#include <functional>
#include <memory>

class QFile;
class Whole_File_Writer;

// An error of the zip archives, in the domain "Zip_ArchiveErrorDomain".
struct Zip_Error {
  QString domain;
  long code = 0;
  QString localizedDescription;
};

// What an unpack may produce at most. The entries an unpack passes over (not `wanted`) are
// counted among the entries but never unpacked, so their sizes do not count.
struct Zip_Limits {
  qint64 max_entries = 10000;
  qint64 max_total_bytes = qint64(1) << 30;  // 1 GiB, the entries unpacked together
  qint64 max_entry_bytes = qint64(1) << 30;  // one entry unpacked
};

// Entries an unpack keeps in memory instead of writing them: `keep` picks them by their path
// below the destination (among the wanted ones); their bytes land in `entries` under that
// path, checked and counted against the limits like written ones. With `max_bytes` set, an
// entry is kept only while the unpacked sizes the kept entries declare stay within it
// together (an entry holds no more than it declares); the others are written.
struct Zip_Memory_Entries {
  std::function<bool(const QString& entry)> keep;
  qint64 max_bytes = -1;  // -1: no limit
  QHash<QString, QByteArray> entries;
};

class Zip_Archive {
 public:
  static const QString ErrorDomain;  // "Zip_ArchiveErrorDomain"
  enum Error_Code : long {
    Open_Failed = -1,        // "failed to open zip file"
    No_First_File = -2,      // "failed to open first file in zip file"
    Unsafe_Entry_Name = -3,  // an entry would be written outside the destination
    Too_Large = -4,          // more entries or unpacked bytes than the limits allow
    Damaged_Entry = -5,      // an entry cannot be opened, read or fails its check
    Write_Failed = -6,       // an unpacked file or folder cannot be written
  };

  using Limits = Zip_Limits;

  // Unpacks every entry into `destination` (created when missing). Existing files are
  // replaced only when `overwrite` is set; folders are always created. A non-empty
  // password opens the entries with it. On failure `error` (when given) says why; the
  // entries unpacked before a failure stay (always inside the destination).
  // `wanted`, when given, picks the entries to unpack by their path below the destination;
  // the others are checked for their names, but neither inflated nor written. The limits
  // are checked on the sizes the entries declare before anything is unpacked, and no entry
  // gives more than it declares. `in_memory`, when given, takes the
  // entries its `keep` picks instead of the folder (no file or folder is made for them).
  static bool unzipFileAtPath(const QString& path, const QString& destination, bool overwrite,
                              const QString& password, Zip_Error* error,
                              const Zip_Limits& limits = Zip_Limits(),
                              const std::function<bool(const QString& entry)>& wanted = {},
                              Zip_Memory_Entries* in_memory = nullptr);
  static bool unzipFileAtPath(const QString& path, const QString& destination);

  // A new archive at `path` holding each listed file or folder under its own name (a
  // folder with everything in it). False, no archive written and the reason in *error,
  // when the archive cannot be created or written or any item cannot be read.
  static bool createZipFileAtPath(const QString& path, const QStringList& paths,
                                  QString* error = nullptr);
  static bool createZipFileAtPath(const QString& path, const QString& item_path,
                                  QString* error = nullptr);

  // Midnight of 1 January 1980 in the local time zone, where zip dates begin.
  static QDateTime _dateFor1980();

  // Packing entry by entry: open(), any number of writeFile() and writeData(), close().
  explicit Zip_Archive(const QString& path);
  ~Zip_Archive();
  Zip_Archive(const Zip_Archive&) = delete;
  Zip_Archive& operator=(const Zip_Archive&) = delete;

  bool open();
  // Adds base_path + "/" + name under the entry name `name`: a file as one entry, a folder
  // with all its items (hidden ones too) under "name/...", an empty folder as "name/".
  // Entries carry no date. `compress` false stores the data as it is.
  bool writeFile(const QString& name, const QString& base_path, bool compress = true);
  // Adds the bytes under the entry name, dated now. False for no bytes.
  bool writeData(const QByteArray& data, const QString& filename);
  // Finishes the archive and puts it in place; false when anything failed.
  bool close();
  // Why open(), a write or close() failed; empty while nothing did.
  QString errorString() const;

  // Fills the date part of an entry's information record from the date, in local time.
  static void zipInfo(zip_fileinfo* info, const QDateTime& date);

 private:
  bool add_entry(const QString& name, const zip_fileinfo* info, bool compress, qint64 size);
  bool write_blocks(const QString& name, QFile& in);
  // Marks the archive failed; the first reason is kept.
  void note(const QString& reason);
  void keep_file_error();

  QString _path;
  zipFile _zip = nullptr;
  std::unique_ptr<Whole_File_Writer> file_;
  bool failed_ = false;
  QString error_;
  bool closed_ = false;
};
