// The change history as kestrum-cli prints it: a table for people, CSV for
// spreadsheets (by search's rules), JSON for scripts (the entries as stored).
// Written entry by entry as they are read, so that a history of any length
// costs the memory of one entry.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "cli_arguments.h"
#include "history_entry.h"
#include "terminal_table.h"

namespace kestrum::cli {

// Whether the entry is a change of the chosen card: by its MAC, or by an IP
// it had before or was given.
bool IsChangeOf(const history::HistoryEntry& entry, const CardChoice& card);

class HistoryListingWriter {
 public:
  HistoryListingWriter(const Listing& listing, std::FILE* out);
  // The table's columns are as wide as their widest text: it is measured
  // over every entry first (a first pass over the file).
  bool MeasuresFirst() const;
  void Measure(const history::HistoryEntry& entry);
  void Begin();
  void Write(const history::HistoryEntry& entry);
  void End();

 private:
  Listing listing_;
  std::FILE* out_;
  TerminalColumns columns_;
  bool first_ = true;
};

}  // namespace kestrum::cli
