// Tells the operator about an error that stopped an action: the message in
// large type, the full report in a details area, a button that saves the
// report as a text file, and Close, after which the program goes on.
#pragma once

#include <QDialog>

#include "crash_reports/error_report.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kestrum {

class CrashDialog : public QDialog {
  Q_OBJECT

 public:
  explicit CrashDialog(ErrorReport report, QWidget* parent = nullptr);

  const ErrorReport& Report() const { return report_; }

  // Saves the report to path and says in the dialog whether that worked.
  bool SaveReportTo(const QString& path);

 public slots:
  // Asks where to save, then saves there.
  void SaveReportAs();

 private:
  // Within the screen, whatever the message: its buttons stay reachable.
  void FitOnScreen();

  ErrorReport report_;
  QLabel* message_ = nullptr;
  QPlainTextEdit* details_ = nullptr;
  QLabel* saveStatus_ = nullptr;
  QPushButton* saveButton_ = nullptr;
  QPushButton* closeButton_ = nullptr;
};

// Shows the report in a modal CrashDialog and returns when it is closed.
void ShowCrashDialog(const ErrorReport& report);

}  // namespace kestrum
