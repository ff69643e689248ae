#include "card_fields.h"

#include "card_texts.h"

namespace kestrum::card_text {

std::vector<std::string> CardFields(const ControlRecord& card, std::size_t number, Language language) {
  namespace rec = orvell::record;
  const auto split = SplitTypeVersion(TypeVersion(card));
  return {std::to_string(number),
          std::to_string(rec::ScreenNo(card)),
          split.type,
          split.version,
          std::to_string(rec::Width(card)),
          std::to_string(rec::Height(card)),
          Colour(rec::ColorStyle(card), language),
          BaudRate(rec::BaudCode(card), language),
          ScanStyle(rec::ScanStyle(card), language),
          LineOrder(rec::LineOrder(card), language),
          RgChange(rec::RgChange(card), language),
          Address(rec::Ip(card)),
          Address(rec::Mask(card)),
          Address(rec::Gateway(card)),
          Mac(rec::MacAddress(card)),
          Address(rec::ServerIp(card)),
          std::to_string(rec::ServerPort(card)),
          std::to_string(rec::Heartbeat(card))};
}

}  // namespace kestrum::card_text
