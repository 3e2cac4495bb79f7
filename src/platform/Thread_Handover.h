#pragma once
// Hand-overs between threads made through Qt's own queues and locks: posted events, thread
// pools, semaphores. Qt's libraries are not built with the thread sanitizer, so it cannot see
// that what one thread did before such a hand-over happens before what the other thread does
// after it, and reports the memory handed over (a task's captures, a posted call, a band of
// pixels) as raced. Handed_Over and Taken_Over tell it, on both sides of one token; in other
// builds they are empty. Post_Call, Post_To_Main and Start_Task make the hand-over and tell it
// in one step: use them, not QMetaObject::invokeMethod with a functor or QThreadPool::start,
// for work that crosses threads.

#include <QEvent>
#include <QObject>

#include <functional>

class QThreadPool;

namespace platform {

// On the giving thread, after everything the other side will use is written.
void Handed_Over(const void* token);
// On the taking thread, before anything handed over is used.
void Taken_Over(const void* token);

// Runs posted calls on the thread its object lives in (the thread that made it), from that
// thread's event loop, in the order they were posted. Calls still waiting when it is
// destroyed are dropped: an owner that holds one gets no call after it is gone.
class Call_Target : public QObject {
 public:
  explicit Call_Target(QObject* parent = nullptr) : QObject(parent) {}
  // Any thread.
  void Post(std::function<void()> call);

 protected:
  bool event(QEvent* event) override;
};

// The type of the events that carry posted calls.
QEvent::Type Posted_Call_Type();

// Posts a call to the main thread's event loop (any thread).
void Post_To_Main(std::function<void()> call);

// Starts the task on the pool.
void Start_Task(QThreadPool& pool, std::function<void()> task);
// After the pool's waitForDone() said true: the tasks' work happened before what follows.
void Pool_Joined(QThreadPool& pool);

}  // namespace platform
