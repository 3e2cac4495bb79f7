// Starts the card designer.

#include "platform/Platform.h"
#include "platform/ui/Qt_Platform.h"
#include "window/ui/CRDWindowController.h"

#include <QApplication>

#include <cstdio>

namespace {
bool has_display() {
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return true;
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}
}  // namespace

int main(int argc, char* argv[]) {
  if (!has_display()) {
    std::fprintf(stderr,
                 "lumigrove: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                 "Start it inside a desktop session, or under xvfb-run.\n");
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Lumigrove"));
  QApplication::setOrganizationName(QStringLiteral("dadidividuvu"));
  QApplication::setOrganizationDomain(QStringLiteral("dadidividuvu.com"));

  platform::Qt_Platform qt_platform;
  platform::Install(&qt_platform);

  // The design window prepares the resource folder; it ends the program when it cannot.
  auto* window = new CRDWindowController;
  const int status = app.exec();
  delete window;
  platform::Install(nullptr);
  return status;
}
