#pragma once
// The one seam between the program and the desktop: message boxes, questions, file
// panels, colour and font dialogs, modal runs, opening files and addresses, and ending
// the process. The application installs the Qt implementation; tests install a scripted
// one and answer each request themselves.
//
// Every call may be made from any thread: a call from a worker thread runs on the main
// thread while the caller waits; a call on the main thread runs at once.

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

class QObject;

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

  virtual std::optional<QColor> Color_Panel(const QColor& initial, const QString& title) = 0;
  virtual std::optional<QFont> Font_Panel(const QFont& initial, const QString& title) = 0;

  // Runs a window (a QDialog or any top-level widget) application-modally until
  // Stop_Modal is called for it; answers the code given there.
  virtual int Run_Modal(QObject* window) = 0;
  virtual void Stop_Modal(QObject* window, int code) = 0;

  // Opens a file with its default application or an address in the browser.
  virtual bool Open_Url(const QUrl& url) = 0;

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
// thread or when no application object exists.
void Run_On_Main_Thread(const std::function<void()>& fn);
bool On_Main_Thread();

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
bool Open_Url(const QUrl& url);
void Terminate(int status);

}  // namespace platform
