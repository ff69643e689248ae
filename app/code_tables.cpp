#include "code_tables.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace kestrum {
namespace {

struct ScanStyleName {
  std::uint8_t code;
  std::u16string_view text;
};

// Scan ratio, rows and folding of the LED modules' wiring; the later codes
// name particular modules. Punctuation and spaces are part of the texts.
constexpr std::array<ScanStyleName, 28> kScanStyleNames{{
    {0, u"16扫直行"},
    {1, u"8扫直行"},
    {2, u"4扫直行"},
    {3, u"2扫直行"},
    {4, u"8扫16行8折上"},
    {5, u"8扫16行8折下"},
    {6, u"4扫8行8折上"},
    {7, u"4扫8行8折下"},
    {8, u"4扫16行8折上"},
    {9, u"4扫16行8折下"},
    {10, u"8扫16行16折上"},
    {11, u"8扫16行16折下"},
    {12, u"4扫8行16折上"},
    {13, u"4扫8行16折下"},
    {14, u"4扫16行16折上"},
    {15, u"4扫16行16折下"},
    {16, u"静态4行8折上"},
    {17, u"静态4行8折下"},
    {18, u"静态8行8折上"},
    {19, u"静态8行8折下"},
    {21, u"4扫先8行8折上后16点折（强力P10双色P12双色）"},
    {35, u"4扫12行8折上入（24*12模组）"},
    {36, u"强力巨彩P10双色表贴P10C4V13模组（4扫)"},
    {50, u"深圳万恒7.62全彩贴片模组含64*32和32*16两种，75接口"},
    {51, u"合利来6扫P13.33全彩插灯模组 24*12 08接口"},
    {52, u"阿里山3扫P13.33全彩插灯模组，24*12 08接口 引路人3扫P13.33全彩贴片模组24*12 08接口"},
    {53, u"合利来M10全彩模组32*16 08接口8扫16行16折上"},
    {54, u"深圳万恒P5全彩模组64*32 08接口"},
}};

QString FromView(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString ColourText(std::uint8_t colorStyle) {
  switch (colorStyle) {
    case 0:
      return QStringLiteral("单色");
    case 1:
      return QStringLiteral("双色");
    default:
      return QStringLiteral("三色");
  }
}

QString BaudRateText(std::uint8_t baudCode) {
  switch (baudCode) {
    case 0:
      return QStringLiteral("9600");
    case 1:
      return QStringLiteral("115200");
    default:
      return QStringLiteral("57600");
  }
}

QString ScanStyleText(std::uint8_t scanStyle) {
  const auto* found = std::find_if(kScanStyleNames.begin(), kScanStyleNames.end(),
                                   [scanStyle](const ScanStyleName& name) { return name.code == scanStyle; });
  return found == kScanStyleNames.end() ? QString() : FromView(found->text);
}

QString LineOrderText(std::uint8_t lineOrder) {
  return lineOrder == 0 ? QStringLiteral("有译码") : QStringLiteral("无译码");
}

QString RgChangeText(std::uint8_t rgChange) {
  return rgChange == 0 ? QStringLiteral("红绿正常") : QStringLiteral("红绿交换");
}

}  // namespace kestrum
