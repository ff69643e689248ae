// A wait as ppoll takes it: to the nanosecond, never negative, at most a
// minute (the callers wait again for the rest), so that a deadline is kept
// without the whole milliseconds of poll. POSIX only; the socket layer and
// the card emulator both wait this way.
#pragma once

#include <time.h>

#include <algorithm>
#include <chrono>

namespace pindle {

inline timespec PollTimeout(std::chrono::nanoseconds wait) {
  const auto bounded =
      std::clamp<std::chrono::nanoseconds>(wait, std::chrono::nanoseconds::zero(), std::chrono::minutes(1));
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(bounded);
  return {static_cast<time_t>(seconds.count()), static_cast<long>((bounded - seconds).count())};
}

}  // namespace pindle
