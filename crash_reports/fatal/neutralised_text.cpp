#include "crash_reports/fatal/neutralised_text.h"

#include "card_texts.h"

namespace kestrum {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool IsContinuation(unsigned char byte) { return (byte & 0xC0u) == 0x80u; }

// The well-formed UTF-8 character at the start of text: its length, 0 for a
// byte that begins none (a stray continuation, an overlong form, a surrogate,
// beyond U+10FFFF, cut short).
std::size_t CharacterAt(std::string_view text, char32_t& codePoint) {
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
  if (value < kLeast[length] || value > 0x10FFFF) {
    return 0;
  }
  codePoint = value;
  return length;
}

}  // namespace

void WriteNeutralised(TextSink& sink, std::string_view text) {
  // Runs of characters that are shown as they are go out in one piece.
  std::size_t shownFrom = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    char32_t codePoint = 0;
    const std::size_t length = CharacterAt(text.substr(at), codePoint);
    if (length != 0 && !card_text::IsObeyedNotShown(codePoint)) {
      at += length;
      continue;
    }
    sink.Write(text.substr(shownFrom, at - shownFrom));
    sink.Write(kReplacement);
    at += length != 0 ? length : 1;
    shownFrom = at;
  }
  sink.Write(text.substr(shownFrom));
}

std::string Neutralised(std::string_view text) {
  StringSink sink;
  WriteNeutralised(sink, text);
  return sink.Text();
}

}  // namespace kestrum
