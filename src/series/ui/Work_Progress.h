#pragma once
// Long reads of the import dialogs, off the GUI thread: the work runs on a worker of its own
// (a registered run, see platform/Worker_Runs.h) on copies of what it needs and hands back
// its result; the GUI thread only waits. When the work takes longer than a moment, a progress
// sheet says what is being done until it ends (it cannot be dismissed: a read is not stopped
// half way). The work must not touch widgets.

#include <QString>

#include <functional>
#include <optional>

class QWidget;

// How long work may take before the progress sheet shows.
constexpr int kProgress_Moment_Ms = 300;

// Runs `work` on the worker and waits for it, showing the sheet over `parent` (any window
// when null) with `text` once a moment has passed. An exception the work throws reaches the
// caller.
void Run_With_Progress(QWidget* parent, const QString& text, const std::function<void()>& work);

template <typename Result>
Result Run_With_Progress(QWidget* parent, const QString& text,
                         const std::function<Result()>& work) {
  std::optional<Result> result;
  Run_With_Progress(parent, text, [&] { result.emplace(work()); });
  return std::move(*result);
}

// True while a progress sheet shows (for tests and the sheet's own checks).
bool Progress_Sheet_Showing();
