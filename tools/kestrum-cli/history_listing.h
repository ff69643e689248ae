// The change history as kestrum-cli prints it: a table for people, CSV for
// spreadsheets (by search's rules), JSON for scripts (the entries as stored).
#pragma once

#include <span>
#include <string>
#include <vector>

#include "cli_arguments.h"
#include "history_entry.h"

namespace kestrum::cli {

// The changes of the chosen card: by its MAC, or by an IP it had before or
// was given.
std::vector<history::HistoryEntry> ChangesOf(std::span<const history::HistoryEntry> entries, const CardChoice& card);

// The entries in the order given; for JSON one document.
std::string HistoryListing(std::span<const history::HistoryEntry> entries, const Listing& listing);

}  // namespace kestrum::cli
