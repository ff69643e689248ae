#include "crash_reports/terminate_reporter.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "crash_reports/report_builder.h"
#include "crash_reports/report_file.h"

namespace kestrum {

namespace {

void ReportCurrentException() {
  const ErrorReport report =
      BuildErrorReport(std::current_exception(), QStringLiteral("outside any event handler (std::terminate)"),
                       QStringLiteral("stack at std::terminate"), 1);
  WriteReportToStandardError(QStringLiteral("Kestrum stops after an error no handler caught."), report);
  const QString path = WriteReportToTempDirectory(report);
  const QString where = path.isEmpty() ? QStringLiteral("The report could not be saved in the temp directory.\n")
                                       : QStringLiteral("Report saved to %1\n").arg(path);
  std::fputs(where.toLocal8Bit().constData(), stderr);
}

}  // namespace

std::terminate_handler InstallTerminateReporter() { return std::set_terminate(ReportTerminateAndAbort); }

void ReportTerminateAndAbort() noexcept {
  // A failure while reporting (out of memory, say) would call std::terminate
  // again; the second time only the abort is left.
  static std::atomic_flag entered = ATOMIC_FLAG_INIT;
  if (!entered.test_and_set()) {
    try {
      ReportCurrentException();
    } catch (...) {
      std::fputs("Kestrum stops after an error no handler caught; the report failed.\n", stderr);
    }
  }
  std::abort();
}

}  // namespace kestrum
