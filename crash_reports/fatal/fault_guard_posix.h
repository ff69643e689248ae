// A part of a fatal-error report that may fault again (a walk over a smashed
// stack, a read of a mapping whose file was cut short) runs under a guard:
// a fault inside it ends the part instead of the program, and the report
// says where it stopped. Only in the fatal-signal handler, which hands the
// second fault back to the guard (LeaveGuardOnFault).
#pragma once

#include <signal.h>

#include <cstdint>

namespace kestrum {

struct GuardedFault {
  int signal = 0;
  std::uintptr_t address = 0;
};

// Runs part(data) with the fault signals let through on this thread; gives
// false when a fault ended it early, and then describes the fault in fault.
// A guarded part may run a guarded part of its own.
bool RunGuarded(void (*part)(void*), void* data, GuardedFault& fault);

template <class Part>
bool RunGuarded(Part& part, GuardedFault& fault) {
  return RunGuarded([](void* data) { (*static_cast<Part*>(data))(); }, &part, fault);
}

// For the fatal-signal handler, first thing: when the signal is a fault
// inside a guarded part on this thread, goes back to that part's RunGuarded
// and never returns; otherwise returns.
void LeaveGuardOnFault(const siginfo_t& info);

}  // namespace kestrum
