#include "crash_reports/kestrum_application.h"

#include <QEvent>
#include <QMetaEnum>
#include <QThread>

#include "crash_reports/crash_dialog.h"
#include "crash_reports/report_builder.h"
#include "crash_reports/report_file.h"
#include "crash_reports/terminate_reporter.h"

namespace kestrum {

KestrumApplication::KestrumApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("Kestrum"));
  setApplicationVersion(QStringLiteral(KESTRUM_VERSION));
  InstallTerminateReporter();
}

bool KestrumApplication::notify(QObject* receiver, QEvent* event) {
  // Noted before delivery: the handler may have changed the receiver by the
  // time its exception arrives here.
  const EventOrigin origin = OriginOf(receiver, event);
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    ReportCurrentException(origin);
    return false;
  }
}

void KestrumApplication::SetErrorPresenter(ErrorPresenter presenter) { presenter_ = std::move(presenter); }

KestrumApplication::EventOrigin KestrumApplication::OriginOf(const QObject* receiver, const QEvent* event) {
  EventOrigin origin;
  if (receiver != nullptr) {
    origin.className = receiver->metaObject()->className();
    origin.objectName = receiver->objectName();
  }
  if (event != nullptr) {
    origin.eventType = event->type();
  }
  return origin;
}

QString KestrumApplication::Describe(const EventOrigin& origin) {
  const char* typeName = QMetaEnum::fromType<QEvent::Type>().valueToKey(origin.eventType);
  const QString event = typeName != nullptr ? QString::fromLatin1(typeName) : QString::number(origin.eventType);
  const QString receiver =
      origin.className != nullptr ? QString::fromLatin1(origin.className) : QStringLiteral("(no receiver)");
  const QString name = origin.objectName.isEmpty() ? QString() : QStringLiteral(" \"%1\"").arg(origin.objectName);
  return QStringLiteral("%1%2, handling a %3 event").arg(receiver, name, event);
}

void KestrumApplication::ReportException(const std::exception_ptr& error, const QString& where) {
  auto* application = qobject_cast<KestrumApplication*>(QCoreApplication::instance());
  if (application == nullptr) {
    WriteReportToStandardError(QStringLiteral("Kestrum: an error with no application to show it:"),
                               BuildErrorReport(error, where, QStringLiteral("stack at the point of reporting")));
    return;
  }
  application->ReportError(error, where);
}

void KestrumApplication::ReportCurrentException(const EventOrigin& origin) {
  ReportError(std::current_exception(), Describe(origin));
}

void KestrumApplication::ReportError(const std::exception_ptr& error, const QString& where) {
  const ErrorReport report = BuildErrorReport(error, where, QStringLiteral("stack at the point of catching"));
  if (QThread::currentThread() != thread()) {
    // A dialog can only be shown on the user-interface thread.
    QMetaObject::invokeMethod(
        this, [this, report] { Present(report); }, Qt::QueuedConnection);
    return;
  }
  Present(report);
}

void KestrumApplication::Present(const ErrorReport& report) {
  if (presenting_) {
    // An error while the previous one is shown (say, from a paint event that
    // fails every time) must not stack dialogs without end.
    WriteReportToStandardError(QStringLiteral("Kestrum: a further error while an error was shown:"), report);
    return;
  }
  presenting_ = true;
  try {
    if (presenter_) {
      presenter_(report);
    } else {
      ShowCrashDialog(report);
    }
  } catch (...) {
    // Nothing may leave notify(); the report is not lost.
    WriteReportToStandardError(QStringLiteral("Kestrum: an error could not be shown:"), report);
  }
  presenting_ = false;
}

}  // namespace kestrum
