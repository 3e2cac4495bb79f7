#pragma once
// A cupsd of the test's own with one cups-pdf queue. The cupsd listens only on a socket in
// a temporary folder; the application is pointed at it with CUPS_SERVER and a temporary
// HOME, so no CUPS of the machine is ever asked. cups-pdf reads its instance settings from
// /etc/cups: one is written under a name of its own and deleted at the end. Needs root
// (cupsd runs cups-pdf only as root). Used by the printing tests and the print measurement.

#include "support/Test_Support.h"

#include <QByteArray>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <dlfcn.h>
#include <unistd.h>

namespace test_support {

// A cupsd of the test's own with one cups-pdf queue.
class Private_Cups {
 public:
  bool Start(QString* why) {
    if (!folder_.isValid()) return Fail(why, "no temporary folder");
    dir_ = QDir(folder_.path());
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                           QFile::ReadGroup | QFile::ExeGroup |
                                           QFile::ReadOther | QFile::ExeOther);
    for (const char* sub : {"cache", "state", "log", "out", "pdf-spool", "spool", "tmp"})
      dir_.mkpath(QString::fromLatin1(sub));
    // The request and temporary folders as cupsd wants them: root:lp 0710 and 1770.
    if (Run("chown", {"root:lp", Path("spool"), Path("tmp")}) != 0 ||
        Run("chmod", {"0710", Path("spool")}) != 0 || Run("chmod", {"1770", Path("tmp")}) != 0 ||
        Run("chmod", {"1777", Path("out")}) != 0)
      return Fail(why, "cannot prepare the spool folders");
    Write("cupsd.conf", QStringLiteral("Listen %1\nBrowsing No\nDefaultAuthType None\n"
                                       "WebInterface No\nLogLevel warn\n"
                                       "<Policy default>\n  <Limit All>\n    Order deny,allow\n"
                                       "  </Limit>\n</Policy>\n")
                            .arg(Socket()));
    Write("cups-files.conf",
          QStringLiteral("ServerRoot %1\nStateDir %1/state\nCacheDir %1/cache\n"
                         "AccessLog %1/log/access_log\nErrorLog %1/log/error_log\n"
                         "PageLog %1/log/page_log\nPrintcap %1/printcap\n"
                         "RequestRoot %1/spool\nTempDir %1/tmp\n")
              .arg(dir_.path()));
    instance_ = QStringLiteral("lumigrove%1x%2").arg(getpid()).arg(QDateTime::currentMSecsSinceEpoch());
    instance_conf_ = QStringLiteral("/etc/cups/cups-pdf-%1.conf").arg(instance_);
    QFile conf(instance_conf_);
    if (!conf.open(QIODevice::WriteOnly))
      return Fail(why, "cannot write the cups-pdf instance settings");
    conf.write(QStringLiteral("Out %1\nAnonDirName %1\nSpool %2\nLog %3\n")
                   .arg(Path("out"), Path("pdf-spool"), Path("log"))
                   .toUtf8());
    conf.close();

    cupsd_.setProgram(QStringLiteral("/usr/sbin/cupsd"));
    cupsd_.setArguments({"-f", "-c", Path("cupsd.conf"), "-s", Path("cups-files.conf")});
    cupsd_.setProcessChannelMode(QProcess::MergedChannels);
    cupsd_.start();
    if (!cupsd_.waitForStarted(test_support::kDeadlock_Guard_Ms)) return Fail(why, "cupsd does not start");
    QDeadlineTimer deadline(test_support::kDeadlock_Guard_Ms);
    while (!QFileInfo::exists(Socket()) && !deadline.hasExpired()) QThread::msleep(50);
    if (!QFileInfo::exists(Socket())) return Fail(why, "cupsd made no socket");
    saved_server_ = qgetenv("CUPS_SERVER");
    saved_home_ = qgetenv("HOME");
    environment_set_ = true;
    qputenv("CUPS_SERVER", Socket().toUtf8());
    // libcups keeps the server a thread asked for first: after an earlier test's cupsd the
    // main thread is pointed at this one.
    if (void* cups = dlopen("libcups.so.2", RTLD_NOW | RTLD_NOLOAD)) {
      using Set_Server = void (*)(const char*);
      if (auto set = reinterpret_cast<Set_Server>(dlsym(cups, "cupsSetServer")))
        set(Socket().toUtf8().constData());
      dlclose(cups);
    }
    qputenv("HOME", Path("home").toUtf8());
    dir_.mkpath(QStringLiteral("home"));
    // lpadmin warns that printer drivers are deprecated; the queue works all the same.
    // cups-pdf takes PostScript, which CUPS makes with pdftocairo here: through Ghostscript
    // (the default) the job's TrueType fonts come out of cups-pdf (PDF 1.2) as unnamed
    // Type 3 fonts whose text cannot be read back; pdftocairo keeps them fonts.
    const auto added = test_support::Run_Program(
        "lpadmin", {"-p", Queue(), "-v", "cups-pdf:/" + instance_, "-P",
                    "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd", "-o",
                    "pdftops-renderer-default=pdftocairo", "-E"});
    if (added.exit_code != 0) return Fail(why, "lpadmin failed: " + added.err);
    return true;
  }

  void Stop() {
    if (cupsd_.state() == QProcess::NotRunning) return;
    cupsd_.terminate();  // SIGTERM to this cupsd's own pid
    if (!cupsd_.waitForFinished(15000)) {
      cupsd_.kill();
      cupsd_.waitForFinished(5000);
    }
  }

  ~Private_Cups() {
    Stop();
    if (!instance_conf_.isEmpty()) QFile::remove(instance_conf_);
    if (environment_set_) {
      if (saved_server_.isNull()) qunsetenv("CUPS_SERVER");
      else qputenv("CUPS_SERVER", saved_server_);
      qputenv("HOME", saved_home_);
    }
  }

  QString Queue() const { return QStringLiteral("q") + instance_; }
  QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

  // The next PDF cups-pdf writes, once its job is done (or "" after the time limit).
  QString Wait_For_Pdf(int number) {
    QDeadlineTimer deadline(test_support::kDeadlock_Guard_Ms);
    while (!deadline.hasExpired()) {
      const QStringList pdfs =
          QDir(Path("out")).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
      const auto pending = test_support::Run_Program("lpstat", {"-o", Queue()});
      if (pdfs.size() >= number && pending.exit_code == 0 && pending.out.trimmed().isEmpty()) {
        // Job numbers grow; the newest job's file names its number last.
        QString newest;
        for (const QString& pdf : pdfs)
          if (pdf.contains(QStringLiteral("job_%1").arg(number))) newest = pdf;
        if (!newest.isEmpty()) return QDir(Path("out")).filePath(newest);
      }
      QThread::msleep(200);
    }
    return {};
  }

 private:
  static bool Fail(QString* why, const QString& text) {
    *why = text;
    return false;
  }
  int Run(const char* program, const QStringList& arguments) {
    return test_support::Run_Program(QString::fromLatin1(program), arguments).exit_code;
  }
  void Write(const char* name, const QString& text) {
    QFile file(Path(name));
    if (file.open(QIODevice::WriteOnly)) file.write(text.toUtf8());
  }
  QString Socket() const { return Path("cups.sock"); }

  QTemporaryDir folder_;
  QDir dir_;
  QString instance_, instance_conf_;
  QProcess cupsd_;
  QByteArray saved_server_, saved_home_;
  bool environment_set_ = false;
};

}  // namespace test_support
