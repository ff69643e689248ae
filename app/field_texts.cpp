#include "field_texts.h"

#include <array>
#include <cstring>

namespace kestrum {

QString AddressText(std::uint32_t networkOrderAddress) {
  std::array<std::uint8_t, 4> octets{};
  orvell::WriteAddress(octets.data(), networkOrderAddress);
  return QStringLiteral("%1.%2.%3.%4").arg(octets[0]).arg(octets[1]).arg(octets[2]).arg(octets[3]);
}

QString MacText(const orvell::record::Mac& mac) {
  QString text;
  for (std::size_t i = 0; i < mac.size(); ++i) {
    if (i > 0) text += QLatin1Char(':');
    text += QStringLiteral("%1").arg(mac[i], 2, 16, QLatin1Char('0')).toUpper();
  }
  return text;
}

}  // namespace kestrum
