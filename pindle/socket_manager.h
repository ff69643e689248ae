// pindle's socket manager and the objects it hands out.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "seam/pindle.h"
#include "udp_socket.h"

namespace pindle {

// Bounds on what a manager holds between Wait and Collect: far more than 255
// cards' answers, far less than a flood of large datagrams could fill.
inline constexpr std::size_t kMaxHeldDatagrams = 16384;
inline constexpr std::size_t kMaxHeldBytes = 64 * 1024 * 1024;

class SocketManager final : public ISocketManager {
 public:
  explicit SocketManager(std::shared_ptr<UdpSocket> socket);
  SocketManager(const SocketManager&) = delete;
  SocketManager& operator=(const SocketManager&) = delete;

  std::int32_t PINDLE_CALL Wait(double seconds, std::uint32_t* events, std::int32_t capacity) override;
  std::uint32_t PINDLE_CALL Collect(IReceivedDatagram** datagrams, std::uint32_t capacity) override;
  std::int32_t PINDLE_CALL Open(const char* address, std::uint16_t port, IDatagramEndpoint** endpoint) override;
  void PINDLE_CALL Release() override;

 private:
  ~SocketManager() = default;
  void DrainWaiting();

  std::shared_ptr<UdpSocket> socket_;
  std::deque<std::vector<std::uint8_t>> received_;  // oldest first
  std::size_t heldBytes_ = 0;                       // bytes in received_
};

}  // namespace pindle
