#include <cstdint>
#include <cstring>
#include <optional>

#include "parse_address.h"

namespace pindle {

std::optional<std::uint32_t> ParseDottedAddress(const char* text) {
  if (text == nullptr) return std::nullopt;
  std::uint8_t octets[4] = {};
  const char* p = text;
  for (int i = 0; i < 4; ++i) {
    if (i > 0 && *p++ != '.') return std::nullopt;
    unsigned value = 0;
    int digits = 0;
    for (; *p >= '0' && *p <= '9'; ++p, ++digits) {
      if (digits == 3) return std::nullopt;
      value = value * 10 + static_cast<unsigned>(*p - '0');
    }
    if (digits == 0 || value > 255) return std::nullopt;
    octets[i] = static_cast<std::uint8_t>(value);
  }
  if (*p != '\0') return std::nullopt;
  // Network order: the first octet first in memory.
  std::uint32_t address = 0;
  std::memcpy(&address, octets, sizeof address);
  return address;
}

}  // namespace pindle
