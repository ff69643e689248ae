#include "card_listing.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "card_texts.h"
#include "output_text.h"

namespace kestrum::cli {
namespace {

namespace rec = orvell::record;
using nlohmann::json;

constexpr std::array<const char*, 18> kColumns = {
    "number",   "screenNo", "type", "version", "width",   "height", "colour",   "baudRate",   "scanMode",
    "decoding", "redGreen", "ip",   "mask",    "gateway", "mac",    "serverIp", "serverPort", "heartbeat"};

std::vector<std::string> Fields(const ControlRecord& card, std::size_t number) {
  const auto split = card_text::SplitTypeVersion(card_text::TypeVersion(card));
  return {std::to_string(number),
          std::to_string(rec::ScreenNo(card)),
          split.type,
          split.version,
          std::to_string(rec::Width(card)),
          std::to_string(rec::Height(card)),
          card_text::Colour(rec::ColorStyle(card)),
          card_text::BaudRate(rec::BaudCode(card)),
          card_text::ScanStyle(rec::ScanStyle(card)),
          card_text::LineOrder(rec::LineOrder(card)),
          card_text::RgChange(rec::RgChange(card)),
          card_text::Address(rec::Ip(card)),
          card_text::Address(rec::Mask(card)),
          card_text::Address(rec::Gateway(card)),
          card_text::Mac(rec::MacAddress(card)),
          card_text::Address(rec::ServerIp(card)),
          std::to_string(rec::ServerPort(card)),
          std::to_string(rec::Heartbeat(card))};
}

struct TerminalText {
  std::string text;
  std::size_t width = 0;
};

TerminalText ForTerminal(const std::string& text) {
  std::string shown = Shown(text);
  const std::size_t width = TerminalWidth(shown);
  return {std::move(shown), width};
}

std::string Table(std::span<const ControlRecord> cards) {
  std::vector<std::vector<TerminalText>> rows;
  rows.emplace_back();
  for (const char* column : kColumns) rows.back().push_back(ForTerminal(column));
  for (std::size_t i = 0; i < cards.size(); ++i) {
    rows.emplace_back();
    for (const auto& field : Fields(cards[i], i + 1)) rows.back().push_back(ForTerminal(field));
  }
  std::vector<std::size_t> widths(kColumns.size(), 0);
  for (const auto& row : rows)
    for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].width);
  std::string out;
  for (const auto& row : rows) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      out += row[c].text;
      if (c + 1 < row.size()) out += std::string(widths[c] - row[c].width + 2, ' ');
    }
    out += '\n';
  }
  return out;
}

// A spreadsheet reads a CSV file without a byte-order mark in the system's
// code page, not as UTF-8.
std::string Csv(std::span<const ControlRecord> cards, bool byteOrderMark) {
  std::string out = byteOrderMark ? "\xEF\xBB\xBF" : "";
  for (std::size_t c = 0; c < kColumns.size(); ++c) {
    if (c) out += ',';
    out += kColumns[c];
  }
  out += "\r\n";
  for (std::size_t i = 0; i < cards.size(); ++i) {
    const auto fields = Fields(cards[i], i + 1);
    for (std::size_t c = 0; c < fields.size(); ++c) {
      if (c) out += ',';
      out += CsvField(fields[c]);
    }
    out += "\r\n";
  }
  return out;
}

std::string Hex(const ControlRecord& card) {
  std::string hex;
  char pair[3];
  for (const std::uint8_t byte : card.bytes) {
    std::snprintf(pair, sizeof pair, "%02x", byte);
    hex += pair;
  }
  return hex;
}

json CardObject(const ControlRecord& card, std::size_t number) {
  const auto fields = Fields(card, number);
  json object;
  for (std::size_t c = 0; c < kColumns.size(); ++c) object[kColumns[c]] = fields[c];
  // Numbers as numbers, and each code beside its text.
  for (const char* numeric : {"number", "screenNo", "width", "height", "serverPort", "heartbeat"})
    object[numeric] = std::stoul(object[numeric].get<std::string>());
  object["colourCode"] = rec::ColorStyle(card);
  object["baudCode"] = rec::BaudCode(card);
  object["scanCode"] = rec::ScanStyle(card);
  object["decodingCode"] = rec::LineOrder(card);
  object["redGreenCode"] = rec::RgChange(card);
  object["record"] = Hex(card);
  return object;
}

std::string Json(std::span<const ControlRecord> cards) {
  json list = json::array();
  for (std::size_t i = 0; i < cards.size(); ++i) list.push_back(CardObject(cards[i], i + 1));
  return EscapeObeyedInJson(json{{"cards", list}}.dump(2, ' ', false, json::error_handler_t::replace)) + "\n";
}

}  // namespace

std::string CardListing(std::span<const ControlRecord> cards, const Listing& listing) {
  switch (listing.format) {
    case Format::kCsv:
      return Csv(cards, listing.csvByteOrderMark);
    case Format::kJson:
      return Json(cards);
    case Format::kTable:
      break;
  }
  return Table(cards);
}

}  // namespace kestrum::cli
