// What a card holds once it has taken a parameter request: shared by the
// card emulator, which applies the request, and the window, which brings its
// copy of a card that confirmed up to date.
#pragma once

#include "control_record.h"
#include "parameter_datagrams.h"

namespace orvell::parameter {

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
