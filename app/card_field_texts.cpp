#include "card_field_texts.h"

#include <QChar>
#include <QStringEncoder>

#include "card_texts.h"
#include "window_language.h"

namespace kestrum {
namespace {

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

std::u16string_view Units(QStringView text) { return {text.utf16(), static_cast<std::size_t>(text.size())}; }

}  // namespace

QString AddressText(std::uint32_t networkOrderAddress) { return FromUtf8(card_text::Address(networkOrderAddress)); }
QString MacText(const orvell::record::Mac& mac) { return FromUtf8(card_text::Mac(mac)); }

QString ColourText(std::uint8_t colorStyle) { return FromUtf8(card_text::Colour(colorStyle, CurrentLanguage())); }
QString BaudRateText(std::uint8_t baudCode) { return FromUtf8(card_text::BaudRate(baudCode, CurrentLanguage())); }
QString ScanStyleText(std::uint8_t scanStyle) { return FromUtf8(card_text::ScanStyle(scanStyle, CurrentLanguage())); }
QString LineOrderText(std::uint8_t lineOrder) { return FromUtf8(card_text::LineOrder(lineOrder, CurrentLanguage())); }
QString RgChangeText(std::uint8_t rgChange) { return FromUtf8(card_text::RgChange(rgChange, CurrentLanguage())); }

QString TypeVersionText(const ControlRecord& record) { return FromUtf8(card_text::TypeVersion(record)); }

TypeAndVersion SplitTypeVersion(const QString& text) {
  const card_text::TypeAndVersion split = card_text::SplitTypeVersion(text.toStdString());
  return {FromUtf8(split.type), FromUtf8(split.version)};
}

QByteArray ToSystemCodePage(const QString& text) {
  QStringEncoder encoder("GB18030");
  if (!encoder.isValid()) return text.toLatin1();
  return encoder.encode(text);
}

int CompareListTexts(QStringView first, QStringView second) {
  return card_text::CompareListTexts(Units(first), Units(second));
}

QString ShownText(QStringView text) {
  QString shown;
  shown.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    // A pair of surrogates is one character; a lone one is replaced.
    const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
    const qsizetype units = pair ? 2 : 1;
    const char32_t codePoint = pair ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1)) : text.at(i).unicode();
    if (!card_text::IsObeyedNotShown(codePoint)) {
      shown += text.mid(i, units);
    } else {
      shown += QChar(kNeutralisedPlaceholder);
    }
    i += units - 1;
  }
  return shown;
}

QString QuotedBeginning(QStringView text) {
  if (text.size() <= kQuotedBeginningLength) return ShownText(text);
  qsizetype cut = kQuotedBeginningLength;
  if (text.at(cut - 1).isHighSurrogate() && text.at(cut).isLowSurrogate()) --cut;
  return ShownText(text.left(cut)) + QChar(u'\u2026');
}

}  // namespace kestrum
