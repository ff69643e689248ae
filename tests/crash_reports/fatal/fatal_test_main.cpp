// The fatal-report tests, or, when started with --crash-child, the child
// process that crashes.
#include <gtest/gtest.h>

#include "crashing_child.h"

int main(int argc, char** argv) {
  const int childResult = kestrum::testing::RunCrashChildIfAsked(argc, argv);
  if (childResult >= 0) {
    return childResult;
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
