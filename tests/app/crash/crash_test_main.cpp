// The tests run inside a KestrumApplication, as the program does.
#include <gtest/gtest.h>

#include "crash/kestrum_application.h"

int main(int argc, char** argv) {
  // gtest_discover_tests runs this binary at build time, without a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  ::testing::InitGoogleTest(&argc, argv);
  kestrum::KestrumApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
