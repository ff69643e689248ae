// How addresses, MACs, codes and the type-version text are written (the
// code tables with the edges where a table's named codes end and "any other
// value" begins), how texts from outside are shown, and the order of the
// list's texts.
#include "card_field_texts.h"

#include <QtTest>

#include "card_fields.h"
#include "offscreen_test_main.h"

using namespace kestrum;
using namespace Qt::StringLiterals;
using kestrum::testing::Address;

namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

ControlRecord WithTypeVersionBytes(const QByteArray& bytes, std::uint8_t followingByte) {
  ControlRecord card{};
  std::memcpy(card.bytes, bytes.constData(), static_cast<std::size_t>(bytes.size()));
  orvell::record::SetBaudCode(card, followingByte);  // the byte right after the 16
  return card;
}

}  // namespace

class CardFieldTextsTest : public QObject {
  Q_OBJECT

 private slots:
  void AddressIsDottedDecimalFirstOctetFirst() {
    QCOMPARE(AddressText(Address({192, 168, 1, 100})), u"192.168.1.100"_s);
    QCOMPARE(AddressText(Address({0, 0, 0, 0})), u"0.0.0.0"_s);
    QCOMPARE(AddressText(Address({255, 255, 255, 255})), u"255.255.255.255"_s);
    QCOMPARE(AddressText(Address({10, 0, 200, 7})), u"10.0.200.7"_s);
  }

  void MacIsUpperCaseHexWithLeadingZeros() {
    QCOMPARE(MacText({0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}), u"00:1A:2B:3C:4D:5E"_s);
    QCOMPARE(MacText({0xAB, 0xCD, 0xEF, 0x01, 0x0A, 0xFF}), u"AB:CD:EF:01:0A:FF"_s);
    QCOMPARE(MacText({0, 0, 0, 0, 0, 0}).size(), 17);
  }

