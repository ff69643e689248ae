// The tests run inside a KestrumApplication, as the program does; started
// with --crash-child, the program is the child that crashes.
#include <gtest/gtest.h>

#include "crash_reports/kestrum_application.h"
#include "crashing_child.h"

int main(int argc, char** argv) {
  // Started again by a test as the child that crashes.
  const int childResult = kestrum::testing::RunCrashChildIfAsked(argc, argv);
  if (childResult >= 0) {
    return childResult;
  }
  // gtest_discover_tests runs this binary at build time, without a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  ::testing::InitGoogleTest(&argc, argv);
  kestrum::KestrumApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
