// The dialog that tells the operator: message, details, saving the report,
// closing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "crash_reports/crash_dialog.h"

namespace kestrum {
namespace {

ErrorReport SampleReport() {
  ErrorReport report;
  report.message = QStringLiteral("'abc' is not a valid integer value");
  report.exceptionType = QStringLiteral("kestrum::ConversionError");
  report.caughtWhere = QStringLiteral("QPushButton \"btnModify\", handling a MouseButtonRelease event");
  report.time = QDateTime(QDate(2026, 1, 5), QTime(14, 30, 1));
  report.program = QStringLiteral("Kestrum 0.1.0 (process 77)");
  report.operatingSystem = QStringLiteral("Debian GNU/Linux 12, linux 6.1, x86_64");
  report.callStackNote = QStringLiteral("stack at the point of catching");
  report.callStack = QStringList{QStringLiteral("./Kestrum(+0x1234) [0x5500]")};
  report.loadedModules = QStringList{QStringLiteral("0x7f0000000000 /usr/lib/libQt6Widgets.so.6")};
  report.processorState = QStringLiteral("no fault context: a C++ exception");
  report.processes = QStringList{QStringLiteral("77 Kestrum")};
  return report;
}

QString FileText(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text)) << path.toStdString();
  return QString::fromUtf8(file.readAll());
}

// What a developer needs from a saved report, whatever the layout around it.
void ExpectFullReport(const QString& text, const ErrorReport& report) {
  for (const QString& part :
       {report.message, report.exceptionType, report.caughtWhere, report.program, report.operatingSystem,
        report.callStackNote, report.callStack.front(), report.loadedModules.front(), report.processorState,
        report.processes.front(), QStringLiteral("2026-01-05T14:30:01")}) {
    EXPECT_TRUE(text.contains(part)) << "missing " << part.toStdString() << " in\n" << text.toStdString();
  }
}

class CrashDialogTest : public ::testing::Test {
 protected:
  ErrorReport report = SampleReport();
  CrashDialog dialog{report};
  QTemporaryDir directory;

  template <typename T>
  T* Child(const char* name) {
    T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
};

TEST_F(CrashDialogTest, ShowsTheMessageAndTheFullReport) {
  EXPECT_EQ(Child<QLabel>("message")->text(), report.message);
  auto* details = Child<QPlainTextEdit>("details");
  EXPECT_TRUE(details->isReadOnly());
  ExpectFullReport(details->toPlainText(), report);
}

// A message without a space to wrap at, such as a pasted number, or a long
// path in the save status: the dialog stays on the screen, buttons and all.
TEST_F(CrashDialogTest, LongWordsKeepTheDialogOnTheScreen) {
  report.message = QStringLiteral("'%1' is not a valid integer value").arg(QString(5000, u'7'));
  CrashDialog wide(report);
  wide.SaveReportTo(QStringLiteral("/%1/report.txt").arg(QString(3000, u'd')));
  wide.show();
  const QRect screen = wide.screen()->availableGeometry();
  EXPECT_TRUE(screen.contains(wide.frameGeometry()))
      << wide.frameGeometry().width() << " x " << wide.frameGeometry().height();
  for (const char* name : {"saveButton", "closeButton"}) {
    const auto* button = wide.findChild<QPushButton*>(QString::fromLatin1(name));
    EXPECT_TRUE(screen.contains(QRect(button->mapToGlobal(QPoint(0, 0)), button->size()))) << name;
  }
}

TEST_F(CrashDialogTest, SavesTheReportAsAUtf8TextFile) {
  report.message = QStringLiteral("'端口' is not a valid integer value");
  CrashDialog chineseDialog(report);
  const QString path = directory.filePath(QStringLiteral("report.txt"));

  ASSERT_TRUE(chineseDialog.SaveReportTo(path));

  ExpectFullReport(FileText(path), report);
  EXPECT_EQ(FileText(path), report.ToText());
}

TEST_F(CrashDialogTest, FailedSaveIsToldInTheDialog) {
  const QString path = directory.filePath(QStringLiteral("no such folder/report.txt"));

  EXPECT_FALSE(dialog.SaveReportTo(path));

  EXPECT_FALSE(QFile::exists(path));
  EXPECT_TRUE(Child<QLabel>("saveStatus")->text().startsWith(QStringLiteral("报告无法保存到")));
}

TEST_F(CrashDialogTest, SaveButtonAsksForAFileAndSavesThere) {
  const QString path = directory.filePath(QStringLiteral("chosen.txt"));
  bool fileDialogSeen = false;
  // The file dialog is modal; answer it from inside its own event loop.
  QTimer::singleShot(0, &dialog, [&] {
    auto* fileDialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (fileDialog == nullptr) {
      return;
    }
    fileDialogSeen = true;
    EXPECT_TRUE(fileDialog->selectedFiles().value(0).endsWith(QStringLiteral("kestrum-error-20260105-143001.txt")));
    fileDialog->selectFile(path);
    static_cast<QDialog*>(fileDialog)->accept();  // public in QDialog
  });

  QTest::mouseClick(Child<QPushButton>("saveButton"), Qt::LeftButton);

  ASSERT_TRUE(fileDialogSeen);
  ExpectFullReport(FileText(path), report);
}

TEST_F(CrashDialogTest, CloseButtonClosesTheDialog) {
  dialog.show();
  QTest::mouseClick(Child<QPushButton>("closeButton"), Qt::LeftButton);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace kestrum
