// Keeps the window responsive for a short while before a blocking call.
#pragma once

#include <cstdint>

namespace kestrum {

// Processes pending events without waiting, over and over, until the given
// number of milliseconds has passed; at least once, even for 0 or less.
// The time comes from a monotonic clock, so no counter wrap can lengthen it.
void DelayWithMessages(std::int32_t milliseconds);

}  // namespace kestrum
