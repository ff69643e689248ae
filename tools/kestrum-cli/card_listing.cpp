#include "card_listing.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <vector>

#include "card_fields.h"
#include "card_texts.h"
#include "csv_table.h"
#include "output_language.h"
#include "output_text.h"
#include "terminal_table.h"

namespace kestrum::cli {
namespace {

namespace rec = orvell::record;
using nlohmann::json;

using card_text::CardFields;
using card_text::kCardColumns;

std::vector<std::vector<std::string>> Rows(std::span<const ControlRecord> cards) {
  std::vector<std::vector<std::string>> rows;
  for (std::size_t i = 0; i < cards.size(); ++i) rows.push_back(CardFields(cards[i], i + 1, OutputLanguage()));
  return rows;
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
  const auto fields = CardFields(card, number, OutputLanguage());
  json object;
  for (std::size_t c = 0; c < kCardColumns.size(); ++c) object[kCardColumns[c]] = fields[c];
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
  return card_text::EscapeObeyedInJson(json{{"cards", list}}.dump(2, ' ', false, json::error_handler_t::replace)) +
         "\n";
}

}  // namespace

std::string CardListing(std::span<const ControlRecord> cards, const Listing& listing) {
  switch (listing.format) {
    case Format::kCsv:
      return card_text::CsvTable(kCardColumns, Rows(cards), listing.csvByteOrderMark);
    case Format::kJson:
      return Json(cards);
    case Format::kTable:
      break;
  }
  return TerminalTable(kCardColumns, Rows(cards));
}

}  // namespace kestrum::cli
