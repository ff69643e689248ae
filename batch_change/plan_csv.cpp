#include "plan_csv.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>

#include "address_text.h"
#include "argument_cursor.h"
#include "card_texts.h"
#include "csv_table.h"

namespace kestrum::batch {
namespace {

namespace rec = orvell::record;
using command_line::ParseDecimal;
using command_line::ParseIpv4;

constexpr std::array<const char*, 7> kPlanColumns = {"mac",      "ip",         "mask",     "gateway",
                                                     "serverIp", "serverPort", "heartbeat"};
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    // Overlong two-byte forms (C0, C1) and leads past U+10FFFF (F5 on) are no UTF-8.
    const std::size_t length = lead < 0x80                 ? 1
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xF0 && lead < 0xF5 ? 4
                                                             : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) >> 6) != 0x2) return false;
    i += length;
  }
  return true;
}

struct Row {
  std::size_t line = 0;
  std::vector<std::string> fields;
};

// RFC 4180 records: quoted fields may hold commas, quotes and line breaks;
// a record ends at LF or CR LF. Nothing for a quote left open.
std::optional<std::vector<Row>> Records(std::string_view text, std::size_t mostRows) {
  std::vector<Row> rows;
  Row row{1, {}};
  std::string field;
  bool quoted = false, fieldStarted = false;
  std::size_t line = 1;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        if (c == '\n') ++line;
        field += c;
      }
      continue;
    }
    if (c == '"' && !fieldStarted) {
      quoted = fieldStarted = true;
    } else if (c == ',') {
      row.fields.push_back(std::move(field));
      field.clear();
      fieldStarted = false;
    } else if (c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
      if (c == '\r') ++i;
      row.fields.push_back(std::move(field));
      field.clear();
      fieldStarted = false;
      if (!(row.fields.size() == 1 && row.fields[0].empty())) rows.push_back(std::move(row));
      if (rows.size() > mostRows) return rows;
      row = Row{++line, {}};
    } else {
      field += c;
      fieldStarted = true;
    }
  }
  if (quoted) return std::nullopt;
  if (fieldStarted || !row.fields.empty()) {
    row.fields.push_back(std::move(field));
    rows.push_back(std::move(row));
  }
  return rows;
}

// The formula guard writes ' before a field a spreadsheet would calculate.
std::string Unguarded(const std::string& field) {
  if (field.size() > 1 && field[0] == '\'' && std::string_view("=+-@\t\r").find(field[1]) != std::string_view::npos)
    return field.substr(1);
  return field;
}

PlanFile Refused(std::string error) {
  PlanFile file;
  file.error = std::move(error);
  return file;
}

std::string LineError(std::size_t line, const std::string& what) {
  return "line " + std::to_string(line) + ": " + what;
}

// Fills the entry's field from its cell; false for a value no card takes.
bool TakeCell(PlanEntry& entry, const std::string& column, const std::string& cell) {
  if (cell.empty()) return column != "mac";
  if (column == "mac") {
    const auto mac = command_line::ParseMac(cell);
    if (mac) entry.mac = *mac;
    return mac.has_value();
  }
  if (column == "serverPort") return (entry.serverPort = ParseDecimal<std::uint16_t>(cell, 0xFFFF)).has_value();
  if (column == "heartbeat") return (entry.heartbeat = ParseDecimal<std::uint8_t>(cell, 0xFF)).has_value();
  const auto address = ParseIpv4(cell);
  if (column == "ip") entry.ip = address;
  if (column == "mask") entry.mask = address;
  if (column == "gateway") entry.gateway = address;
  if (column == "serverIp") entry.serverIp = address;
  return address.has_value();
}

}  // namespace

PlanFile ReadPlanCsv(std::string_view text) {
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  if (!IsUtf8(text)) return Refused("not a UTF-8 text: save the plan as CSV UTF-8");
  if (text.find('\0') != std::string_view::npos) return Refused("not a CSV text");
  const auto rows = Records(text, kMostPlannedCards + 1);
  if (!rows) return Refused("not a CSV text: a quoted field is never closed");
  if (rows->empty()) return Refused("empty: a plan's first line names its columns (mac,ip,...)");
  if (rows->size() > kMostPlannedCards + 1)
    return Refused("too many rows: a plan holds at most " + std::to_string(kMostPlannedCards) + " cards");

  std::map<std::size_t, std::string> columns;  // field index: plan column
  const Row& heading = rows->front();
  for (std::size_t i = 0; i < heading.fields.size(); ++i)
    for (const char* name : kPlanColumns)
      if (heading.fields[i] == name) columns[i] = name;
  if (std::none_of(columns.begin(), columns.end(), [](const auto& column) { return column.second == "mac"; }))
    return Refused("not a plan: its first line has no mac column");

  PlanFile plan;
  std::map<rec::Mac, std::size_t> lineOf;
  for (std::size_t r = 1; r < rows->size(); ++r) {
    const Row& row = (*rows)[r];
    PlanEntry entry;
    for (const auto& [index, column] : columns) {
      const std::string cell = index < row.fields.size() ? Unguarded(row.fields[index]) : std::string();
      if (!TakeCell(entry, column, cell))
        return Refused(LineError(row.line, cell.empty() ? "no MAC" : "'" + cell + "' is not a valid " + column));
    }
    if (const auto earlier = lineOf.find(entry.mac); earlier != lineOf.end())
      return Refused(LineError(row.line, "card " + card_text::Mac(entry.mac) + " again (first on line " +
                                          std::to_string(earlier->second) + ")"));
    lineOf[entry.mac] = row.line;
    plan.entries.push_back(entry);
    plan.lines.push_back(row.line);
  }
  return plan;
}

std::string PlanCsv(std::span<const PlannedCard> cards, bool byteOrderMark) {
  std::vector<std::vector<std::string>> rows;
  for (const PlannedCard& card : cards)
    rows.push_back({card_text::Mac(rec::MacAddress(card.before)), card_text::Address(card.after.ip),
                    card_text::Address(card.after.mask), card_text::Address(card.after.gateway),
                    card_text::Address(card.after.serverIp), std::to_string(card.after.serverPort),
                    std::to_string(card.after.heartbeat)});
  return card_text::CsvTable(kPlanColumns, rows, byteOrderMark);
}

}  // namespace kestrum::batch
