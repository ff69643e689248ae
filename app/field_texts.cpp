#include "field_texts.h"

#include "card_texts.h"

namespace kestrum {

QString AddressText(std::uint32_t networkOrderAddress) {
  return QString::fromStdString(card_text::Address(networkOrderAddress));
}

QString MacText(const orvell::record::Mac& mac) { return QString::fromStdString(card_text::Mac(mac)); }

}  // namespace kestrum
