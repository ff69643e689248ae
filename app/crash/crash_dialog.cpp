#include "crash/crash_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "crash/report_file.h"

namespace kestrum {

namespace {

// Wraps at spaces and takes the width the dialog gives it: a word wider than
// that (a path, a pasted number) is cut at the edge rather than widening the
// dialog beyond the screen; the details hold it whole.
QLabel* MakeWrappedLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setWordWrap(true);
  label->setTextFormat(Qt::PlainText);
  QSizePolicy policy = label->sizePolicy();
  policy.setHorizontalPolicy(QSizePolicy::Ignored);
  label->setSizePolicy(policy);
  return label;
}

QLabel* MakeMessageLabel(const QString& message, QWidget* parent) {
  auto* label = MakeWrappedLabel(message, parent);
  label->setObjectName(QStringLiteral("message"));
  QFont font = label->font();
  font.setBold(true);
  font.setPointSizeF(font.pointSizeF() * 1.25);
  label->setFont(font);
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
  details_ = MakeDetailsArea(report_.ToText(), this);

  saveStatus_ = MakeWrappedLabel(QString(), this);
  saveStatus_->setObjectName(QStringLiteral("saveStatus"));

  auto* buttons = new QDialogButtonBox(this);
  saveButton_ = buttons->addButton(QStringLiteral("Save report..."), QDialogButtonBox::ActionRole);
  saveButton_->setObjectName(QStringLiteral("saveButton"));
  closeButton_ = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::AcceptRole);
  closeButton_->setObjectName(QStringLiteral("closeButton"));
  closeButton_->setDefault(true);
  connect(saveButton_, &QPushButton::clicked, this, &CrashDialog::SaveReportAs);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(message_);
  layout->addWidget(consequence);
  layout->addWidget(new QLabel(QStringLiteral("Details:"), this));
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
  saveStatus_->setText(saved ? QStringLiteral("Report saved to %1").arg(shownPath)
                             : QStringLiteral("The report could not be saved to %1: %2").arg(shownPath, why));
  return saved;
}

void CrashDialog::SaveReportAs() {
  const QString suggested = QDir(DefaultSaveDirectory()).filePath(SuggestedReportFileName(report_));
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save report"), suggested,
                                                    QStringLiteral("Text files (*.txt)"));
  if (!path.isEmpty()) {
    SaveReportTo(path);
  }
}

void ShowCrashDialog(const ErrorReport& report) {
  CrashDialog dialog(report, QApplication::activeWindow());
  dialog.exec();
}

}  // namespace kestrum
