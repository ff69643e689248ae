#include "history_entry.h"

#include "card_texts.h"
#include "history_json.h"
#include "local_time.h"

namespace kestrum::history {
namespace {

using nlohmann::json;
using nlohmann::ordered_json;
namespace rec = orvell::record;

constexpr char kConfirmed[] = "confirmed";
constexpr char kNotConfirmed[] = "not confirmed";

ordered_json ValuesObject(const CardValues& values) {
  return {{"ip", values.ip},
          {"mask", values.mask},
          {"gateway", values.gateway},
          {"serverIp", values.serverIp},
          {"serverPort", values.serverPort},
          {"heartbeat", values.heartbeat}};
}

// The number when the value is an integer from 0 to `largest`: a fraction,
// a float or a negative number is no port or heartbeat of a card.
std::optional<std::uint64_t> IntegerUpTo(const json& value, std::uint64_t largest) {
  if (!value.is_number_integer()) return std::nullopt;
  if (!value.is_number_unsigned() && value.get<std::int64_t>() < 0) return std::nullopt;
  const auto number = value.get<std::uint64_t>();
  return number <= largest ? std::optional(number) : std::nullopt;
}

// Throws json's exceptions for a value of the wrong shape; nothing for a
// port or heartbeat that is no integer (9000.9, 1e300) or that no card holds.
std::optional<CardValues> ValuesFrom(const json& object) {
  CardValues values;
  values.ip = object.at("ip").get<std::string>();
  values.mask = object.at("mask").get<std::string>();
  values.gateway = object.at("gateway").get<std::string>();
  values.serverIp = object.at("serverIp").get<std::string>();
  const auto port = IntegerUpTo(object.at("serverPort"), 0xFFFF);
  const auto heartbeat = IntegerUpTo(object.at("heartbeat"), 0xFF);
  if (!port || !heartbeat) return std::nullopt;
  values.serverPort = static_cast<std::uint16_t>(*port);
  values.heartbeat = static_cast<std::uint8_t>(*heartbeat);
  return values;
}

}  // namespace

CardValues ValuesOf(const ControlRecord& card) {
  return {card_text::Address(rec::Ip(card)),
          card_text::Address(rec::Mask(card)),
          card_text::Address(rec::Gateway(card)),
          card_text::Address(rec::ServerIp(card)),
          rec::ServerPort(card),
          rec::Heartbeat(card)};
}

CardValues ValuesSent(const orvell::parameter::ParameterChange& change) {
  return {card_text::Address(change.newIp),
          card_text::Address(change.newMask),
          card_text::Address(change.newGateway),
          card_text::Address(change.serverIp),
          change.serverPort,
          change.heartbeat};
}

HistoryEntry ChangeSentNow(const char* program, const ControlRecord& before,
                           const orvell::parameter::ParameterChange& sent, bool confirmed,
                           std::vector<std::string> warnings) {
  return {LocalTimeNow(),     program,          card_text::Mac(rec::MacAddress(before)),
          ValuesOf(before),   ValuesSent(sent), confirmed,
          std::move(warnings), std::string()};
}

ordered_json EntryObject(const HistoryEntry& entry) {
  ordered_json object = {{"time", entry.time},
          {"program", entry.program},
          {"mac", entry.mac},
          {"before", ValuesObject(entry.before)},
          {"sent", ValuesObject(entry.sent)},
          {"outcome", entry.confirmed ? kConfirmed : kNotConfirmed},
          {"warnings", entry.warnings}};
  if (!entry.batch.empty()) object["batch"] = entry.batch;
  return object;
}

std::string EntryLine(const HistoryEntry& entry) {
  // No indent: one entry, one line; a warning's own line break is escaped.
  return EntryObject(entry).dump(-1, ' ', false, json::error_handler_t::replace) + "\n";
}

std::optional<HistoryEntry> EntryFromLine(std::string_view line) {
  const json object = json::parse(line, nullptr, false);
  if (!object.is_object()) return std::nullopt;
  try {
    HistoryEntry entry;
    entry.time = object.at("time").get<std::string>();
    entry.program = object.at("program").get<std::string>();
    entry.mac = object.at("mac").get<std::string>();
    const auto before = ValuesFrom(object.at("before"));
    const auto sent = ValuesFrom(object.at("sent"));
    if (!before || !sent) return std::nullopt;
    entry.before = *before;
    entry.sent = *sent;
    const auto outcome = object.at("outcome").get<std::string>();
    if (outcome != kConfirmed && outcome != kNotConfirmed) return std::nullopt;
    entry.confirmed = outcome == kConfirmed;
    entry.warnings = object.at("warnings").get<std::vector<std::string>>();
    entry.batch = object.value("batch", std::string());
    return entry;
  } catch (const json::exception&) {
    return std::nullopt;
  }
}

}  // namespace kestrum::history
