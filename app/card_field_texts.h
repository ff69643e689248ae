// A card's texts as the window shows them: card_text's UTF-8 turned into the
// window's strings at its edge, and any text from outside the program (a
// card's type and version, from any host on the network; what the operator
// pasted into an edit) with the characters that would steer or break the
// display neutralised, so a label shows one line in the order it was sent.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <cstdint>

#include "control_record.h"

namespace kestrum {

QString AddressText(std::uint32_t networkOrderAddress);
QString MacText(const orvell::record::Mac& mac);

// The codes' texts in the window's current language.
QString ColourText(std::uint8_t colorStyle);
QString BaudRateText(std::uint8_t baudCode);
// Empty for the codes without a text, so the label is cleared.
QString ScanStyleText(std::uint8_t scanStyle);
QString LineOrderText(std::uint8_t lineOrder);
QString RgChangeText(std::uint8_t rgChange);

struct TypeAndVersion {
  QString type;
  QString version;
};

// The record's type-version text, decoded from the cards' code page.
QString TypeVersionText(const ControlRecord& record);
// Split at the first "-"; a text without "-" is all type and no version.
TypeAndVersion SplitTypeVersion(const QString& text);

// A text as the library takes it: zero-ended, in the cards' 8-bit code page
// (GB18030, from which their texts are decoded too). Where the Qt build
// offers no GB18030 codec, Latin-1 stands in (ASCII texts are the same in
// both); a character the code page lacks becomes "?".
QByteArray ToSystemCodePage(const QString& text);

// The order of two texts of the card list, as card_text::CompareListTexts.
int CompareListTexts(QStringView first, QStringView second);

// Stands where a character was that would not be shown as itself.
inline constexpr char16_t kNeutralisedPlaceholder = u'\uFFFD';

// The text with every character that card_text::IsObeyedNotShown names, and
// every unpaired surrogate, replaced by kNeutralisedPlaceholder.
QString ShownText(QStringView text);

// As many characters of text as a message quotes.
inline constexpr qsizetype kQuotedBeginningLength = 20;

// The first kQuotedBeginningLength characters of text, neutralised as by
// ShownText, followed by "…" when the text is longer; a surrogate pair is
// never cut in half.
QString QuotedBeginning(QStringView text);

}  // namespace kestrum
