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

// Why an existing folder is not used for reports, in one plain sentence
// naming it: a symbolic link (or on Windows a reparse point) in its place,
// anything but a folder, a folder of another user. Empty when it is a
// folder of the user's own, or does not exist.
std::string FolderRefusal(const std::string& folder);

}  // namespace kestrum
