// What a fatal-error handler needs and may not make itself: the file names
// and the heading lines, made once at installation into fixed storage.
#pragma once

#include <string>

#include "crash_reports/fatal/fatal_error_reporter.h"

namespace kestrum {

struct PreparedReport {
  // Empty when the folder could not be made or a path in it would not fit
  // here: the report goes to stderr.
  char reportPath[1024] = {};
  char minidumpPath[1024] = {};
  // Title, program, process and operating-system lines.
  char heading[2048] = {};
};

// Fills `prepared` from the settings; false when the folder cannot be made,
// is refused (FolderRefusal) or its report paths do not fit (then it is not
// made).
bool PrepareReport(const FatalReportSettings& settings, PreparedReport& prepared);

}  // namespace kestrum
