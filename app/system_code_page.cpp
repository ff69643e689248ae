#include "system_code_page.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace kestrum {
namespace {

constexpr const char* kCodePage = "GB18030";

}  // namespace

QString FromSystemCodePage(QByteArrayView bytes) {
  QStringDecoder decoder(kCodePage);
  if (!decoder.isValid()) return QString::fromLatin1(bytes);
  return decoder.decode(bytes);
}

QByteArray ToSystemCodePage(const QString& text) {
  QStringEncoder encoder(kCodePage);
  if (!encoder.isValid()) return text.toLatin1();
  return encoder.encode(text);
}

}  // namespace kestrum
