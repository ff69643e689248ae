// The search request the library broadcasts and the search reply a card
// answers with.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "control_record.h"
#include "frame.h"

namespace orvell::search {

inline constexpr std::uint8_t kCommand = 0xA3;
inline constexpr std::uint32_t kSubcode = 0x3BF;
// Six zero bytes, then the trailer.
inline constexpr std::size_t kRequestPayloadSize = 6 + frame::kTrailerSize;            // 8
inline constexpr std::size_t kRequestSize = frame::kHeaderSize + kRequestPayloadSize;  // 24 + 8 = 32
static_assert(kRequestSize == 32);

// Header, the card's record, four bytes nobody reads.
inline constexpr std::size_t kReplyRecordOffset = frame::kHeaderSize;  // 24
inline constexpr std::size_t kReplyTailSize = 4;
inline constexpr std::size_t kReplySize = kReplyRecordOffset + record::kSize + kReplyTailSize;  // 24 + 83 + 4 = 111
static_assert(kReplySize == 111);

using Request = std::array<std::uint8_t, kRequestSize>;
using Reply = std::array<std::uint8_t, kReplySize>;

Request BuildRequest();

// True when the datagram is a well-formed search request (the card emulator's
// test; the library never needs it).
bool IsRequest(const std::uint8_t* data, std::size_t length);

// The record a datagram carries when it is exactly kReplySize bytes long;
// nothing else of it is examined.
std::optional<ControlRecord> ReadReply(const std::uint8_t* data, std::size_t length);

// A reply carrying the record: what a card answers.
Reply BuildReply(const ControlRecord& record);

}  // namespace orvell::search
