#include "parameter_batch.h"

#include "broadcast_session.h"
#include "parameter_change.h"
#include "pindle_settings.h"

namespace orvell {
namespace {

// Reads and releases every datagram; counts those that confirm.
std::int32_t CountConfirmations(ISocketManager* manager) {
  std::int32_t confirmations = 0;
  IReceivedDatagram* datagrams[kParameterCollectCapacity] = {};
  std::uint8_t buffer[kParameterReceiveBufferSize] = {};
  for (;;) {
    const std::uint32_t count = CollectAtMost(manager, datagrams, kParameterCollectCapacity);
    if (count == 0) return confirmations;
    for (std::uint32_t i = 0; i < count; ++i) {
      if (datagrams[i] == nullptr) continue;
      const std::int32_t length = datagrams[i]->Read(buffer, kParameterReadBytes);
      datagrams[i]->Release();
      datagrams[i] = nullptr;
      if (length > 0 && parameter::IsConfirmation(buffer, static_cast<std::size_t>(length))) ++confirmations;
    }
  }
}

}  // namespace

std::int32_t ChangeParametersTogether(CreatePindleFunction createPindle,
                                      std::span<const parameter::ParameterChange> changes) {
  const auto session = OpenBroadcastSession(createPindle, kParameterLocalPort);
  if (!session) return 0;
  for (const parameter::ParameterChange& change : changes) {
    const parameter::Request request = parameter::BuildRequest(change);
    session->endpoint->Send(request.data(), static_cast<std::int32_t>(request.size()));
  }
  std::uint32_t events[kParameterWaitEvents] = {};
  const std::int32_t waited = session->manager->Wait(kParameterListenSeconds, events, kParameterWaitEvents);
  const std::int32_t confirmations = waited < 2 ? 0 : CountConfirmations(session->manager);
  CloseBroadcastSession(*session);
  return confirmations;
}

}  // namespace orvell