  void TypeVersionSplits_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("version");
    QTest::newRow("type and version") << u"ABC-1.0"_s << u"ABC"_s << u"1.0"_s;
    QTest::newRow("first dash splits") << u"A-B-C"_s << u"A"_s << u"B-C"_s;
    QTest::newRow("leading dash") << u"-V2"_s << QString() << u"V2"_s;
    QTest::newRow("trailing dash") << u"ABC-"_s << u"ABC"_s << QString();
    QTest::newRow("no dash: all type") << u"ABC"_s << u"ABC"_s << QString();
    QTest::newRow("empty") << QString() << QString() << QString();
  }
  void TypeVersionSplits() {
    QFETCH(QString, text);
    QFETCH(QString, type);
    QFETCH(QString, version);
    const TypeAndVersion split = SplitTypeVersion(text);
    QCOMPARE(split.type, type);
    QCOMPARE(split.version, version);
  }

  void TypeVersionReadsNoFurtherThanSixteenBytes() {
    const ControlRecord card = WithTypeVersionBytes("ABCD-EFGHIJKLMNO", 'Z');
    const QString text = TypeVersionText(card);
    QCOMPARE(text, u"ABCD-EFGHIJKLMNO"_s);
    const TypeAndVersion split = SplitTypeVersion(text);
    QCOMPARE(split.type.size(), 4);
    QCOMPARE(split.version.size(), 11);
  }

  void TypeVersionEndsAtZeroByte() {
    QByteArray bytes("AB-1", 4);
    bytes.append('\0').append("XYZ");
    QCOMPARE(TypeVersionText(WithTypeVersionBytes(bytes, 0)), u"AB-1"_s);
  }

  void TypeVersionDecodesTheCardsCodePage() {
    // GBK bytes of 屏号 before the dash.
    const ControlRecord card = WithTypeVersionBytes("\xC6\xC1\xBA\xC5-V1", 0);
    if (!QStringDecoder("GB18030").isValid()) QSKIP("this Qt build has no GB18030 decoder");
    QCOMPARE(SplitTypeVersion(TypeVersionText(card)).type, u"屏号"_s);
  }

  void ShownTextNeutralisesWhatWouldSteerTheDisplay_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("right-to-left override") << u"EV\u202EIL"_s << u"EV\uFFFDIL"_s;
    QTest::newRow("line breaks and tab") << u"A\nB\r\tC"_s << u"A\uFFFDB\uFFFD\uFFFDC"_s;
    QTest::newRow("zero byte, escape, DEL, C1")
        << u"A"_s + QChar(0) + u"\x1B\x7F\u0085"_s << u"A\uFFFD\uFFFD\uFFFD\uFFFD"_s;
    QTest::newRow("marks, isolates, zero width") << u"\u200F\u2066\u200B\uFEFF"_s << u"\uFFFD\uFFFD\uFFFD\uFFFD"_s;
    QTest::newRow("Arabic letter mark, soft hyphen, a tag") << u"\u061C\u00AD\U000E0041"_s << u"\uFFFD\uFFFD\uFFFD"_s;
    QTest::newRow("line and paragraph separators") << u"A\u2028B\u2029"_s << u"A\uFFFDB\uFFFD"_s;
    QTest::newRow("lone surrogates") << u"A"_s + QChar(0xD800) + u"B"_s + QChar(0xDC00) << u"A\uFFFDB\uFFFD"_s;
    QTest::newRow("kept: Chinese, spaces, a pair") << u"屏号 LS2A-V3.1 \U0001F600"_s << u"屏号 LS2A-V3.1 \U0001F600"_s;
  }
  void ShownTextNeutralisesWhatWouldSteerTheDisplay() {
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(ShownText(text), shown);
  }

  void QuotesTheBeginning_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("quoted");
    const QString twenty = u"12345678901234567890"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("twenty: whole") << twenty << twenty;
    QTest::newRow("twenty-one: cut") << twenty + u"1"_s << twenty + u"…"_s;
    QTest::newRow("a megabyte") << QString(1 << 20, u'9') << QString(20, u'9') + u"…"_s;
    QTest::newRow("leading spaces count") << QString(30, u' ') + u"abc"_s << QString(20, u' ') + u"…"_s;
    QTest::newRow("neutralised") << u"\u202E12\n"_s << u"\uFFFD12\uFFFD"_s;
    QTest::newRow("no half pair") << QString(19, u'1') + u"\U0001F600 "_s << QString(19, u'1') + u"…"_s;
  }
  void QuotesTheBeginning() {
    QFETCH(QString, text);
    QFETCH(QString, quoted);
    QCOMPARE(QuotedBeginning(text), quoted);
  }

  void ListTextOrder_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<int>("sign");
    QTest::newRow("equal") << u"abc"_s << u"abc"_s << 0;
    QTest::newRow("a-z folded") << u"ab:cd"_s << u"AB:CD"_s << 0;
    QTest::newRow("numbers as text") << u"10"_s << u"9"_s << -1;
    QTest::newRow("addresses as text") << u"192.168.1.10"_s << u"192.168.1.9"_s << -1;
    QTest::newRow("shorter first") << u"1"_s << u"10"_s << -1;
    QTest::newRow("longer after") << u"192.168.1.10"_s << u"192.168.1.1"_s << 1;
    QTest::newRow("empty first") << QString() << u"0"_s << -1;
    // Only a-z fold: '_' (0x5F) lies between 'Z' and 'a'.
    QTest::newRow("folded letter against underscore") << u"a"_s << u"_"_s << -1;
    QTest::newRow("non-ASCII letters keep their case") << u"é"_s << u"É"_s << 1;
    QTest::newRow("code unit order") << u"网关"_s << u"IP"_s << 1;
  }
  void ListTextOrder() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(int, sign);
    QCOMPARE(Sign(CompareListTexts(first, second)), sign);
    QCOMPARE(Sign(CompareListTexts(second, first)), -sign);
  }

  void ListTextDifferenceIsTheFirstDifferingUnit() {
    QCOMPARE(CompareListTexts(u"AC", u"AA"), 2);
    QCOMPARE(CompareListTexts(u"b", u"A"), 1);
  }

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

KESTRUM_WIDGET_TEST_MAIN(CardFieldTextsTest)
#include "card_field_texts_test.moc"
