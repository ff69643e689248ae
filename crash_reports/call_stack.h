// The calling thread's stack, one readable line per frame, by the walk and
// the symbols of the fatal-error reports (the unwinder and dladdr on Linux,
// CaptureStackBackTrace and DbgHelp on Windows), symbols demangled.
#pragma once

#include <QStringList>

namespace kestrum {

// The frames of the caller of CaptureCallStack and above, innermost first,
// leaving out framesToSkip more of the innermost ones.
QStringList CaptureCallStack(int framesToSkip = 0);

// "module(mangled+0x1c) [0x7f..]" with the symbol demangled in place.
QString DemangleStackLine(const QString& line);

}  // namespace kestrum
