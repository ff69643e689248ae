#include "output_text.h"

#include <cstdio>
#include <string_view>

#include "card_texts.h"
#include "utf8_character.h"

namespace kestrum::card_text {
namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// The character at text[i], moving i past it; a byte that begins no UTF-8
// character is read as U+FFFD, which is shown.
char32_t NextCodePoint(const std::string& text, std::size_t& i) {
  char32_t codePoint = 0xFFFD;
  const std::size_t length = Utf8CharacterAt(std::string_view(text).substr(i), codePoint);
  i += length != 0 ? length : 1;
  return length != 0 ? codePoint : 0xFFFD;
}

bool IsWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6);
}

std::string UnicodeEscape(char32_t codeUnit) {
  char escape[7];
  std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(codeUnit));
  return escape;
}

// As JSON writes a code point: one \u escape, or a surrogate pair beyond the
// Basic Multilingual Plane.
std::string JsonEscape(char32_t c) {
  if (c < 0x10000) return UnicodeEscape(c);
  const char32_t offset = c - 0x10000;
  return UnicodeEscape(0xD800 + (offset >> 10)) + UnicodeEscape(0xDC00 + (offset & 0x3FF));
}

// OWASP's list; a tab or a CR is shown as U+FFFD before it gets here.
bool StartsFormula(const std::string& field) {
  return !field.empty() && std::string_view("=+-@\t\r").find(field.front()) != std::string_view::npos;
}

}  // namespace

std::string Shown(const std::string& text) {
  std::string shown;
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = 0;
    const std::size_t length = Utf8CharacterAt(std::string_view(text).substr(i), c);
    if (length == 0 || IsObeyedNotShown(c))
      shown += kReplacement;
    else
      shown.append(text, i, length);
    i += length != 0 ? length : 1;
  }
  return shown;
}

std::size_t TerminalWidth(const std::string& text) {
  std::size_t width = 0;
  for (std::size_t i = 0; i < text.size();) width += IsWide(NextCodePoint(text, i)) ? 2u : 1u;
  return width;
}

std::string CsvField(const std::string& text) {
  const std::string shown = Shown(text);
  const std::string field = (StartsFormula(shown) ? "'" : "") + shown;
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (const char c : field) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string EscapeObeyedInJson(const std::string& document) {
  std::string escaped;
  for (std::size_t i = 0; i < document.size();) {
    const std::size_t start = i;
    const char32_t c = NextCodePoint(document, i);
    if (c >= 0x7F && IsObeyedNotShown(c))
      escaped += JsonEscape(c);
    else
      escaped.append(document, start, i - start);
  }
  return escaped;
}

}  // namespace kestrum::card_text
