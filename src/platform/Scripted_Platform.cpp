#include "platform/Scripted_Platform.h"

namespace platform {

namespace {
template <typename T>
T take_front(std::deque<T>& queue, T fallback) {
  if (queue.empty()) return fallback;
  T value = std::move(queue.front());
  queue.pop_front();
  return value;
}
}  // namespace

void Scripted_Platform::Message_Box(const QString& text) { messages.append(text); }

bool Scripted_Platform::Yes_No_Box(const QString& text) {
  questions.append(text);
  return take_front(yes_no_answers, default_yes_no);
}

QStringList Scripted_Platform::Open_Panel(const Open_Panel_Options& options) {
  open_requests.append(options);
  return take_front(open_answers, QStringList());
}

QString Scripted_Platform::Save_Panel(const Save_Panel_Options& options) {
  save_requests.append(options);
  if (!options.file_types.isEmpty()) {
    const int type = take_front(save_type_answers, 0);
    if (options.chosen_type) *options.chosen_type = type;
  }
  return take_front(save_answers, QString());
}

std::optional<QColor> Scripted_Platform::Color_Panel(const QColor&, const QString&) {
  return take_front(color_answers, std::optional<QColor>());
}

std::optional<QFont> Scripted_Platform::Font_Panel(const QFont& initial, const QString& title) {
  font_requests.append({initial, title});
  return take_front(font_answers, std::optional<QFont>());
}

int Scripted_Platform::Run_Modal(QObject* window) {
  modal_runs.append(window);
  stop_codes_.erase(window);
  int code = on_run_modal ? on_run_modal(window) : 0;
  if (auto it = stop_codes_.find(window); it != stop_codes_.end()) {
    code = it->second;
    stop_codes_.erase(it);
  }
  return code;
}

void Scripted_Platform::Stop_Modal(QObject* window, int code) { stop_codes_[window] = code; }

bool Scripted_Platform::Open_Url(const QUrl& url, const std::function<void()>& on_failure) {
  opened_urls.append(url);
  if (!open_url_result) {
    if (on_failure) on_failure();
    return false;
  }
  open_url_failures.append(on_failure);
  return true;
}

void Scripted_Platform::Terminate(int status) { terminated = status; }

}  // namespace platform
