// The two exports as the window binds them. Only refusals are called here:
// anything else would broadcast, which unit tests never do.
#include <gtest/gtest.h>
#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <cstring>
#include <type_traits>
#include <vector>

#include "orvell.h"

namespace {

bool ExportedByName(const char* name) {
#if defined(_WIN32)
  return GetProcAddress(GetModuleHandleA("Orvell.dll"), name) != nullptr;
#else
  return dlsym(RTLD_DEFAULT, name) != nullptr;
#endif
}

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
  EXPECT_TRUE(ExportedByName("GetControlList"));
  EXPECT_TRUE(ExportedByName("ConfigControlPara"));
}

using ConfigControlParaSignature = std::int32_t(ORVELL_CALL*)(std::uint32_t, std::uint32_t, std::uint32_t, const char*,
                                                              std::uint32_t, std::uint32_t, std::uint32_t, const char*,
                                                              const char*, std::uint16_t, std::uint8_t);
static_assert(std::is_same_v<decltype(&ConfigControlPara), ConfigControlParaSignature>);

}  // namespace
