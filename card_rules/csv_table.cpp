#include "csv_table.h"

#include "output_text.h"

namespace kestrum::card_text {

std::string CsvLine(std::span<const std::string> fields) {
  std::string out;
  for (std::size_t c = 0; c < fields.size(); ++c) {
    if (c) out += ',';
    out += CsvField(fields[c]);
  }
  return out + "\r\n";
}

std::string CsvTable(std::span<const char* const> headings, const std::vector<std::vector<std::string>>& rows,
                     bool byteOrderMark) {
  std::string out = byteOrderMark ? kCsvByteOrderMark : "";
  out += CsvLine(std::vector<std::string>(headings.begin(), headings.end()));
  for (const auto& row : rows) out += CsvLine(row);
  return out;
}

}  // namespace kestrum::card_text
