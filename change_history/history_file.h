// The history file: one per user in the state folder, shared by every
// Kestrum and kestrum-cli that runs. Each entry is appended with a single
// write to a file opened for appending, so that two programs writing at once
// never interleave or overwrite each other's entries, and an entry a crash
// cut short spoils only itself.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "history_entry.h"

namespace kestrum::history {

// <state folder>/change-history.jsonl; empty when there is no state folder.
std::string DefaultHistoryFile();

// Appends the entry, making the folder when it is missing. Empty when the
// entry is written, else why not, for the operator.
std::string AppendEntry(const std::string& file, const HistoryEntry& entry);

struct HistoryRead {
  std::vector<HistoryEntry> entries;  // oldest first, as appended
  std::size_t skipped = 0;            // lines cut short or damaged
  bool missing = false;               // no change recorded yet
  std::string error;                  // set when the file exists but cannot be read
};

HistoryRead ReadHistory(const std::string& file);

}  // namespace kestrum::history
