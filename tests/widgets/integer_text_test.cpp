// The integer reading shared by the octet fields and the window's port and
// heartbeat conversions.

#include "integer_text.h"
#include "offscreen_test_main.h"

#include <optional>

class IntegerTextTest : public QObject {
  Q_OBJECT

 private slots:
  void Reads_data();
  void Reads();
  void Rejects_data();
  void Rejects();
};

void IntegerTextTest::Reads_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("expected");

  QTest::newRow("zero") << "0" << 0;
  QTest::newRow("plain") << "192" << 192;
  QTest::newRow("leading zeros") << "007" << 7;
  QTest::newRow("many leading zeros") << "000000000000042" << 42;
  QTest::newRow("leading spaces") << "   12" << 12;
  QTest::newRow("plus") << "+7" << 7;
  QTest::newRow("minus") << "-7" << -7;
  QTest::newRow("spaces then sign") << "  -300" << -300;
  QTest::newRow("minus zero") << "-0" << 0;
  QTest::newRow("largest") << "2147483647" << 2147483647;
  QTest::newRow("lowest") << "-2147483648" << (-2147483647 - 1);
  QTest::newRow("dollar hex") << "$FF" << 255;
  QTest::newRow("lower case hex digits") << "$ff" << 255;
  QTest::newRow("x prefix") << "x1F" << 31;
  QTest::newRow("X prefix") << "XaB" << 171;
  QTest::newRow("0x prefix") << "0xA" << 10;
  QTest::newRow("0X prefix") << "0X10" << 16;
  QTest::newRow("hex one digit") << "$0" << 0;
  QTest::newRow("hex leading zeros beyond 8 digits") << "$000000000FF" << 255;
  QTest::newRow("hex largest positive") << "$7FFFFFFF" << 2147483647;
  QTest::newRow("hex all ones is -1") << "$FFFFFFFF" << -1;
  QTest::newRow("hex high bit") << "0x80000000" << (-2147483647 - 1);
  QTest::newRow("minus hex") << "-$10" << -16;
  QTest::newRow("minus hex all ones") << "-$FFFFFFFF" << 1;
  QTest::newRow("plus hex") << "+0x1f" << 31;
  QTest::newRow("spaces sign hex") << "  -x2" << -2;
}

void IntegerTextTest::Reads() {
  QFETCH(QString, text);
  QFETCH(int, expected);
  const std::optional<int32_t> value = ParseIntegerText(text);
  QVERIFY2(value.has_value(), qPrintable(text));
  QCOMPARE(*value, expected);
}

void IntegerTextTest::Rejects_data() {
  QTest::addColumn<QString>("text");

  QTest::newRow("empty") << "";
  QTest::newRow("spaces only") << "   ";
  QTest::newRow("trailing space") << "12 ";
  QTest::newRow("space inside") << "1 2";
  QTest::newRow("space after sign") << "- 1";
  QTest::newRow("sign only") << "-";
  QTest::newRow("two signs") << "+-1";
  QTest::newRow("sign twice") << "--1";
  QTest::newRow("sign after number") << "1-";
  QTest::newRow("letters") << "abc";
  QTest::newRow("letter after digits") << "12a";
  QTest::newRow("decimal point") << "1.5";
  QTest::newRow("exponent") << "1e3";
  QTest::newRow("tab before") << "\t1";
  QTest::newRow("newline after") << "1\n";
  QTest::newRow("beyond largest") << "2147483648";
  QTest::newRow("below lowest") << "-2147483649";
  QTest::newRow("far beyond") << "99999999999999999999999";
  QTest::newRow("dollar only") << "$";
  QTest::newRow("x only") << "x";
  QTest::newRow("0x only") << "0x";
  QTest::newRow("sign and prefix only") << "-$";
  QTest::newRow("hex digit without prefix") << "FF";
  QTest::newRow("bad hex digit") << "$FG";
  QTest::newRow("hex beyond 32 bits") << "$100000000";
  QTest::newRow("two prefixes") << "$0x1";
  QTest::newRow("double zero prefix") << "00x1";
  QTest::newRow("sign after prefix") << "$-1";
  QTest::newRow("hex trailing space") << "$1 ";
  QTest::newRow("arabic-indic digit") << QString(QChar(0x0663));
  QTest::newRow("full-width digit") << QString(QChar(0xFF11));
  QTest::newRow("superscript digit") << QString(QChar(0x00B2));
  QTest::newRow("non-breaking space before") << QString(QChar(0x00A0)) + "1";
  QTest::newRow("embedded nul") << QString("1") + QChar(0) + "2";
}

void IntegerTextTest::Rejects() {
  QFETCH(QString, text);
  const std::optional<int32_t> value = ParseIntegerText(text);
  QVERIFY2(!value.has_value(), qPrintable(QStringLiteral("read %1").arg(value.value_or(0))));
}

KESTRUM_WIDGET_TEST_MAIN(IntegerTextTest)
#include "integer_text_test.moc"
