#include "platform/Platform.h"

#include "platform/Thread_Handover.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>

namespace platform {
namespace {

// Used until a real platform is installed, and when there is no display: nothing is
// dropped, messages go to standard error.
class Plain_Platform : public Platform {
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
  bool Open_Url(const QUrl&, const std::function<void()>& on_failure) override {
    if (on_failure) on_failure();
    return false;
  }
  void Terminate(int status) override {
    std::fflush(nullptr);
    std::exit(status);
  }
};

// Answers the calls no main thread can take: workers during shutdown, and every thread of a
// program without an application object. During shutdown the program is ending already, so
// a worker's request to end it is only logged.
class Fallback_Platform final : public Plain_Platform {
 public:
  void Terminate(int status) override {
    if (Shutting_Down()) {
      std::fprintf(stderr, "Request to end with status %d during shutdown; already ending.\n",
                   status);
      return;
    }
    Plain_Platform::Terminate(status);
  }
};

Plain_Platform plain;
Fallback_Platform fallback;
std::atomic<Platform*> installed{&plain};
// Serialises the fallback's answers (and the calls of a program without an application).
// Recursive: a call run there may ask the seam again.
std::recursive_mutex fallback_mutex;

// ---- Calls handed from workers to the main thread -------------------------------------------

struct Request {
  enum class State { waiting, running, done, withdrawn };
  std::function<void()> fn;
  State state = State::waiting;
  std::exception_ptr error;
};

std::mutex seam_mutex;  // guards the queue, every request's state and shutting_down
// Signalled when a request arrives or finishes and when shutdown begins.
std::condition_variable seam_changed;
std::deque<std::shared_ptr<Request>> queue;
std::atomic<bool> shutting_down{false};

// Runs the oldest waiting request on this (the main) thread; false when none waits.
bool serve_one() {
  std::shared_ptr<Request> request;
  {
    std::lock_guard<std::mutex> lock(seam_mutex);
    if (queue.empty()) return false;
    request = std::move(queue.front());
    queue.pop_front();
    request->state = Request::State::running;
  }
  try {
    request->fn();
  } catch (...) {
    request->error = std::current_exception();
  }
  {
    std::lock_guard<std::mutex> lock(seam_mutex);
    request->state = Request::State::done;
  }
  seam_changed.notify_all();
  return true;
}

void serve_all() {
  while (serve_one()) {
  }
}

// Hands fn to the main thread and waits until it ran (true) or shutdown began before the
// main thread took it (false: fn never runs).
bool call_on_main_thread(QCoreApplication* app, const std::function<void()>& fn) {
  auto request = std::make_shared<Request>();
  request->fn = fn;
  {
    std::lock_guard<std::mutex> lock(seam_mutex);
    if (shutting_down) return false;
    queue.push_back(request);
  }
  seam_changed.notify_all();  // a main thread inside Wait_Serving_Workers
  Post_To_Main([] { serve_all(); });
  std::unique_lock<std::mutex> lock(seam_mutex);
  seam_changed.wait(lock, [&] {
    return request->state == Request::State::done ||
           (request->state == Request::State::waiting && shutting_down);
  });
  if (request->state != Request::State::done) {
    request->state = Request::State::withdrawn;
    queue.erase(std::remove(queue.begin(), queue.end(), request), queue.end());
    return false;
  }
  lock.unlock();
  if (request->error) std::rethrow_exception(request->error);
  return true;
}

// Runs a platform call where it belongs: on the main thread with the installed platform, or
// with the fallback when no main thread can answer.
void ask(const std::function<void(Platform&)>& call) {
  if (On_Main_Thread()) {
    call(Current());
    return;
  }
  if (!shutting_down) {
    if (QCoreApplication* app = QCoreApplication::instance())
      if (call_on_main_thread(app, [&] { call(Current()); })) return;
  }
  std::lock_guard<std::recursive_mutex> lock(fallback_mutex);
  call(fallback);
}

}  // namespace

Platform& Current() { return *installed.load(); }

Platform* Install(Platform* platform) {
  Platform* previous = installed.exchange(platform ? platform : &plain);
  return previous == &plain ? nullptr : previous;
}

bool On_Main_Thread() {
  QCoreApplication* app = QCoreApplication::instance();
  return app && QThread::currentThread() == app->thread();
}

bool Run_On_Main_Thread(const std::function<void()>& fn) {
  if (On_Main_Thread()) {
    fn();
    return true;
  }
  if (!shutting_down) {
    if (QCoreApplication* app = QCoreApplication::instance()) return call_on_main_thread(app, fn);
    std::lock_guard<std::recursive_mutex> lock(fallback_mutex);
    fn();
    return true;
  }
  return false;
}

bool Wait_Serving_Workers(const std::function<bool()>& done, int timeout_ms) {
  using clock = std::chrono::steady_clock;
  constexpr auto poll = std::chrono::milliseconds(5);
  const auto deadline = clock::now() + std::chrono::milliseconds(std::max(timeout_ms, 0));
  const bool serve = On_Main_Thread();
  for (;;) {
    if (serve) {
      while (serve_one())
        if (done()) return true;
    }
    if (done()) return true;
    auto slice = poll;
    if (timeout_ms >= 0) {
      const auto left = deadline - clock::now();
      if (left <= clock::duration::zero()) return false;
      slice = std::min(poll, std::chrono::duration_cast<std::chrono::milliseconds>(left) +
                                 std::chrono::milliseconds(1));
    }
    std::unique_lock<std::mutex> lock(seam_mutex);
    seam_changed.wait_for(lock, slice, [&] { return serve && !queue.empty(); });
  }
}

bool Wait_For_Pool(QThreadPool& pool, int timeout_ms) {
  if (!Wait_Serving_Workers([&pool] { return pool.waitForDone(0); }, timeout_ms)) return false;
  Pool_Joined(pool);
  return true;
}

void Begin_Shutdown() {
  {
    std::lock_guard<std::mutex> lock(seam_mutex);
    shutting_down = true;
  }
  seam_changed.notify_all();
}

bool Shutting_Down() { return shutting_down; }

void End_Shutdown() {
  std::lock_guard<std::mutex> lock(seam_mutex);
  shutting_down = false;
}

void Message_Box(const QString& text) {
  ask([&](Platform& p) { p.Message_Box(text); });
}

bool Yes_No_Box(const QString& text) {
  bool answer = false;
  ask([&](Platform& p) { answer = p.Yes_No_Box(text); });
  return answer;
}

QStringList Open_Panel(const Open_Panel_Options& options) {
  QStringList answer;
  ask([&](Platform& p) { answer = p.Open_Panel(options); });
  return answer;
}

QString Open_File_Panel(const Open_Panel_Options& options) {
  const QStringList chosen = Open_Panel(options);
  return chosen.isEmpty() ? QString() : chosen.first();
}

QString Save_Panel(const Save_Panel_Options& options) {
  QString answer;
  ask([&](Platform& p) { answer = p.Save_Panel(options); });
  return answer;
}

std::optional<QColor> Color_Panel(const QColor& initial, const QString& title) {
  std::optional<QColor> answer;
  ask([&](Platform& p) { answer = p.Color_Panel(initial, title); });
  return answer;
}

std::optional<QFont> Font_Panel(const QFont& initial, const QString& title) {
  std::optional<QFont> answer;
  ask([&](Platform& p) { answer = p.Font_Panel(initial, title); });
  return answer;
}

int Run_Modal(QObject* window) {
  int code = 0;
  ask([&](Platform& p) { code = p.Run_Modal(window); });
  return code;
}

void Stop_Modal(QObject* window, int code) {
  ask([&](Platform& p) { p.Stop_Modal(window, code); });
}

bool Open_Url(const QUrl& url, const std::function<void()>& on_failure) {
  bool done = false;
  ask([&](Platform& p) { done = p.Open_Url(url, on_failure); });
  return done;
}

void Terminate(int status) {
  ask([&](Platform& p) { p.Terminate(status); });
}

}  // namespace platform
