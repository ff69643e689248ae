// The next start after a fatal error: the report a crashing child left is
// found once and kept; the notice shows it, opens its folder and copies it;
// damaged, huge and unmarkable reports are told, never loaded whole.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "crash_reports/fatal/report_layout.h"
#include "crash_reports/fatal_report_notice.h"
#include "crash_reports/leftover_fatal_report.h"
#include "crashing_child.h"

namespace kestrum {
namespace {

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  file.write(bytes);
}

class FatalReportNoticeTest : public ::testing::Test {
 protected:
  QString pendingPath(const char* name) const {
    return QDir(folder.path()).filePath(QStringLiteral("kestrum-crash-%1.pending").arg(QLatin1String(name)));
  }

  // The report of a child that really crashed, in the folder.
  QString CrashChildIntoFolder() {
    // abort: the one fatal error the sanitizers leave to the program.
    const testing::ChildOutcome outcome =
        testing::RunCrashingChild(testing::CrashKind::kAbort, folder.path().toStdString(),
                                  QDir(folder.path()).filePath(QStringLiteral("child.out")).toStdString());
    EXPECT_TRUE(outcome.ended);
    const QStringList pending = QDir(folder.path()).entryList({QStringLiteral("*.pending")}, QDir::Files);
    EXPECT_EQ(pending.size(), 1) << pending.join(' ').toStdString();
    return pending.isEmpty() ? QString() : QDir(folder.path()).filePath(pending.front());
  }

  QTemporaryDir folder;
};

TEST_F(FatalReportNoticeTest, NextStartFindsTheCrashedChildsReportOnceAndKeepsIt) {
  const QString pending = CrashChildIntoFolder();
  const QByteArray written = FileBytes(pending);

  const std::optional<LeftoverFatalReport> first = TakeLeftoverFatalReport(folder.path());

  ASSERT_TRUE(first.has_value());
  EXPECT_TRUE(first->complete);
  EXPECT_FALSE(first->truncated);
  EXPECT_TRUE(first->markingError.isEmpty()) << first->markingError.toStdString();
  EXPECT_EQ(first->text.toUtf8(), written);
  EXPECT_TRUE(first->text.contains(QStringLiteral("Error: SIGABRT")));
  EXPECT_TRUE(first->path.endsWith(QStringLiteral(".txt")));
  EXPECT_FALSE(QFile::exists(pending));
  EXPECT_EQ(FileBytes(first->path), written);

  EXPECT_FALSE(TakeLeftoverFatalReport(folder.path()).has_value());
  EXPECT_EQ(FileBytes(first->path), written);
}

TEST_F(FatalReportNoticeTest, StartShowsTheNoticeOnceThenGoesOn) {
  WriteFile(pendingPath("1"), QByteArray(kReportTitleLine.data()) + "Error: SIGSEGV\n" + kReportEndLine.data());
  int shown = 0;
  QString shownText;
  // The notice is modal: close it from inside its own event loop.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (auto* notice = qobject_cast<FatalReportNotice*>(QApplication::activeModalWidget())) {
      ++shown;
      shownText = notice->findChild<QPlainTextEdit*>(QStringLiteral("report"))->toPlainText();
      notice->accept();
    }
  });
  closer.start(10);

  ShowLeftoverFatalReport(folder.path());
  ShowLeftoverFatalReport(folder.path());

  EXPECT_EQ(shown, 1);
  EXPECT_TRUE(shownText.contains(QStringLiteral("Error: SIGSEGV")));
}

TEST_F(FatalReportNoticeTest, ButtonsOpenTheFolderAndCopyTheWholeReport) {
  CrashChildIntoFolder();
  std::optional<LeftoverFatalReport> report = TakeLeftoverFatalReport(folder.path());
  ASSERT_TRUE(report.has_value());
  const QString reportText = report->text;
  QList<QUrl> opened;
  bool openingWorks = true;
  FatalReportNotice notice(*report, [&](const QUrl& url) {
    opened << url;
    return openingWorks;
  });
  auto* where = notice.findChild<QLabel*>(QStringLiteral("where"));
  ASSERT_NE(where, nullptr);
  EXPECT_TRUE(where->text().contains(QDir::toNativeSeparators(report->path)));
  EXPECT_FALSE(notice.findChild<QLabel*>(QStringLiteral("notes"))->isVisibleTo(&notice));

  QTest::mouseClick(notice.findChild<QPushButton*>(QStringLiteral("copyButton")), Qt::LeftButton);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), reportText);
  EXPECT_TRUE(reportText.endsWith(QLatin1String(kReportEndLine.data())));

  QTest::mouseClick(notice.findChild<QPushButton*>(QStringLiteral("openFolderButton")), Qt::LeftButton);
  ASSERT_EQ(opened.size(), 1);
  EXPECT_EQ(QDir(opened.front().toLocalFile()), QDir(folder.path()));

  openingWorks = false;
  QTest::mouseClick(notice.findChild<QPushButton*>(QStringLiteral("openFolderButton")), Qt::LeftButton);
  EXPECT_TRUE(notice.findChild<QLabel*>(QStringLiteral("status"))->text().contains(QStringLiteral("无法打开")));
}

