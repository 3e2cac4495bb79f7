#pragma once
// Files written whole or not at all, the one way the program writes a file.
//
// The data goes into a temporary file beside the target (".<name>.XXXXXX.lumigrove-part",
// in the same folder, so that the rename cannot cross file systems), locked (flock) while
// it is written. A writer that is killed leaves its temporary file unlocked; the next
// writer into that folder removes such files (ours by their name, unlocked, so never one
// that another run is writing). Every write is checked, the file
// is flushed to the disk (fsync) and closed with its result checked, and only then renamed
// over the target; the folder is synced after the rename unless asked not to. Any failure
// removes the temporary file and leaves the target as it was, byte for byte; the reason
// names the step and the system's error ("writing failed: No space left on device").
// Nothing sits in a buffer that could fail after the writer has said it saved.
//
// A new file gets 0666 less the umask; a file replaced keeps its mode; a fixed mode (the
// settings file's 0600) is set on the temporary file before anything is written into it.
// A target that is a symbolic link is itself replaced by default: the new regular file is
// renamed over the link's name, and whatever the link named stays as it was. Files of the
// program's own folders are written so, since a link planted there must never direct a
// write elsewhere. Files the user names (a design, exported pictures, a workbook) ask for
// write_through_link: the file the link names is replaced and the link stays, as desktop
// editors do with a user's linked files.
//
// A file that lies in the program's own folders (below own_folder, or below the folder
// Set_Program_Folder named) is the program's whatever its writer asks: a link at its name is
// replaced, and no folder on the way down to it may be a link: a planted link must not
// carry the write elsewhere, so such a write is refused and says which folder is a link.
// The own folder itself may be a link (the user's arrangement of his home). The folders
// are opened one by one without following links, and the temporary file is made and renamed
// in the folder so opened: a link put in place meanwhile is not followed either.
//
// Safe on any thread; one writer is used by one thread at a time.

#include <QByteArrayView>
#include <QFileDevice>
#include <QIODevice>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

struct Whole_File_Options {
  // The file's mode, whatever the umask or the replaced file had (e.g. owner-only).
  std::optional<QFileDevice::Permissions> permissions;
  // Sync the folder after the rename, so that the new name survives a crash too. Files
  // made by the hundred (a batch of card pictures) may leave it to the system.
  bool sync_folder = true;
  // False for scratch files (an unpack folder): written whole and checked all the same,
  // but neither the file nor its folder is synced, as nothing is lost in a crash.
  bool durable = true;
  // For files the user names: a symbolic link is followed and the file it names replaced.
  bool write_through_link = false;
  // Remove the temporary files killed writers left in the folder (durable files only).
  // Writers of many files into one folder (a batch of card pictures) call
  // Remove_Stale_Temporary_Files once instead.
  bool remove_stale_temporaries = true;
  // The program's own folder the file lies below (an export folder the program made in the
  // user's folder): the own folders' rule above. Empty: the folder Set_Program_Folder names,
  // when the file lies below it.
  QString own_folder;
};

// The folder whose files and folders are all the program's own (the resource folder): every
// file written below it follows the own folders' rule, whoever writes it. Empty: none.
void Set_Program_Folder(const QString& folder);
QString Program_Folder();

// True when `path` lies below `folder` (both made absolute and clean; no link is resolved).
bool Lies_Below(const QString& path, const QString& folder);
// The first folder below `folder` on the way down to `path` (both as for Lies_Below) that is
// a symbolic link, `path` itself included when `include_path`; empty when there is none.
QString Linked_Folder_Below(const QString& folder, const QString& path, bool include_path = true);
// The reason a write into a linked folder of the program's own is refused.
QString Linked_Folder_Refusal(const QString& folder);
// Makes `path` and the folders above it up to `own_folder` (which is made as QDir::mkpath
// does) when missing, going down folder by folder without following a link: a link on the
// way is refused (Linked_Folder_Refusal in *why), as is anything there that is no folder.
bool Make_Own_Folders(const QString& own_folder, const QString& path, QString* why = nullptr);

