#include "card_texts.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace kestrum::card_text {
namespace {

struct CodeText {
  std::uint8_t code;
  BilingualText text;
};

// Scan ratio, rows and folding of the LED modules' wiring; the later codes
// name particular modules, whose makers and model names stay as the modules
// carry them. Punctuation and spaces are part of the Chinese texts.
constexpr std::array<CodeText, 28> kScanStyleNames{{
    {0, {"16扫直行", "1/16 scan, straight"}},
    {1, {"8扫直行", "1/8 scan, straight"}},
    {2, {"4扫直行", "1/4 scan, straight"}},
    {3, {"2扫直行", "1/2 scan, straight"}},
    {4, {"8扫16行8折上", "1/8 scan, 16 rows, 8 folds up"}},
    {5, {"8扫16行8折下", "1/8 scan, 16 rows, 8 folds down"}},
    {6, {"4扫8行8折上", "1/4 scan, 8 rows, 8 folds up"}},
    {7, {"4扫8行8折下", "1/4 scan, 8 rows, 8 folds down"}},
    {8, {"4扫16行8折上", "1/4 scan, 16 rows, 8 folds up"}},
    {9, {"4扫16行8折下", "1/4 scan, 16 rows, 8 folds down"}},
    {10, {"8扫16行16折上", "1/8 scan, 16 rows, 16 folds up"}},
    {11, {"8扫16行16折下", "1/8 scan, 16 rows, 16 folds down"}},
    {12, {"4扫8行16折上", "1/4 scan, 8 rows, 16 folds up"}},
    {13, {"4扫8行16折下", "1/4 scan, 8 rows, 16 folds down"}},
    {14, {"4扫16行16折上", "1/4 scan, 16 rows, 16 folds up"}},
    {15, {"4扫16行16折下", "1/4 scan, 16 rows, 16 folds down"}},
    {16, {"静态4行8折上", "static, 4 rows, 8 folds up"}},
    {17, {"静态4行8折下", "static, 4 rows, 8 folds down"}},
    {18, {"静态8行8折上", "static, 8 rows, 8 folds up"}},
    {19, {"静态8行8折下", "static, 8 rows, 8 folds down"}},
    {21,
     {"4扫先8行8折上后16点折（强力P10双色P12双色）",
      "1/4 scan, 8 rows 8 folds up, then 16-dot folds (强力 P10 dual-colour, P12 dual-colour)"}},
    {35, {"4扫12行8折上入（24*12模组）", "1/4 scan, 12 rows, 8 folds, enters up (24*12 module)"}},
    {36, {"强力巨彩P10双色表贴P10C4V13模组（4扫)", "强力巨彩 P10 dual-colour SMD P10C4V13 module (1/4 scan)"}},
    {50,
     {"深圳万恒7.62全彩贴片模组含64*32和32*16两种，75接口",
      "深圳万恒 7.62 full-colour SMD modules, 64*32 and 32*16, 75 connector"}},
    {51,
     {"合利来6扫P13.33全彩插灯模组 24*12 08接口", "合利来 1/6 scan P13.33 full-colour DIP module 24*12, 08 connector"}},
    {52,
     {"阿里山3扫P13.33全彩插灯模组，24*12 08接口 引路人3扫P13.33全彩贴片模组24*12 08接口",
      "阿里山 1/3 scan P13.33 full-colour DIP module, 24*12 08 connector; 引路人 1/3 scan P13.33 full-colour SMD "
      "module 24*12 08 connector"}},
    {53,
     {"合利来M10全彩模组32*16 08接口8扫16行16折上",
      "合利来 M10 full-colour module 32*16, 08 connector, 1/8 scan, 16 rows, 16 folds up"}},
    {54, {"深圳万恒P5全彩模组64*32 08接口", "深圳万恒 P5 full-colour module 64*32, 08 connector"}},
}};

// The tables whose last row stands for every other code.
constexpr std::array<CodeText, 3> kColours{{
    {0, {"单色", "Single colour"}},
    {1, {"双色", "Dual colour"}},
    {2, {"三色", "Full colour"}},
}};
constexpr std::array<CodeText, 3> kBaudRates{
    {{0, {"9600", "9600"}}, {1, {"115200", "115200"}}, {2, {"57600", "57600"}}}};
constexpr std::array<CodeText, 2> kLineOrders{{{0, {"有译码", "Decoder"}}, {1, {"无译码", "No decoder"}}}};
constexpr std::array<CodeText, 2> kRgChanges{
    {{0, {"红绿正常", "Red/green normal"}}, {1, {"红绿交换", "Red/green swapped"}}}};

template <std::size_t kRows>
const CodeText* FindCode(const std::array<CodeText, kRows>& table, std::uint8_t code) {
  const auto* found =
      std::find_if(table.begin(), table.end(), [code](const CodeText& row) { return row.code == code; });
  return found == table.end() ? nullptr : found;
}

template <std::size_t kRows>
std::string OrLastRow(const std::array<CodeText, kRows>& table, std::uint8_t code, Language language) {
  const CodeText* found = FindCode(table, code);
  return (found != nullptr ? found : &table.back())->text.In(language);
}

constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

#if defined(_WIN32)
// GB18030 first; GBK, its two-byte part, where Windows lacks GB18030 (wine
// has no code page 54936, every Chinese Windows has 936).
constexpr std::array<UINT, 2> kCardCodePages{54936, 936};

// How many bytes the GB18030 character starting at bytes[at] may take.
std::size_t CharacterLength(std::string_view bytes, std::size_t at) {
  const auto lead = static_cast<unsigned char>(bytes[at]);
  if (lead < 0x80 || at + 1 >= bytes.size()) return 1;
  const auto second = static_cast<unsigned char>(bytes[at + 1]);
  return second >= 0x30 && second <= 0x39 ? 4 : 2;
}

// The text in UTF-16, or nothing when no code page takes it whole.
std::optional<std::wstring> ToWide(std::string_view bytes) {
  const int size = static_cast<int>(bytes.size());
  for (const UINT codePage : kCardCodePages) {
    const int wide = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (wide <= 0) continue;
    std::wstring text(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, text.data(), wide);
    return text;
  }
  return std::nullopt;
}

// Character by character where the whole text does not decode: a byte that
// begins no character becomes U+FFFD and the rest is still read, as the
// Linux decoder does.
std::wstring ToWideByCharacter(std::string_view bytes) {
  std::wstring text;
  std::size_t at = 0;
  while (at < bytes.size()) {
    const std::size_t length = std::min(CharacterLength(bytes, at), bytes.size() - at);
    if (const std::optional<std::wstring> character = ToWide(bytes.substr(at, length))) {
      text += *character;
      at += length;
    } else {
      text += L'\xFFFD';
      ++at;
    }
  }
  return text;
}

std::string Decode(std::string_view bytes) {
  if (bytes.empty()) return {};
  const std::optional<std::wstring> whole = ToWide(bytes);
  const std::wstring text = whole ? *whole : ToWideByCharacter(bytes);
  const int wide = static_cast<int>(text.size());
  const int narrow = WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(narrow), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, utf8.data(), narrow, nullptr, nullptr);
  return utf8;
}
#else
// Latin-1 where the C library has no GB18030 (ASCII is the same in both).
std::string FromLatin1(std::string_view bytes) {
  std::string utf8;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      utf8 += c;
    } else {
      utf8 += static_cast<char>(0xC0 | (byte >> 6));
      utf8 += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return utf8;
}

