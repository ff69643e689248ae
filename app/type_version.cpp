#include "type_version.h"

#include "card_texts.h"

namespace kestrum {

QString TypeVersionText(const ControlRecord& record) { return QString::fromStdString(card_text::TypeVersion(record)); }

TypeAndVersion SplitTypeVersion(const QString& text) {
  const card_text::TypeAndVersion split = card_text::SplitTypeVersion(text.toStdString());
  return {QString::fromStdString(split.type), QString::fromStdString(split.version)};
}

}  // namespace kestrum
