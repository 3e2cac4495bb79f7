#pragma once
// Writes that fail the way they fail on a full disk, without root: the writer runs in a
// forked child whose files may not grow past a limit (RLIMIT_FSIZE, with SIGXFSZ ignored),
// so that every write beyond the limit fails with EFBIG ("File too large"). Buffered data
// that only reaches the disk when a file is closed fails there too, as it does when the
// disk fills up.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace test_support {

struct Limited_Write {
  bool finished = false;  // the child ran to its end (no crash, no runaway, no deadlock)
  bool written = false;   // what the writer answered
  QString reason;         // the reason it gave, or what the child sent back
};

// Runs `write` in a forked child whose files may hold at most `limit` bytes and waits for
// it (support/Child_Process.h: a CPU-time limit, no wall-clock one). `write` answers whether the writer said it saved, with its reason
// in *reason.
Limited_Write Run_With_File_Size_Limit(qint64 limit,
                                       const std::function<bool(QString* reason)>& write);

// The folder's entries (hidden ones too), sorted, and the file's bytes: what a refused
// write must leave as it found.
struct Folder_State {
  QStringList entries;
  QByteArray target;  // the target's bytes; "<missing>" when there was none
  bool operator==(const Folder_State& other) const = default;
};
Folder_State Take_Folder_State(const QString& folder, const QString& target);

// Runs the write under the limit and checks that it was refused the honest way: the writer
// said it failed, with a reason holding the system's own words for EFBIG; the target keeps
// every byte it had; no temporary file is left in its folder. Answers what the child said.
Limited_Write Expect_Refused_Under_Limit(const QString& target, qint64 limit,
                                         const std::function<bool(QString* reason)>& write);

// The system's text for an error number ("No such file or directory"), and for the error a
// write past the limit gets ("File too large").
QString System_Error_Text(int error_number);
QString File_Too_Large_Text();

}  // namespace test_support
