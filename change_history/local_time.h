// The time of an entry as a person reads it where the change was made: local
// time with its offset from UTC, so that entries of two time zones still
// order and compare.
#pragma once

#include <ctime>
#include <string>

namespace kestrum::history {

// ISO 8601, seconds and offset: 2026-12-10T05:01:02+01:00.
std::string LocalTimeText(std::time_t time);
std::string LocalTimeNow();

}  // namespace kestrum::history
