#pragma once
// The mail script call: one e-mail is one run of the mail script "pyth_mail.py" in the
// resource folder by Debian's Python. The command line carries only the account (sender,
// server, port, SSL flag) and the attachments' paths; the password, the recipient, the
// subject and the body go on its standard input, out of sight of other users' `ps` and
// free of the command line's length limits. The script's memory is bounded
// (Mail_Script_Memory_Limit). The e-mail counts as sent exactly when the script ends
// normally with status 0; a script that cannot start, crashes, ends with another status
// or runs past the time limit (it is killed) is a failed e-mail, never the program's end.
// The script never outlives the program: it is killed by the system when the thread that
// started it ends (the program ended, however), and it ends itself when its parent is gone.
//
// Safe on any thread that may run an event loop (the GUI thread, a QThread): the call
// waits in a local event loop, so a window on the GUI thread goes on painting. A caller
// that may be stopped passes a question the wait asks every few hundredths of a second:
// once it answers true the script is ended at once (asked to terminate, killed after a
// short grace), and the e-mail counts as stopped, not sent.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

struct Mail_Message {
  QString sender;
  QString password;
  QString server;
  QString port;
  QString recipient;
  QString subject;
  QString body;
  QString ssl;  // "Y" for SSL from the start; anything else (also none) is passed as "N"
  QStringList attachments;  // paths, attached in this order
};

// The interpreter and the script.
QString Mail_Interpreter();   // "/usr/bin/python3"
QString Mail_Script_Path();   // Resource_Path + "/pyth_mail.py"

// The script path, sender, server, port, sender again, SSL flag, then one argument per
// attachment; every fixed argument present (a null one empty).
QStringList Mail_Script_Arguments(const QString& script, const Mail_Message& message);
// What the script reads on standard input: one JSON object (UTF-8) with the strings
// "password", "recipient", "subject" and "body" (a null one empty).
QByteArray Mail_Script_Input(const Mail_Message& message);

// The bound on the script's data (heap and private mappings, RLIMIT_DATA): the largest
// message the script takes (8 MiB of text, 25 MiB of attachments) needs about half.
constexpr long long Mail_Script_Memory_Limit = 512LL * 1024 * 1024;

struct Mail_Result {
  bool sent = false;
  bool stopped = false;  // ended on request before it had sent its e-mail
  QString reason;  // why not: what the script said on standard error, or why it did not run
};

constexpr int Mail_Script_Time_Limit_ms = 5 * 60 * 1000;
// How long a script asked to terminate may take before it is killed.
constexpr int Mail_Script_Stop_Grace_ms = 500;

// sendEmail_pyth: sends one e-mail. The script's standard output goes to ours; what it
// writes on standard error is the reason of a failure (and is logged). A worker passes the
// script path it was given on the GUI thread (Resource_Path belongs to that thread); an
// empty one means Mail_Script_Path().
Mail_Result sendEmail_pyth(const Mail_Message& message,
                           int time_limit_ms = Mail_Script_Time_Limit_ms,
                           const QString& script_path = {},
                           const std::function<bool()>& stop_requested = {});
