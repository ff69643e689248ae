#include "card_search.h"

#include <cstring>

#include "pindle_settings.h"
#include "search_datagrams.h"

namespace orvell {
namespace {

// Reads and releases every collected datagram in order, storing the records
// of exact-length replies while there is room. Returns the number stored.
std::int32_t StoreReplies(IReceivedDatagram* const* datagrams, std::uint32_t count, ControlRecord* records,
                          std::int32_t capacity) {
  std::uint8_t buffer[search::kReplySize] = {};
  std::int32_t stored = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    IReceivedDatagram* datagram = datagrams[i];
    if (datagram == nullptr) continue;
    const std::int32_t length = datagram->Read(buffer, static_cast<std::int32_t>(search::kReplySize));
    datagram->Release();
    if (length != static_cast<std::int32_t>(search::kReplySize) || stored >= capacity) continue;
    std::memcpy(records[stored].bytes, buffer + search::kReplyRecordOffset, record::kSize);
    ++stored;
  }
  return stored;
}

}  // namespace

std::int32_t SearchCards(CreatePindleFunction createPindle, ControlRecord* records, std::int32_t capacity) {
  if (records == nullptr || capacity < 1) return ORVELL_BAD_ARGUMENTS;
  std::memset(records, 0, static_cast<std::size_t>(capacity) * sizeof(ControlRecord));

  const search::Request request = search::BuildRequest();
  const PindleSettings settings = MakePindleSettings(kSearchLocalPort);
  ISocketManager* manager = createPindle(&settings);
  if (manager == nullptr) return 0;

  IDatagramEndpoint* endpoint = nullptr;
  manager->Open(kBroadcastAddress, kCardPort, &endpoint);
  if (endpoint == nullptr) {
    manager->Release();
    return 0;
  }
  endpoint->Send(request.data(), static_cast<std::int32_t>(request.size()));

  std::uint32_t events[kSearchWaitEvents] = {};
  std::int32_t stored = 0;
  if (manager->Wait(kSearchListenSeconds, events, kSearchWaitEvents) >= 2) {
    IReceivedDatagram* datagrams[kSearchCollectCapacity] = {};
    std::uint32_t count = manager->Collect(datagrams, kSearchCollectCapacity);
    if (count > kSearchCollectCapacity) count = kSearchCollectCapacity;  // never trust a count past our array
    stored = StoreReplies(datagrams, count, records, capacity);
  }

  endpoint->Release();
  manager->Release();
  return stored;
}

}  // namespace orvell
