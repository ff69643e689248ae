// The languages the operator reads, and a text given in both: one row of a
// code's table holds its Chinese and its English text, so that no code can
// be translated in one place and missed in another.
#pragma once

namespace kestrum {

enum class Language { kChinese, kEnglish };

struct BilingualText {
  const char* chinese;
  const char* english;

  constexpr const char* In(Language language) const { return language == Language::kEnglish ? english : chinese; }
};

}  // namespace kestrum
