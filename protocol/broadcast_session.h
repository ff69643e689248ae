// The socket objects both operations hold while they broadcast one request
// and listen: a manager bound to the operation's local port and an endpoint
// to the limited broadcast address, card port.
#pragma once

#include <cstdint>
#include <optional>

#include "seam/pindle.h"

namespace orvell {

struct BroadcastSession {
  ISocketManager* manager = nullptr;
  IDatagramEndpoint* endpoint = nullptr;
};

// Creates the manager and opens the endpoint. Gives nothing when the socket
// library yields no manager, or no endpoint (the manager is then released);
// a missing object is never used.
std::optional<BroadcastSession> OpenBroadcastSession(CreatePindleFunction createPindle, std::uint16_t localPort);

// Collects into datagrams[0..capacity-1]; the count is never more than
// capacity, whatever the socket library claims.
std::uint32_t CollectAtMost(ISocketManager* manager, IReceivedDatagram** datagrams, std::uint32_t capacity);

// Releases the endpoint, then the manager.
void CloseBroadcastSession(const BroadcastSession& session);

}  // namespace orvell
