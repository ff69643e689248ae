// The plan's network through the Orvell library's exports, as the window and
// kestrum-cli bind them.
#pragma once

#include "batch_run.h"

namespace kestrum::batch {

// Requests go through ConfigControlParaMany, as many to a call as it takes;
// the search is the program's own (the window's table, kestrum-cli's list).
BatchNetwork OrvellNetwork(std::function<std::vector<ControlRecord>()> search);

}  // namespace kestrum::batch
