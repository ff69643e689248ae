// The platform's UDP socket as pindle needs it: one socket bound for answers,
// from which requests are also sent, so that a card answering the request's
// source address and port reaches it. POSIX and Winsock implement it.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "held_datagrams.h"

namespace pindle {

// The most bytes kept of one datagram: the largest IPv4 datagram (a UDP
// payload is at most 65,535 - 20 - 8 = 65,507 bytes, so every real one fits
// whole); receive buffers are one byte larger still.
inline constexpr std::size_t kLargestDatagram = 65535;
// Room for 255 cards' 111-byte answers arriving at once, many times over.
inline constexpr int kReceiveBufferBytes = 4 * 1024 * 1024;

class UdpSocket {
 public:
  virtual ~UdpSocket() = default;

  // Binds every local address at preferredPort for answers, with broadcast
  // allowed; when that port is taken, binds a free port instead. Null when no
  // socket can be had at all.
  static std::unique_ptr<UdpSocket> Open(std::uint16_t preferredPort);

  virtual std::uint16_t LocalPort() const = 0;

  // Sends once to address:port (network-order address). A send to the
  // limited broadcast address leaves once through every up, broadcast-capable
  // IPv4 interface, so every attached segment hears it. Returns how many
  // copies left: 0 when none did.
  virtual std::size_t SendTo(std::uint32_t address, std::uint16_t port, const std::uint8_t* bytes,
                             std::size_t count) = 0;

  // Blocks until a datagram is waiting or the timeout passes; true when one is.
  virtual bool WaitReadable(std::chrono::microseconds timeout) = 0;

  // A datagram taken off the socket: its bytes stay valid until the next
  // receive.
  struct Arrival {
    DatagramSource source;
    std::span<const std::uint8_t> bytes;
  };
  // Takes one waiting datagram without blocking; nothing when none waits.
  virtual std::optional<Arrival> ReceiveWaiting() = 0;
};

// An adapter the limited broadcast leaves through: up, broadcast-capable,
// with an IPv4 address, loopback left out. Addresses in network byte order.
struct BroadcastAdapter {
  std::string name;
  unsigned index = 0;  // the system's interface index
  std::uint32_t address = 0;
  std::uint32_t mask = 0;
};

// Every such adapter once, in the system's order: where SendTo's copies of a
// broadcast go (and what kestrum-cli diagnose reports).
std::vector<BroadcastAdapter> BroadcastAdapters();

// 255.255.255.255 in network byte order (the same in either byte order).
inline constexpr std::uint32_t kLimitedBroadcast = 0xFFFFFFFFu;

}  // namespace pindle
