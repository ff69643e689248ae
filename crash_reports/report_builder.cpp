#include "crash_reports/report_builder.h"

#include <QCoreApplication>
#include <QSysInfo>

#include "crash_reports/call_stack.h"
#include "crash_reports/exception_description.h"
#include "crash_reports/fatal/report_details.h"
#include "crash_reports/loaded_modules.h"
#include "crash_reports/sink_lines.h"

namespace kestrum {

namespace {

QString ProgramDescription() {
  QString name = QCoreApplication::applicationName();
  if (name.isEmpty()) {
    name = QStringLiteral("(unnamed program)");
  }
  const QString version = QCoreApplication::applicationVersion();
  const QString process = QStringLiteral("process %1").arg(QCoreApplication::applicationPid());
  return version.isEmpty() ? QStringLiteral("%1 (%2)").arg(name, process)
                           : QStringLiteral("%1 %2 (%3)").arg(name, version, process);
}

QString OperatingSystemFromQSysInfo() {
  return QStringLiteral("%1, %2 %3, %4")
      .arg(QSysInfo::prettyProductName(), QSysInfo::kernelType(), QSysInfo::kernelVersion(),
           QSysInfo::currentCpuArchitecture());
}

}  // namespace

ErrorReport BuildErrorReport(const std::exception_ptr& error, const QString& caughtWhere, const QString& callStackNote,
                             int framesToSkip) {
  ErrorReport report;
  // Taken first, so that the frames below are those of the failure.
  report.callStack = CaptureCallStack(1 + framesToSkip);
  report.callStackNote = callStackNote;
  const ExceptionDescription description = DescribeException(error);
  report.message = description.message;
  report.exceptionType = description.typeName;
  report.caughtWhere = caughtWhere;
  report.time = QDateTime::currentDateTime();
  report.program = ProgramDescription();
  report.operatingSystem = OperatingSystemFromQSysInfo();
  report.loadedModules = LoadedModules();
  report.processorState = QStringLiteral("no fault context: a C++ exception, caught after its stack was unwound");
  report.processes = SinkLines(WriteRunningProcesses);
  return report;
}

}  // namespace kestrum
