#include "output/Mail_Script.h"

#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <csignal>
#endif

namespace {
constexpr qsizetype kept_error_bytes = 16 * 1024;
}

QString Mail_Interpreter() { return QStringLiteral("/usr/bin/python3"); }

QString Mail_Script_Path() {
  return Resource_Path.isEmpty() ? QString() : Resource_Path + QStringLiteral("/pyth_mail.py");
}

QStringList Mail_Script_Arguments(const QString& script, const Mail_Message& message) {
  auto text = [](const QString& value) { return value.isNull() ? QString("") : value; };
  QStringList arguments{script,
                        text(message.sender),
                        text(message.server),
                        text(message.port),
                        text(message.sender),
                        message.ssl == QLatin1String("Y") ? QStringLiteral("Y")
                                                          : QStringLiteral("N")};
  arguments << message.attachments;
  return arguments;
}

QByteArray Mail_Script_Input(const Mail_Message& message) {
  auto text = [](const QString& value) { return value.isNull() ? QString("") : value; };
  const QJsonObject values{{QStringLiteral("password"), text(message.password)},
                           {QStringLiteral("recipient"), text(message.recipient)},
                           {QStringLiteral("subject"), text(message.subject)},
                           {QStringLiteral("body"), text(message.body)}};
  return QJsonDocument(values).toJson(QJsonDocument::Compact);
}

Mail_Result sendEmail_pyth(const Mail_Message& message, int time_limit_ms,
                           const QString& script_path,
                           const std::function<bool()>& stop_requested) {
  Mail_Result result;
  auto stop_wanted = [&] { return stop_requested && stop_requested(); };
  if (stop_wanted()) {
    result.stopped = true;
    result.reason = QStringLiteral("Sending was stopped.");
    return result;
  }
  const QString script = script_path.isEmpty() ? Mail_Script_Path() : script_path;
  if (!QFileInfo(script).isFile()) {
    result.reason = QStringLiteral("The mail script %1 is missing.").arg(script);
    Show_NSLog_Message(result.reason);
    return result;
  }

  QProcess process;
  QProcessEnvironment environment;  // nothing of ours is passed on
  environment.insert(QStringLiteral("PYTHONPATH"), QString(""));
  environment.insert(QStringLiteral("PATH"), QStringLiteral("/bin:/usr/bin:/usr/local/bin"));
  process.setProcessEnvironment(environment);
  process.setProcessChannelMode(QProcess::ForwardedOutputChannel);
  process.setProgram(Mail_Interpreter());
  process.setArguments(Mail_Script_Arguments(script, message));
#ifdef Q_OS_UNIX
  // Runs in the child between fork and exec: system calls only. The script ends with the
  // program: when the thread that started it ends (with the program, killed or ended by a
  // logout), the system kills the script; a program already gone before that was set up
  // leaves a child of another parent, which ends at once. The script also watches its
  // parent itself.
  const pid_t parent = ::getpid();
  process.setChildProcessModifier([parent] {
    const rlimit limit{rlim_t(Mail_Script_Memory_Limit), rlim_t(Mail_Script_Memory_Limit)};
    ::setrlimit(RLIMIT_DATA, &limit);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);
  });
#endif

  QByteArray errors;
  bool timed_out = false;
  bool failed_to_start = false;
  bool stopped = false;
  QEventLoop loop;
  QTimer limit;
  limit.setSingleShot(true);
  // A stop ends the script at once: the e-mail under way is given up, not waited for.
  QTimer watch;
  watch.setInterval(50);
  QTimer grace;
  grace.setSingleShot(true);
  QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
    if (!stop_wanted()) return;
    watch.stop();
    stopped = true;
    process.terminate();
    grace.start(Mail_Script_Stop_Grace_ms);
  });
  QObject::connect(&grace, &QTimer::timeout, &loop, [&] { process.kill(); });
  QObject::connect(&process, &QProcess::readyReadStandardError, &loop, [&] {
    const QByteArray more = process.readAllStandardError();
    if (errors.size() < kept_error_bytes) errors += more.left(kept_error_bytes - errors.size());
  });
  QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
  QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) {
      failed_to_start = true;
      loop.quit();
    }
  });
  QObject::connect(&limit, &QTimer::timeout, &loop, [&] {
    timed_out = true;
    process.kill();
  });

  process.start(QIODevice::ReadWrite);
  if (!failed_to_start) {
    process.write(Mail_Script_Input(message));
    process.closeWriteChannel();
    limit.start(time_limit_ms);
    if (stop_requested) watch.start();
    loop.exec();
  }
  limit.stop();
  watch.stop();
  grace.stop();
  if (process.state() != QProcess::NotRunning) {
    process.kill();
    process.waitForFinished(1000);
  }
  errors += process.readAllStandardError().left(qMax<qsizetype>(0, kept_error_bytes - errors.size()));

  const bool ended_well =
      process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
  // A script that had sent its e-mail and ended when the stop came counts as sent.
  if (stopped && !ended_well) {
    result.stopped = true;
    result.reason = QStringLiteral("Sending was stopped.");
  } else if (failed_to_start) {
    result.reason = QStringLiteral("%1 could not be started: %2")
                        .arg(Mail_Interpreter(), process.errorString());
  } else if (timed_out) {
    result.reason = QStringLiteral("The mail script did not end within %1 seconds.")
                        .arg(time_limit_ms / 1000);
  } else if (process.exitStatus() != QProcess::NormalExit) {
    result.reason = QStringLiteral("The mail script crashed.");
  } else if (process.exitCode() != 0) {
    result.reason = Trim_Str(QString::fromUtf8(errors));
    if (result.reason.isEmpty())
      result.reason = QStringLiteral("The mail script ended with status %1.").arg(process.exitCode());
  } else {
    result.sent = true;
  }
  if (!result.sent) Show_NSLog_Message(result.reason);
  return result;
}
