#include "field_texts.h"

#include "card_texts.h"

namespace kestrum {

QString AddressText(std::uint32_t networkOrderAddress) {
  return QString::fromStdString(DottedAddress(networkOrderAddress));
}

QString MacText(const orvell::record::Mac& mac) { return QString::fromStdString(MacAddressText(mac)); }

}  // namespace kestrum
