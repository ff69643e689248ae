#include "card_json.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>

#include "address_text.h"

namespace cardsim {

using kestrum::command_line::FormatIpv4;
using kestrum::command_line::FormatMac;
using kestrum::command_line::HexByte;
using kestrum::command_line::ParseIpv4;
using kestrum::command_line::ParseMac;

namespace {

namespace rec = orvell::record;
using nlohmann::json;

const std::set<std::string>& KnownFields() {
  static const std::set<std::string> fields = {"typeVersion", "typeVersionHex", "screenNo",  "width",     "height",
                                               "colorStyle",  "baudCode",       "scanStyle", "lineOrder", "rgChange",
                                               "ip",          "mask",           "gateway",   "mac",       "serverIp",
                                               "serverPort",  "heartbeat"};
  return fields;
}

class CardReader {
 public:
  CardReader(const json& card, std::size_t index) : card_(card), where_("card " + std::to_string(index)) {}

  template <typename Integer>
  Integer Number(const char* field) const {
    if (!card_.contains(field)) return 0;
    const json& value = card_.at(field);
    if (!value.is_number_integer()) Fail(field, "is not a whole number");
    const auto wide = value.get<std::int64_t>();
    if (wide < 0 || wide > std::numeric_limits<Integer>::max())
      Fail(field, "is outside 0.." + std::to_string(std::numeric_limits<Integer>::max()));
    return static_cast<Integer>(wide);
  }

  std::string Text(const char* field) const {
    if (!card_.contains(field)) return {};
    const json& value = card_.at(field);
    if (!value.is_string()) Fail(field, "is not a text");
    return value.get<std::string>();
  }

  std::uint32_t Address(const char* field) const {
    if (!card_.contains(field)) return 0;
    const auto address = ParseIpv4(Text(field));
    if (!address) Fail(field, "is not a dotted IPv4 address");
    return *address;
  }

  rec::Mac MacAddress(const char* field) const {
    if (!card_.contains(field)) return {};
    const auto mac = ParseMac(Text(field));
    if (!mac) Fail(field, "is not a MAC address like 00:1A:2B:3C:4D:5E");
    return *mac;
  }

  [[noreturn]] void Fail(const std::string& field, const std::string& problem) const {
    throw CardFileError(where_ + ": " + field + " " + problem);
  }

 private:
  const json& card_;
  std::string where_;
};

// The bytes of a text in the cards' 8-bit code page, written as hexadecimal
// ("c6c1bac5" for GB18030 屏号); nothing when the text is not such.
std::optional<std::string> BytesOfHex(const std::string& hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  std::string bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const auto byte = HexByte(hex[i], hex[i + 1]);
    if (!byte) return std::nullopt;
    bytes += static_cast<char>(*byte);
  }
  return bytes;
}

std::string HexOfBytes(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const char c : bytes) {
    hex += kDigits[static_cast<unsigned char>(c) >> 4];
    hex += kDigits[static_cast<unsigned char>(c) & 0xF];
  }
  return hex;
}

bool IsPlainText(const std::string& bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

ControlRecord CardFromJson(const json& card, std::size_t index) {
  const CardReader read(card, index);
  if (!card.is_object()) read.Fail("entry", "is not an object");
  for (const auto& item : card.items())
    if (KnownFields().count(item.key()) == 0) read.Fail(item.key(), "is not a card field");
  ControlRecord record{};
  if (card.contains("typeVersion") && card.contains("typeVersionHex"))
    read.Fail("typeVersionHex", "and typeVersion are both given");
  std::string typeVersion = read.Text("typeVersion");
  if (card.contains("typeVersionHex")) {
    const auto bytes = BytesOfHex(read.Text("typeVersionHex"));
    if (!bytes) read.Fail("typeVersionHex", "is not an even number of hexadecimal digits");
    typeVersion = *bytes;
  }
  if (typeVersion.size() > rec::kTypeVersionSize) read.Fail("typeVersion", "is longer than 16 bytes");
  rec::SetTypeVersion(record, typeVersion);
  rec::SetScreenNo(record, read.Number<std::uint8_t>("screenNo"));
  rec::SetWidth(record, read.Number<std::uint16_t>("width"));
  rec::SetHeight(record, read.Number<std::uint16_t>("height"));
  rec::SetColorStyle(record, read.Number<std::uint8_t>("colorStyle"));
  rec::SetBaudCode(record, read.Number<std::uint8_t>("baudCode"));
  rec::SetScanStyle(record, read.Number<std::uint8_t>("scanStyle"));
  rec::SetLineOrder(record, read.Number<std::uint8_t>("lineOrder"));
  rec::SetRgChange(record, read.Number<std::uint8_t>("rgChange"));
  rec::SetIp(record, read.Address("ip"));
  rec::SetMask(record, read.Address("mask"));
  rec::SetGateway(record, read.Address("gateway"));
  rec::SetMacAddress(record, read.MacAddress("mac"));
  rec::SetServerIp(record, read.Address("serverIp"));
  rec::SetServerPort(record, read.Number<std::uint16_t>("serverPort"));
  rec::SetHeartbeat(record, read.Number<std::uint8_t>("heartbeat"));
  return record;
}

json CardToJson(const ControlRecord& r) {
  const std::string typeVersion = rec::TypeVersion(r);
  json card = json{{"screenNo", rec::ScreenNo(r)},
                   {"width", rec::Width(r)},
                   {"height", rec::Height(r)},
                   {"colorStyle", rec::ColorStyle(r)},
                   {"baudCode", rec::BaudCode(r)},
                   {"scanStyle", rec::ScanStyle(r)},
                   {"lineOrder", rec::LineOrder(r)},
                   {"rgChange", rec::RgChange(r)},
                   {"ip", FormatIpv4(rec::Ip(r))},
                   {"mask", FormatIpv4(rec::Mask(r))},
                   {"gateway", FormatIpv4(rec::Gateway(r))},
                   {"mac", FormatMac(rec::MacAddress(r))},
                   {"serverIp", FormatIpv4(rec::ServerIp(r))},
                   {"serverPort", rec::ServerPort(r)},
                   {"heartbeat", rec::Heartbeat(r)}};
  if (IsPlainText(typeVersion))
    card["typeVersion"] = typeVersion;
  else
    card["typeVersionHex"] = HexOfBytes(typeVersion);
  return card;
}

}  // namespace

std::vector<ControlRecord> CardsFromJson(const json& cards) {
  if (!cards.is_array()) throw CardFileError("a card file holds a JSON array of cards");
  std::vector<ControlRecord> records;
  records.reserve(cards.size());
  for (std::size_t i = 0; i < cards.size(); ++i) records.push_back(CardFromJson(cards[i], i));
  return records;
}

json CardsToJson(const std::vector<ControlRecord>& cards) {
  json array = json::array();
  for (const auto& card : cards) array.push_back(CardToJson(card));
  return array;
}

std::vector<ControlRecord> LoadCardFile(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw CardFileError("cannot open " + path);
  try {
    return CardsFromJson(json::parse(in));
  } catch (const json::exception& e) {
    throw CardFileError(path + ": " + e.what());
  } catch (const CardFileError& e) {
    throw CardFileError(path + ": " + e.what());
  }
}

void SaveCardFile(const std::string& path, const std::vector<ControlRecord>& cards) {
  const std::string temporary = path + ".new";
  {
    std::ofstream out(temporary, std::ios::trunc);
    out << CardsToJson(cards).dump(2) << '\n';
    out.flush();
    if (!out) throw CardFileError("cannot write " + temporary);
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) throw CardFileError("cannot replace " + path);
}

}  // namespace cardsim
