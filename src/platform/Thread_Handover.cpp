#include "platform/Thread_Handover.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThreadPool>

#if defined(__SANITIZE_THREAD__)
#define LUMIGROVE_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define LUMIGROVE_THREAD_SANITIZER 1
#endif
#endif

#ifdef LUMIGROVE_THREAD_SANITIZER
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
#endif

namespace platform {

void Handed_Over([[maybe_unused]] const void* token) {
#ifdef LUMIGROVE_THREAD_SANITIZER
  __tsan_release(const_cast<void*>(token));
#endif
}

void Taken_Over([[maybe_unused]] const void* token) {
#ifdef LUMIGROVE_THREAD_SANITIZER
  __tsan_acquire(const_cast<void*>(token));
#endif
}

QEvent::Type Posted_Call_Type() {
  static const auto type = QEvent::Type(QEvent::registerEventType());
  return type;
}

namespace {

// Made by the posting thread and handed over to the target (the token is the target, which
// the taking side knows before it reads anything of the event); run (or dropped) and
// destroyed by the target's thread.
class Call_Event : public QEvent {
 public:
  Call_Event(std::function<void()> call, const Call_Target* target)
      : QEvent(Posted_Call_Type()), call_(std::move(call)), target_(target) {}
  ~Call_Event() override { Taken_Over(target_); }  // also when dropped unrun
  void Run() {
    if (call_) call_();
  }

 private:
  std::function<void()> call_;
  const Call_Target* target_;
};

}  // namespace

void Call_Target::Post(std::function<void()> call) {
  auto* event = new Call_Event(std::move(call), this);
  Handed_Over(this);
  QCoreApplication::postEvent(this, event);
}

bool Call_Target::event(QEvent* event) {
  Taken_Over(this);
  if (event->type() != Posted_Call_Type()) return QObject::event(event);
  static_cast<Call_Event*>(event)->Run();
  return true;
}

void Post_To_Main(std::function<void()> call) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return;
  // Made once by whichever thread posts first and moved to the main thread at once; never
  // destroyed (a worker may still post while static objects go).
  static Call_Target* main_target = [app] {
    auto* target = new Call_Target;
    target->moveToThread(app->thread());
    return target;
  }();
  main_target->Post(std::move(call));
}

namespace {
// Tasks reach their threads through the pools' queues, each guarded by the pool's lock: a
// task's thread has seen what every start before it did. The token stands for those locks
// (one for all pools, known before the task reads any of its own captures).
const char task_queues = 0;
}  // namespace

void Start_Task(QThreadPool& pool, std::function<void()> task) {
  // Everything the pool thread will free is made before the hand-over is told.
  std::function<void()> run = [&pool, task = std::move(task)] {
    Taken_Over(&task_queues);
    task();
    Handed_Over(&pool);
  };
  Handed_Over(&task_queues);
  pool.start(std::move(run));
}

void Pool_Joined(QThreadPool& pool) { Taken_Over(&pool); }

}  // namespace platform
