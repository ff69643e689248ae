// The folder where fatal-error reports wait for the next start, in the
// per-user state folder.
#pragma once

#include <string>

namespace kestrum {

// KESTRUM_CRASH_REPORT_DIR when set (tests use a folder of their own), else
// $XDG_STATE_HOME/Kestrum/crash-reports or ~/.local/state/Kestrum/crash-reports
// on Linux, %LOCALAPPDATA%\Kestrum\crash-reports on Windows. UTF-8; empty
// when the environment names no home at all.
std::string DefaultCrashReportFolder();

}  // namespace kestrum
