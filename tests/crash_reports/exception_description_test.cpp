// Reading exceptions and stack lines into the readable texts of a report.
#include <gtest/gtest.h>

#include <stdexcept>

#include "crash_reports/call_stack.h"
#include "crash_reports/exception_description.h"

namespace kestrum {
namespace {

TEST(ExceptionDescriptionTest, DerivedStandardExceptionIsNamedByItsDynamicType) {
  class CardTableFull : public std::length_error {
   public:
    CardTableFull() : std::length_error("255 cards") {}
  };
  const ExceptionDescription description = DescribeException(std::make_exception_ptr(CardTableFull()));
  EXPECT_EQ(description.message, QStringLiteral("255 cards"));
  EXPECT_TRUE(description.typeName.contains(QStringLiteral("CardTableFull"))) << description.typeName.toStdString();
}

TEST(ExceptionDescriptionTest, ControlCharactersOfTheMessageAreNotPassedOn) {
  // A title change and a screen clear for the terminal the report reaches.
  const ExceptionDescription description =
      DescribeException(std::make_exception_ptr(std::runtime_error("port '\x1b]0;owned\x07\x1b[2J' 端口")));
  EXPECT_EQ(description.message, QStringLiteral("port '\uFFFD]0;owned\uFFFD\uFFFD[2J' 端口"));
}

TEST(ExceptionDescriptionTest, TerminateWithoutExceptionSaysSo) {
  const ExceptionDescription description = DescribeException(nullptr);
  EXPECT_EQ(description.typeName, QStringLiteral("none"));
  EXPECT_EQ(description.message, QStringLiteral("std::terminate was called without an active exception"));
}

#ifdef __GLIBC__
TEST(CallStackTest, GlibcLinesGetTheirSymbolsDemangled) {
  EXPECT_EQ(DemangleStackLine(QStringLiteral("/usr/lib/libQt6Core.so.6(_ZN7QObject5eventEP6QEvent+0x1c) [0x7f00]")),
            QStringLiteral("/usr/lib/libQt6Core.so.6(QObject::event(QEvent*)+0x1c) [0x7f00]"));
  EXPECT_EQ(DemangleStackLine(QStringLiteral("/lib/libc.so.6(abort+0xd3) [0x7f01]")),
            QStringLiteral("/lib/libc.so.6(abort+0xd3) [0x7f01]"));
  // No symbol: only the module offset, kept for addr2line.
  EXPECT_EQ(DemangleStackLine(QStringLiteral("./Kestrum(+0x1234) [0x5500]")),
            QStringLiteral("./Kestrum(+0x1234) [0x5500]"));
  EXPECT_EQ(DemangleStackLine(QStringLiteral("[0x5500]")), QStringLiteral("[0x5500]"));
  // Parentheses in the path are not taken for the symbol's.
  EXPECT_EQ(DemangleStackLine(QStringLiteral("/opt/k (x86)/Kestrum(_ZN7QObject5eventEP6QEvent+0x10) [0x1]")),
            QStringLiteral("/opt/k (x86)/Kestrum(QObject::event(QEvent*)+0x10) [0x1]"));
}

TEST(CallStackTest, CaptureReachesDownToTheProgramStart) {
  const QStringList stack = CaptureCallStack();
  ASSERT_FALSE(stack.isEmpty());
  EXPECT_FALSE(stack.filter(QStringLiteral("libc.so")).isEmpty());  // __libc_start_main is below main
}
#endif

}  // namespace
}  // namespace kestrum
