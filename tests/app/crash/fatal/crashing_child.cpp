#include "crashing_child.h"

#include <cstdlib>
#include <cstring>
#include <string_view>

#include "crash/fatal/fatal_error_reporter.h"

#ifdef _WIN32
#include <windows.h>
#define KESTRUM_TEST_EXPORT extern "C" __declspec(dllexport) __attribute__((noinline))
#else
#include <sys/resource.h>
#define KESTRUM_TEST_EXPORT extern "C" __attribute__((visibility("default"), noinline))
#endif

// Exported, so that even a build without debug symbols names them in a
// report. volatile, the pointers and what they point to: an optimising
// compiler may neither see the null pointer or the zero, nor drop the store,
// nor turn the fault into a trap of another kind.
KESTRUM_TEST_EXPORT void KestrumTestDereferenceNull() {
  volatile int* volatile pointer = nullptr;
  *pointer = 1;
}

KESTRUM_TEST_EXPORT void KestrumTestAbort() { std::abort(); }

#ifdef _WIN32
KESTRUM_TEST_EXPORT void KestrumTestWriteReservedMemory() {
  volatile int* volatile reserved = static_cast<int*>(VirtualAlloc(nullptr, 4096, MEM_RESERVE, PAGE_NOACCESS));
  *reserved = 1;
}
#endif

KESTRUM_TEST_EXPORT int KestrumTestDivideByZero() {
  // Both volatile: 1 / x compiles to a comparison, without a division.
  volatile int dividend = 1;
  volatile int zero = 0;
  return dividend / zero;
}

namespace kestrum::testing {

namespace {

constexpr std::string_view kChildOption = "--crash-child=";
constexpr std::string_view kFolderOption = "--report-folder=";

struct Crash {
  const char* name;
  const char* function;
};

// In the order of CrashKind.
constexpr Crash kCrashes[] = {
    {"null-pointer", "KestrumTestDereferenceNull"},
    {"abort", "KestrumTestAbort"},
    {"divide-by-zero", "KestrumTestDivideByZero"},
    {"reserved-memory", "KestrumTestWriteReservedMemory"},
};

// No core file of the intended crash is left in the test's folder, and no
// crash dialog waits for someone to close it.
void QuietPlatformCrashHandling() {
#ifdef _WIN32
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
#else
  const rlimit noCore{0, 0};
  setrlimit(RLIMIT_CORE, &noCore);
#endif
}

}  // namespace

const char* CrashKindName(CrashKind kind) { return kCrashes[static_cast<int>(kind)].name; }

const char* CrashingFunctionName(CrashKind kind) { return kCrashes[static_cast<int>(kind)].function; }

int RunCrashChildIfAsked(int argc, char** argv) {
  std::string_view kind;
  std::string folder;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument.starts_with(kChildOption)) {
      kind = argument.substr(kChildOption.size());
    } else if (argument.starts_with(kFolderOption)) {
      folder = std::string(argument.substr(kFolderOption.size()));
    }
  }
  if (kind.empty()) {
    return -1;
  }
  QuietPlatformCrashHandling();
  InstallFatalErrorReporter({folder, "Kestrum crash test"});
  if (kind == CrashKindName(CrashKind::kNullPointer)) {
    KestrumTestDereferenceNull();
  } else if (kind == CrashKindName(CrashKind::kAbort)) {
    KestrumTestAbort();
  } else if (kind == CrashKindName(CrashKind::kDivideByZero)) {
    return KestrumTestDivideByZero();
  }
#ifdef _WIN32
  if (kind == CrashKindName(CrashKind::kReservedMemory)) {
    KestrumTestWriteReservedMemory();
  }
#endif
  return 2;  // an unknown kind, or a crash that did not happen
}

}  // namespace kestrum::testing
