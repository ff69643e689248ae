#include "csv_table.h"

#include "output_text.h"

namespace kestrum::card_text {
namespace {

void AppendLine(std::string& out, std::span<const std::string> fields) {
  for (std::size_t c = 0; c < fields.size(); ++c) {
    if (c) out += ',';
    out += CsvField(fields[c]);
  }
  out += "\r\n";
}

}  // namespace

std::string CsvTable(std::span<const char* const> headings, const std::vector<std::vector<std::string>>& rows,
                     bool byteOrderMark) {
  std::string out = byteOrderMark ? "\xEF\xBB\xBF" : "";
  AppendLine(out, std::vector<std::string>(headings.begin(), headings.end()));
  for (const auto& row : rows) AppendLine(out, row);
  return out;
}

}  // namespace kestrum::card_text
