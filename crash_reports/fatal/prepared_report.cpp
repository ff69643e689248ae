#include "crash_reports/fatal/prepared_report.h"

#include <cstdio>
#include <ctime>

#include "crash_reports/fatal/neutralised_text.h"
#include "crash_reports/fatal/report_details.h"
#include "crash_reports/fatal/report_folder.h"
#include "crash_reports/fatal/report_layout.h"
#include "state_folder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace kestrum {

namespace {

unsigned long CurrentProcessId() {
#ifdef _WIN32
  return GetCurrentProcessId();
#else
  return static_cast<unsigned long>(getpid());
#endif
}

constexpr char kPathSeparator =
#ifdef _WIN32
    '\\';
#else
    '/';
#endif

// kestrum-crash-20261209-115000-1234: the start time and the process id
// tell apart the reports of programs that run at the same time.
std::string ReportBaseName() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
#ifdef _WIN32
  gmtime_s(&utc, &now);
#else
  gmtime_r(&now, &utc);
#endif
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &utc);
  return std::string(kReportFilePrefix) + stamp + "-" + std::to_string(CurrentProcessId());
}

template <std::size_t size>
void CopyCut(char (&target)[size], const std::string& text) {
  std::snprintf(target, size, "%s", text.c_str());
}

// A path is never cut: a cut one would name another file, in another folder.
template <std::size_t size>
bool CopyWhole(char (&target)[size], const std::string& path) {
  if (path.size() >= size) {
    target[0] = '\0';
    return false;
  }
  CopyCut(target, path);
  return true;
}

}  // namespace

bool PrepareReport(const FatalReportSettings& settings, PreparedReport& prepared) {
  StringSink heading;
  heading.Write(kReportTitleLine);
  WriteField(heading, "Program", settings.program + " (process " + std::to_string(CurrentProcessId()) + ")");
  WriteField(heading, "Operating system", Neutralised(OperatingSystemDescription()));
  CopyCut(prepared.heading, heading.Text());

  std::string base = settings.folder;
  if (!base.empty() && base.back() != '/' && base.back() != kPathSeparator) {
    base += kPathSeparator;
  }
  base += ReportBaseName();
  const bool fits = CopyWhole(prepared.reportPath, base + std::string(kPendingReportSuffix)) &&
                    CopyWhole(prepared.minidumpPath, base + std::string(kMinidumpSuffix));
  if (!fits || !MakeFolder(settings.folder) || !FolderRefusal(settings.folder).empty()) {
    prepared.reportPath[0] = '\0';
    prepared.minidumpPath[0] = '\0';
    return false;
  }
  return true;
}

}  // namespace kestrum
