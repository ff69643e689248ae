// Windows: the unhandled-exception filter, and a SIGABRT handler for the C
// runtime's abort, which ends the program without an exception. Both hand
// the fault to a reporter thread made at installation, which writes the
// report with the system's own calls into storage prepared at installation,
// then a minidump beside it; the failing thread waits for it, then the
// program ends as it would have: the filter hands on to the filter it
// replaced (the C runtime's, then the system's error reporting), abort goes
// on to its exit code 3. The reporter thread has a whole stack of its own,
// since after a stack overflow the failing thread has almost none left, on
// whichever thread it happens.
#include <windows.h>
// After windows.h, which it needs.
#include <dbghelp.h>

#include <atomic>
#include <csignal>
#include <cstdint>

#include "crash_reports/fatal/fatal_error_reporter.h"
#include "crash_reports/fatal/fault_stack.h"
#include "crash_reports/fatal/file_sink.h"
#include "crash_reports/fatal/neutralised_text.h"
#include "crash_reports/fatal/prepared_report.h"
#include "crash_reports/fatal/report_details.h"
#include "crash_reports/fatal/report_layout.h"

namespace kestrum {

namespace {

struct KnownException {
  DWORD code;
  const char* name;
};

constexpr KnownException kKnownExceptions[] = {
    {EXCEPTION_ACCESS_VIOLATION, "EXCEPTION_ACCESS_VIOLATION"},
    {EXCEPTION_ARRAY_BOUNDS_EXCEEDED, "EXCEPTION_ARRAY_BOUNDS_EXCEEDED"},
    {EXCEPTION_DATATYPE_MISALIGNMENT, "EXCEPTION_DATATYPE_MISALIGNMENT"},
    {EXCEPTION_FLT_DIVIDE_BY_ZERO, "EXCEPTION_FLT_DIVIDE_BY_ZERO"},
    {EXCEPTION_ILLEGAL_INSTRUCTION, "EXCEPTION_ILLEGAL_INSTRUCTION"},
    {EXCEPTION_IN_PAGE_ERROR, "EXCEPTION_IN_PAGE_ERROR"},
    {EXCEPTION_INT_DIVIDE_BY_ZERO, "EXCEPTION_INT_DIVIDE_BY_ZERO"},
    {EXCEPTION_INT_OVERFLOW, "EXCEPTION_INT_OVERFLOW"},
    {EXCEPTION_PRIV_INSTRUCTION, "EXCEPTION_PRIV_INSTRUCTION"},
    {EXCEPTION_STACK_OVERFLOW, "EXCEPTION_STACK_OVERFLOW"},
};

// What each thread keeps back of its stack for the failing thread's part
// after a stack overflow: the system's dispatch of the exception, the
// filter, the hand-over.
constexpr ULONG kStackKeptForTheHandOver = 16 * 1024;
constexpr std::uintptr_t kPageSize = 4096;

// Long enough for any report. Bounded, since a fault while the failing
// thread holds a lock that the reporter needs too (the loader's) would
// otherwise hold the program up for good instead of ending it.
constexpr DWORD kReportDeadlineMs = 60000;

// The fault, as the failing thread hands it to the reporter thread.
struct HandedOverFault {
  EXCEPTION_POINTERS* pointers = nullptr;
  DWORD threadId = 0;
  bool raisedByAbort = false;
};

PreparedReport prepared;
wchar_t reportPath[1024];
wchar_t minidumpPath[1024];
std::atomic<bool> reporting{false};
LPTOP_LEVEL_EXCEPTION_FILTER replacedFilter = nullptr;
HandedOverFault handedOver;
HANDLE faultHandedOver = nullptr;
HANDLE reportDone = nullptr;
HANDLE reporterThread = nullptr;
std::atomic<bool> installed{false};

const char* NameOf(DWORD code) {
  for (const KnownException& known : kKnownExceptions) {
    if (known.code == code) {
      return known.name;
    }
  }
  return "exception";
}

// "Error: EXCEPTION_ACCESS_VIOLATION (0xc0000005), writing address 0x0".
void WriteException(TextSink& sink, const EXCEPTION_RECORD& record) {
  sink.Write("Error: ");
  sink.Write(NameOf(record.ExceptionCode));
  sink.Write(" (");
  WriteHex(sink, record.ExceptionCode, 8);
  sink.Write(")");
  const bool namesAddress =
      record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION || record.ExceptionCode == EXCEPTION_IN_PAGE_ERROR;
  if (namesAddress && record.NumberParameters >= 2) {
    const ULONG_PTR access = record.ExceptionInformation[0];
    sink.Write(access == 0 ? ", reading" : access == 1 ? ", writing" : ", executing");
    sink.Write(" address ");
    WriteHex(sink, record.ExceptionInformation[1]);
  }
  sink.Write("\n");
}

std::int64_t SecondsSince1970() {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  const std::uint64_t ticks = (std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
  // FILETIME counts 100 ns from 1601; 11644473600 s lie between 1601 and 1970.
  return static_cast<std::int64_t>(ticks / 10000000) - 11644473600;
}

// raisedByAbort: the context is the handler's own, so the failing function
// is the one that called into the C runtime. First what needs no walk, each
// part flushed when written: what a second fault cuts short stays written.
void WriteReportBody(FileSink& sink, const EXCEPTION_POINTERS& pointers, bool raisedByAbort) {
  sink.Write(prepared.heading);
  sink.Write("Time: ");
  WriteUtcTime(sink, SecondsSince1970());
  sink.Write("\n");
  if (raisedByAbort) {
    sink.Write("Error: SIGABRT (abort), registers and stack taken in the abort handler\n");
  } else {
    WriteException(sink, *pointers.ExceptionRecord);
  }
  sink.Flush();
  WriteSectionHeading(sink, "Processor state at the fault");
  WriteProcessorState(sink, pointers.ContextRecord);
  sink.Flush();
  void* frames[kMostReportedFrames];
  const FaultFrames walk = CaptureFaultFrames(frames, kMostReportedFrames, pointers.ContextRecord);
  sink.Write("\n");
  WriteFailingFunction(sink, frames, walk, !raisedByAbort);
  WriteSectionHeading(sink, "Call stack (at the fault)");
  WriteFaultCallStack(sink, frames, walk, !raisedByAbort);
  sink.Flush();
  WriteSectionHeading(sink, "Loaded modules");
  // Modules loaded since start-up get their symbols too.
  SymRefreshModuleList(GetCurrentProcess());
  WriteLoadedModules(sink);
  sink.Flush();
  WriteSectionHeading(sink, "Running processes");
  WriteRunningProcesses(sink);
  sink.Write("\n");
}

// Gives the system's error code, 0 when the minidump was written. The
// failing thread may be another than the writing one: the minidump names it.
DWORD WriteMinidump(EXCEPTION_POINTERS& pointers, DWORD failingThreadId) {
  const HANDLE file = CreateFileW(minidumpPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return GetLastError();
  }
  MINIDUMP_EXCEPTION_INFORMATION exception{failingThreadId, &pointers, FALSE};
  const auto type = static_cast<MINIDUMP_TYPE>(MiniDumpWithThreadInfo | MiniDumpWithUnloadedModules);
  const BOOL written =
      MiniDumpWriteDump(GetCurrentProcess(), GetCurrentProcessId(), file, type, &exception, nullptr, nullptr);
  const DWORD error = written ? 0 : GetLastError();
  CloseHandle(file);
  return written ? 0 : (error != 0 ? error : ERROR_WRITE_FAULT);
}

void WriteMinidumpLine(TextSink& sink, DWORD minidumpError) {
  sink.Write("Minidump: ");
  sink.Write(prepared.minidumpPath);
  if (minidumpError != 0) {
    sink.Write(" (not written, error ");
    WriteDecimal(sink, minidumpError);
    sink.Write(")");
  }
  sink.Write("\n\n");
}

bool IsEmpty(HANDLE file) {
  LARGE_INTEGER size{};
  return GetFileSizeEx(file, &size) && size.QuadPart == 0;
}

void Report(EXCEPTION_POINTERS& pointers, bool raisedByAbort, DWORD failingThreadId) {
  const HANDLE standardError = GetStdHandle(STD_ERROR_HANDLE);
  FileSink err(reinterpret_cast<FileSink::NativeFile>(standardError));
  const HANDLE file = prepared.reportPath[0] != '\0' ? CreateFileW(reportPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                                   FILE_ATTRIBUTE_NORMAL, nullptr)
                                                     : INVALID_HANDLE_VALUE;
  if (file == INVALID_HANDLE_VALUE) {
    err.Write("Kestrum stopped after a fatal error; the report could not be written to its folder:\n");
    WriteReportBody(err, pointers, raisedByAbort);
    err.Write(kReportEndLine);
    return;
  }
  bool failed = false;
  {
    FileSink sink(reinterpret_cast<FileSink::NativeFile>(file));
    WriteReportBody(sink, pointers, raisedByAbort);
    // The text first: should the minidump fail halfway, the report is there.
    sink.Flush();
    WriteMinidumpLine(sink, WriteMinidump(pointers, failingThreadId));
    sink.Write(kReportEndLine);
    sink.Flush();
    failed = sink.Failed();
  }
  // An empty file would be shown at the next start as a report cut short.
  const bool empty = failed && IsEmpty(file);
  CloseHandle(file);
  const bool emptyFileRemoved = empty && DeleteFileW(reportPath);
  err.Write("Kestrum stopped after a fatal error; ");
  if (!failed) {
    err.Write("report written to ");
    WriteNeutralised(err, prepared.reportPath);
    err.Write("\n");
    return;
  }
  err.Write("the report folder could not take the report (the disk may be full); ");
  WriteNeutralised(err, prepared.reportPath);
  err.Write(emptyFileRemoved ? " was left empty and is removed:\n" : " holds only its beginning:\n");
  WriteReportBody(err, pointers, raisedByAbort);
  err.Write(kReportEndLine);
}

// The reporter thread: it waits from installation on for the one fault
// that is reported.
DWORD WINAPI ReportHandedOverFault(void*) {
  WaitForSingleObject(faultHandedOver, INFINITE);
  Report(*handedOver.pointers, handedOver.raisedByAbort, handedOver.threadId);
  SetEvent(reportDone);
  return 0;
}

// The first fault only: a fault of the reporter itself, or of another
// thread meanwhile, goes on as without the reporter. Reported on the failing
// thread itself when there is no reporter thread (it could not be made, or
// the program is ending and it has been ended).
void ReportOnce(EXCEPTION_POINTERS& pointers, bool raisedByAbort) {
  if (reporting.exchange(true)) {
    return;
  }
  if (reporterThread == nullptr || WaitForSingleObject(reporterThread, 0) != WAIT_TIMEOUT) {
    Report(pointers, raisedByAbort, GetCurrentThreadId());
    return;
  }
  handedOver = {&pointers, GetCurrentThreadId(), raisedByAbort};
  SetEvent(faultHandedOver);
  WaitForSingleObject(reportDone, kReportDeadlineMs);
}

LONG WINAPI ReportUnhandledException(EXCEPTION_POINTERS* pointers) {
  ReportOnce(*pointers, false);
  // What would come next, the system's error reporting starting a debugger,
  // needs more of the stack than is left: under wine that fault ends the
  // thread alone, and the program would go on without it.
  if (pointers->ExceptionRecord->ExceptionCode == EXCEPTION_STACK_OVERFLOW) {
    TerminateProcess(GetCurrentProcess(), EXCEPTION_STACK_OVERFLOW);
  }
  return replacedFilter != nullptr ? replacedFilter(pointers) : EXCEPTION_CONTINUE_SEARCH;
}

void ReportAbort(int) {
  CONTEXT context{};
  RtlCaptureContext(&context);
  EXCEPTION_RECORD record{};
  record.ExceptionCode = STATUS_FATAL_APP_EXIT;
  record.ExceptionAddress = reinterpret_cast<void*>(context.Rip);
  EXCEPTION_POINTERS pointers{&record, &context};
  ReportOnce(pointers, true);
  // abort goes on to end the program, as without this handler.
  std::signal(SIGABRT, SIG_DFL);
}

template <std::size_t size>
void WidePath(const char* utf8, wchar_t (&wide)[size]) {
  if (MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, static_cast<int>(size)) == 0) {
    wide[0] = L'\0';
  }
}

// Windows commits a stack as it grows, a guard page below the committed
// part, and raises the overflow that much above the stack's end. wine
// commits it whole with one guard page at its very end, so that the overflow
// leaves less than a page, too little for the dispatch: a guard page above
// the kept part makes wine keep it too. On Windows that page is not yet
// committed and cannot be guarded, and nothing changes.
void KeepStackForTheHandOver() {
  ULONG kept = kStackKeptForTheHandOver;
  SetThreadStackGuarantee(&kept);
  MEMORY_BASIC_INFORMATION stack{};
  if (VirtualQuery(&stack, &stack, sizeof stack) == 0) {
    return;
  }
  const std::uintptr_t stackEnd = reinterpret_cast<std::uintptr_t>(stack.AllocationBase);
  void* const guard = reinterpret_cast<void*>(stackEnd + kPageSize + kStackKeptForTheHandOver);
  MEMORY_BASIC_INFORMATION page{};
  DWORD before = 0;
  if (VirtualQuery(guard, &page, sizeof page) != 0 && page.State == MEM_COMMIT && page.Protect == PAGE_READWRITE) {
    VirtualProtect(guard, kPageSize, PAGE_READWRITE | PAGE_GUARD, &before);
  }
}

// Called by the system in each new thread before its start routine, the
// threads of Qt, the C++ library and the system's own included.
void NTAPI KeepStackInNewThread(void*, DWORD reason, void*) {
  if (reason == DLL_THREAD_ATTACH && installed.load()) {
    KeepStackForTheHandOver();
  }
}

}  // namespace

// An entry in the program's thread-local storage directory, which lists the
// callbacks run at each thread's start.
extern "C" __attribute__((section(".CRT$XLF"), used)) const PIMAGE_TLS_CALLBACK kestrumKeepStackInNewThread =
    KeepStackInNewThread;

std::string InstallFatalErrorReporter(const FatalReportSettings& settings) {
  PrepareReportDetails();
  PrepareReport(settings, prepared);
  WidePath(prepared.reportPath, reportPath);
  WidePath(prepared.minidumpPath, minidumpPath);
  faultHandedOver = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  reportDone = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (faultHandedOver != nullptr && reportDone != nullptr) {
    reporterThread = CreateThread(nullptr, 0, ReportHandedOverFault, nullptr, 0, nullptr);
  }
  KeepStackForTheHandOver();
  installed.store(true);
  replacedFilter = SetUnhandledExceptionFilter(ReportUnhandledException);
  std::signal(SIGABRT, ReportAbort);
  return prepared.reportPath;
}

}  // namespace kestrum
