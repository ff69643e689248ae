#include "terminal_table.h"

#include <algorithm>

#include "output_text.h"

namespace kestrum::cli {
namespace {

struct TerminalText {
  std::string text;
  std::size_t width = 0;
};

TerminalText ForTerminal(const std::string& text) {
  std::string shown = card_text::Shown(text);
  const std::size_t width = card_text::TerminalWidth(shown);
  return {std::move(shown), width};
}

}  // namespace

std::string TerminalTable(std::span<const char* const> headings, const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::vector<TerminalText>> cells;
  cells.emplace_back();
  for (const char* heading : headings) cells.back().push_back(ForTerminal(heading));
  for (const auto& row : rows) {
    cells.emplace_back();
    for (const auto& field : row) cells.back().push_back(ForTerminal(field));
  }
  std::vector<std::size_t> widths(headings.size(), 0);
  for (const auto& row : cells)
    for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c) widths[c] = std::max(widths[c], row[c].width);
  std::string out;
  for (const auto& row : cells) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      out += row[c].text;
      if (c + 1 < row.size()) out += std::string(widths[c] - row[c].width + 2, ' ');
    }
    // An empty last column leaves no padding at the line's end.
    out.erase(out.find_last_not_of(' ') + 1);
    out += '\n';
  }
  return out;
}

}  // namespace kestrum::cli
