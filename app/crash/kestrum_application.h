// The program's application object. Every event goes through notify(), so an
// exception that leaves an event handler or a slot is caught here, in one
// place, described in an ErrorReport and handed to the error presenter (by
// default a CrashDialog); then the event loop goes on. Constructing it also
// installs the terminate reporter for exceptions outside any event handler.
#pragma once

#include <QApplication>
#include <functional>

#include "crash/error_report.h"

namespace kestrum {

class KestrumApplication : public QApplication {
  Q_OBJECT

 public:
  using ErrorPresenter = std::function<void(const ErrorReport&)>;

  KestrumApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  // An empty presenter restores the CrashDialog.
  void setErrorPresenter(ErrorPresenter presenter);

 private:
  struct EventOrigin {
    const char* className = nullptr;
    QString objectName;
    int eventType = 0;
  };

  static EventOrigin originOf(const QObject* receiver, const QEvent* event);
  static QString describe(const EventOrigin& origin);
  void reportCurrentException(const EventOrigin& origin);
  void present(const ErrorReport& report);

  ErrorPresenter presenter_;
  bool presenting_ = false;
};

}  // namespace kestrum