std::string Decode(std::string_view bytes) {
  iconv_t converter = iconv_open("UTF-8", "GB18030");
  if (converter == reinterpret_cast<iconv_t>(-1)) return FromLatin1(bytes);
  std::string utf8;
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char buffer[256];
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
    utf8.append(buffer, static_cast<std::size_t>(out - buffer));
    if (converted == static_cast<std::size_t>(-1) && errno != E2BIG) {
      // A byte that begins no character, or a character cut off at the end.
      utf8 += kReplacement;
      ++in;
      --inLeft;
    }
  }
  iconv_close(converter);
  return utf8;
}
#endif

}  // namespace

std::string Address(std::uint32_t networkOrderAddress) {
  std::array<std::uint8_t, 4> octets{};
  orvell::WriteAddress(octets.data(), networkOrderAddress);
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", octets[0], octets[1], octets[2], octets[3]);
  return text;
}

std::string Mac(const orvell::record::Mac& mac) {
  char text[18];
  std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
  return text;
}

std::string Colour(std::uint8_t colorStyle, Language language) { return OrLastRow(kColours, colorStyle, language); }

std::string BaudRate(std::uint8_t baudCode, Language language) { return OrLastRow(kBaudRates, baudCode, language); }

std::string ScanStyle(std::uint8_t scanStyle, Language language) {
  const CodeText* found = FindCode(kScanStyleNames, scanStyle);
  return found == nullptr ? std::string() : found->text.In(language);
}

std::string LineOrder(std::uint8_t lineOrder, Language language) { return OrLastRow(kLineOrders, lineOrder, language); }

std::string RgChange(std::uint8_t rgChange, Language language) { return OrLastRow(kRgChanges, rgChange, language); }

std::string FromCardCodePage(std::string_view bytes) { return Decode(bytes); }

std::string TypeVersion(const ControlRecord& record) { return FromCardCodePage(orvell::record::TypeVersion(record)); }

TypeAndVersion SplitTypeVersion(std::string_view text) {
  const std::size_t dash = text.find('-');
  if (dash == std::string_view::npos) return {std::string(text), {}};
  return {std::string(text.substr(0, dash)), std::string(text.substr(dash + 1))};
}

namespace {

struct CodePointRange {
  char32_t first;
  char32_t last;
};

// Unicode's format characters (general category Cf).
constexpr CodePointRange kFormatCharacters[] = {
    {0x00AD, 0x00AD},   {0x0600, 0x0605},   {0x061C, 0x061C},   {0x06DD, 0x06DD},   {0x070F, 0x070F},
    {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x180E, 0x180E},   {0x200B, 0x200F},   {0x202A, 0x202E},
    {0x2060, 0x2064},   {0x2066, 0x206F},   {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD},
    {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0001, 0xE0001},
    {0xE0020, 0xE007F},
};

int FoldAsciiLetter(char16_t unit) { return (unit >= u'a' && unit <= u'z') ? unit - (u'a' - u'A') : unit; }

}  // namespace

bool IsObeyedNotShown(char32_t codePoint) {
  const bool control = codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
  const bool separator = codePoint == 0x2028 || codePoint == 0x2029;
  const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
  const bool format =
      std::any_of(std::begin(kFormatCharacters), std::end(kFormatCharacters),
                  [&](const CodePointRange& range) { return codePoint >= range.first && codePoint <= range.last; });
  return control || separator || surrogate || format;
}

int CompareListTexts(std::u16string_view first, std::u16string_view second) {
  const std::size_t common = std::min(first.size(), second.size());
  for (std::size_t i = 0; i < common; ++i) {
    const int difference = FoldAsciiLetter(first[i]) - FoldAsciiLetter(second[i]);
    if (difference != 0) return difference;
  }
  if (first.size() == second.size()) return 0;
  return first.size() < second.size() ? -1 : 1;
}

}  // namespace kestrum::card_text
