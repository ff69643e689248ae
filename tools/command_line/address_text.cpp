#include "address_text.h"

#include "card_texts.h"
#include "parse_address.h"

#include <cstdio>

namespace kestrum::command_line {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<std::uint8_t> HexByte(char high, char low) {
  const int highValue = HexDigit(high);
  const int lowValue = HexDigit(low);
  if (highValue < 0 || lowValue < 0) return std::nullopt;
  return static_cast<std::uint8_t>(highValue * 16 + lowValue);
}

std::optional<std::uint32_t> ParseIpv4(const std::string& text) {
  // The socket layer's own strict reading; a NUL inside is never an address.
  if (text.find('\0') != std::string::npos) return std::nullopt;
  return pindle::ParseDottedAddress(text.c_str());
}

// Written as the window and kestrum-cli write them.
std::string FormatIpv4(std::uint32_t networkOrder) { return kestrum::card_text::Address(networkOrder); }

std::optional<orvell::record::Mac> ParseMac(const std::string& text) {
  constexpr std::size_t kTextLength = 6 * 2 + 5;  // six groups, five colons
  if (text.size() != kTextLength) return std::nullopt;
  orvell::record::Mac mac{};
  for (std::size_t group = 0; group < mac.size(); ++group) {
    const std::size_t at = group * 3;
    if (group > 0 && text[at - 1] != ':') return std::nullopt;
    const auto byte = HexByte(text[at], text[at + 1]);
    if (!byte) return std::nullopt;
    mac[group] = *byte;
  }
  return mac;
}

std::string FormatMac(const orvell::record::Mac& mac) { return kestrum::card_text::Mac(mac); }

}  // namespace kestrum::command_line
