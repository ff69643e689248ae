#include "crash_reports/fatal/fault_stack.h"

namespace kestrum {

namespace {

constexpr std::string_view kOutsideModules = "pc not in any module";

bool FaultOutsideModules(void* const* frames, const FaultFrames& walk, bool faulted) {
  return faulted && walk.count > 0 && !IsInAnyModule(frames[0]);
}

}  // namespace

void WriteFailingFunction(TextSink& sink, void* const* frames, const FaultFrames& walk, bool faulted) {
  sink.Write("Failing function:");
  int failing = faulted ? 0 : FirstFrameOutsideRuntime(frames, walk.count);
  if (FaultOutsideModules(frames, walk, faulted)) {
    sink.Write(" the caller of ");
    WriteHex(sink, reinterpret_cast<std::uintptr_t>(frames[0]));
    sink.Write(" (");
    sink.Write(kOutsideModules);
    sink.Write("):");
    failing = 1;
  }
  if (failing < walk.count) {
    WriteCallStack(sink, frames + failing, 1, faulted && failing == 0);
  } else {
    sink.Write(" (unknown)\n");
  }
}

void WriteFaultCallStack(TextSink& sink, void* const* frames, const FaultFrames& walk, bool faulted) {
  int listed = 0;
  if (FaultOutsideModules(frames, walk, faulted)) {
    sink.Write("  ");
    sink.Write(kOutsideModules);
    sink.Write(" [");
    WriteHex(sink, reinterpret_cast<std::uintptr_t>(frames[0]));
    sink.Write("]\n");
    listed = 1;
  }
  // The frames after the faulting instruction are return addresses.
  WriteCallStack(sink, frames + listed, walk.count - listed, faulted && listed == 0);
  if (walk.stoppedByFault) {
    sink.Write("  (the walk stopped at a fault, reading address ");
    WriteHex(sink, walk.unreadableAddress);
    sink.Write(")\n");
  }
}

}  // namespace kestrum
