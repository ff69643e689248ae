#include "broadcast_session.h"

#include "pindle_settings.h"

namespace orvell {

std::optional<BroadcastSession> OpenBroadcastSession(CreatePindleFunction createPindle, std::uint16_t localPort) {
  const PindleSettings settings = MakePindleSettings(localPort);
  BroadcastSession session;
  session.manager = createPindle(&settings);
  if (session.manager == nullptr) return std::nullopt;
  session.manager->Open(kBroadcastAddress, kCardPort, &session.endpoint);  // its result tells nothing more
  if (session.endpoint == nullptr) {
    session.manager->Release();
    return std::nullopt;
  }
  return session;
}

std::uint32_t CollectAtMost(ISocketManager* manager, IReceivedDatagram** datagrams, std::uint32_t capacity) {
  const std::uint32_t count = manager->Collect(datagrams, capacity);
  return count < capacity ? count : capacity;
}

void CloseBroadcastSession(const BroadcastSession& session) {
  session.endpoint->Release();
  session.manager->Release();
}

}  // namespace orvell
