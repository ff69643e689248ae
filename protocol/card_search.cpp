#include "card_search.h"

#include <cstring>

#include "broadcast_session.h"
#include "pindle_settings.h"
#include "search_datagrams.h"

namespace orvell {
namespace {

// Reads and releases every collected datagram in order, storing the records
// of exact-length replies while there is room. Returns the number stored.
std::int32_t StoreReplies(IReceivedDatagram* const* datagrams, std::uint32_t count, ControlRecord* records,
                          std::int32_t capacity) {
  std::uint8_t buffer[kSearchReadBytes] = {};
  std::int32_t stored = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    IReceivedDatagram* datagram = datagrams[i];
    if (datagram == nullptr) continue;
    const std::int32_t length = datagram->Read(buffer, kSearchReadBytes);
    datagram->Release();
    if (length <= 0 || stored >= capacity) continue;
    const auto record = search::ReadReply(buffer, static_cast<std::size_t>(length));
    if (record) records[stored++] = *record;
  }
  return stored;
}

}  // namespace

std::int32_t SearchCards(CreatePindleFunction createPindle, ControlRecord* records, std::int32_t capacity) {
  if (records == nullptr || capacity < 1) return ORVELL_BAD_ARGUMENTS;
  std::memset(records, 0, static_cast<std::size_t>(capacity) * sizeof(ControlRecord));

  const search::Request request = search::BuildRequest();
  const auto session = OpenBroadcastSession(createPindle, kSearchLocalPort);
  if (!session) return 0;
  session->endpoint->Send(request.data(), static_cast<std::int32_t>(request.size()));

  std::uint32_t events[kSearchWaitEvents] = {};
  std::int32_t stored = 0;
  if (session->manager->Wait(kSearchListenSeconds, events, kSearchWaitEvents) >= 2) {
    IReceivedDatagram* datagrams[kSearchCollectCapacity] = {};
    const std::uint32_t count = CollectAtMost(session->manager, datagrams, kSearchCollectCapacity);
    stored = StoreReplies(datagrams, count, records, capacity);
  }

  CloseBroadcastSession(*session);
  return stored;
}

}  // namespace orvell
