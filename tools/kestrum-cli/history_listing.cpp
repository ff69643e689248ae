#include "history_listing.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "card_texts.h"
#include "csv_table.h"
#include "history_json.h"
#include "output_text.h"
#include "terminal_table.h"

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

std::vector<std::vector<std::string>> Rows(std::span<const HistoryEntry> entries) {
  std::vector<std::vector<std::string>> rows;
  for (const HistoryEntry& entry : entries) rows.push_back(Fields(entry));
  return rows;
}

std::string Json(std::span<const HistoryEntry> entries) {
  using nlohmann::ordered_json;
  ordered_json list = ordered_json::array();
  for (const HistoryEntry& entry : entries) list.push_back(history::EntryObject(entry));
  // The file is anybody's to edit: what a display would obey is escaped.
  return card_text::EscapeObeyedInJson(
             ordered_json{{"changes", list}}.dump(2, ' ', false, ordered_json::error_handler_t::replace)) +
         "\n";
}

}  // namespace

std::vector<HistoryEntry> ChangesOf(std::span<const HistoryEntry> entries, const CardChoice& card) {
  const std::string mac = card.mac ? card_text::Mac(*card.mac) : std::string();
  const std::string ip = card.ip ? card_text::Address(*card.ip) : std::string();
  std::vector<HistoryEntry> chosen;
  std::copy_if(entries.begin(), entries.end(), std::back_inserter(chosen), [&](const HistoryEntry& entry) {
    return card.mac ? entry.mac == mac : entry.before.ip == ip || entry.sent.ip == ip;
  });
  return chosen;
}

std::string HistoryListing(std::span<const HistoryEntry> entries, const Listing& listing) {
  switch (listing.format) {
    case Format::kCsv:
      return card_text::CsvTable(kColumns, Rows(entries), listing.csvByteOrderMark);
    case Format::kJson:
      return Json(entries);
    case Format::kTable:
      break;
  }
  return TerminalTable(kColumns, Rows(entries));
}

}  // namespace kestrum::cli
