#include "crashing_child.h"

#include <cstdlib>
#include <cstring>
#include <string_view>
#include <thread>

#include "crash_reports/fatal/fatal_error_reporter.h"

#ifdef _WIN32
#include <windows.h>
#define KESTRUM_TEST_EXPORT extern "C" __declspec(dllexport) __attribute__((noinline))
#else
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>
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

// The calls are not the functions' last deeds, so that no tail call hands
// the return address to the caller.
KESTRUM_TEST_EXPORT void KestrumTestCallBadPointer() {
  void (*volatile function)() = reinterpret_cast<void (*)()>(0xdead0000);
  function();
  __asm__ volatile("");
}

KESTRUM_TEST_EXPORT void KestrumTestCallNullPointer() {
  void (*volatile function)() = nullptr;
  function();
  __asm__ volatile("");
}

// Each call keeps a little of the stack, far less than a page, as most
// functions do: the overflow comes by small steps into the last guard page,
// and no stack probe (on Windows ___chkstk_ms, a function of its own) comes
// before the fault, which lies in this function. The depth is read from a
// volatile so that the compiler sees no endless recursion.
volatile unsigned long kestrumTestMostDepth = ~0UL;
KESTRUM_TEST_EXPORT unsigned long KestrumTestOverflowStack(unsigned long depth) {
  volatile char kept[64];
  kept[0] = static_cast<char>(depth);
  if (depth == kestrumTestMostDepth) {
    return 0;
  }
  return KestrumTestOverflowStack(depth + 1) + static_cast<unsigned long>(kept[0]);
}

#ifndef _WIN32
KESTRUM_TEST_EXPORT void KestrumTestSmashReturnAddress() {
  // Beside the saved frame pointer lies the return address.
  void* volatile* frame = static_cast<void* volatile*>(__builtin_frame_address(0));
  frame[1] = reinterpret_cast<void*>(0xdead0000);
  volatile int* volatile pointer = nullptr;
  *pointer = 1;
}

KESTRUM_TEST_EXPORT void KestrumTestTruncateMapping() {
  char path[] = "/tmp/kestrum-truncated-XXXXXX";
  const int file = mkstemp(path);
  const char elfStart[4096] = {0x7f, 'E', 'L', 'F'};
  if (file < 0 || write(file, elfStart, sizeof elfStart) != static_cast<ssize_t>(sizeof elfStart) ||
      mmap(nullptr, sizeof elfStart, PROT_READ, MAP_PRIVATE, file, 0) == MAP_FAILED) {
    return;
  }
  // Beyond the file's end a mapping cannot be read (SIGBUS).
  (void)ftruncate(file, 0);
  unlink(path);
  volatile int* volatile pointer = nullptr;
  *pointer = 1;
}
#endif

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
    {"bad-function-pointer", "KestrumTestCallBadPointer"},
    {"null-function-pointer", "KestrumTestCallNullPointer"},
    {"smashed-return-address", "KestrumTestSmashReturnAddress"},
    {"truncated-mapping", "KestrumTestTruncateMapping"},
    {"thread-stack-overflow", "KestrumTestOverflowStack"},
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
  } else if (kind == CrashKindName(CrashKind::kBadFunctionPointer)) {
    KestrumTestCallBadPointer();
  } else if (kind == CrashKindName(CrashKind::kNullFunctionPointer)) {
    KestrumTestCallNullPointer();
  } else if (kind == CrashKindName(CrashKind::kThreadStackOverflow)) {
    std::thread([] { KestrumTestOverflowStack(0); }).join();
  }
#ifdef _WIN32
  if (kind == CrashKindName(CrashKind::kReservedMemory)) {
    KestrumTestWriteReservedMemory();
  }
#else
  if (kind == CrashKindName(CrashKind::kSmashedReturnAddress)) {
    KestrumTestSmashReturnAddress();
  } else if (kind == CrashKindName(CrashKind::kTruncatedMapping)) {
    KestrumTestTruncateMapping();
  }
#endif
  return 2;  // an unknown kind, or a crash that did not happen
}

}  // namespace kestrum::testing
