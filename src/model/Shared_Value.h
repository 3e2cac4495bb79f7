#pragma once
// A value that worker threads and the main thread both read and write: every access
// copies under a lock. Used for the texts and pictures of the shared design state that
// batch output touches; numbers and flags are std::atomic instead.

#include <mutex>
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
  operator T() const { return get(); }
  Shared_Value& operator=(T value) {
    set(std::move(value));
    return *this;
  }

 private:
  mutable std::mutex mutex_;
  T value_{};
};
