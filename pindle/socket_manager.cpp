#include "socket_manager.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstring>
#include <new>
#include <utility>

#include "parse_address.h"

namespace pindle {
namespace {

class ReceivedDatagram final : public IReceivedDatagram {
 public:
  ReceivedDatagram() = default;
  void Hold(std::vector<std::uint8_t> bytes) { bytes_ = std::move(bytes); }

  std::int32_t PINDLE_CALL Read(void* buffer, std::int32_t maxBytes) override {
    if (buffer == nullptr || maxBytes <= 0) return 0;
    const std::size_t count = std::min(bytes_.size(), static_cast<std::size_t>(maxBytes));
    if (count > 0) std::memcpy(buffer, bytes_.data(), count);
    return static_cast<std::int32_t>(count);
  }
  void PINDLE_CALL Release() override { delete this; }

 private:
  ~ReceivedDatagram() = default;
  std::vector<std::uint8_t> bytes_;
};

class DatagramEndpoint final : public IDatagramEndpoint {
 public:
  DatagramEndpoint(std::shared_ptr<SharedSocket> shared, std::uint32_t address, std::uint16_t port)
      : shared_(std::move(shared)), address_(address), port_(port) {}

  std::int32_t PINDLE_CALL Send(const void* bytes, std::int32_t count) override {
    if (count < 0 || (bytes == nullptr && count > 0)) return -1;
    shared_->copiesOfLastSend = shared_->socket->SendTo(address_, port_, static_cast<const std::uint8_t*>(bytes),
                                                        static_cast<std::size_t>(count));
    return shared_->copiesOfLastSend > 0 ? count : -1;
  }
  void PINDLE_CALL Release() override { delete this; }

 private:
  ~DatagramEndpoint() = default;
  std::shared_ptr<SharedSocket> shared_;  // shared: the endpoint may outlive its manager
  std::uint32_t address_;
  std::uint16_t port_;
};

}  // namespace

SocketManager::SocketManager(std::shared_ptr<SharedSocket> shared) : shared_(std::move(shared)) {}

bool SocketManager::ReadWaiting() {
  for (int read = 0; read < kReadsBetweenClockChecks; ++read) {
    const auto arrival = shared_->socket->ReceiveWaiting();
    if (!arrival) return false;
    // What the store refuses is dropped, as a full socket buffer would.
    held_.Offer(arrival->source, arrival->bytes);
  }
  return true;
}

std::int32_t SocketManager::Wait(double seconds, std::uint32_t* events, std::int32_t capacity) {
  using Clock = std::chrono::steady_clock;
  // A NaN, negative or absurd time listens not at all, or at most a day.
  const double bounded = (seconds > 0.0) ? std::min(seconds, 86400.0) : 0.0;
  const auto deadline =
      Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(bounded));
  // Every adapter's copy of the request reaches the same cards when two
  // adapters share a LAN; their answers to the copies are then one answer.
  held_.BeginListening(shared_->copiesOfLastSend > 1);
  // What already waits is read even when no time is given.
  for (bool more = ReadWaiting();; more = ReadWaiting()) {
    const auto now = Clock::now();
    if (now >= deadline) break;
    if (!more) shared_->socket->WaitReadable(std::chrono::ceil<std::chrono::microseconds>(deadline - now));
  }
  const std::size_t waiting = std::min<std::size_t>(held_.Count(), INT32_MAX - 1);
  if (events != nullptr && capacity > 0) events[0] = static_cast<std::uint32_t>(waiting);
  return static_cast<std::int32_t>(1 + waiting);
}

std::uint32_t SocketManager::Collect(IReceivedDatagram** datagrams, std::uint32_t capacity) {
  if (datagrams == nullptr) return 0;
  std::uint32_t handed = 0;
  for (; handed < capacity && held_.Count() > 0; ++handed) {
    auto* datagram = new (std::nothrow) ReceivedDatagram();
    if (datagram == nullptr) break;  // the datagram stays held for the next Collect
    datagram->Hold(std::move(*held_.TakeNext()));
    datagrams[handed] = datagram;
  }
  return handed;
}

std::int32_t SocketManager::Open(const char* address, std::uint16_t port, IDatagramEndpoint** endpoint) {
  if (endpoint == nullptr) return -1;
  *endpoint = nullptr;
  const auto parsed = ParseDottedAddress(address);
  if (!parsed) return -1;
  *endpoint = new (std::nothrow) DatagramEndpoint(shared_, *parsed, port);
  return *endpoint != nullptr ? 0 : -1;
}

void SocketManager::Release() { delete this; }

}  // namespace pindle
