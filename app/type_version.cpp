#include "type_version.h"

#include "system_code_page.h"

namespace kestrum {

QString TypeVersionText(const ControlRecord& record) {
  const std::string bytes = orvell::record::TypeVersion(record);
  const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
  return FromSystemCodePage(view);
}

TypeAndVersion SplitTypeVersion(const QString& text) {
  const qsizetype dash = text.indexOf(QLatin1Char('-'));
  if (dash < 0) return {text, QString()};
  return {text.left(dash), text.mid(dash + 1)};
}

}  // namespace kestrum
