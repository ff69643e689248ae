// What the card search window remembers besides its controls' contents.
#pragma once

#include <array>
#include <cstdint>

#include "orvell.h"

namespace kestrum {

inline constexpr std::int32_t kControlTableCapacity = 255;
using ControlTableArray = std::array<ControlRecord, kControlTableCapacity>;

struct CardSearchState {
  // The column of the last sort and its direction; searches keep them.
  std::int32_t SortedColumn = 0;
  bool Descending = false;
  // Filled by each search; rows of the list point into it.
  ControlTableArray ControlTable{};
  // The current addresses (network byte order) of the card last selected,
  // sent as its old addresses when it is changed.
  std::uint32_t SelectedIp = 0;
  std::uint32_t SelectedMask = 0;
  std::uint32_t SelectedGateway = 0;
};

}  // namespace kestrum
