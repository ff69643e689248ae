#pragma once

#include <cstddef>
#include <cstdint>

#include "parameter_datagrams.h"
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
// factory passed in so tests can script it. Returns 1 when a card confirmed,
// otherwise 0.
std::int32_t ChangeParameters(CreatePindleFunction createPindle, const parameter::ParameterChange& change);

}  // namespace orvell
