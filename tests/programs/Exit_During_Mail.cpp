// Ends itself through Terminate, as the design window's Exit does, while a mail run waits
// for a server that never answers. The process has to end at once, with the mail script
// ended too, instead of waiting for the script's own time limit.
//
//   exit_during_mail <resource folder> <port on 127.0.0.1> <file whose appearance means: exit>
//
// Prints "exiting" when it begins to end and, as the very last thing, "result: stopped S
// sent N calls C" of the run. Run by the output tests.

#include "output/Mail_Sender.h"
#include "platform/Platform.h"
#include "platform/ui/Qt_Platform.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

Mail_Sender* run = nullptr;

// Runs in exit(), after Terminate has waited for the run's worker.
void print_result() {
  if (!run) return;
  const Mail_Run_Result& r = run->result();
  std::printf("result: stopped %d sent %d calls %d\n", r.stopped ? 1 : 0, r.sent, r.calls);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc < 4) {
    std::fprintf(stderr, "usage: exit_during_mail <resource folder> <port> <exit file>\n");
    return 2;
  }
  platform::Qt_Platform qt_platform;
  platform::Install(&qt_platform);

  Mail_Run_Settings settings;
  settings.mode = Mail_Mode::No_Card;
  settings.recipients = {QStringLiteral("a@example.org")};
  settings.message.sender = QStringLiteral("me@example.org");
  settings.message.password = QStringLiteral("secret");
  settings.message.server = QStringLiteral("127.0.0.1");
  settings.message.port = QString::fromLocal8Bit(argv[2]);
  settings.message.subject = QStringLiteral("Hello");
  settings.script = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/pyth_mail.py");
  // Left to the end of the process, as the design window leaves its run.
  run = new Mail_Sender(settings, {});
  std::atexit(print_result);
  run->start();

  const QString exit_file = QString::fromLocal8Bit(argv[3]);
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (!QFileInfo::exists(exit_file)) return;
    poll.stop();
    std::printf("exiting\n");
    std::fflush(stdout);
    platform::Terminate(0);
  });
  poll.start(10);
  return app.exec();
}
