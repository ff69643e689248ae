#include "crash/crash_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "crash/report_file.h"

namespace kestrum {

namespace {

QLabel* MakeMessageLabel(const QString& message, QWidget* parent) {
  auto* label = new QLabel(message, parent);
  label->setObjectName(QStringLiteral("message"));
  QFont font = label->font();
  font.setBold(true);
  font.setPointSizeF(font.pointSizeF() * 1.25);
  label->setFont(font);
  label->setWordWrap(true);
  label->setTextFormat(Qt::PlainText);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

QPlainTextEdit* MakeDetailsArea(const QString& text, QWidget* parent) {
  auto* details = new QPlainTextEdit(text, parent);
  details->setObjectName(QStringLiteral("details"));
  details->setReadOnly(true);
  details->setLineWrapMode(QPlainTextEdit::NoWrap);
  details->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  return details;
}

QString DefaultSaveDirectory() {
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return documents.isEmpty() ? QDir::homePath() : documents;
}

}  // namespace

CrashDialog::CrashDialog(ErrorReport report, QWidget* parent) : QDialog(parent), report_(std::move(report)) {
  setWindowTitle(QStringLiteral("Error"));
  setObjectName(QStringLiteral("CrashDialog"));

  message_ = MakeMessageLabel(report_.message, this);
  auto* consequence = new QLabel(QStringLiteral("The action was stopped. The program goes on."), this);
  details_ = MakeDetailsArea(report_.toText(), this);

  saveStatus_ = new QLabel(this);
  saveStatus_->setObjectName(QStringLiteral("saveStatus"));
  saveStatus_->setWordWrap(true);
  saveStatus_->setTextFormat(Qt::PlainText);

  auto* buttons = new QDialogButtonBox(this);
  saveButton_ = buttons->addButton(QStringLiteral("Save report..."), QDialogButtonBox::ActionRole);
  saveButton_->setObjectName(QStringLiteral("saveButton"));
  closeButton_ = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::AcceptRole);
  closeButton_->setObjectName(QStringLiteral("closeButton"));
  closeButton_->setDefault(true);
  connect(saveButton_, &QPushButton::clicked, this, &CrashDialog::saveReportAs);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(message_);
  layout->addWidget(consequence);
  layout->addWidget(new QLabel(QStringLiteral("Details:"), this));
  layout->addWidget(details_, 1);
  layout->addWidget(saveStatus_);
  layout->addWidget(buttons);
  resize(640, 420);
}

bool CrashDialog::saveReportTo(const QString& path) {
  QString why;
  const bool saved = WriteReportFile(report_, path, &why);
  const QString shownPath = QDir::toNativeSeparators(path);
  saveStatus_->setText(saved ? QStringLiteral("Report saved to %1").arg(shownPath)
                             : QStringLiteral("The report could not be saved to %1: %2").arg(shownPath, why));
  return saved;
}

void CrashDialog::saveReportAs() {
  const QString suggested = QDir(DefaultSaveDirectory()).filePath(SuggestedReportFileName(report_));
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save report"), suggested,
                                                    QStringLiteral("Text files (*.txt)"));
  if (!path.isEmpty()) {
    saveReportTo(path);
  }
}

void ShowCrashDialog(const ErrorReport& report) {
  CrashDialog dialog(report, QApplication::activeWindow());
  dialog.exec();
}

}  // namespace kestrum
