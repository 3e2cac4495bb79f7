#include "platform/Platform.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace platform {
namespace {

// Used until a real platform is installed, and when there is no display: nothing is
// dropped, messages go to standard error.
class Plain_Platform final : public Platform {
 public:
  void Message_Box(const QString& text) override {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
  }
  bool Yes_No_Box(const QString& text) override {
    std::fprintf(stderr, "%s [answered No]\n", text.toLocal8Bit().constData());
    return false;
  }
  QStringList Open_Panel(const Open_Panel_Options&) override { return {}; }
  QString Save_Panel(const Save_Panel_Options&) override { return {}; }
  std::optional<QColor> Color_Panel(const QColor&, const QString&) override { return {}; }
  std::optional<QFont> Font_Panel(const QFont&, const QString&) override { return {}; }
  int Run_Modal(QObject*) override { return 0; }
  void Stop_Modal(QObject*, int) override {}
  bool Open_Url(const QUrl&) override { return false; }
  void Terminate(int status) override {
    std::fflush(nullptr);
    std::exit(status);
  }
};

Plain_Platform plain;
std::atomic<Platform*> installed{&plain};

}  // namespace

Platform& Current() { return *installed.load(); }

Platform* Install(Platform* platform) {
  Platform* previous = installed.exchange(platform ? platform : &plain);
  return previous == &plain ? nullptr : previous;
}

bool On_Main_Thread() {
  QCoreApplication* app = QCoreApplication::instance();
  return !app || QThread::currentThread() == app->thread();
}

void Run_On_Main_Thread(const std::function<void()>& fn) {
  if (On_Main_Thread()) {
    fn();
    return;
  }
  QMetaObject::invokeMethod(QCoreApplication::instance(), fn, Qt::BlockingQueuedConnection);
}

void Message_Box(const QString& text) {
  Run_On_Main_Thread([&] { Current().Message_Box(text); });
}

bool Yes_No_Box(const QString& text) {
  bool answer = false;
  Run_On_Main_Thread([&] { answer = Current().Yes_No_Box(text); });
  return answer;
}

QStringList Open_Panel(const Open_Panel_Options& options) {
  QStringList answer;
  Run_On_Main_Thread([&] { answer = Current().Open_Panel(options); });
  return answer;
}

QString Open_File_Panel(const Open_Panel_Options& options) {
  const QStringList chosen = Open_Panel(options);
  return chosen.isEmpty() ? QString() : chosen.first();
}

QString Save_Panel(const Save_Panel_Options& options) {
  QString answer;
  Run_On_Main_Thread([&] { answer = Current().Save_Panel(options); });
  return answer;
}

std::optional<QColor> Color_Panel(const QColor& initial, const QString& title) {
  std::optional<QColor> answer;
  Run_On_Main_Thread([&] { answer = Current().Color_Panel(initial, title); });
  return answer;
}

std::optional<QFont> Font_Panel(const QFont& initial, const QString& title) {
  std::optional<QFont> answer;
  Run_On_Main_Thread([&] { answer = Current().Font_Panel(initial, title); });
  return answer;
}

int Run_Modal(QObject* window) {
  int code = 0;
  Run_On_Main_Thread([&] { code = Current().Run_Modal(window); });
  return code;
}

void Stop_Modal(QObject* window, int code) {
  Run_On_Main_Thread([&] { Current().Stop_Modal(window, code); });
}

bool Open_Url(const QUrl& url) {
  bool done = false;
  Run_On_Main_Thread([&] { done = Current().Open_Url(url); });
  return done;
}

void Terminate(int status) {
  Run_On_Main_Thread([&] { Current().Terminate(status); });
}

}  // namespace platform
