#pragma once
// The one seam between the program and the desktop: message boxes, questions, file
// panels, colour and font dialogs, modal runs, opening files and addresses, and ending
// the process. The application installs the Qt implementation; tests install a scripted
// one and answer each request themselves.
//
// Every call may be made from any thread: a call from a worker thread runs on the main
// thread while the caller waits; a call on the main thread runs at once. The main thread
// never waits for workers with a blocking join: it waits through Wait_Serving_Workers /
// Wait_For_Pool, which keep answering the workers' calls meanwhile. Once shutdown has
// begun (Begin_Shutdown), or when there is no application object, a worker is answered at
// once with the default (messages logged to standard error, "No", cancelled panels).

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

class QObject;
class QThreadPool;

namespace platform {

struct Open_Panel_Options {
  QString title;
  QString directory;
  QStringList extensions;  // without the dot; empty: any file
  bool allow_multiple = false;
  bool choose_folders = false;  // folders instead of files
};

struct Save_Panel_Options {
  QString title;
  QString directory;
  QString file_name;  // suggested name
  QString extension;  // without the dot; appended when the user typed none
  // When not empty: the panel offers these types (without the dot) in a list, the first
  // one chosen at start, and writes the index of the type chosen at the end to
  // *chosen_type (when set). The answer's extension is then the caller's to settle.
  QStringList file_types;
  int* chosen_type = nullptr;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // An alert with the text and the single button "OK".
  virtual void Message_Box(const QString& text) = 0;
  // An alert with the buttons "Yes" and "No"; true for "Yes".
  virtual bool Yes_No_Box(const QString& text) = 0;

  // File panels; an empty answer (or list) means the user cancelled.
  virtual QStringList Open_Panel(const Open_Panel_Options& options) = 0;
  virtual QString Save_Panel(const Save_Panel_Options& options) = 0;

  // The colour and font panels open at the initial value; nothing when cancelled.
  virtual std::optional<QColor> Color_Panel(const QColor& initial, const QString& title) = 0;
  virtual std::optional<QFont> Font_Panel(const QFont& initial, const QString& title) = 0;

  // Runs a window (a QDialog or any top-level widget) application-modally until
  // Stop_Modal is called for it; answers the code given there.
  virtual int Run_Modal(QObject* window) = 0;
  virtual void Stop_Modal(QObject* window, int code) = 0;

  // Opens a file with its default application or an address in the browser. When the
  // desktop cannot take it -- no opener, no program for the file's type, or the opener
  // ends with a failing status, which may come long after this call returned --
  // on_failure runs once, on the main thread (at once, within this call, when the failure
  // is known at once). The answer is false when it failed at once.
  virtual bool Open_Url(const QUrl& url, const std::function<void()>& on_failure) = 0;

  // Ends the process with the status. Works before the event loop runs. A scripted
  // platform records the call and returns, so callers return right after it.
  virtual void Terminate(int status) = 0;
};

// The installed platform. Before anything is installed, a plain one writes messages to
// standard error, answers "No" and cancels every panel.
Platform& Current();
// Installs a platform (not owned) and answers the one it replaces. nullptr restores the
// plain one.
Platform* Install(Platform* platform);

// Runs fn on the main thread and waits for it; runs it at once when called on the main
// thread. Without an application object fn runs on the calling thread, one call at a time.
// A worker's call made after shutdown began, or still waiting when it begins, is not run:
// the answer is false then (true when fn ran). An exception fn throws reaches the caller.
bool Run_On_Main_Thread(const std::function<void()>& fn);
// True on the thread of the application object; false everywhere when there is none.
bool On_Main_Thread();

// ---- Waiting for workers on the main thread ------------------------------------------
// Waits until done() answers true, running the calls workers make through this seam while
// it waits (nothing else: no user input, timers or other queued work, so whatever the
// waiter is tearing down is not re-entered). done is tested after each call and at least
// every few milliseconds. False when timeout_ms (>= 0) ran out first. On a worker thread
// it simply waits. Use it instead of QThreadPool::waitForDone, QThread::wait or a join.
bool Wait_Serving_Workers(const std::function<bool()>& done, int timeout_ms = -1);
// Waits for every task of the pool that way.
bool Wait_For_Pool(QThreadPool& pool, int timeout_ms = -1);

// ---- Shutdown --------------------------------------------------------------------------
// From now on workers are answered at once with the default, and calls still waiting are
// answered so; calls from the main thread still run. main begins shutdown when its event
// loop ends, before windows, pools and the application object go. Safe on any thread and
// to repeat.
void Begin_Shutdown();
bool Shutting_Down();
// Serves workers again (tests that began a shutdown end it).
void End_Shutdown();

// The calls below go through Current() on the main thread.
void Message_Box(const QString& text);
bool Yes_No_Box(const QString& text);
QStringList Open_Panel(const Open_Panel_Options& options);
QString Open_File_Panel(const Open_Panel_Options& options);  // first chosen path or ""
QString Save_Panel(const Save_Panel_Options& options);
std::optional<QColor> Color_Panel(const QColor& initial, const QString& title = {});
std::optional<QFont> Font_Panel(const QFont& initial, const QString& title = {});
int Run_Modal(QObject* window);
void Stop_Modal(QObject* window, int code);
bool Open_Url(const QUrl& url, const std::function<void()>& on_failure = {});
void Terminate(int status);

}  // namespace platform
