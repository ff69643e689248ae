// kestrum-cli history: the changes recorded so far, read from the history
// file; sends nothing.
#pragma once

#include "cli_arguments.h"

namespace kestrum::cli {

int RunHistory(const Command& command);

}  // namespace kestrum::cli
