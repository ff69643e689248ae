#include "terminal_table.h"

#include <algorithm>

#include "output_text.h"

namespace kestrum::cli {

TerminalColumns::TerminalColumns(const std::vector<std::string>& headings) : widths_(headings.size(), 0) {
  Measure(headings);
}

void TerminalColumns::Measure(const std::vector<std::string>& row) {
  for (std::size_t c = 0; c < row.size() && c < widths_.size(); ++c)
    widths_[c] = std::max(widths_[c], card_text::TerminalWidth(card_text::Shown(row[c])));
}

std::string TerminalColumns::Line(const std::vector<std::string>& row) const {
  std::string out;
  for (std::size_t c = 0; c < row.size(); ++c) {
    const std::string shown = card_text::Shown(row[c]);
    out += shown;
    const std::size_t width = card_text::TerminalWidth(shown);
    // A text wider than measured (the file grew wider between the passes)
    // still leaves two spaces.
    if (c + 1 < row.size()) out += std::string((c < widths_.size() ? std::max(widths_[c], width) : width) - width + 2, ' ');
  }
  // An empty last column leaves no padding at the line's end.
  out.erase(out.find_last_not_of(' ') + 1);
  return out + '\n';
}

std::string TerminalTable(std::span<const char* const> headings, const std::vector<std::vector<std::string>>& rows) {
  const std::vector<std::string> headingTexts(headings.begin(), headings.end());
  TerminalColumns columns(headingTexts);
  for (const auto& row : rows) columns.Measure(row);
  std::string out = columns.Line(headingTexts);
  for (const auto& row : rows) out += columns.Line(row);
  return out;
}

}  // namespace kestrum::cli
