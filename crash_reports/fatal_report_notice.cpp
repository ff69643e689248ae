#include "crash_reports/fatal_report_notice.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "crash_reports/report_dialog_parts.h"

namespace kestrum {

FatalReportNotice::FatalReportNotice(LeftoverFatalReport report, FolderOpener openFolder, QWidget* parent)
    : QDialog(parent), report_(std::move(report)), openFolder_(std::move(openFolder)) {
  setWindowTitle(QStringLiteral("Kestrum stopped"));
  setObjectName(QStringLiteral("FatalReportNotice"));
  if (!openFolder_) {
    openFolder_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
  }

  auto* where = MakeReportLabel(QStringLiteral("The report is kept in %1").arg(QDir::toNativeSeparators(report_.path)),
                                "where", this);
  auto* notesLabel = MakeReportLabel(Notes(), "notes", this);
  notesLabel->setVisible(!notesLabel->text().isEmpty());
  status_ = MakeReportLabel(QString(), "status", this);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* open =
      AddReportButton(buttons, QStringLiteral("Open folder"), "openFolderButton", QDialogButtonBox::ActionRole);
  QPushButton* copy =
      AddReportButton(buttons, QStringLiteral("Copy report"), "copyButton", QDialogButtonBox::ActionRole);
  QPushButton* close = AddReportButton(buttons, QStringLiteral("Close"), "closeButton", QDialogButtonBox::AcceptRole);
  close->setDefault(true);
  connect(open, &QPushButton::clicked, this, &FatalReportNotice::OpenReportFolder);
  connect(copy, &QPushButton::clicked, this, &FatalReportNotice::CopyReport);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(
      MakeReportHeadline(QStringLiteral("Kestrum stopped after a fatal error the last time it ran."), "message", this));
  layout->addWidget(where);
  layout->addWidget(notesLabel);
  layout->addWidget(MakeReportView(report_.text, "report", this), 1);
  layout->addWidget(status_);
  layout->addWidget(buttons);
  resize(640, 420);
}

QString FatalReportNotice::Notes() const {
  QStringList lines;
  if (!report_.markingError.isEmpty()) {
    lines << QStringLiteral(
                 "The report folder cannot be written (%1): this report will be shown again at the next "
                 "start.")
                 .arg(report_.markingError);
  }
  if (!report_.complete) {
    lines << QStringLiteral("The report is incomplete: writing it was cut short.");
  }
  if (report_.truncated) {
    lines << QStringLiteral("The file holds %1 bytes; only the first %2 are shown.")
                 .arg(report_.fileBytes)
                 .arg(kMostShownReportBytes);
  }
  if (report_.olderReports > 0) {
    lines << QStringLiteral("%1 older report(s) are kept in the same folder.").arg(report_.olderReports);
  }
  return lines.join(QLatin1Char('\n'));
}

void FatalReportNotice::OpenReportFolder() {
  const QString folder = QFileInfo(report_.path).absolutePath();
  if (!openFolder_(QUrl::fromLocalFile(folder))) {
    status_->setText(QStringLiteral("The folder %1 could not be opened.").arg(QDir::toNativeSeparators(folder)));
  }
}

void FatalReportNotice::CopyReport() {
  QGuiApplication::clipboard()->setText(report_.text);
  status_->setText(report_.truncated ? QStringLiteral("The shown part of the report was copied to the clipboard.")
                                     : QStringLiteral("The report was copied to the clipboard."));
}

void ShowLeftoverFatalReport(const QString& folder) {
  std::optional<LeftoverFatalReport> report = TakeLeftoverFatalReport(folder);
  if (report) {
    FatalReportNotice notice(std::move(*report));
    notice.exec();
  }
}

}  // namespace kestrum
