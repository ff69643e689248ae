// The parts of a fatal-error report that do not depend on the platform: the
// file names, the heading, the section headings and the end line by which a
// reader knows the report was written to the end.
#pragma once

#include <cstdint>
#include <string_view>

#include "crash_reports/fatal/text_sink.h"

namespace kestrum {

// A report waits as kestrum-crash-<start time>-<process id>.pending until it
// was shown at the next start, then it is kept as .txt. The minidump beside
// it has the same name with .dmp.
inline constexpr std::string_view kReportFilePrefix = "kestrum-crash-";
inline constexpr std::string_view kPendingReportSuffix = ".pending";
inline constexpr std::string_view kShownReportSuffix = ".txt";
inline constexpr std::string_view kMinidumpSuffix = ".dmp";

inline constexpr std::string_view kReportTitleLine = "Kestrum fatal error report\n";
inline constexpr std::string_view kReportEndLine = "End of report\n";

// "2026-12-09T11:50:00Z" from seconds since 1970, without the C library's
// time functions, which are not safe in a signal handler.
void WriteUtcTime(TextSink& sink, std::int64_t secondsSince1970);

// A field line "Label: value\n".
void WriteField(TextSink& sink, std::string_view label, std::string_view value);

// "\nHeading:\n".
void WriteSectionHeading(TextSink& sink, std::string_view heading);

}  // namespace kestrum