TEST_F(FatalReportNoticeTest, HugeDamagedReportIsShownCutAndTold) {
  // Zero bytes, a broken UTF-8 sequence and no end line, far beyond the limit.
  QByteArray damaged = QByteArray(kReportTitleLine.data()) + QByteArray("\0\xC3\x28", 3);
  damaged += QByteArray(8 * kMostShownReportBytes, 'x');
  WriteFile(pendingPath("damaged"), damaged);

  const std::optional<LeftoverFatalReport> report = TakeLeftoverFatalReport(folder.path());

  ASSERT_TRUE(report.has_value());
  EXPECT_TRUE(report->truncated);
  EXPECT_FALSE(report->complete);
  EXPECT_EQ(report->fileBytes, damaged.size());
  EXPECT_LE(report->text.toUtf8().size(), kMostShownReportBytes + 16);
  EXPECT_FALSE(report->text.contains(QChar(0)));
  FatalReportNotice notice(*report, [](const QUrl&) { return true; });
  const QString notes = notice.findChild<QLabel*>(QStringLiteral("notes"))->text();
  EXPECT_TRUE(notes.contains(QStringLiteral("报告不完整"))) << notes.toStdString();
  EXPECT_TRUE(notes.contains(QStringLiteral("只显示前"))) << notes.toStdString();
}

TEST_F(FatalReportNoticeTest, ReportThatCannotBeMarkedAsShownIsToldAndKeptPending) {
  WriteFile(pendingPath("1"), QByteArray(kReportTitleLine.data()) + kReportEndLine.data());
  // Where the shown report would go stands a folder: the rename fails, even
  // for root, as in a folder that cannot be written.
  ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("kestrum-crash-1.txt/x")));
  WriteFile(pendingPath("0-older"), QByteArray(kReportTitleLine.data()));
  QFile older(pendingPath("0-older"));
  ASSERT_TRUE(older.open(QIODevice::ReadWrite));
  older.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
  older.close();

  const std::optional<LeftoverFatalReport> report = TakeLeftoverFatalReport(folder.path());

  ASSERT_TRUE(report.has_value());
  EXPECT_FALSE(report->markingError.isEmpty());
  EXPECT_EQ(report->path, pendingPath("1"));
  EXPECT_TRUE(QFile::exists(pendingPath("1")));
  FatalReportNotice notice(*report, [](const QUrl&) { return true; });
  const QString notes = notice.findChild<QLabel*>(QStringLiteral("notes"))->text();
  EXPECT_TRUE(notes.contains(QStringLiteral("无法写入"))) << notes.toStdString();
  EXPECT_TRUE(notes.contains(QStringLiteral("1 份较早的报告"))) << notes.toStdString();
}

TEST_F(FatalReportNoticeTest, OnlyTheNewestShownReportsAreKeptWithTheirMinidumps) {
  const QDir reports(folder.path());
  const auto shown = [&](int i) { return reports.filePath(QStringLiteral("kestrum-crash-old-%1.txt").arg(i)); };
  const auto minidump = [&](int i) { return reports.filePath(QStringLiteral("kestrum-crash-old-%1.dmp").arg(i)); };
  // Shown long ago, the oldest first; and one report that waits.
  const int older = static_cast<int>(kMostKeptShownReports) + 5;
  for (int i = 0; i < older; ++i) {
    WriteFile(shown(i), QByteArray(kReportTitleLine.data()));
    WriteFile(minidump(i), QByteArray("MDMP"));
    QFile file(shown(i));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.setFileTime(QDateTime::currentDateTime().addSecs(i - 1000), QFileDevice::FileModificationTime);
  }
  WriteFile(pendingPath("new"), QByteArray(kReportTitleLine.data()) + kReportEndLine.data());

  ASSERT_TRUE(TakeLeftoverFatalReport(folder.path()).has_value());

  EXPECT_EQ(reports.entryList({QStringLiteral("*.txt")}, QDir::Files).size(), kMostKeptShownReports);
  EXPECT_TRUE(QFile::exists(reports.filePath(QStringLiteral("kestrum-crash-new.txt"))));
  // The newly shown one and the newest older ones stay; the six oldest go.
  for (int i = 0; i < older; ++i) {
    const bool kept = i >= 6;
    EXPECT_EQ(QFile::exists(shown(i)), kept) << i;
    EXPECT_EQ(QFile::exists(minidump(i)), kept) << i;
  }
}

}  // namespace
}  // namespace kestrum
