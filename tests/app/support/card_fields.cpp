#include "card_fields.h"

namespace kestrum::testing {

std::uint32_t Address(const Octets& octets) {
  return orvell::AddressFromOctets(octets[0], octets[1], octets[2], octets[3]);
}

ControlRecord MakeCard(const CardFields& fields) {
  namespace record = orvell::record;
  ControlRecord card{};
  record::SetTypeVersion(card, fields.typeVersion);
  record::SetBaudCode(card, fields.baudCode);
  record::SetScreenNo(card, fields.screenNo);
  record::SetWidth(card, fields.width);
  record::SetHeight(card, fields.height);
  record::SetColorStyle(card, fields.colorStyle);
  record::SetScanStyle(card, fields.scanStyle);
  record::SetLineOrder(card, fields.lineOrder);
  record::SetRgChange(card, fields.rgChange);
  record::SetIp(card, Address(fields.ip));
  record::SetMask(card, Address(fields.mask));
  record::SetGateway(card, Address(fields.gateway));
  record::SetMacAddress(card, fields.mac);
  record::SetServerIp(card, Address(fields.serverIp));
  record::SetServerPort(card, fields.serverPort);
  record::SetHeartbeat(card, fields.heartbeat);
  return card;
}

}  // namespace kestrum::testing
