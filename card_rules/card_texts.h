// The texts under which a card's fields are shown, in UTF-8 and without Qt,
// so that the window and the command line show a card alike; the window turns
// them into its own strings at its edge. A code that a table does not name
// takes the table's last row ("any other value").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "control_record.h"
#include "text_language.h"

namespace kestrum::card_text {

// Dotted decimal of an address held in network byte order (first octet first
// in memory), as inet_ntoa writes it.
std::string Address(std::uint32_t networkOrderAddress);

// Six upper-case two-digit hexadecimal groups joined by ":", first byte first.
std::string Mac(const orvell::record::Mac& mac);

// The codes' texts in the operator's language (Chinese, the cards' own, unless
// told otherwise).
std::string Colour(std::uint8_t colorStyle, Language language = Language::kChinese);
std::string BaudRate(std::uint8_t baudCode, Language language = Language::kChinese);
// Empty for the codes without a text.
std::string ScanStyle(std::uint8_t scanStyle, Language language = Language::kChinese);
std::string LineOrder(std::uint8_t lineOrder, Language language = Language::kChinese);
std::string RgChange(std::uint8_t rgChange, Language language = Language::kChinese);

// 8-bit text of the cards (GB18030, which covers the GBK of the cards'
// Chinese firmware and of the operator's Windows) as UTF-8; a byte that
// begins no character becomes U+FFFD.
std::string FromCardCodePage(std::string_view bytes);

// The record's type-version text, decoded.
std::string TypeVersion(const ControlRecord& record);

struct TypeAndVersion {
  std::string type;
  std::string version;
};

// Split at the first "-": the type before it, the version after it. A text
// without "-" is all type and no version.
TypeAndVersion SplitTypeVersion(std::string_view text);

// Whether a display would obey the character rather than show it, so that a
// text from outside the program (a card's type and version, from any host on
// the network) must show U+FFFD in its place: control characters (C0, C1,
// DEL: line breaks and tabs among them), format characters (the direction
// marks, overrides and isolates such as U+202E, zero-width characters, the
// byte order mark), the line and paragraph separators and surrogates.
bool IsObeyedNotShown(char32_t codePoint);

// The order of the card list's texts when a column is sorted: UTF-16 code
// unit by code unit after mapping a-z to A-Z (nothing else is mapped, no
// locale). The first differing pair decides by its difference; a text that is
// a leading part of the other comes first; equal texts give 0. Numbers are
// compared as text too: "10" before "9".
int CompareListTexts(std::u16string_view first, std::u16string_view second);

}  // namespace kestrum::card_text
