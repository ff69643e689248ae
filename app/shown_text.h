// Texts that come from outside the program (a card's type and version, from
// any host on the network; what the operator pasted into an edit) as the
// window shows them: characters that would steer or break the display are
// neutralised, so a label shows one line in the order the text was sent.
#pragma once

#include <QString>
#include <QStringView>

namespace kestrum {

// Stands where a character was that would not be shown as itself.
inline constexpr char16_t kNeutralisedPlaceholder = u'\uFFFD';

// The text with every control character (C0, C1, DEL: line breaks and tabs
// among them), every format character (the direction overrides and marks
// such as U+202E, zero-width characters), the line and paragraph separators
// and every unpaired surrogate replaced by kNeutralisedPlaceholder.
QString ShownText(QStringView text);

// As many characters of text as a message quotes.
inline constexpr qsizetype kQuotedBeginningLength = 20;

// The first kQuotedBeginningLength characters of text, neutralised as by
// ShownText, followed by "…" when the text is longer; a surrogate pair is
// never cut in half.
QString QuotedBeginning(QStringView text);

}  // namespace kestrum
