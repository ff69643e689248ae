// The per-user folder where fatal-error reports wait for the next start.
#pragma once

#include <string>

namespace kestrum {

// KESTRUM_CRASH_REPORT_DIR when set (tests use a folder of their own), else
// $XDG_STATE_HOME/Kestrum/crash-reports or ~/.local/state/Kestrum/crash-reports
// on Linux, %LOCALAPPDATA%\Kestrum\crash-reports on Windows. UTF-8; empty
// when the environment names no home at all.
std::string DefaultCrashReportFolder();

// Creates the folder and its parents; true when it exists afterwards.
bool MakeReportFolder(const std::string& folder);

}  // namespace kestrum
