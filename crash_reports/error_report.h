// What the operator and a developer learn about one error that left an event
// handler or reached std::terminate: the plain data, and its text form as it
// is shown in the details and saved to a file.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace kestrum {

struct ErrorReport {
  QString message;
  QString exceptionType;
  // Receiver and event for an error out of an event handler, or the place
  // std::terminate was reached from.
  QString caughtWhere;
  QDateTime time;
  QString program;
  QString operatingSystem;
  // How the stack below was taken (it is not the stack of the throw when the
  // exception had already been unwound to the catch).
  QString callStackNote;
  QStringList callStack;
  QStringList loadedModules;
  // The registers where there was a fault; for an exception caught in a
  // handler, a note that there is no fault context.
  QString processorState;
  // "<id> <name>" per running process.
  QStringList processes;

  QString ToText() const;
};

}  // namespace kestrum
