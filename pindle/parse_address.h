// Dotted-decimal IPv4 text, strictly: four decimal octets of one to three
// digits, nothing else. The socket layer reads endpoint addresses with it,
// and the card emulator and kestrum-cli the addresses they are given.
#pragma once

#include <cstdint>
#include <optional>

namespace pindle {

// The address in network byte order (first octet first in memory); nothing
// when the text is not such an address.
std::optional<std::uint32_t> ParseDottedAddress(const char* text);

}  // namespace pindle
