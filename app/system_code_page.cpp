#include "system_code_page.h"

#include <QStringEncoder>

namespace kestrum {
namespace {

constexpr const char* kCodePage = "GB18030";

}  // namespace

QByteArray ToSystemCodePage(const QString& text) {
  QStringEncoder encoder(kCodePage);
  if (!encoder.isValid()) return text.toLatin1();
  return encoder.encode(text);
}

}  // namespace kestrum
