// An entry as the JSON object its line holds, for readers that put entries
// into a JSON document of their own (kestrum-cli history --format json).
#pragma once

#include <nlohmann/json.hpp>

#include "history_entry.h"

namespace kestrum::history {

// The fields in the order a person reads them, the time first.
nlohmann::ordered_json EntryObject(const HistoryEntry& entry);

}  // namespace kestrum::history
