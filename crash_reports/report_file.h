// Where an ErrorReport goes as text: a UTF-8 file where the operator chooses,
// or, when nobody can be asked, stderr and a file in the temp directory.
#pragma once

#include <QString>

#include "crash_reports/error_report.h"

namespace kestrum {

// Writes report.ToText() to path, replacing the file. On failure gives false
// and, when errorText is given, says why.
bool WriteReportFile(const ErrorReport& report, const QString& path, QString* errorText = nullptr);

// A file name that tells the program and the time: kestrum-error-20260105-143001.txt.
QString SuggestedReportFileName(const ErrorReport& report);

// The heading line, then the report, on stderr: where a report goes when no
// dialog can show it.
void WriteReportToStandardError(const QString& heading, const ErrorReport& report);

// Writes the report into a new file in the temp directory; gives its path, or
// an empty text when it could not be written.
QString WriteReportToTempDirectory(const ErrorReport& report);

}  // namespace kestrum
