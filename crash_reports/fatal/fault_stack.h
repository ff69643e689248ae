// The failing function and the call stack of a fatal-error report, as both
// platforms' handlers write them from the frames of the fault.
#pragma once

#include "crash_reports/fatal/report_details.h"
#include "crash_reports/fatal/text_sink.h"

namespace kestrum {

// "Failing function: " and the frame that failed. A fault names the function
// of the faulting instruction or, when that lies in no module (a call through
// a corrupted or null function pointer), its caller; an error that was
// raised (abort) names the function that called into the C runtime.
void WriteFailingFunction(TextSink& sink, void* const* frames, const FaultFrames& walk, bool faulted);

// One line per frame, and what stopped the walk if a fault did.
void WriteFaultCallStack(TextSink& sink, void* const* frames, const FaultFrames& walk, bool faulted);

}  // namespace kestrum
