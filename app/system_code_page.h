// The 8-bit code page of the texts that cross between the window and the
// cards or the library: GB18030, which covers the GBK code page of the
// cards' Chinese firmware and of the operator's Windows. Where the Qt build
// offers no GB18030 codec, Latin-1 stands in (ASCII texts are the same in
// both).
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace kestrum {

QString FromSystemCodePage(QByteArrayView bytes);
// Zero-ended, as the library takes its texts; a character the code page
// lacks becomes "?".
QByteArray ToSystemCodePage(const QString& text);

}  // namespace kestrum
