// What a card holds once it has taken a parameter request: shared by the
// card emulator, which applies the request, and the window, which brings its
// copy of a card that confirmed up to date.
#pragma once

#include "control_record.h"
#include "parameter_datagrams.h"

namespace orvell::parameter {

// Whether a card takes a request that names these current addresses (network
// byte order): a card knows itself by its IP, gateway and mask, all three.
inline bool TakesRequestFor(const ControlRecord& card, std::uint32_t ip, std::uint32_t gateway, std::uint32_t mask) {
  return record::Ip(card) == ip && record::Gateway(card) == gateway && record::Mask(card) == mask;
}

// The new IP address, gateway, mask, server address, port and heartbeat;
// nothing else of the card changes.
inline void ApplyToRecord(ControlRecord& card, const ParameterChange& change) {
  record::SetIp(card, change.newIp);
  record::SetGateway(card, change.newGateway);
  record::SetMask(card, change.newMask);
  record::SetServerIp(card, change.serverIp);
  record::SetServerPort(card, change.serverPort);
  record::SetHeartbeat(card, change.heartbeat);
}

}  // namespace orvell::parameter
