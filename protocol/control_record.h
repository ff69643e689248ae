// Named access to the fields of ControlRecord, the 83-byte unaligned copy of a
// search reply's bytes 24 to 106. Header-only so that the window and the card
// emulator read and write records exactly as the library lays them out.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "byte_order.h"
#include "orvell.h"

namespace orvell::record {

inline constexpr std::size_t kSize = ORVELL_CONTROL_RECORD_SIZE;
static_assert(sizeof(ControlRecord) == kSize, "ControlRecord must be exactly the 83 bytes of a reply");

inline constexpr std::size_t kTypeVersionOffset = 0;
inline constexpr std::size_t kTypeVersionSize = 16;  // zero-ended when shorter
inline constexpr std::size_t kBaudCodeOffset = 16;
inline constexpr std::size_t kScreenNoOffset = 17;
inline constexpr std::size_t kWidthOffset = 20;   // LE16
inline constexpr std::size_t kHeightOffset = 22;  // LE16
inline constexpr std::size_t kColorStyleOffset = 24;
inline constexpr std::size_t kScanStyleOffset = 43;
inline constexpr std::size_t kLineOrderOffset = 44;
inline constexpr std::size_t kRgChangeOffset = 45;
inline constexpr std::size_t kIpOffset = 51;       // network order
inline constexpr std::size_t kMaskOffset = 55;     // network order
inline constexpr std::size_t kGatewayOffset = 59;  // network order
inline constexpr std::size_t kMacOffset = 63;
inline constexpr std::size_t kMacSize = 6;
inline constexpr std::size_t kServerIpOffset = 73;    // network order
inline constexpr std::size_t kServerPortOffset = 77;  // LE16, odd offset
inline constexpr std::size_t kHeartbeatOffset = 79;
inline constexpr std::size_t kLastFieldEnd = kHeartbeatOffset + 1 + 3;  // three carried bytes follow
static_assert(kLastFieldEnd == kSize);

using Mac = std::array<std::uint8_t, kMacSize>;

// The type-version text: up to the first zero byte, never past byte 15.
inline std::string TypeVersion(const ControlRecord& r) {
  const auto* begin = r.bytes + kTypeVersionOffset;
  std::size_t length = 0;
  while (length < kTypeVersionSize && begin[length] != 0) ++length;
  return std::string(reinterpret_cast<const char*>(begin), length);
}
inline std::uint8_t BaudCode(const ControlRecord& r) { return r.bytes[kBaudCodeOffset]; }
inline std::uint8_t ScreenNo(const ControlRecord& r) { return r.bytes[kScreenNoOffset]; }
inline std::uint16_t Width(const ControlRecord& r) { return ReadLE16(r.bytes + kWidthOffset); }
inline std::uint16_t Height(const ControlRecord& r) { return ReadLE16(r.bytes + kHeightOffset); }
inline std::uint8_t ColorStyle(const ControlRecord& r) { return r.bytes[kColorStyleOffset]; }
inline std::uint8_t ScanStyle(const ControlRecord& r) { return r.bytes[kScanStyleOffset]; }
inline std::uint8_t LineOrder(const ControlRecord& r) { return r.bytes[kLineOrderOffset]; }
inline std::uint8_t RgChange(const ControlRecord& r) { return r.bytes[kRgChangeOffset]; }
inline std::uint32_t Ip(const ControlRecord& r) { return ReadAddress(r.bytes + kIpOffset); }
inline std::uint32_t Mask(const ControlRecord& r) { return ReadAddress(r.bytes + kMaskOffset); }
inline std::uint32_t Gateway(const ControlRecord& r) { return ReadAddress(r.bytes + kGatewayOffset); }
inline Mac MacAddress(const ControlRecord& r) {
  Mac mac{};
  std::memcpy(mac.data(), r.bytes + kMacOffset, kMacSize);
  return mac;
}
inline std::uint32_t ServerIp(const ControlRecord& r) { return ReadAddress(r.bytes + kServerIpOffset); }
inline std::uint16_t ServerPort(const ControlRecord& r) { return ReadLE16(r.bytes + kServerPortOffset); }
inline std::uint8_t Heartbeat(const ControlRecord& r) { return r.bytes[kHeartbeatOffset]; }

// Writers, for the window's update after a confirmed change and for the
// card emulator. A type-version text longer than 16 bytes is cut.
inline void SetTypeVersion(ControlRecord& r, const std::string& text) {
  std::memset(r.bytes + kTypeVersionOffset, 0, kTypeVersionSize);
  std::memcpy(r.bytes + kTypeVersionOffset, text.data(),
              text.size() < kTypeVersionSize ? text.size() : kTypeVersionSize);
}
inline void SetBaudCode(ControlRecord& r, std::uint8_t v) { r.bytes[kBaudCodeOffset] = v; }
inline void SetScreenNo(ControlRecord& r, std::uint8_t v) { r.bytes[kScreenNoOffset] = v; }
inline void SetWidth(ControlRecord& r, std::uint16_t v) { WriteLE16(r.bytes + kWidthOffset, v); }
inline void SetHeight(ControlRecord& r, std::uint16_t v) { WriteLE16(r.bytes + kHeightOffset, v); }
inline void SetColorStyle(ControlRecord& r, std::uint8_t v) { r.bytes[kColorStyleOffset] = v; }
inline void SetScanStyle(ControlRecord& r, std::uint8_t v) { r.bytes[kScanStyleOffset] = v; }
inline void SetLineOrder(ControlRecord& r, std::uint8_t v) { r.bytes[kLineOrderOffset] = v; }
inline void SetRgChange(ControlRecord& r, std::uint8_t v) { r.bytes[kRgChangeOffset] = v; }
inline void SetIp(ControlRecord& r, std::uint32_t v) { WriteAddress(r.bytes + kIpOffset, v); }
inline void SetMask(ControlRecord& r, std::uint32_t v) { WriteAddress(r.bytes + kMaskOffset, v); }
inline void SetGateway(ControlRecord& r, std::uint32_t v) { WriteAddress(r.bytes + kGatewayOffset, v); }
inline void SetMacAddress(ControlRecord& r, const Mac& mac) { std::memcpy(r.bytes + kMacOffset, mac.data(), kMacSize); }
inline void SetServerIp(ControlRecord& r, std::uint32_t v) { WriteAddress(r.bytes + kServerIpOffset, v); }
inline void SetServerPort(ControlRecord& r, std::uint16_t v) { WriteLE16(r.bytes + kServerPortOffset, v); }
inline void SetHeartbeat(ControlRecord& r, std::uint8_t v) { r.bytes[kHeartbeatOffset] = v; }

}  // namespace orvell::record
