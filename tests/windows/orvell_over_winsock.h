// What the tests of Orvell.dll over Winsock share: the library bound by name,
// the harness's two LANs, and cards to put on them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "harness_network.h"
#include "orvell_library.h"

namespace kestrum::windows_tests {

// The window's table size: a search is always asked for this many records.
inline constexpr std::int32_t kTableCapacity = 255;

// A card on the LAN's subnet whose address ends in hostNumber; the other
// fields differ from card to card so that records cannot be confused.
ControlRecord CardOn(const HarnessLan& lan, std::uint8_t hostNumber);

// A table the library must overwrite: every byte 0xEE.
std::vector<ControlRecord> DirtyTable();

bool SameBytes(const ControlRecord& a, const ControlRecord& b);
bool IsZero(const ControlRecord& record);

class OrvellOverWinsock : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Orvell().failure, "");
    lans_ = HarnessLans();
    ASSERT_GE(lans_.size(), 2u) << "the script gives these tests two LANs";
  }

  std::int32_t Search(std::vector<ControlRecord>& table) const {
    return Orvell().getControlList(table.data(), static_cast<std::int32_t>(table.size()));
  }

  std::vector<HarnessLan> lans_;
};

}  // namespace kestrum::windows_tests
