// The main of every test program: an offscreen application, a private resource folder
// seeded from the shipped resources, and the shared design state at its start values.

#include "support/Test_Support.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Tests fork children (support/Child_Process.h) while other threads run. GLib's slice
  // allocator has a lock of its own that a fork can copy held; plain malloc is safe across
  // a fork. Set before GLib's first allocation, which reads it.
  if (qEnvironmentVariableIsEmpty("G_SLICE")) qputenv("G_SLICE", "always-malloc");
  // Keep every per-user location of the program inside a folder of this run.
  QTemporaryDir home;
  qputenv("XDG_DATA_HOME", QDir(home.path()).filePath("data").toUtf8());
  qputenv("XDG_CONFIG_HOME", QDir(home.path()).filePath("config").toUtf8());
  qputenv("XDG_CACHE_HOME", QDir(home.path()).filePath("cache").toUtf8());
  qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Lumigrove"));
  QApplication::setOrganizationName(QStringLiteral("dadidividuvu"));
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new test_support::Environment);
  return RUN_ALL_TESTS();
}
