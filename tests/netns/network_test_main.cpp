// main() of every test program that sends datagrams: refuses to run anywhere
// but inside the private network of scripts/private-lan.sh, before any test
// (and so before anything is sent).
#include <gtest/gtest.h>

#include "private_network_guard.h"

int main(int argc, char** argv) {
  kestrum::RequirePrivateNetwork(argv[0]);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
