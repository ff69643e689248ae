#include "crash_reports/fatal/neutralised_text.h"

#include "card_texts.h"
#include "utf8_character.h"

namespace kestrum {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

}  // namespace

void WriteNeutralised(TextSink& sink, std::string_view text) {
  // Runs of characters that are shown as they are go out in one piece.
  std::size_t shownFrom = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    char32_t codePoint = 0;
    const std::size_t length = card_text::Utf8CharacterAt(text.substr(at), codePoint);
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
