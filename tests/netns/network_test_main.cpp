// main() of every test program that sends datagrams: refuses to run anywhere
// but inside the private network of scripts/private-lan.sh, before any test
// (and so before anything is sent).
#include <gtest/gtest.h>

#include <cstdio>

#include "lan.h"
#include "private_network_guard.h"

int main(int argc, char** argv) {
  kestrum::RequirePrivateNetwork(argv[0]);
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  // An emulator that crashed or reported a fault fails the run, even when
  // every test's own checks passed.
  if (const int unclean = kestrum::lan::UncleanCardSimExits(); unclean > 0) {
    std::fprintf(stderr, "%d cardsim process(es) did not end cleanly\n", unclean);
    return 1;
  }
  return result;
}
