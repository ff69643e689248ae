#include "socket_manager.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstring>
#include <new>
#include <utility>

#include "byte_order.h"

namespace pindle {
namespace {

class ReceivedDatagram final : public IReceivedDatagram {
 public:
  explicit ReceivedDatagram(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

  std::int32_t PINDLE_CALL Read(void* buffer, std::int32_t maxBytes) override {
    if (buffer == nullptr || maxBytes <= 0) return 0;
    const std::size_t count = std::min(bytes_.size(), static_cast<std::size_t>(maxBytes));
    if (count > 0) std::memcpy(buffer, bytes_.data(), count);
    return static_cast<std::int32_t>(count);
  }
  void PINDLE_CALL Release() override { delete this; }
  std::size_t Size() const { return bytes_.size(); }

 private:
  ~ReceivedDatagram() = default;
  std::vector<std::uint8_t> bytes_;
};

class DatagramEndpoint final : public IDatagramEndpoint {
 public:
  DatagramEndpoint(std::shared_ptr<UdpSocket> socket, std::uint32_t address, std::uint16_t port)
      : socket_(std::move(socket)), address_(address), port_(port) {}

  std::int32_t PINDLE_CALL Send(const void* bytes, std::int32_t count) override {
    if (count < 0 || (bytes == nullptr && count > 0)) return -1;
    const bool sent =
        socket_->SendTo(address_, port_, static_cast<const std::uint8_t*>(bytes), static_cast<std::size_t>(count));
    return sent ? count : -1;
  }
  void PINDLE_CALL Release() override { delete this; }

 private:
  ~DatagramEndpoint() = default;
  std::shared_ptr<UdpSocket> socket_;  // shared: the endpoint may outlive its manager
  std::uint32_t address_;
  std::uint16_t port_;
};

}  // namespace

SocketManager::SocketManager(std::shared_ptr<UdpSocket> socket) : socket_(std::move(socket)) {}

void SocketManager::DrainWaiting() {
  while (auto datagram = socket_->ReceiveWaiting()) {
    // A flood is still read off the socket, so that waiting goes on, but
    // what exceeds the bounds is dropped as a full socket buffer would.
    if (received_.size() >= kMaxHeldDatagrams || heldBytes_ + datagram->size() > kMaxHeldBytes) continue;
    heldBytes_ += datagram->size();
    received_.push_back(std::move(*datagram));
  }
}

std::int32_t SocketManager::Wait(double seconds, std::uint32_t* events, std::int32_t capacity) {
  using Clock = std::chrono::steady_clock;
  // A NaN, negative or absurd time listens not at all, or at most a day.
  const double bounded = (seconds > 0.0) ? std::min(seconds, 86400.0) : 0.0;
  const auto deadline =
      Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(bounded));
  DrainWaiting();
  for (auto now = Clock::now(); now < deadline; now = Clock::now()) {
    const auto remaining = std::chrono::ceil<std::chrono::microseconds>(deadline - now);
    if (socket_->WaitReadable(remaining)) DrainWaiting();
  }
  const std::size_t waiting = std::min<std::size_t>(received_.size(), INT32_MAX - 1);
  if (events != nullptr && capacity > 0) events[0] = static_cast<std::uint32_t>(waiting);
  return static_cast<std::int32_t>(1 + waiting);
}

std::uint32_t SocketManager::Collect(IReceivedDatagram** datagrams, std::uint32_t capacity) {
  if (datagrams == nullptr) return 0;
  std::uint32_t handed = 0;
  while (handed < capacity && !received_.empty()) {
    auto* datagram = new (std::nothrow) ReceivedDatagram(std::move(received_.front()));
    if (datagram == nullptr) break;
    received_.pop_front();
    heldBytes_ -= datagram->Size();
    datagrams[handed++] = datagram;
  }
  return handed;
}

std::int32_t SocketManager::Open(const char* address, std::uint16_t port, IDatagramEndpoint** endpoint) {
  if (endpoint == nullptr) return -1;
  *endpoint = nullptr;
  const auto parsed = ParseDottedAddress(address);
  if (!parsed) return -1;
  *endpoint = new (std::nothrow) DatagramEndpoint(socket_, *parsed, port);
  return *endpoint != nullptr ? 0 : -1;
}

void SocketManager::Release() { delete this; }

}  // namespace pindle

extern "C" PINDLE_API ISocketManager* PINDLE_CALL CreatePindle(const PindleSettings* settings) {
  try {
    if (settings == nullptr) return nullptr;
    if (orvell::ReadLE32(settings->bytes + pindle_settings::kRecordSizeOffset) != pindle_settings::kRecordSize)
      return nullptr;
    const std::uint16_t port = orvell::ReadLE16(settings->bytes + pindle_settings::kLocalPortOffset);
    std::shared_ptr<pindle::UdpSocket> socket = pindle::UdpSocket::Open(port);
    if (!socket) return nullptr;
    return new pindle::SocketManager(std::move(socket));
  } catch (...) {
    return nullptr;
  }
}