// Removes from the folder the temporary files of writers that were ended before they could
// remove them (killed, crashed, the power gone): files named as ours that no writer holds
// locked. Answers how many were removed.
// Earlier builds named their temporary files ".<name>.XXXXXX", without our suffix; a name of
// that pattern is anybody's, so such a file is removed only when `replacing` answers true
// for its <name>: the caller is about to replace that very file, so a hidden file of that
// pattern beside it is a killed write of it (and, like ours, it must be regular and unlocked).
int Remove_Stale_Temporary_Files(
    const QString& folder, const std::function<bool(std::string_view name)>& replacing = {});

// Writes the bytes as the whole file. False, with the reason in *error, when anything
// failed; the target is then untouched.
bool Write_Whole_File(const QString& path, QByteArrayView data, QString* error = nullptr,
                      const Whole_File_Options& options = {});

// For tests: the calls that flush a written file to the disk (its own sync and its folder's)
// and that close it, fsync and close unless replaced, so that a test can make them fail as a
// failing disk does. nullptr puts the system's own back; the call replaced is answered.
// Replace them only while no file is being written.
using Whole_File_System_Call = int (*)(int fd);
Whole_File_System_Call Replace_Whole_File_Sync(Whole_File_System_Call sync);
Whole_File_System_Call Replace_Whole_File_Close(Whole_File_System_Call close);

// Copies a regular file whole onto `to` the same way. The reason names the side that
// failed ("reading ...", or a step of the write).
bool Copy_Whole_File(const QString& from, const QString& to, QString* error = nullptr,
                     const Whole_File_Options& options = {});

// The streaming form: a random-access device (write, seek back, read what was written) for
// writers that produce their data piece by piece: QImageWriter, minizip's I/O callbacks,
// XML written as it is made. Writes are gathered in a buffer of its own and written out in
// large pieces; the first failure sticks (every later write answers -1) and commit() then
// refuses. Destroyed or closed without commit(), the temporary file goes and the target
// stays.
class Whole_File_Writer : public QIODevice {
 public:
  explicit Whole_File_Writer(const QString& path, const Whole_File_Options& options = {});
  ~Whole_File_Writer() override;

  // Creates the temporary file; mode is WriteOnly or ReadWrite (Unbuffered is implied).
  bool open(OpenMode mode = QIODevice::ReadWrite) override;
  // Writes everything out, syncs, closes and renames over the target. False, with the
  // reason in error_string(), when the file is not whole on disk; the target then stays.
  bool commit();
  // Throws the written data away; the target stays.
  void discard();
  // Same as discard(): only commit() puts a file in place.
  void close() override;

  bool isSequential() const override { return false; }
  qint64 size() const override { return size_; }
  bool seek(qint64 pos) override;

  // The target as given, and the file that is replaced (a link's target when written
  // through links).
  QString path() const { return path_; }
  bool failed() const { return !error_.isEmpty(); }
  // The reason of the first failure: the step and the system's error text; empty while
  // nothing failed.
  QString error_string() const { return error_; }

 protected:
  qint64 readData(char* data, qint64 max_size) override;
  qint64 writeData(const char* data, qint64 size) override;

 private:
  bool fail(const QString& step, int error_number);
  bool flush_buffer();
  bool put(const char* data, qint64 size, qint64 offset);
  bool lock_and_keep_name();
  bool open_folder();
  void release_lock();
  void remove_temporary();

  QString path_;
  Whole_File_Options options_;
  std::string final_path_;  // the file replaced, encoded for the system
  std::string final_name_;  // its name in folder_fd_
  std::string temporary_name_;  // the temporary file's name in folder_fd_
  int folder_fd_ = -1;          // the folder the file is written into
  int fd_ = -1;
  int lock_fd_ = -1;  // holds the lock from the close to the rename
  std::string buffer_;
  qint64 buffer_offset_ = 0;  // where the buffer's first byte goes in the file
  qint64 device_pos_ = 0;     // where the next write or read goes
  qint64 size_ = 0;
  QString error_;
};
