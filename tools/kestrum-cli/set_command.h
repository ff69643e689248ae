// kestrum-cli set: one card's parameters changed through the library's
// export, with the window's checks, and the result seen in a new search.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli_arguments.h"

namespace kestrum::cli {

// Exit statuses of set.
inline constexpr int kChanged = 0;
inline constexpr int kNotChanged = 1;
inline constexpr int kBadUsage = 2;
inline constexpr int kRefused = 3;

int RunSet(const Command& command);

// Asks y/N on a terminal before changing what `description` names ("card
// ..." or "4 cards"); returns the exit status when the change must stop.
std::optional<int> Confirm(const std::string& description, bool yes);

struct FoundCards {
  std::vector<ControlRecord> cards;  // each card once
  bool mayBeCut = false;             // the library handed over the most answers a search takes
};

// One search through the library, as the window makes it, not bound to the
// window's table of 255; says on the standard error when the list may be cut.
FoundCards SearchCards();

}  // namespace kestrum::cli
