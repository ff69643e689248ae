#include "crash_reports/crash_dialog.h"

#include <QCoreApplication>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "crash_reports/report_dialog_parts.h"
#include "crash_reports/report_file.h"

namespace kestrum {

namespace {

QString DefaultSaveDirectory() {
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return documents.isEmpty() ? QDir::homePath() : documents;
}

}  // namespace

CrashDialog::CrashDialog(ErrorReport report, QWidget* parent) : QDialog(parent), report_(std::move(report)) {
  setWindowTitle(QCoreApplication::translate("Kestrum", "错误"));
  setObjectName(QStringLiteral("CrashDialog"));

  message_ = MakeReportHeadline(report_.message, "message", this);
  auto* consequence = new QLabel(QCoreApplication::translate("Kestrum", "操作已停止，程序继续运行。"), this);
  details_ = MakeReportView(report_.ToText(), "details", this);

  saveStatus_ = MakeReportLabel(QString(), "saveStatus", this);

  auto* buttons = new QDialogButtonBox(this);
  saveButton_ = AddReportButton(buttons, QCoreApplication::translate("Kestrum", "保存报告..."), "saveButton", QDialogButtonBox::ActionRole);
  closeButton_ = AddReportButton(buttons, QCoreApplication::translate("Kestrum", "关闭"), "closeButton", QDialogButtonBox::AcceptRole);
  closeButton_->setDefault(true);
  connect(saveButton_, &QPushButton::clicked, this, &CrashDialog::SaveReportAs);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(message_);
  layout->addWidget(consequence);
  layout->addWidget(new QLabel(QCoreApplication::translate("Kestrum", "详细信息:"), this));
  layout->addWidget(details_, 1);
  layout->addWidget(saveStatus_);
  layout->addWidget(buttons);
  FitOnScreen();
}

void CrashDialog::FitOnScreen() {
  const QScreen* screen = this->screen();  // the parent's, before the dialog is shown
  const QSize preferred(640, 420);
  if (screen == nullptr) {
    resize(preferred);
    return;
  }
  // The frame's title bar and edges need room too.
  constexpr int kFrameAllowance = 64;
  const QSize room = screen->availableGeometry().size() - QSize(kFrameAllowance, kFrameAllowance);
  setMaximumSize(room);
  resize(preferred.boundedTo(room));
}

bool CrashDialog::SaveReportTo(const QString& path) {
  QString why;
  const bool saved = WriteReportFile(report_, path, &why);
  const QString shownPath = QDir::toNativeSeparators(path);
  saveStatus_->setText(saved ? QCoreApplication::translate("Kestrum", "报告已保存到 %1").arg(shownPath)
                             : QCoreApplication::translate("Kestrum", "报告无法保存到 %1：%2").arg(shownPath, why));
  return saved;
}

void CrashDialog::SaveReportAs() {
  const QString suggested = QDir(DefaultSaveDirectory()).filePath(SuggestedReportFileName(report_));
  const QString path = QFileDialog::getSaveFileName(this, QCoreApplication::translate("Kestrum", "保存报告"), suggested,
                                                    QCoreApplication::translate("Kestrum", "文本文件 (*.txt)"));
  if (!path.isEmpty()) {
    SaveReportTo(path);
  }
}

void ShowCrashDialog(const ErrorReport& report) {
  CrashDialog dialog(report, QApplication::activeWindow());
  dialog.exec();
}

}  // namespace kestrum
