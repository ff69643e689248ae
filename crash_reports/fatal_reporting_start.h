// The program's fatal-error reporting, started first thing in main(): the
// handlers, with the program's name and version and the per-user report
// folder.
#pragma once

#include <QString>

namespace kestrum {

// Gives the report folder, where the next start looks for a report.
QString StartFatalErrorReporting();

}  // namespace kestrum
