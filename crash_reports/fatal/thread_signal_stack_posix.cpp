// pthread_create is defined here, in the program itself: the program's own
// definition wins the dynamic linker's lookup for every library too (Qt's
// threads, GLib's, the C++ library's std::thread), so each thread they start
// runs a start routine that first installs an alternate signal stack, then
// the caller's routine, and frees the stack at the thread's end. The real
// pthread_create is the next definition in the lookup order. Threads made by
// clone() directly, and glibc's own helper threads (which do not go through
// the dynamic linker), are not covered.
#include "crash_reports/fatal/thread_signal_stack_posix.h"

#include <dlfcn.h>
#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace kestrum {

namespace {

// Room for the handler itself, dladdr and the unwinder on top of the
// minimum the system asks for; below it a page that is never mapped, so
// that a handler that overflows it faults instead of writing past it.
constexpr std::size_t kAlternateStackBytes = 256 * 1024;

std::size_t PageBytes() { return static_cast<std::size_t>(sysconf(_SC_PAGESIZE)); }

thread_local void* ownAlternateStack = nullptr;

void FreeAlternateStack(void*) {
  if (ownAlternateStack == nullptr) {
    return;
  }
  stack_t off{};
  off.ss_flags = SS_DISABLE;
  sigaltstack(&off, nullptr);
  munmap(ownAlternateStack, PageBytes() + kAlternateStackBytes);
  ownAlternateStack = nullptr;
}

struct ThreadStart {
  void* (*routine)(void*);
  void* argument;
};

void* StartWithAlternateStack(void* data) {
  const ThreadStart start = *static_cast<ThreadStart*>(data);
  std::free(data);
  UseAlternateSignalStack();
  void* result = nullptr;
  // Also when the thread ends by pthread_exit or is cancelled.
  pthread_cleanup_push(FreeAlternateStack, nullptr);
  result = start.routine(start.argument);
  pthread_cleanup_pop(1);
  return result;
}

using CreateFunction = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);

CreateFunction RealCreate() {
  static const auto real = reinterpret_cast<CreateFunction>(dlsym(RTLD_NEXT, "pthread_create"));
  return real;
}

}  // namespace

void UseAlternateSignalStack() {
  stack_t current{};
  if (sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE) == 0) {
    return;  // this thread has one
  }
  const std::size_t guard = PageBytes();
  void* const memory = mmap(nullptr, guard + kAlternateStackBytes, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (memory == MAP_FAILED) {
    return;  // the thread runs without: a fault is still reported unless its stack is spent
  }
  mprotect(memory, guard, PROT_NONE);
  stack_t stack{};
  stack.ss_sp = static_cast<char*>(memory) + guard;
  stack.ss_size = kAlternateStackBytes;
  if (sigaltstack(&stack, nullptr) != 0) {
    munmap(memory, guard + kAlternateStackBytes);
    return;
  }
  ownAlternateStack = memory;
}

}  // namespace kestrum

extern "C" __attribute__((visibility("default"))) int pthread_create(pthread_t* thread, const pthread_attr_t* attributes,
                                                                    void* (*routine)(void*), void* argument) {
  const kestrum::CreateFunction real = kestrum::RealCreate();
  if (real == nullptr) {
    return EAGAIN;
  }
  auto* start = static_cast<kestrum::ThreadStart*>(std::malloc(sizeof(kestrum::ThreadStart)));
  if (start == nullptr) {
    return real(thread, attributes, routine, argument);
  }
  *start = {routine, argument};
  const int result = real(thread, attributes, kestrum::StartWithAlternateStack, start);
  if (result != 0) {
    std::free(start);
  }
  return result;
}
