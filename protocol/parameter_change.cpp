#include "parameter_change.h"

#include <cstring>

#include "broadcast_session.h"
#include "parameter_datagrams.h"
#include "pindle_settings.h"

namespace orvell {
namespace {

constexpr std::int32_t kConfirmed = 1;
constexpr std::int32_t kNotConfirmed = 0;

void ReleaseAll(IReceivedDatagram* const* datagrams, std::uint32_t from, std::uint32_t count) {
  for (std::uint32_t i = from; i < count; ++i) {
    if (datagrams[i] != nullptr) datagrams[i]->Release();
  }
}

// Reads and releases the collected datagrams in order until one confirms;
// those after it are released unread.
bool FindConfirmation(IReceivedDatagram* const* datagrams, std::uint32_t count, std::uint8_t* buffer) {
  for (std::uint32_t i = 0; i < count; ++i) {
    IReceivedDatagram* datagram = datagrams[i];
    if (datagram == nullptr) continue;
    const std::int32_t length = datagram->Read(buffer, kParameterReadBytes);
    datagram->Release();
    if (length <= 0) continue;
    // Only the bytes this datagram carried count, never an earlier one's.
    if (parameter::IsConfirmation(buffer, static_cast<std::size_t>(length))) {
      ReleaseAll(datagrams, i + 1, count);
      return true;
    }
  }
  return false;
}

// Listens, collects and judges the answers; the caller still owns the
// endpoint and the manager.
std::int32_t AwaitConfirmation(ISocketManager* manager) {
  std::uint32_t events[kParameterWaitEvents] = {};
  const std::int32_t waited = manager->Wait(kParameterListenSeconds, events, kParameterWaitEvents);
  std::uint8_t buffer[kParameterReceiveBufferSize];
  std::memset(buffer, 0, sizeof buffer);  // once per call, never between datagrams
  if (waited < 2) return kNotConfirmed;

  IReceivedDatagram* datagrams[kParameterCollectCapacity] = {};
  const std::uint32_t count = CollectAtMost(manager, datagrams, kParameterCollectCapacity);
  return FindConfirmation(datagrams, count, buffer) ? kConfirmed : kNotConfirmed;
}

}  // namespace

std::int32_t ChangeParameters(CreatePindleFunction createPindle, const parameter::ParameterChange& change) {
  const parameter::Request request = parameter::BuildRequest(change);

  const auto session = OpenBroadcastSession(createPindle, kParameterLocalPort);
  if (!session) return kNotConfirmed;
  session->endpoint->Send(request.data(), static_cast<std::int32_t>(request.size()));

  const std::int32_t result = AwaitConfirmation(session->manager);
  CloseBroadcastSession(*session);
  return result;
}

}  // namespace orvell
