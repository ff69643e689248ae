// The fatal signals on an alternate stack, so that a stack overflow can be
// reported too. The handler uses only system calls, the fixed storage below
// and the report parts, then raises the signal again with its default action
// restored: the program ends as it would have, with its core dump if any.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <iterator>

#include "crash/fatal/fatal_error_reporter.h"
#include "crash/fatal/file_sink.h"
#include "crash/fatal/prepared_report.h"
#include "crash/fatal/report_details.h"
#include "crash/fatal/report_layout.h"

namespace kestrum {

namespace {

struct FatalSignal {
  int number;
  const char* name;
  const char* meaning;
};

constexpr FatalSignal kFatalSignals[] = {
    {SIGSEGV, "SIGSEGV", "invalid memory access"},
    {SIGBUS, "SIGBUS", "bus error"},
    {SIGFPE, "SIGFPE", "arithmetic error"},
    {SIGILL, "SIGILL", "illegal instruction"},
    {SIGABRT, "SIGABRT", "abort"},
};

// Room for the handler itself, dladdr and the unwinder on top of the
// minimum the system asks for.
constexpr std::size_t kAlternateStackBytes = 256 * 1024;
alignas(16) char alternateStack[kAlternateStackBytes];

PreparedReport prepared;
std::atomic<bool> reporting{false};

const FatalSignal* Describe(int number) {
  for (const FatalSignal& known : kFatalSignals) {
    if (known.number == number) {
      return &known;
    }
  }
  return nullptr;
}

// "SIGFPE (arithmetic error), code 1, address 0x55d0c0a4b1c9": si_code tells
// a kernel fault (positive) from a signal sent by a process (abort, kill).
void WriteSignal(TextSink& sink, const siginfo_t& info) {
  const FatalSignal* known = Describe(info.si_signo);
  sink.Write("Error: ");
  if (known != nullptr) {
    sink.Write(known->name);
    sink.Write(" (");
    sink.Write(known->meaning);
    sink.Write(")");
  } else {
    sink.Write("signal ");
    WriteDecimal(sink, static_cast<std::uint64_t>(info.si_signo));
  }
  if (info.si_code > 0) {
    sink.Write(", code ");
    WriteDecimal(sink, static_cast<std::uint64_t>(info.si_code));
    sink.Write(", address ");
    WriteHex(sink, reinterpret_cast<std::uintptr_t>(info.si_addr));
  } else {
    sink.Write(", sent by process ");
    WriteDecimal(sink, static_cast<std::uint64_t>(info.si_pid));
  }
  sink.Write("\n");
}

void WriteReport(TextSink& sink, const siginfo_t& info, const void* context) {
  sink.Write(prepared.heading);
  sink.Write("Time: ");
  WriteUtcTime(sink, static_cast<std::int64_t>(std::time(nullptr)));
  sink.Write("\n");
  WriteSignal(sink, info);

  void* frames[kMostReportedFrames];
  const int count = CaptureFaultFrames(frames, kMostReportedFrames, context);
  // A fault names the function of the faulting instruction; a signal that
  // was sent (abort) the function that called into the C library.
  const bool faulted = info.si_code > 0;
  const int failing = faulted ? 0 : FirstFrameOutsideRuntime(frames, count);
  sink.Write("Failing function:");
  if (failing < count) {
    WriteCallStack(sink, frames + failing, 1, faulted && failing == 0);
  } else {
    sink.Write(" (unknown)\n");
  }
  WriteSectionHeading(sink, "Processor state at the fault");
  WriteProcessorState(sink, context);
  WriteSectionHeading(sink, "Call stack (at the fault)");
  WriteCallStack(sink, frames, count, faulted);
  WriteSectionHeading(sink, "Loaded modules");
  WriteLoadedModules(sink);
  WriteSectionHeading(sink, "Running processes");
  WriteRunningProcesses(sink);
  sink.Write("\n");
  sink.Write(kReportEndLine);
}

void TellOnStandardError(bool written) {
  FileSink err(STDERR_FILENO);
  if (written) {
    err.Write("Kestrum stopped after a fatal error; report written to ");
    err.Write(prepared.reportPath);
    err.Write("\n");
  } else {
    err.Write("Kestrum stopped after a fatal error; the report could not be written to its folder:\n");
  }
}

// Another thread's fatal error while the report is written waits for it
// (the first thread ends the program), at most this long.
constexpr timespec kOtherThreadsWait{10, 0};

void HandleFatalSignal(int number, siginfo_t* info, void* context) {
  if (reporting.exchange(true)) {
    // The report's own thread never comes here: its fatal signals are
    // blocked while it reports, so a fault in the report ends the program.
    timespec left = kOtherThreadsWait;
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
  } else {
    const int file = prepared.reportPath[0] != '\0'
                         ? ::open(prepared.reportPath, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)
                         : -1;
    bool written = false;
    if (file >= 0) {
      FileSink sink(file);
      WriteReport(sink, *info, context);
      sink.Flush();
      written = !sink.Failed();
      ::close(file);
    }
    TellOnStandardError(written);
    if (!written) {
      FileSink err(STDERR_FILENO);
      WriteReport(err, *info, context);
    }
  }
  // Back to the default action. A fault raised by an instruction comes again
  // when the handler returns; one that was sent (abort) is sent again here
  // and arrives once the handler returns.
  signal(number, SIG_DFL);
  if (info->si_code <= 0) {
    raise(number);
  }
}

}  // namespace

std::string InstallFatalErrorReporter(const FatalReportSettings& settings) {
  PrepareReportDetails();
  PrepareReport(settings, prepared);

  stack_t stack{};
  stack.ss_sp = alternateStack;
  stack.ss_size = sizeof alternateStack;
  sigaltstack(&stack, nullptr);

  struct sigaction action {};
  action.sa_sigaction = HandleFatalSignal;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  for (const FatalSignal& fatal : kFatalSignals) {
    sigaddset(&action.sa_mask, fatal.number);
  }
  for (const FatalSignal& fatal : kFatalSignals) {
    sigaction(fatal.number, &action, nullptr);
  }
  return prepared.reportPath;
}

}  // namespace kestrum
