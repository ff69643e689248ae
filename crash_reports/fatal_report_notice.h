// Tells the operator at start-up, once, that the program stopped after a
// fatal error the last time: where the report is kept, a button that opens
// its folder and one that copies the report for a mail or a ticket. Then the
// program goes on as usual.
#pragma once

#include <QDialog>
#include <QUrl>
#include <functional>

#include "crash_reports/leftover_fatal_report.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kestrum {

class FatalReportNotice : public QDialog {
  Q_OBJECT

 public:
  // Opens a folder in the desktop's file manager; the tests record it.
  using FolderOpener = std::function<bool(const QUrl&)>;

  // An empty opener means QDesktopServices::openUrl.
  explicit FatalReportNotice(LeftoverFatalReport report, FolderOpener openFolder = {}, QWidget* parent = nullptr);

  const LeftoverFatalReport& Report() const { return report_; }

 public slots:
  void OpenReportFolder();
  // The report as shown, so the whole report unless it had to be cut.
  void CopyReport();

 private:
  QString Notes() const;

  LeftoverFatalReport report_;
  FolderOpener openFolder_;
  QLabel* status_ = nullptr;
};

// When a report of a fatal error waits in folder: takes it and shows it in a
// modal FatalReportNotice. Nothing otherwise.
void ShowLeftoverFatalReport(const QString& folder);

}  // namespace kestrum
