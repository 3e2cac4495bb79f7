#pragma once
// The desktop platform on Qt Widgets: alerts, panels and modal runs. Every alert and
// every window run modally is at least as wide as its title needs (Title_Width).

#include "platform/Platform.h"

#include <QHash>

class QEventLoop;
class QWidget;

namespace platform {

// The width a window needs for its title (the application's name when it has none) to
// show whole in a window manager's title bar: the title in the bold title-bar font beside
// the window icon and three title-bar buttons, each as wide as the title bar is high.
int Title_Width(const QWidget& window);

class Qt_Platform final : public Platform {
 public:
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
  QHash<QObject*, QEventLoop*> loops_;  // modal runs of windows that are not dialogs
};

}  // namespace platform
