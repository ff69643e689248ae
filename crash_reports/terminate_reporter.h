// The last resort for an exception that escapes where no event handler is
// around it (before or after the event loop, another thread, a noexcept
// function): std::terminate writes the report to stderr and to a file in the
// temp directory, then aborts. A terminate cannot go on.
#pragma once

#include <QString>
#include <exception>

namespace kestrum {

// Installs ReportTerminateAndAbort as the terminate handler; gives the one it
// replaces.
std::terminate_handler InstallTerminateReporter();

[[noreturn]] void ReportTerminateAndAbort() noexcept;

}  // namespace kestrum
