// An exception that escapes outside any event handler: reported on stderr and
// in a file in the temp directory, then the program aborts.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <stdexcept>

#include "crash_reports/terminate_reporter.h"

namespace kestrum {
namespace {

#if GTEST_HAS_DEATH_TEST && !defined(_WIN32)

[[noreturn]] void ThrowOutOfRange() { throw std::out_of_range("record 256 of 255"); }

// noexcept: no handler can catch what leaves it, as on a thread of its own.
void LeaveWithoutHandler() noexcept { ThrowOutOfRange(); }

TEST(TerminateReporterDeathTest, EscapedExceptionIsReportedToStderrAndTempFileThenAborts) {
  // "fast": the child is a fork that shares this test's temp directory.
  GTEST_FLAG_SET(death_test_style, "fast");
  QTemporaryDir temp;
  ASSERT_TRUE(temp.isValid());
  const QByteArray savedTemp = qgetenv("TMPDIR");
  qputenv("TMPDIR", QFile::encodeName(temp.path()));

  EXPECT_EXIT(
      {
        InstallTerminateReporter();
        LeaveWithoutHandler();
      },
      ::testing::KilledBySignal(SIGABRT),
      "Message: record 256 of 255\nType: std::out_of_range\nWhere: outside any event handler.*Report saved to ");

  if (savedTemp.isEmpty()) {
    qunsetenv("TMPDIR");
  } else {
    qputenv("TMPDIR", savedTemp);
  }
  const QStringList reports = QDir(temp.path()).entryList({QStringLiteral("kestrum-error-*.txt")}, QDir::Files);
  ASSERT_EQ(reports.size(), 1) << reports.join(' ').toStdString();
  QFile file(QDir(temp.path()).filePath(reports.front()));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(file.readAll());
  EXPECT_TRUE(text.contains(QStringLiteral("Message: record 256 of 255"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("stack at std::terminate")));
}

#endif

}  // namespace
}  // namespace kestrum
