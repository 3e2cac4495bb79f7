#pragma once
// Helpers shared by the tests of every subsystem.

#include <QColor>
#include <QDebug>
#include <QEvent>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>
#include "support/Deadlock_Guard.h"

class QWidget;

// Readable values in test messages.
inline std::ostream& operator<<(std::ostream& os, const QString& s) {
  return os << '"' << s.toStdString() << '"';
}
inline std::ostream& operator<<(std::ostream& os, const QStringList& list) {
  return os << list.join(QStringLiteral(" | "));
}
inline std::ostream& operator<<(std::ostream& os, const QPointF& p) {
  return os << "(" << p.x() << ", " << p.y() << ")";
}
inline std::ostream& operator<<(std::ostream& os, const QSizeF& s) {
  return os << "(" << s.width() << " x " << s.height() << ")";
}
inline std::ostream& operator<<(std::ostream& os, const QRectF& r) {
  return os << "(" << r.x() << ", " << r.y() << ", " << r.width() << ", " << r.height() << ")";
}
inline std::ostream& operator<<(std::ostream& os, const QColor& c) {
  return os << c.name(QColor::HexArgb).toStdString();
}

namespace test_support {

// Before each test program: shared state at its start values.
class Environment : public ::testing::Environment {
 public:
  void SetUp() override;
};

// A fixture base: the shared design state is put back to its start values before each
// test, and Resource_Path points at a fresh folder seeded from the shipped resources.
class Design_Test : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  QString resource_path() const;

 private:
  std::unique_ptr<QTemporaryDir> resources_;
};

struct Process_Result {
  int exit_code = -1;  // -1: could not start or timed out
  QByteArray out;
  QByteArray err;
};
// Runs a program and waits for it, in the environment given. The program may use at most
// kChild_Cpu_Seconds of CPU time (RLIMIT_CPU, as may each program it starts), so a runaway
// ends by itself; the wait is only the deadlock guard. Leave `timeout_ms` at its default:
// a shorter wait judges the machine's speed, not the program.
Process_Result Run_Program(const QString& program, const QStringList& arguments,
                           int timeout_ms = kDeadlock_Guard_Ms, const QByteArray& input = {},
                           const QProcessEnvironment& environment =
                               QProcessEnvironment::systemEnvironment());
// Runs a command under a private X server of its own (xvfb-run, a 1600 x 1000 screen) with
// Qt on X. Test programs running side by side look for a free display from numbers of their
// own, and a server that failed to start is tried once more.
Process_Result Run_Under_Xvfb(const QStringList& command, QProcessEnvironment environment,
                              int timeout_ms = kDeadlock_Guard_Ms);
// True when the program can be found on PATH.
bool Have_Program(const QString& program);
// Debian's python3, never one found earlier on PATH.
QString System_Python();

// A left-button mouse event at a canvas point (widget pixels = points x zoom), sent to
// the canvas widget at once. Presses and moves hold the button, a release lets it go.
void Send_Canvas_Mouse(QWidget* canvas, double zoom, QEvent::Type type, QPointF point);
// Collects what is logged while it lives, the program's notes (lumigroveLog) included,
// which are otherwise silent (the filter rules set through QLoggingCategory are replaced
// while it lives).
class Log_Capture {
 public:
  Log_Capture();
  ~Log_Capture();
  Log_Capture(const Log_Capture&) = delete;
  Log_Capture& operator=(const Log_Capture&) = delete;
  QStringList text() const;
  bool contains(const QString& part) const;

 private:
  QtMessageHandler previous_;
};

// A pixel's colour as 0xAARRGGBB.
inline unsigned Pixel(const QImage& image, int x, int y) { return image.pixel(x, y); }

// The largest difference of any channel of any pixel (premultiplied); 255 when the sizes
// differ.
int Largest_Difference(const QImage& a, const QImage& b);

}  // namespace test_support
