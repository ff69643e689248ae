// Dotted IPv4 text to the 32-bit address form used everywhere in the system,
// with the rules of the classic BSD / Winsock inet_addr, so that an address
// typed by the operator means the same here as it would to the card's own
// tools. No platform socket header is needed to use it.
#pragma once

#include <cstdint>

namespace orvell {

// What InetAddr yields for text it cannot convert (also 255.255.255.255).
inline constexpr std::uint32_t kInetAddrNone = 0xFFFFFFFF;

// Converts a, a.b, a.b.c or a.b.c.d, each part decimal, octal with a leading
// 0 or hexadecimal with 0x/0X; the last part fills all remaining octets.
// Text after the address is allowed only after a white-space character. The
// result is in network byte order (first octet first in memory); a null
// pointer or unconvertible text gives kInetAddrNone.
std::uint32_t InetAddr(const char* text);

}  // namespace orvell
