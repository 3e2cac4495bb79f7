#pragma once
// A value that worker threads and the main thread both read and write: every access
// copies under a lock. Used for the texts and pictures of the shared design state that
// batch output touches; numbers and flags are std::atomic instead.
//
// A change that depends on the value (count up, append a line) is one update() call:
// get() followed by set() lets another thread's change in between be lost.

#include <mutex>
#include <type_traits>
#include <utility>

template <typename T>
class Shared_Value {
 public:
  Shared_Value() = default;
  explicit Shared_Value(T value) : value_(std::move(value)) {}
  Shared_Value(const Shared_Value&) = delete;
  Shared_Value& operator=(const Shared_Value&) = delete;

  T get() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return value_;
  }
  void set(T value) {
    std::lock_guard<std::mutex> lock(mutex_);
    value_ = std::move(value);
  }
  // Calls change(value) under the lock and answers what it answers.
  template <typename F>
  auto update(F&& change) -> std::invoke_result_t<F, T&> {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::forward<F>(change)(value_);
  }

  operator T() const { return get(); }
  Shared_Value& operator=(T value) {
    set(std::move(value));
    return *this;
  }

 private:
  mutable std::mutex mutex_;
  T value_{};
};
