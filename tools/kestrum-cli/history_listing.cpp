#include "history_listing.h"

#include <array>

#include "card_texts.h"
#include "csv_table.h"
#include "history_json.h"
#include "output_text.h"

namespace kestrum::cli {
namespace {

using history::HistoryEntry;

constexpr std::array<const char*, 17> kColumns = {
    "time",          "program",       "mac",          "outcome",      "oldIp",       "newIp",
    "oldMask",       "newMask",       "oldGateway",   "newGateway",   "oldServerIp", "newServerIp",
    "oldServerPort", "newServerPort", "oldHeartbeat", "newHeartbeat", "warnings"};

std::string Joined(const std::vector<std::string>& lines) {
  std::string joined;
  for (const std::string& line : lines) joined += (joined.empty() ? "" : " | ") + line;
  return joined;
}

std::vector<std::string> Fields(const HistoryEntry& entry) {
  const auto& before = entry.before;
  const auto& sent = entry.sent;
  return {entry.time,
          entry.program,
          entry.mac,
          entry.confirmed ? "confirmed" : "not confirmed",
          before.ip,
          sent.ip,
          before.mask,
          sent.mask,
          before.gateway,
          sent.gateway,
          before.serverIp,
          sent.serverIp,
          std::to_string(before.serverPort),
          std::to_string(sent.serverPort),
          std::to_string(before.heartbeat),
          std::to_string(sent.heartbeat),
          Joined(entry.warnings)};
}

std::vector<std::string> Headings() { return {kColumns.begin(), kColumns.end()}; }

// An entry as an element of the document's list, indented as a whole
// document's dump would put it. The file is anybody's to edit: what a
// display would obey is escaped.
std::string JsonElement(const HistoryEntry& entry) {
  using nlohmann::ordered_json;
  const std::string object =
      history::EntryObject(entry).dump(2, ' ', false, ordered_json::error_handler_t::replace);
  std::string indented = "    ";
  for (const char c : object) {
    indented += c;
    if (c == '\n') indented += "    ";
  }
  return card_text::EscapeObeyedInJson(indented);
}

}  // namespace

bool IsChangeOf(const HistoryEntry& entry, const CardChoice& card) {
  if (card.mac) return entry.mac == card_text::Mac(*card.mac);
  const std::string ip = card.ip ? card_text::Address(*card.ip) : std::string();
  return entry.before.ip == ip || entry.sent.ip == ip;
}

HistoryListingWriter::HistoryListingWriter(const Listing& listing, std::FILE* out)
    : listing_(listing), out_(out), columns_(Headings()) {}

bool HistoryListingWriter::MeasuresFirst() const { return listing_.format == Format::kTable; }

void HistoryListingWriter::Measure(const HistoryEntry& entry) { columns_.Measure(Fields(entry)); }

void HistoryListingWriter::Begin() {
  switch (listing_.format) {
    case Format::kCsv:
      if (listing_.csvByteOrderMark) std::fputs(card_text::kCsvByteOrderMark, out_);
      std::fputs(card_text::CsvLine(Headings()).c_str(), out_);
      return;
    case Format::kJson:
      std::fputs("{\n  \"changes\": [", out_);
      return;
    case Format::kTable:
      std::fputs(columns_.Line(Headings()).c_str(), out_);
      return;
  }
}

void HistoryListingWriter::Write(const HistoryEntry& entry) {
  switch (listing_.format) {
    case Format::kCsv:
      std::fputs(card_text::CsvLine(Fields(entry)).c_str(), out_);
      break;
    case Format::kJson:
      std::fputs(first_ ? "\n" : ",\n", out_);
      std::fputs(JsonElement(entry).c_str(), out_);
      break;
    case Format::kTable:
      std::fputs(columns_.Line(Fields(entry)).c_str(), out_);
      break;
  }
  first_ = false;
}

void HistoryListingWriter::End() {
  if (listing_.format == Format::kJson) std::fputs(first_ ? "]\n}\n" : "\n  ]\n}\n", out_);
}

}  // namespace kestrum::cli
