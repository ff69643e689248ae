#pragma once

#include <cstdint>

#include "orvell.h"
#include "seam/pindle.h"
#include "search_datagrams.h"

namespace orvell {

inline constexpr double kSearchListenSeconds = 0.6;
// Wait's event array and Collect's array both hold 256 entries.
inline constexpr std::int32_t kSearchWaitEvents = 256;
inline constexpr std::uint32_t kSearchCollectCapacity = 256;
// One byte more than a reply: a longer datagram then reads as longer than a
// reply instead of being cut to exactly a reply's length.
inline constexpr std::int32_t kSearchReadBytes = static_cast<std::int32_t>(search::kReplySize) + 1;  // 111 + 1

// The search behind GetControlList, with the socket library's factory passed
// in so tests can script it.
std::int32_t SearchCards(CreatePindleFunction createPindle, ControlRecord* records, std::int32_t capacity);

}  // namespace orvell
