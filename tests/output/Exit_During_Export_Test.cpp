// Ending the process while export workers draw: a child program starts a batch export and
// ends itself through Terminate (as the design window's Exit does) after some records.
// Every run must end cleanly: before the workers were stopped and waited for, about half of
// such exits crashed in the workers. And the workers must stop, not draw every record first:
// once asked to stop, each finishes at most the record it has begun.

#include "support/Test_Support.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(Exit_During_Export, TheProcessEndsCleanlyAfterItsWorkersStopped) {
  struct Case {
    int begun;  // records begun when the program ends itself
    const char* type;
  };
  const Case cases[] = {{1, "PNG"},  {4, "PNG"},  {12, "PNG"}, {30, "PNG"},
                        {2, "JPEG"}, {9, "JPEG"}, {3, "TIFF"}, {20, "TIFF"},
                        {5, "BMP"},  {16, "BMP"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.type << " after " << c.begun);
    QTemporaryDir folder;
    const test_support::Process_Result run = test_support::Run_Program(
        QStringLiteral(EXIT_DURING_EXPORT),
        {folder.path(), QString::number(c.begun), QString::fromLatin1(c.type)});
    EXPECT_EQ(run.exit_code, 0) << "-1: crashed or hung\n" << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("ending after ")) << run.out.toStdString();
    EXPECT_FALSE(run.out.contains(" 2000 of 2000")) << "the export had ended already";
    const QRegularExpressionMatch stopped =
        QRegularExpression(QStringLiteral("\nstopped after (\\d+) of \\d+, (\\d+) workers\n$"))
            .match(QString::fromUtf8(run.out));
    ASSERT_TRUE(stopped.hasMatch()) << run.out.toStdString();
    const int begun = stopped.captured(1).toInt(), workers = stopped.captured(2).toInt();
    const QStringList cards = QDir(folder.filePath(QStringLiteral("out")))
                                  .entryList(QDir::Files | QDir::Hidden, QDir::Name);
    ASSERT_LE(cards.size(), begun + workers)
        << "cards written after the stop: the workers went on with the export";
  }
}

}  // namespace
