// The one reader of UTF-8 for texts from outside the program (a card's texts,
// the crash reports' module and process names): strict, and allocating
// nothing, so that the fatal-error handlers use it as kestrum-cli does.
#pragma once

#include <cstddef>
#include <string_view>

namespace kestrum::card_text {

// The well-formed UTF-8 character at the start of text: its length in bytes
// and its code point, or 0 for a byte that begins none (a stray continuation,
// an overlong form, a surrogate, beyond U+10FFFF, cut short, or no text).
std::size_t Utf8CharacterAt(std::string_view text, char32_t& codePoint);

}  // namespace kestrum::card_text
