#pragma once

#include <cstdint>

#include "orvell.h"
#include "seam/pindle.h"

namespace orvell {

inline constexpr double kSearchListenSeconds = 0.6;
// Wait's event array and Collect's array both hold 256 entries.
inline constexpr std::int32_t kSearchWaitEvents = 256;
inline constexpr std::uint32_t kSearchCollectCapacity = 256;

// The search behind GetControlList, with the socket library's factory passed
// in so tests can script it.
std::int32_t SearchCards(CreatePindleFunction createPindle, ControlRecord* records, std::int32_t capacity);

}  // namespace orvell
