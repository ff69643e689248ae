// kestrum-cli plan, apply and restore: many cards changed at once from a
// plan, each verified by a search, and changes undone from the history.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kestrum::cli {

// The exit status of the batch command the arguments name; nothing when they
// name another command.
std::optional<int> RunBatchCommand(const std::vector<std::string>& arguments);

}  // namespace kestrum::cli
