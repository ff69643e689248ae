// The two exports as a caller binds them: the library loaded by its file
// name and each operation found by its plain name, at run time, so that a
// missing, hidden or decorated export fails here rather than at link time.
// Only refusals are called: anything else would broadcast, which unit tests
// never do.
#include <gtest/gtest.h>
#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <cstring>
#include <vector>

#include "orvell.h"

namespace {

// The library's own declarations give the types; nothing here restates them.
using GetControlListFunction = decltype(&GetControlList);
using ConfigControlParaFunction = decltype(&ConfigControlPara);

// Null when the library or the export cannot be found.
template <typename Function>
Function Export(const char* name) {
#if defined(_WIN32)
  static const HMODULE library = LoadLibraryA("Orvell.dll");
  const FARPROC found = library != nullptr ? GetProcAddress(library, name) : nullptr;
#else
  static void* const library = dlopen(KESTRUM_ORVELL_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  void* const found = library != nullptr ? dlsym(library, name) : nullptr;
#endif
  Function typed = nullptr;
  static_assert(sizeof typed == sizeof found);
  std::memcpy(&typed, &found, sizeof typed);
  return typed;
}

TEST(Exports, BothOperationsAreFoundByTheirPlainNames) {
  EXPECT_NE(Export<GetControlListFunction>("GetControlList"), nullptr);
  EXPECT_NE(Export<ConfigControlParaFunction>("ConfigControlPara"), nullptr);
}

TEST(Exports, GetControlListRefusesBadArgumentsAndLeavesTheArray) {
  const auto getControlList = Export<GetControlListFunction>("GetControlList");
  ASSERT_NE(getControlList, nullptr);
  std::vector<ControlRecord> table(3);
  std::memset(table.data(), 0x5A, table.size() * sizeof(ControlRecord));
  EXPECT_EQ(getControlList(nullptr, 255), ORVELL_BAD_ARGUMENTS);
  EXPECT_EQ(getControlList(table.data(), 0), ORVELL_BAD_ARGUMENTS);
  EXPECT_EQ(getControlList(table.data(), -3), ORVELL_BAD_ARGUMENTS);
  for (const ControlRecord& record : table) {
    for (std::uint8_t byte : record.bytes) ASSERT_EQ(byte, 0x5A);
  }
}

}  // namespace
