// What a card's texts become in the outputs of kestrum-cli and the window's
// export. A card's texts come from any host on the LAN, so what a terminal or
// a viewer would obey rather than show (IsObeyedNotShown) never reaches the
// output as itself.
#pragma once

#include <cstddef>
#include <string>

namespace kestrum::card_text {

// The UTF-8 text with U+FFFD in place of each character a display would obey.
std::string Shown(const std::string& text);

// How many terminal columns the text takes: two for East Asian wide
// characters, one for every other.
std::size_t TerminalWidth(const std::string& text);

// One CSV field: shown as above; a field that a spreadsheet would read as a
// formula (it starts with =, +, -, @, a tab or a CR) gets a leading ', and a
// field holding a comma or a quote is quoted.
std::string CsvField(const std::string& text);

// A JSON document whose characters a display would obey are written as \u
// escapes, so that the document read back gives the card's own text. The
// serializer escapes C0 controls already; the document's own line breaks
// stay.
std::string EscapeObeyedInJson(const std::string& document);

}  // namespace kestrum::card_text
