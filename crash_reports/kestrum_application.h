// The program's application object. Every event goes through notify(), so an
// exception that leaves an event handler or a slot is caught here, in one
// place, described in an ErrorReport and handed to the error presenter (by
// default a CrashDialog); then the event loop goes on. Constructing it also
// installs the terminate reporter for exceptions outside any event handler.
#pragma once

#include <QApplication>
#include <exception>
#include <functional>

#include "crash_reports/error_report.h"

namespace kestrum {

class KestrumApplication : public QApplication {
  Q_OBJECT

 public:
  using ErrorPresenter = std::function<void(const ErrorReport&)>;

  KestrumApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  // An empty presenter restores the CrashDialog.
  void SetErrorPresenter(ErrorPresenter presenter);

  // For an error that a handler's guard caught before it could leave a slot
  // (Qt's signal machinery is not exception-safe): reported and presented as
  // notify() would have done, with `where` as the place it was caught. With
  // no KestrumApplication running the report goes to stderr.
  static void ReportException(const std::exception_ptr& error, const QString& where);

 private:
  struct EventOrigin {
    const char* className = nullptr;
    QString objectName;
    int eventType = 0;
  };

  static EventOrigin OriginOf(const QObject* receiver, const QEvent* event);
  static QString Describe(const EventOrigin& origin);
  void ReportCurrentException(const EventOrigin& origin);
  void ReportError(const std::exception_ptr& error, const QString& where);
  void Present(const ErrorReport& report);

  ErrorPresenter presenter_;
  bool presenting_ = false;
};

}  // namespace kestrum
