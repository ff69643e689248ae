// The texts the panel shows for a card's codes, including the edges where a
// table's named codes end and "any other value" begins.
#include "code_tables.h"

#include <QtTest>

#include "offscreen_test_main.h"

using namespace kestrum;
using namespace Qt::StringLiterals;

class CodeTablesTest : public QObject {
  Q_OBJECT

 private slots:
  void ScanStyle_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("0, first straight") << 0 << u"16扫直行"_s;
    QTest::newRow("3, last straight") << 3 << u"2扫直行"_s;
    QTest::newRow("4") << 4 << u"8扫16行8折上"_s;
    QTest::newRow("15") << 15 << u"4扫16行16折下"_s;
    QTest::newRow("16, first static") << 16 << u"静态4行8折上"_s;
    QTest::newRow("19, last of the run") << 19 << u"静态8行8折下"_s;
    QTest::newRow("20, gap") << 20 << QString();
    QTest::newRow("21") << 21 << u"4扫先8行8折上后16点折（强力P10双色P12双色）"_s;
    QTest::newRow("22, gap") << 22 << QString();
    QTest::newRow("34, gap") << 34 << QString();
    QTest::newRow("35") << 35 << u"4扫12行8折上入（24*12模组）"_s;
    QTest::newRow("36, half-width closing parenthesis") << 36 << u"强力巨彩P10双色表贴P10C4V13模组（4扫)"_s;
    QTest::newRow("37, gap") << 37 << QString();
    QTest::newRow("49, gap") << 49 << QString();
    QTest::newRow("50") << 50 << u"深圳万恒7.62全彩贴片模组含64*32和32*16两种，75接口"_s;
    QTest::newRow("51") << 51 << u"合利来6扫P13.33全彩插灯模组 24*12 08接口"_s;
    QTest::newRow("52") << 52 << u"阿里山3扫P13.33全彩插灯模组，24*12 08接口 引路人3扫P13.33全彩贴片模组24*12 08接口"_s;
    QTest::newRow("53") << 53 << u"合利来M10全彩模组32*16 08接口8扫16行16折上"_s;
    QTest::newRow("54, last named") << 54 << u"深圳万恒P5全彩模组64*32 08接口"_s;
    QTest::newRow("55, gap to the end") << 55 << QString();
    QTest::newRow("200") << 200 << QString();
    QTest::newRow("255") << 255 << QString();
  }
  void ScanStyle() {
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(ScanStyleText(static_cast<std::uint8_t>(code)), text);
  }

  void ScanStyleNamesUseFullWidthPunctuation() {
    // Code 21 holds full-width parentheses; 50 a full-width comma.
    QVERIFY(ScanStyleText(21).contains(QChar(0xFF08)));
    QVERIFY(ScanStyleText(21).endsWith(QChar(0xFF09)));
    QVERIFY(ScanStyleText(50).contains(QChar(0xFF0C)));
    QVERIFY(!ScanStyleText(36).contains(QChar(0xFF09)));
  }

  void Colour_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << u"单色"_s;
    QTest::newRow("1") << 1 << u"双色"_s;
    QTest::newRow("2") << 2 << u"三色"_s;
    QTest::newRow("255") << 255 << u"三色"_s;
  }
  void Colour() {
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(ColourText(static_cast<std::uint8_t>(code)), text);
  }

  void BaudRate_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << u"9600"_s;
    QTest::newRow("1") << 1 << u"115200"_s;
    QTest::newRow("2") << 2 << u"57600"_s;
    QTest::newRow("255") << 255 << u"57600"_s;
  }
  void BaudRate() {
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(BaudRateText(static_cast<std::uint8_t>(code)), text);
  }

  void Flags_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("lineOrder");
    QTest::addColumn<QString>("rgChange");
    QTest::newRow("0") << 0 << u"有译码"_s << u"红绿正常"_s;
    QTest::newRow("1") << 1 << u"无译码"_s << u"红绿交换"_s;
    QTest::newRow("255") << 255 << u"无译码"_s << u"红绿交换"_s;
  }
  void Flags() {
    QFETCH(int, code);
    QFETCH(QString, lineOrder);
    QFETCH(QString, rgChange);
    QCOMPARE(LineOrderText(static_cast<std::uint8_t>(code)), lineOrder);
    QCOMPARE(RgChangeText(static_cast<std::uint8_t>(code)), rgChange);
  }
};

KESTRUM_WIDGET_TEST_MAIN(CodeTablesTest)
#include "code_tables_test.moc"
