#include "support/Test_Support.h"

#include "model/Resource_Folder.h"
#include "model/Shared_Design_State.h"

#include <QApplication>
#include <QFileInfo>
#include <QMouseEvent>
#include <QProcess>
#include <QStandardPaths>
#include <QWidget>

namespace test_support {

void Environment::SetUp() { Reset_Shared_Design_State(); }

void Design_Test::SetUp() {
  Reset_Shared_Design_State();
  resources_ = std::make_unique<QTemporaryDir>();
  ASSERT_TRUE(resources_->isValid());
  ASSERT_TRUE(Prepare_Resource_Path(resources_->path() + QStringLiteral("/Resources")));
}

void Design_Test::TearDown() {
  Reset_Shared_Design_State();
  resources_.reset();
}

QString Design_Test::resource_path() const { return Resource_Path; }

Process_Result Run_Program(const QString& program, const QStringList& arguments, int timeout_ms,
                           const QByteArray& input) {
  Process_Result result;
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForStarted(10000)) return result;
  if (!input.isEmpty()) process.write(input);
  process.closeWriteChannel();
  if (!process.waitForFinished(timeout_ms)) {
    process.kill();
    process.waitForFinished();
    return result;
  }
  result.out = process.readAllStandardOutput();
  result.err = process.readAllStandardError();
  result.exit_code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  return result;
}

bool Have_Program(const QString& program) {
  return !QStandardPaths::findExecutable(program).isEmpty();
}

QString System_Python() {
  return QFileInfo::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                               : QStringLiteral("python3");
}

void Send_Canvas_Mouse(QWidget* canvas, double zoom, QEvent::Type type, QPointF point) {
  const QPointF local = point * zoom;
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  const Qt::MouseButtons buttons =
      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
  QMouseEvent event(type, local, canvas->mapToGlobal(local), button, buttons, {});
  QApplication::sendEvent(canvas, &event);
}

}  // namespace test_support
