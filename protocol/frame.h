// The frame every card datagram shares: a 24-byte header, then a payload whose
// length the header gives twice and which ends with the trailer 0D 0A.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orvell::frame {

inline constexpr std::size_t kSync0Offset = 0;      // 0x55
inline constexpr std::size_t kSync1Offset = 1;      // 0xAA
inline constexpr std::size_t kVersionOffset = 4;    // always 0x01
inline constexpr std::size_t kDirectionOffset = 5;  // 1 request, 0 a card's reply
inline constexpr std::size_t kCommandOffset = 7;
inline constexpr std::size_t kPayloadLength32Offset = 14;
inline constexpr std::size_t kPayloadLength16Offset = 18;  // the same length again
inline constexpr std::size_t kSubcodeOffset = 20;
inline constexpr std::size_t kHeaderSize = 24;

inline constexpr std::uint8_t kSync0 = 0x55;
inline constexpr std::uint8_t kSync1 = 0xAA;
inline constexpr std::uint8_t kVersion = 0x01;
inline constexpr std::uint8_t kDirectionRequest = 0x01;
inline constexpr std::uint8_t kDirectionReply = 0x00;

inline constexpr std::uint8_t kTrailer[] = {0x0D, 0x0A};
inline constexpr std::size_t kTrailerSize = sizeof kTrailer;

// Writes the 24 header bytes at out; every byte not named above is zero.
void WriteHeader(std::uint8_t* out, std::uint8_t direction, std::uint8_t command, std::uint16_t payloadLength,
                 std::uint32_t subcode);

}  // namespace orvell::frame
