// The 8-bit code page of the texts the window hands to the library:
// GB18030, the code page the cards' texts are decoded from as well
// (card_text::FromCardCodePage). Where the Qt build offers no GB18030 codec,
// Latin-1 stands in (ASCII texts are the same in both).
#pragma once

#include <QByteArray>
#include <QString>

namespace kestrum {

// Zero-ended, as the library takes its texts; a character the code page
// lacks becomes "?".
QByteArray ToSystemCodePage(const QString& text);

}  // namespace kestrum
