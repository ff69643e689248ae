// The two exports as the window binds them. Only refusals are called here:
// anything else would broadcast, which unit tests never do.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <type_traits>
#include <vector>

#include "orvell.h"

namespace {

TEST(Exports, GetControlListRefusesBadArgumentsAndLeavesTheArray) {
  std::vector<ControlRecord> table(3);
  std::memset(table.data(), 0x5A, table.size() * sizeof(ControlRecord));
  EXPECT_EQ(GetControlList(nullptr, 255), ORVELL_BAD_ARGUMENTS);
  EXPECT_EQ(GetControlList(table.data(), 0), ORVELL_BAD_ARGUMENTS);
  EXPECT_EQ(GetControlList(table.data(), -3), ORVELL_BAD_ARGUMENTS);
  for (const ControlRecord& record : table) {
    for (std::uint8_t byte : record.bytes) ASSERT_EQ(byte, 0x5A);
  }
}

// Bound by name as the window binds them: C linkage, undecorated, exported.
TEST(Exports, BothOperationsAreFoundByName) {
  EXPECT_NE(dlsym(RTLD_DEFAULT, "GetControlList"), nullptr);
  EXPECT_NE(dlsym(RTLD_DEFAULT, "ConfigControlPara"), nullptr);
}

using ConfigControlParaSignature = std::int32_t(ORVELL_CALL*)(std::uint32_t, std::uint32_t, std::uint32_t, const char*,
                                                              std::uint32_t, std::uint32_t, std::uint32_t, const char*,
                                                              const char*, std::uint16_t, std::uint8_t);
static_assert(std::is_same_v<decltype(&ConfigControlPara), ConfigControlParaSignature>);

}  // namespace
