// The per-user folder where Kestrum keeps what outlives a run: the crash
// reports waiting for the next start and the history of changes.
#pragma once

#include <string>

namespace kestrum {

// An environment variable as UTF-8 (on Windows getenv gives the ANSI code
// page); empty when unset.
std::string EnvironmentVariable(const char* name);

// $XDG_STATE_HOME/Kestrum (when absolute) or ~/.local/state/Kestrum on Linux,
// %LOCALAPPDATA%\Kestrum on Windows. UTF-8; empty when the environment names
// no home at all.
std::string StateFolder();

// `name` inside `folder`, joined by the platform's separator; empty when the
// folder is.
std::string PathIn(const std::string& folder, const std::string& name);

// Creates the folder and its parents; true when it exists afterwards.
bool MakeFolder(const std::string& folder);

}  // namespace kestrum
