// A child process of the test program that installs the fatal-error reporter
// and then fails as asked: the test program starts itself again with
// --crash-child=<kind> --report-folder=<folder>, and its main() hands that
// over to RunCrashChildIfAsked.
#pragma once

#include <string>

namespace kestrum::testing {

// kReservedMemory writes into address space that is reserved and never
// committed: the access violation of a null pointer where wine (run by root)
// quietly maps the first page for DOS programs and a null write succeeds.
// kBadFunctionPointer and kNullFunctionPointer call through a corrupted and a
// null function pointer: the program counter leaves every module.
// kSmashedReturnAddress overwrites its own return address, as a buffer
// overrun does, before a null write: the stack cannot be walked past it.
// kTruncatedMapping maps a file and cuts the file short before a null write:
// reading the mapping, as the list of modules did, faults again.
// kThreadStackOverflow recurses without end on a thread that the C++ library
// starts (std::thread), not the one that installed the reporter.
enum class CrashKind {
  kNullPointer,
  kAbort,
  kDivideByZero,
  kReservedMemory,
  kBadFunctionPointer,
  kNullFunctionPointer,
  kSmashedReturnAddress,
  kTruncatedMapping,
  kThreadStackOverflow,
};

const char* CrashKindName(CrashKind kind);

// The exported names of the functions that fail, as a report names them.
const char* CrashingFunctionName(CrashKind kind);

struct ChildOutcome {
  bool ended = false;  // false: still running at the deadline, then killed
  unsigned long processId = 0;
  // Linux: the signal that ended it (0 for a normal exit); Windows: the exit code.
  unsigned long endedBy = 0;
};

// Starts this program again as a crashing child, its stdout and stderr into
// outputPath, and waits at most 20 seconds.
ChildOutcome RunCrashingChild(CrashKind kind, const std::string& reportFolder, const std::string& outputPath);

// In a child started by RunCrashingChild: crashes and never returns. Gives
// -1 when the arguments do not ask for a child.
int RunCrashChildIfAsked(int argc, char** argv);

}  // namespace kestrum::testing
