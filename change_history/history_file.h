// The history file: one per user in the state folder, shared by every
// Kestrum and kestrum-cli that runs. Each entry is appended with a single
// write to a file opened for appending, so that two programs writing at once
// never interleave or overwrite each other's entries, and an entry a crash
// cut short spoils only itself. Only a regular file of the user's own, in a
// folder of the user's own, is read or written (see state_file.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "history_entry.h"
#include "state_file.h"

namespace kestrum::history {

// <state folder>/change-history.jsonl; empty when there is no state folder.
std::string DefaultHistoryFile();

// Appends the entry, making the folder when it is missing. Empty when the
// entry is written, else one sentence for the operator that names the file
// (its path shown as card texts are) and why not.
std::string AppendEntry(const std::string& file, const HistoryEntry& entry);

// Where a reader got to: past the last whole line it read, in which file.
struct HistoryCursor {
  std::uint64_t offset = 0;
  FileIdentity file;
};

struct HistoryScan {
  std::size_t skipped = 0;   // lines cut short or damaged
  bool missing = false;      // no change recorded yet
  bool startedOver = false;  // the file was replaced or shrank: read from its start
  std::string error;         // one sentence naming the file, when it cannot be read
  HistoryCursor cursor;      // where the next scan goes on
  std::uint64_t end = 0;     // the byte the scan read up to, a last line without its end included
};

// Hands `each` every entry from `from` on (from the start when the file is
// another or shorter now) up to byte `until`, line by line: memory does not
// grow with the file. `each` returns false to stop.
HistoryScan ScanHistory(const std::string& file, const HistoryCursor& from,
                        const std::function<bool(HistoryEntry&&)>& each,
                        std::uint64_t until = std::numeric_limits<std::uint64_t>::max());

struct HistoryRead {
  std::vector<HistoryEntry> entries;  // oldest first, as appended
  std::size_t skipped = 0;            // lines cut short or damaged
  bool missing = false;               // no change recorded yet
  std::string error;                  // set when the file exists but cannot be read
};

// The whole history at once, for readers that want every entry.
HistoryRead ReadHistory(const std::string& file);

}  // namespace kestrum::history
