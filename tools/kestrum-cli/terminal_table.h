// A table for a terminal: columns padded to their widest text, two spaces
// apart, each text shown as card_text::Shown makes it.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace kestrum::cli {

// The columns' widths, measured row by row, for a table written line by
// line once every row was measured.
class TerminalColumns {
 public:
  explicit TerminalColumns(const std::vector<std::string>& headings);
  void Measure(const std::vector<std::string>& row);
  // The row padded to the widths measured, with its line end.
  std::string Line(const std::vector<std::string>& row) const;

 private:
  std::vector<std::size_t> widths_;
};

std::string TerminalTable(std::span<const char* const> headings, const std::vector<std::vector<std::string>>& rows);

}  // namespace kestrum::cli
