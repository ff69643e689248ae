// Explicit little-endian and network-order access to unaligned datagram
// fields. Every multi-byte field of a datagram or record goes through these;
// bytes are never reinterpreted as wider types.
#pragma once

#include <cstdint>
#include <cstring>

namespace orvell {

inline std::uint16_t ReadLE16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

inline std::uint32_t ReadLE32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline void WriteLE16(std::uint8_t* p, std::uint16_t value) {
  p[0] = static_cast<std::uint8_t>(value);
  p[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void WriteLE32(std::uint8_t* p, std::uint32_t value) {
  p[0] = static_cast<std::uint8_t>(value);
  p[1] = static_cast<std::uint8_t>(value >> 8);
  p[2] = static_cast<std::uint8_t>(value >> 16);
  p[3] = static_cast<std::uint8_t>(value >> 24);
}

// IPv4 addresses travel first octet first and are held in a uint32 whose
// bytes in memory are those octets (what inet_addr yields): a plain copy of
// the four bytes, whatever the host's byte order.
inline std::uint32_t ReadAddress(const std::uint8_t* p) {
  std::uint32_t address = 0;
  std::memcpy(&address, p, sizeof address);
  return address;
}

inline void WriteAddress(std::uint8_t* p, std::uint32_t address) { std::memcpy(p, &address, sizeof address); }

// The address whose octets are a.b.c.d, in the same memory form.
inline std::uint32_t AddressFromOctets(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
  const std::uint8_t octets[4] = {a, b, c, d};
  return ReadAddress(octets);
}

// The address as a number whose most significant byte is its first octet,
// for mask and subnet arithmetic, and back.
inline std::uint32_t ToHostOrder(std::uint32_t address) {
  std::uint8_t octets[4];
  WriteAddress(octets, address);
  return (static_cast<std::uint32_t>(octets[0]) << 24) | (static_cast<std::uint32_t>(octets[1]) << 16) |
         (static_cast<std::uint32_t>(octets[2]) << 8) | octets[3];
}

inline std::uint32_t ToNetworkOrder(std::uint32_t hostOrder) {
  return AddressFromOctets(static_cast<std::uint8_t>(hostOrder >> 24), static_cast<std::uint8_t>(hostOrder >> 16),
                           static_cast<std::uint8_t>(hostOrder >> 8), static_cast<std::uint8_t>(hostOrder));
}

}  // namespace orvell
