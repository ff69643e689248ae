#include "crash_reports/fatal/report_folder.h"

#include "state_folder.h"

namespace kestrum {

namespace {

constexpr char kFolderVariable[] = "KESTRUM_CRASH_REPORT_DIR";

}  // namespace

std::string DefaultCrashReportFolder() {
  const std::string chosen = EnvironmentVariable(kFolderVariable);
  return chosen.empty() ? PathIn(StateFolder(), "crash-reports") : chosen;
}

}  // namespace kestrum
