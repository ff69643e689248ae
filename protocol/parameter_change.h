#pragma once

#include <cstddef>
#include <cstdint>

#include "seam/pindle.h"

namespace orvell {

inline constexpr double kParameterListenSeconds = 0.5;
inline constexpr std::int32_t kParameterWaitEvents = 3;
inline constexpr std::uint32_t kParameterCollectCapacity = 256;
// A confirmation is judged on its first 24 bytes; at most 32 are read, into a
// buffer of 256.
inline constexpr std::int32_t kParameterReadBytes = 32;
inline constexpr std::size_t kParameterReceiveBufferSize = 256;

// The parameter change behind ConfigControlPara, with the socket library's
// factory passed in so tests can script it. oldMac and newMac are never read.
// Returns 1 when a card confirmed, otherwise 0.
std::int32_t ChangeParameters(CreatePindleFunction createPindle, std::uint32_t oldIp, std::uint32_t oldGateway,
                              std::uint32_t oldMask, const char* oldMac, std::uint32_t newIp, std::uint32_t newGateway,
                              std::uint32_t newMask, const char* newMac, const char* newServerIp,
                              std::uint16_t newServerPort, std::uint8_t newHeartbeat);

}  // namespace orvell
