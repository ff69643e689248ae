#pragma once

#include <cstdint>

#include "seam/pindle.h"

namespace orvell {

// Local ports the two operations ask pindle to take for the answers.
inline constexpr std::uint16_t kSearchLocalPort = 11147;
inline constexpr std::uint16_t kParameterLocalPort = 10000;

// Every request goes to the limited broadcast address, card port 9999.
inline constexpr const char* kBroadcastAddress = "255.255.255.255";
inline constexpr std::uint16_t kCardPort = 9999;

// A fresh settings record: all zero, then size, signature, the local port and
// the two flag bytes every operation sets.
PindleSettings MakePindleSettings(std::uint16_t localPort);

}  // namespace orvell
