#include "support/Test_Support.h"

#include "model/Common_Functions.h"
#include "model/Resource_Folder.h"
#include "model/Shared_Design_State.h"

#include <QApplication>
#include <QFileInfo>
#include <QMouseEvent>
#include <QMutex>
#include <QProcess>
#include <QRgb>
#include <QStandardPaths>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

#include <sys/resource.h>

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
                           const QByteArray& input, const QProcessEnvironment& environment) {
  Process_Result result;
  QProcess process;
  process.setProcessEnvironment(environment);
  process.setChildProcessModifier([] {
    const rlimit cpu{rlim_t(kChild_Cpu_Seconds), rlim_t(kChild_Cpu_Seconds + 10)};
    ::setrlimit(RLIMIT_CPU, &cpu);
    const rlimit no_core{0, 0};
    ::setrlimit(RLIMIT_CORE, &no_core);
  });
  process.start(program, arguments);
  if (!process.waitForStarted(kDeadlock_Guard_Ms)) return result;
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

Process_Result Run_Under_Xvfb(const QStringList& command, QProcessEnvironment environment,
                              int timeout_ms) {
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  environment.remove(QStringLiteral("DISPLAY"));
  const QString first_display = QString::number(100 + (QCoreApplication::applicationPid() % 500) * 4);
  const QStringList arguments = QStringList{QStringLiteral("-a"), QStringLiteral("-n"), first_display,
                                            QStringLiteral("-s"),
                                            QStringLiteral("-screen 0 1600x1000x24")} +
                                command;
  Process_Result result;
  for (int attempt = 0; attempt < 2; ++attempt) {
    result = Run_Program(QStringLiteral("xvfb-run"), arguments, timeout_ms, {}, environment);
    if (!result.err.contains("Xvfb failed to start")) break;
  }
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

namespace {
QMutex log_mutex;
QStringList& log_lines() {
  static QStringList lines;
  return lines;
}
}  // namespace

Log_Capture::Log_Capture()
    : previous_(
          qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
            const QMutexLocker lock(&log_mutex);
            log_lines() << message;
          })) {
  const QMutexLocker lock(&log_mutex);
  log_lines().clear();
  QLoggingCategory::setFilterRules(QStringLiteral("lumigrove.info=true"));
}

Log_Capture::~Log_Capture() {
  QLoggingCategory::setFilterRules(QString());
  qInstallMessageHandler(previous_);
}

QStringList Log_Capture::text() const {
  const QMutexLocker lock(&log_mutex);
  return log_lines();
}

bool Log_Capture::contains(const QString& part) const {
  for (const QString& line : text())
    if (line.contains(part)) return true;
  return false;
}

int Largest_Difference(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return 255;
  const QImage x = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QImage y = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  int largest = 0;
  for (int row = 0; row < x.height(); ++row)
    for (int column = 0; column < x.width(); ++column) {
      const QRgb p = x.pixel(column, row), q = y.pixel(column, row);
      largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
    }
  return largest;
}

}  // namespace test_support
