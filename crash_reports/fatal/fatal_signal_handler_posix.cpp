// The fatal signals on an alternate stack, so that a stack overflow can be
// reported too. The handler uses only system calls, the fixed storage below
// and the report parts, then raises the signal again with its default action
// restored: the program ends as it would have, with its core dump if any.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <iterator>

#include "crash_reports/fatal/fatal_error_reporter.h"
#include "crash_reports/fatal/fault_guard_posix.h"
#include "crash_reports/fatal/fault_stack.h"
#include "crash_reports/fatal/file_sink.h"
#include "crash_reports/fatal/neutralised_text.h"
#include "crash_reports/fatal/prepared_report.h"
#include "crash_reports/fatal/report_details.h"
#include "crash_reports/fatal/report_layout.h"
#include "crash_reports/fatal/thread_signal_stack_posix.h"

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

struct FaultToReport {
  const siginfo_t& info;
  void* context;
  void* frames[kMostReportedFrames];
  FaultFrames walk;
};

void WriteHeading(FileSink& sink, FaultToReport& fault) {
  sink.Write(prepared.heading);
  sink.Write("Time: ");
  WriteUtcTime(sink, static_cast<std::int64_t>(std::time(nullptr)));
  sink.Write("\n");
  WriteSignal(sink, fault.info);
}

void WriteRegisters(FileSink& sink, FaultToReport& fault) {
  WriteSectionHeading(sink, "Processor state at the fault");
  WriteProcessorState(sink, fault.context);
}

void WriteStack(FileSink& sink, FaultToReport& fault) {
  fault.walk = CaptureFaultFrames(fault.frames, kMostReportedFrames, fault.context);
  // A fault names the function of the faulting instruction; a signal that
  // was sent (abort) the function that called into the C library.
  const bool faulted = fault.info.si_code > 0;
  sink.Write("\n");
  WriteFailingFunction(sink, fault.frames, fault.walk, faulted);
  WriteSectionHeading(sink, "Call stack (at the fault)");
  WriteFaultCallStack(sink, fault.frames, fault.walk, faulted);
}

void WriteModules(FileSink& sink, FaultToReport&) {
  WriteSectionHeading(sink, "Loaded modules");
  WriteLoadedModules(sink);
}

void WriteProcesses(FileSink& sink, FaultToReport&) {
  WriteSectionHeading(sink, "Running processes");
  WriteRunningProcesses(sink);
}

struct ReportPart {
  const char* name;
  void (*write)(FileSink&, FaultToReport&);
};

// First what needs no walk, each part flushed when written: what a second
// fault cuts short stays written, says where it stopped, and the parts after
// it follow.
constexpr ReportPart kReportParts[] = {
    {"the heading", WriteHeading},        {"the processor state", WriteRegisters},   {"the call stack", WriteStack},
    {"the loaded modules", WriteModules}, {"the running processes", WriteProcesses},
};

void WriteReport(FileSink& sink, const siginfo_t& info, void* context) {
  FaultToReport fault{info, context, {}, {}};
  for (const ReportPart& part : kReportParts) {
    auto write = [&] { part.write(sink, fault); };
    GuardedFault second;
    if (!RunGuarded(write, second)) {
      const FatalSignal* known = Describe(second.signal);
      sink.Write("\nThis part stopped here: a second fault (");
      sink.Write(known != nullptr ? known->name : "a signal");
      sink.Write(") while writing ");
      sink.Write(part.name);
      sink.Write(".\n");
    }
    sink.Flush();
  }
  sink.Write("\n");
  sink.Write(kReportEndLine);
  sink.Flush();
}

enum class FileOutcome { kWritten, kNotOpened, kNotTaken };

void TellOnStandardError(FileOutcome outcome, bool emptyFileRemoved) {
  FileSink err(STDERR_FILENO);
  err.Write("Kestrum stopped after a fatal error; ");
  switch (outcome) {
    case FileOutcome::kWritten:
      err.Write("report written to ");
      WriteNeutralised(err, prepared.reportPath);
      err.Write("\n");
      return;
    case FileOutcome::kNotOpened:
      err.Write("the report could not be written to its folder:\n");
      return;
    case FileOutcome::kNotTaken:
      err.Write("the report folder could not take the report (the disk may be full); ");
      WriteNeutralised(err, prepared.reportPath);
      err.Write(emptyFileRemoved ? " was left empty and is removed:\n" : " holds only its beginning:\n");
      return;
  }
}

// Gives how the report file fared.
FileOutcome WriteReportFile(const siginfo_t& info, void* context, bool& emptyFileRemoved) {
  const int file =
      prepared.reportPath[0] != '\0' ? ::open(prepared.reportPath, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600) : -1;
  if (file < 0) {
    return FileOutcome::kNotOpened;
  }
  FileSink sink(file);
  WriteReport(sink, info, context);
  const bool failed = sink.Failed();
  struct stat written {};
  // An empty file would be shown at the next start as a report cut short.
  emptyFileRemoved =
      failed && ::fstat(file, &written) == 0 && written.st_size == 0 && ::unlink(prepared.reportPath) == 0;
  ::close(file);
  return failed ? FileOutcome::kNotTaken : FileOutcome::kWritten;
}

// Another thread's fatal error while the report is written waits for it
// (the first thread ends the program), at most this long.
constexpr timespec kOtherThreadsWait{10, 0};

void HandleFatalSignal(int number, siginfo_t* info, void* context) {
  // A fault inside a part of the report on the report's own thread goes back
  // to the report, which says where it stopped.
  LeaveGuardOnFault(*info);
  if (reporting.exchange(true)) {
    // Another thread's fatal error while the report is written: the first
    // thread ends the program.
    timespec left = kOtherThreadsWait;
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
  } else {
    bool emptyFileRemoved = false;
    const FileOutcome outcome = WriteReportFile(*info, context, emptyFileRemoved);
    TellOnStandardError(outcome, emptyFileRemoved);
    if (outcome != FileOutcome::kWritten) {
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

  // The threads started later get theirs from the pthread_create wrapper.
  UseAlternateSignalStack();

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
