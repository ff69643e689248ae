#include "shown_text.h"

#include <QChar>

namespace kestrum {
namespace {

bool IsShownAsItself(char32_t codePoint) {
  switch (QChar::category(codePoint)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
      return false;
    default:
      return true;
  }
}

}  // namespace

QString ShownText(QStringView text) {
  QString shown;
  shown.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    // A pair of surrogates is one character; a lone one is replaced.
    const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
    const qsizetype units = pair ? 2 : 1;
    const char32_t codePoint = pair ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1)) : text.at(i).unicode();
    if (IsShownAsItself(codePoint)) {
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
