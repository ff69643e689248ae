#include "crash_reports/fatal_reporting_start.h"

#include <cstdio>

#include "crash_reports/fatal/fatal_error_reporter.h"
#include "crash_reports/fatal/neutralised_text.h"
#include "crash_reports/fatal/report_folder.h"

namespace kestrum {

QString StartFatalErrorReporting() {
  const std::string folder = DefaultCrashReportFolder();
  if (InstallFatalErrorReporter({folder, "Kestrum " KESTRUM_VERSION}).empty()) {
    // Without a folder the handlers write to stderr; nobody can be asked yet.
    const std::string refusal = FolderRefusal(folder);
    if (refusal.empty()) {
      std::fprintf(stderr,
                   "Kestrum: the crash report folder \"%s\" cannot be made or its path is too long; "
                   "reports go to stderr\n",
                   Neutralised(folder).c_str());
    } else {
      std::fprintf(stderr, "Kestrum: %s Reports go to stderr.\n", refusal.c_str());
    }
  }
  return QString::fromStdString(folder);
}

}  // namespace kestrum
