#include "card_texts.h"

#include <array>
#include <cstdio>

namespace kestrum {

std::string DottedAddress(std::uint32_t networkOrderAddress) {
  std::array<std::uint8_t, 4> octets{};
  orvell::WriteAddress(octets.data(), networkOrderAddress);
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", octets[0], octets[1], octets[2], octets[3]);
  return text;
}

std::string MacAddressText(const orvell::record::Mac& mac) {
  char text[18];
  std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
  return text;
}

}  // namespace kestrum
