// Gathers an ErrorReport for an exception: its description and what is known
// about the program and the machine at the moment it is reported.
#pragma once

#include <QString>
#include <exception>

#include "crash_reports/error_report.h"

namespace kestrum {

// callStackNote says where the stack is taken from; the frames of the
// reporting machinery itself are left out, framesToSkip more of the callers'.
ErrorReport BuildErrorReport(const std::exception_ptr& error, const QString& caughtWhere, const QString& callStackNote,
                             int framesToSkip = 0);

}  // namespace kestrum
