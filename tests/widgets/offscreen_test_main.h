#pragma once

// main() for a widget test: headless unless the caller chose a platform,
// also when the build runs the binary.

#include <QApplication>
#include <QtTest>

#define KESTRUM_WIDGET_TEST_MAIN(TestClass)               \
  int main(int argc, char** argv) {                       \
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) { \
      qputenv("QT_QPA_PLATFORM", "offscreen");            \
    }                                                     \
    QApplication app(argc, argv);                         \
    TestClass test;                                       \
    return QTest::qExec(&test, argc, argv);               \
  }
