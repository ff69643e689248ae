// kestrum-cli set: one card's parameters changed through the library's
// export, with the window's checks, and the result seen in a new search.
#pragma once

#include <vector>

#include "cli_arguments.h"

namespace kestrum::cli {

// Exit statuses of set.
inline constexpr int kChanged = 0;
inline constexpr int kNotChanged = 1;
inline constexpr int kBadUsage = 2;
inline constexpr int kRefused = 3;

int RunSet(const Command& command);

// One search through the library, as the window makes it; the records found.
std::vector<ControlRecord> SearchCards();

}  // namespace kestrum::cli
