// The network tests' main: nothing is sent unless this program runs inside
// the private network that scripts/windows-tests.sh made for it.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "harness_network.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Listing the tests sends nothing, and ctest lists them wherever it runs.
  if (!GTEST_FLAG_GET(list_tests)) {
    const std::string refusal = kestrum::windows_tests::PrivateNetworkRefusal();
    if (!refusal.empty()) {
      std::fprintf(stderr, "REFUSING TO SEND: %s\n", refusal.c_str());
      return 3;
    }
  }
  WSADATA data{};
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
    std::fprintf(stderr, "Winsock did not start\n");
    return 1;
  }
  const int result = RUN_ALL_TESTS();
  WSACleanup();
  return result;
}
