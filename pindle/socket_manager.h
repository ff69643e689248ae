// pindle's socket manager and the objects it hands out.
#pragma once

#include <cstdint>
#include <memory>

#include "held_datagrams.h"
#include "pindle.h"
#include "udp_socket.h"

namespace pindle {

// Datagrams read off the socket between two looks at the clock: a flood that
// arrives faster than it is read cannot keep Wait past its listening time.
inline constexpr int kReadsBetweenClockChecks = 64;

// The socket a manager shares with its endpoints, and how many copies the
// last request sent through any of them went out as.
struct SharedSocket {
  std::unique_ptr<UdpSocket> socket;
  std::size_t copiesOfLastSend = 0;
};

class SocketManager final : public ISocketManager {
 public:
  explicit SocketManager(std::shared_ptr<SharedSocket> socket);
  SocketManager(const SocketManager&) = delete;
  SocketManager& operator=(const SocketManager&) = delete;

  std::int32_t PINDLE_CALL Wait(double seconds, std::uint32_t* events, std::int32_t capacity) override;
  std::uint32_t PINDLE_CALL Collect(IReceivedDatagram** datagrams, std::uint32_t capacity) override;
  std::int32_t PINDLE_CALL Open(const char* address, std::uint16_t port, IDatagramEndpoint** endpoint) override;
  void PINDLE_CALL Release() override;

 private:
  ~SocketManager() = default;
  // Reads what waits on the socket, at most kReadsBetweenClockChecks
  // datagrams; returns whether more may be waiting.
  bool ReadWaiting();

  std::shared_ptr<SharedSocket> shared_;
  HeldDatagrams held_;
};

}  // namespace pindle
