// The parts of a report that describe the process and the machine: call
// stack, loaded modules, running processes, processor state. Each writes
// indented lines to a TextSink without allocating, so that the same code
// serves the fatal-error handlers and the report of a C++ exception.
#pragma once

#include <cstdint>
#include <string>

#include "crash_reports/fatal/text_sink.h"

namespace kestrum {

// The most frames a report lists; deeper stacks are cut.
inline constexpr int kMostReportedFrames = 64;

// Done once at start-up, for what the handlers may not do later: the unwinder
// and the symbol handler are loaded and initialised here.
void PrepareReportDetails();

// "Debian GNU/Linux 12 (bookworm), Linux 6.1.0-18-amd64 x86_64"; allocates,
// so it is taken at start-up.
std::string OperatingSystemDescription();

// The return addresses of the calling thread, innermost first, leaving out
// the caller's own frame and framesToSkip more. Gives how many were stored.
int CaptureCurrentFrames(void** frames, int most, int framesToSkip = 0);

struct FaultFrames {
  int count = 0;
  // A second fault stopped the walk (a smashed stack), reading this address.
  bool stoppedByFault = false;
  std::uintptr_t unreadableAddress = 0;
};

// The frames of the stack at a fault, innermost (the faulting instruction)
// first. faultContext is the ucontext_t of a signal handler or the CONTEXT
// of an exception; the walk starts from its registers and may change them
// for a while, but leaves them as they were. When the faulting instruction
// lies in no module (a call through a corrupted or null function pointer)
// the walk goes on from its caller, whose return address comes next.
FaultFrames CaptureFaultFrames(void** frames, int most, void* faultContext);

// Whether the address lies in the code of a loaded module; looks nothing up
// at the address itself, so any address may be asked about.
bool IsInAnyModule(const void* address);

// One line per frame: module, symbol and offset where the platform knows
// them, and the address. Frames are return addresses, looked up one byte
// before so that a call at a function's end is not taken for the next
// function; with firstIsFault the first is the faulting instruction itself.
void WriteCallStack(TextSink& sink, void* const* frames, int count, bool firstIsFault = false);

// The first frame outside the C runtime library (abort, raise): the
// function that failed when the error was raised rather than faulted.
int FirstFrameOutsideRuntime(void* const* frames, int count);

// One line per loaded module: its base address and path.
void WriteLoadedModules(TextSink& sink);

// One line per running process: its id and name.
void WriteRunningProcesses(TextSink& sink);

// The registers at the fault, a few to a line.
void WriteProcessorState(TextSink& sink, const void* faultContext);

}  // namespace kestrum
