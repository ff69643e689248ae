// A table as CSV for spreadsheets, by one rule for every CSV Kestrum writes
// (kestrum-cli's listings, the window's export): each field through CsvField,
// CR LF line ends, and UTF-8's byte-order mark first unless left out.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace kestrum::card_text {

inline constexpr char kCsvByteOrderMark[] = "\xEF\xBB\xBF";

// One row: its fields through CsvField, comma-separated, ending in CR LF.
std::string CsvLine(std::span<const std::string> fields);

// A spreadsheet reads a CSV file without a byte-order mark in the system's
// code page, not as UTF-8; scripts may want it without.
std::string CsvTable(std::span<const char* const> headings, const std::vector<std::vector<std::string>>& rows,
                     bool byteOrderMark);

}  // namespace kestrum::card_text
