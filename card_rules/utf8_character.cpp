#include "utf8_character.h"

namespace kestrum::card_text {

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0u) == 0x80u; }

}  // namespace

std::size_t Utf8CharacterAt(std::string_view text, char32_t& codePoint) {
  if (text.empty()) {
    return 0;
  }
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80u) {
    codePoint = lead;
    return 1;
  }
  const std::size_t length = lead >= 0xC2u && lead < 0xE0u   ? 2
                             : lead >= 0xE0u && lead < 0xF0u ? 3
                             : lead >= 0xF0u && lead < 0xF5u ? 4
                                                             : 0;
  if (length == 0 || text.size() < length) {
    return 0;
  }
  char32_t value = lead & (0x7Fu >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (!IsContinuation(byte)) {
      return 0;
    }
    value = value << 6 | (byte & 0x3Fu);
  }
  // The least value of each length: below it the form is overlong.
  constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < kLeast[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    return 0;
  }
  codePoint = value;
  return length;
}

}  // namespace kestrum::card_text
