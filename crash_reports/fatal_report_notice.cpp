#include "crash_reports/fatal_report_notice.h"

#include <QCoreApplication>
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
  setWindowTitle(QCoreApplication::translate("Kestrum", "Kestrum 已停止"));
  setObjectName(QStringLiteral("FatalReportNotice"));
  if (!openFolder_) {
    openFolder_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
  }

  auto* where = MakeReportLabel(QCoreApplication::translate("Kestrum", "报告保存在 %1").arg(QDir::toNativeSeparators(report_.path)),
                                "where", this);
  auto* notesLabel = MakeReportLabel(Notes(), "notes", this);
  notesLabel->setVisible(!notesLabel->text().isEmpty());
  status_ = MakeReportLabel(QString(), "status", this);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* open =
      AddReportButton(buttons, QCoreApplication::translate("Kestrum", "打开文件夹"), "openFolderButton", QDialogButtonBox::ActionRole);
  QPushButton* copy =
      AddReportButton(buttons, QCoreApplication::translate("Kestrum", "复制报告"), "copyButton", QDialogButtonBox::ActionRole);
  QPushButton* close = AddReportButton(buttons, QCoreApplication::translate("Kestrum", "关闭"), "closeButton", QDialogButtonBox::AcceptRole);
  close->setDefault(true);
  connect(open, &QPushButton::clicked, this, &FatalReportNotice::OpenReportFolder);
  connect(copy, &QPushButton::clicked, this, &FatalReportNotice::CopyReport);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(
      MakeReportHeadline(QCoreApplication::translate("Kestrum", "Kestrum 上次运行时因严重错误而停止。"), "message", this));
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
    lines << QCoreApplication::translate("Kestrum", "报告文件夹无法写入（%1）：下次启动时将再次显示此报告。")
                 .arg(report_.markingError);
  }
  if (!report_.complete) {
    lines << QCoreApplication::translate("Kestrum", "报告不完整：写入被中断。");
  }
  if (report_.truncated) {
    lines << QCoreApplication::translate("Kestrum", "文件共 %1 字节，只显示前 %2 字节。")
                 .arg(report_.fileBytes)
                 .arg(kMostShownReportBytes);
  }
  if (report_.olderReports > 0) {
    lines << QCoreApplication::translate("Kestrum", "同一文件夹中还保存着 %1 份较早的报告。").arg(report_.olderReports);
  }
  return lines.join(QLatin1Char('\n'));
}

void FatalReportNotice::OpenReportFolder() {
  const QString folder = QFileInfo(report_.path).absolutePath();
  if (!openFolder_(QUrl::fromLocalFile(folder))) {
    status_->setText(QCoreApplication::translate("Kestrum", "无法打开文件夹 %1。").arg(QDir::toNativeSeparators(folder)));
  }
}

void FatalReportNotice::CopyReport() {
  QGuiApplication::clipboard()->setText(report_.text);
  status_->setText(report_.truncated ? QCoreApplication::translate("Kestrum", "报告的显示部分已复制到剪贴板。")
                                     : QCoreApplication::translate("Kestrum", "报告已复制到剪贴板。"));
}

void ShowLeftoverFatalReport(const QString& folder) {
  std::optional<LeftoverFatalReport> report = TakeLeftoverFatalReport(folder);
  if (report) {
    FatalReportNotice notice(std::move(*report));
    notice.exec();
  }
}

}  // namespace kestrum
