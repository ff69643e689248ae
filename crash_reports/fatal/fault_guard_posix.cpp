#include "crash_reports/fatal/fault_guard_posix.h"

#include <setjmp.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>

namespace kestrum {

namespace {

// Only the thread that writes the report runs parts under a guard; a part
// may hold a guarded part of its own (the stack walk in the stack part).
// Other threads that fault meanwhile look at guardedThread only.
sigjmp_buf* activeGuard = nullptr;
GuardedFault* activeFault = nullptr;
std::atomic<long> guardedThread{0};

long ThisThread() { return syscall(SYS_gettid); }

// The signals an instruction raises. The report's handler blocks them on
// its thread, so that a second fault would end the program at once.
sigset_t FaultSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  for (const int number : {SIGSEGV, SIGBUS, SIGFPE, SIGILL}) {
    sigaddset(&signals, number);
  }
  return signals;
}

}  // namespace

bool RunGuarded(void (*part)(void*), void* data, GuardedFault& fault) {
  sigjmp_buf* const outerGuard = activeGuard;
  GuardedFault* const outerFault = activeFault;
  sigjmp_buf guard;
  // The signal mask is saved with the jump: after a fault it is again as
  // before the part.
  if (sigsetjmp(guard, 1) != 0) {
    activeGuard = outerGuard;
    activeFault = outerFault;
    return false;
  }
  activeFault = &fault;
  activeGuard = &guard;
  guardedThread = ThisThread();
  const sigset_t faults = FaultSignals();
  sigset_t before;
  pthread_sigmask(SIG_UNBLOCK, &faults, &before);
  part(data);
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
  activeGuard = outerGuard;
  activeFault = outerFault;
  return true;
}

void LeaveGuardOnFault(const siginfo_t& info) {
  if (activeGuard == nullptr || guardedThread != ThisThread()) {
    return;
  }
  activeFault->signal = info.si_signo;
  activeFault->address = reinterpret_cast<std::uintptr_t>(info.si_addr);
  siglongjmp(*activeGuard, 1);
}

}  // namespace kestrum
