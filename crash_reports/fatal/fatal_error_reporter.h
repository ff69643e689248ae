// Reports of the errors that end the program: on Linux the fatal signals
// (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT), handled on an alternate signal
// stack; on Windows the unhandled-exception filter (and abort's SIGABRT),
// which also writes a minidump beside the report. The handler writes the
// report with system calls into buffers prepared at installation, then lets
// the program end as it would have without it. The report waits in the
// folder as a .pending file until the next start shows it.
#pragma once

#include <string>

namespace kestrum {

struct FatalReportSettings {
  // Created when missing; UTF-8.
  std::string folder;
  // "Kestrum 0.1.0".
  std::string program;
};

// Installs the handlers once, early in start-up, on the thread that runs the
// user interface: it gets its alternate signal stack (on Windows the stack
// kept back for a stack overflow) here, every other thread its own when it
// starts (thread_signal_stack_posix.cpp; the thread-start callback of the
// Windows filter), so that a stack overflow on any thread is reported on
// that thread. Gives the path of the report
// that a fatal error would write, or an empty text when the folder cannot be
// made or its path is too long for the handlers' fixed storage: the handlers
// are installed all the same and then write the report to stderr.
std::string InstallFatalErrorReporter(const FatalReportSettings& settings);

}  // namespace kestrum
