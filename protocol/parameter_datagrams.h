// The parameter request the library broadcasts to give a card new addresses,
// and the 24-byte header with which a card confirms it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "frame.h"

namespace orvell::parameter {

inline constexpr std::uint8_t kCommand = 0xCA;
inline constexpr std::uint32_t kRequestSubcode = 5;
inline constexpr std::uint32_t kReplySubcode = 1;

// Request payload: the card's current addresses, then the new ones, each
// group followed by six 0xFF bytes where a MAC address could stand; then the
// server the card reports to. Addresses in network order, the port LE16.
inline constexpr std::size_t kLeadingZerosOffset = 24;  // four 0x00
inline constexpr std::size_t kLeadingZerosSize = 4;
inline constexpr std::size_t kOldIpOffset = 28;
inline constexpr std::size_t kOldGatewayOffset = 32;  // gateway before mask, in both groups
inline constexpr std::size_t kOldMaskOffset = 36;
inline constexpr std::size_t kOldMacFillOffset = 40;  // six 0xFF, never the MAC
inline constexpr std::size_t kMacFillSize = 6;
inline constexpr std::size_t kNewIpOffset = 46;
inline constexpr std::size_t kNewGatewayOffset = 50;
inline constexpr std::size_t kNewMaskOffset = 54;
inline constexpr std::size_t kNewMacFillOffset = 58;  // six 0xFF, never the MAC
inline constexpr std::size_t kServerIpOffset = 64;
inline constexpr std::size_t kServerPortOffset = 68;  // LE16
inline constexpr std::size_t kHeartbeatOffset = 70;
inline constexpr std::size_t kTailFillOffset = 71;  // three 0xFF
inline constexpr std::size_t kTailFillSize = 3;
inline constexpr std::size_t kReservedOffset = 74;  // two 0x00
inline constexpr std::size_t kReservedSize = 2;
inline constexpr std::size_t kTrailerOffset = 76;
inline constexpr std::size_t kAddressSize = 4;

inline constexpr std::size_t kRequestSize = kTrailerOffset + frame::kTrailerSize;      // 76 + 2 = 78
inline constexpr std::size_t kRequestPayloadSize = kRequestSize - frame::kHeaderSize;  // 78 - 24 = 54
static_assert(kLeadingZerosOffset == frame::kHeaderSize);
static_assert(kOldIpOffset == kLeadingZerosOffset + kLeadingZerosSize);
static_assert(kOldMacFillOffset == kOldMaskOffset + kAddressSize);
static_assert(kNewIpOffset == kOldMacFillOffset + kMacFillSize);
static_assert(kNewMacFillOffset == kNewMaskOffset + kAddressSize);
static_assert(kServerIpOffset == kNewMacFillOffset + kMacFillSize);
static_assert(kTailFillOffset == kHeartbeatOffset + 1);
static_assert(kReservedOffset == kTailFillOffset + kTailFillSize);
static_assert(kTrailerOffset == kReservedOffset + kReservedSize);
static_assert(kRequestSize == 78 && kRequestPayloadSize == 54);

// A card confirms with the request's header turned round: direction 0, both
// payload lengths 4, subcode 1. Whatever follows it is ignored.
inline constexpr std::uint16_t kReplyPayloadLength = 4;
inline constexpr std::size_t kReplyHeaderSize = frame::kHeaderSize;  // 24

using Request = std::array<std::uint8_t, kRequestSize>;
using ReplyHeader = std::array<std::uint8_t, kReplyHeaderSize>;

// What one parameter request carries. Addresses in network byte order, as
// InetAddr yields them.
struct ParameterChange {
  std::uint32_t oldIp = 0;
  std::uint32_t oldGateway = 0;
  std::uint32_t oldMask = 0;
  std::uint32_t newIp = 0;
  std::uint32_t newGateway = 0;
  std::uint32_t newMask = 0;
  std::uint32_t serverIp = 0;
  std::uint16_t serverPort = 0;
  std::uint8_t heartbeat = 0;

  friend bool operator==(const ParameterChange&, const ParameterChange&) = default;
};

Request BuildRequest(const ParameterChange& change);

// The change a well-formed parameter request carries (exactly kRequestSize
// bytes, the request header and the trailer); for the card emulator.
std::optional<ParameterChange> ReadRequest(const std::uint8_t* data, std::size_t length);

ReplyHeader BuildReplyHeader();

// True when a received datagram confirms the change: it really carried at
// least the 24 header bytes and they are exactly the expected header. Bytes
// past the datagram's own length never take part.
bool IsConfirmation(const std::uint8_t* data, std::size_t length);

}  // namespace orvell::parameter
