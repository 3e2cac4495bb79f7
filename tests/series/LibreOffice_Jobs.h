#pragma once
// One LibreOffice run that does a list of conversions: a Python macro in a private profile
// loads each source hidden and stores it with a filter. Jobs run in their order, so a later
// job may convert what an earlier one wrote.

#include "support/Test_Support.h"
#include "support/Deadlock_Guard.h"

#include "Series_Test_Support.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QUrl>

#include <gtest/gtest.h>

namespace series_test {

inline const char kConvertScript[] = R"(import os
import uno
from com.sun.star.beans import PropertyValue


def _property(name, value):
    p = PropertyValue()
    p.Name = name
    p.Value = value
    return p


def run(*args):
    desktop = XSCRIPTCONTEXT.getDesktop()
    jobs = os.environ["LUMIGROVE_CONVERT_JOBS"]
    with open(jobs + ".log", "w", encoding="utf-8") as log:
        try:
            for line in open(jobs, encoding="utf-8").read().splitlines():
                if not line:
                    continue
                source, target, filter_name, options = line.split("\t")
                try:
                    document = desktop.loadComponentFromURL(
                        uno.systemPathToFileUrl(source), "_blank", 0, (_property("Hidden", True),))
                    store = [_property("FilterName", filter_name)]
                    if options:
                        store.append(_property("FilterOptions", options))
                    document.storeToURL(uno.systemPathToFileUrl(target), tuple(store))
                    document.close(True)
                    log.write("ok\t" + target + "\n")
                except Exception as error:
                    log.write("failed\t" + target + "\t" + str(error) + "\n")
        finally:
            desktop.terminate()
)";

// A conversion: source path, target path, filter name, filter options.
struct Convert_Job {
  QString source, target, filter, options;
};

// Runs the jobs in one LibreOffice process whose profile lives in `work`/profile; fails the
// test unless every job succeeded. LibreOffice sometimes ends its first start with a new
// profile without running the macro at all (no log is written, under load more often): that
// start is tried once more with a new profile; a macro that ran and failed is not.
inline void Run_LibreOffice_Jobs(const QString& work, const QList<Convert_Job>& jobs) {
  ASSERT_TRUE(test_support::Have_Program("soffice")) << "LibreOffice is missing: run make deps";
  QStringList lines;
  for (const Convert_Job& job : jobs)
    lines << job.source + u'\t' + job.target + u'\t' + job.filter + u'\t' + job.options;
  const QString list = work + "/jobs.txt";
  Write_File(list, lines.join(u'\n').toUtf8() + '\n');

  QByteArray said;
  for (int attempt = 0; attempt < 2 && !QFileInfo::exists(list + ".log"); ++attempt) {
    QDir(work + "/profile").removeRecursively();
    Write_File(work + "/profile/user/Scripts/python/lumigrove_convert.py", kConvertScript);
    QProcess soffice;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LUMIGROVE_CONVERT_JOBS", list);
    soffice.setProcessEnvironment(environment);
    soffice.start("soffice",
                  {"--headless", "--norestore", "--nolockcheck",
                   "-env:UserInstallation=" + QUrl::fromLocalFile(work + "/profile").toString(),
                   "vnd.sun.star.script:lumigrove_convert.py$run?language=Python&location=user"});
    ASSERT_TRUE(soffice.waitForStarted(test_support::kDeadlock_Guard_Ms));
    if (!soffice.waitForFinished(test_support::kDeadlock_Guard_Ms)) {
      soffice.kill();
      soffice.waitForFinished();
      FAIL() << "LibreOffice did not finish";
    }
    said += "[start " + QByteArray::number(attempt + 1) + ", exit code " +
            QByteArray::number(soffice.exitCode()) + "] " + soffice.readAllStandardError();
  }
  const QString log = QString::fromUtf8(Read_File(list + ".log"));
  ASSERT_EQ(log.count(QStringLiteral("ok\t")), jobs.size()) << log.toStdString() << said.toStdString();
}

}  // namespace series_test
