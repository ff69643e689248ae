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

// Throws json's exceptions for a value of the wrong shape; nothing for a
// port or heartbeat that no card holds.
std::optional<CardValues> ValuesFrom(const json& object) {
  CardValues values;
  values.ip = object.at("ip").get<std::string>();
  values.mask = object.at("mask").get<std::string>();
  values.gateway = object.at("gateway").get<std::string>();
  values.serverIp = object.at("serverIp").get<std::string>();
  const auto port = object.at("serverPort").get<std::int64_t>();
  const auto heartbeat = object.at("heartbeat").get<std::int64_t>();
  if (port < 0 || port > 0xFFFF || heartbeat < 0 || heartbeat > 0xFF) return std::nullopt;
  values.serverPort = static_cast<std::uint16_t>(port);
  values.heartbeat = static_cast<std::uint8_t>(heartbeat);
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
