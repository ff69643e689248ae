// A fatal-error report left by an earlier run, found at start-up. Reading is
// bounded, so a damaged or huge file is shown cut, never loaded whole; taking
// it marks it (and any older ones) as shown by renaming .pending to .txt, so
// that it is shown once and kept.
#pragma once

#include <QString>
#include <optional>

namespace kestrum {

// Far more than a report of the program's size; a longer file is damaged.
inline constexpr qint64 kMostShownReportBytes = 256 * 1024;

// Shown reports are kept, for a mail or a ticket later, but only the newest
// few dozen: older ones are deleted (with their minidumps) when a new one is
// taken, so that the folder and the search for waiting reports stay small.
inline constexpr qsizetype kMostKeptShownReports = 50;

struct LeftoverFatalReport {
  // Where the report is kept now: the .txt, or the .pending when it could not
  // be renamed.
  QString path;
  // The first kMostShownReportBytes, as UTF-8 with damaged bytes replaced.
  QString text;
  qint64 fileBytes = 0;
  bool truncated = false;
  // Ends with the report's end line: the handler wrote it to the end.
  bool complete = false;
  // Older pending reports found at the same time, marked as shown too.
  int olderReports = 0;
  // Why the report could not be marked as shown; empty when it was.
  QString markingError;
};

// The newest pending report in folder, taken and marked, and the shown
// reports beyond kMostKeptShownReports deleted; nothing when none waits.
std::optional<LeftoverFatalReport> TakeLeftoverFatalReport(const QString& folder);

}  // namespace kestrum
