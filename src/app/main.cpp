// Starts the card designer.

#include "model/Common_Functions.h"
#include "model/Resource_Folder.h"
#include "platform/Platform.h"
#include "platform/ui/Qt_Platform.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

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

  if (!Prepare_Resource_Path()) {
    Show_MessageBox(QStringLiteral("Unable to create the application's resource folder."));
    platform::Terminate(1);
    return 1;
  }
  Check_Path_And_Create_Files();

  // The design window takes this place once it exists.
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("Lumigrove"));
  window.setCentralWidget(new QLabel(QStringLiteral("Card designer"), &window));
  window.resize(900, 600);
  window.show();
  const int status = app.exec();
  platform::Install(nullptr);
  return status;
}
