#pragma once
// A platform for tests: records every request and answers from scripts set up by the
// test. Modal runs call a handler that drives the window's own handlers (pressing OK,
// filling fields); the code given to Stop_Modal during the handler is the answer. The seam
// calls it on the main thread only (or one call at a time without an application), so it
// needs no lock of its own.

#include "platform/Platform.h"

#include <QList>

#include <deque>
#include <functional>
#include <map>
#include <optional>

namespace platform {

class Scripted_Platform : public Platform {
 public:
  // What was asked, in order.
  QStringList messages;   // texts of Message_Box
  QStringList questions;  // texts of Yes_No_Box
  QList<Open_Panel_Options> open_requests;
  QList<Save_Panel_Options> save_requests;
  struct Font_Request {
    QFont initial;  // the font the panel opens at
    QString title;
  };
  QList<Font_Request> font_requests;
  QList<QUrl> opened_urls;
  QList<QObject*> modal_runs;
  std::optional<int> terminated;  // status of the last Terminate

  // Answers, taken from the front; when a queue is empty the default applies.
  std::deque<bool> yes_no_answers;
  bool default_yes_no = false;
  std::deque<QStringList> open_answers;
  std::deque<QString> save_answers;
  std::deque<int> save_type_answers;  // the type chosen in a panel with file_types; default 0
  std::deque<std::optional<QColor>> color_answers;
  std::deque<std::optional<QFont>> font_answers;
  // False: every address fails at once, and its failure handler runs within the call.
  bool open_url_result = true;
  // The failure handlers of the addresses that were taken, in order: a test runs one to
  // stand for the opener failing later.
  QList<std::function<void()>> open_url_failures;

  // Drives a modal window. Its result is the code when the handler did not call
  // Stop_Modal for the window. Without a handler a run answers 0 (cancelled).
  std::function<int(QObject* window)> on_run_modal;

  void Message_Box(const QString& text) override;
  bool Yes_No_Box(const QString& text) override;
  QStringList Open_Panel(const Open_Panel_Options& options) override;
  QString Save_Panel(const Save_Panel_Options& options) override;
  std::optional<QColor> Color_Panel(const QColor& initial, const QString& title) override;
  std::optional<QFont> Font_Panel(const QFont& initial, const QString& title) override;
  int Run_Modal(QObject* window) override;
  void Stop_Modal(QObject* window, int code) override;
  bool Open_Url(const QUrl& url, const std::function<void()>& on_failure) override;
  void Terminate(int status) override;

 private:
  std::map<QObject*, int> stop_codes_;
};

// Installs a scripted platform for the lifetime of the object.
class Scoped_Scripted_Platform : public Scripted_Platform {
 public:
  Scoped_Scripted_Platform() : previous_(Install(this)) {}
  ~Scoped_Scripted_Platform() override { Install(previous_); }
  Scoped_Scripted_Platform(const Scoped_Scripted_Platform&) = delete;
  Scoped_Scripted_Platform& operator=(const Scoped_Scripted_Platform&) = delete;

 private:
  Platform* previous_;
};

}  // namespace platform
