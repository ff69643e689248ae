// A table for a terminal: columns padded to their widest text, two spaces
// apart, each text shown as card_text::Shown makes it.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace kestrum::cli {

std::string TerminalTable(std::span<const char* const> headings, const std::vector<std::vector<std::string>>& rows);

}  // namespace kestrum::cli
