// What a socket manager holds between Wait and Collect. Any host on the LAN
// can send to the answer port, so the store is bounded in total and per
// source, and hands datagrams over fairly among their sources: in rounds, one
// datagram of each source per round, sources in the order of their first
// datagram, each source's datagrams in arrival order. A host flooding the port
// then takes one place per round, not every place, and the cards' answers
// still reach the caller. When the request went out more than once (one copy
// per adapter, several adapters on one LAN), each card hears it more than once
// and answers each copy: identical datagrams of one source within one
// listening time are then held once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

namespace pindle {

// Where a datagram came from: an IPv4 address in network byte order and a
// port in host byte order.
struct DatagramSource {
  std::uint32_t address = 0;
  std::uint16_t port = 0;
};

// The bounds: a search's Collect takes at most 256 datagrams, so one source
// never needs more places than that; 255 cards' 111-byte answers take
// 28 KiB, far below what one source may hold. In total the store takes far
// more than 255 cards' answers and far less than a flood of large datagrams
// from many hosts could fill.
inline constexpr std::size_t kMaxHeldPerSource = 256;
inline constexpr std::size_t kMaxHeldBytesPerSource = 256 * 1024;
inline constexpr std::size_t kMaxHeldDatagrams = 16384;
inline constexpr std::size_t kMaxHeldBytes = 8 * 1024 * 1024;

class HeldDatagrams {
 public:
  // Starts a listening time; with mergeCopies, a datagram identical to one
  // its source sent earlier in this listening time is not held again.
  void BeginListening(bool mergeCopies);

  // Holds a copy of the bytes unless a bound or a merge refuses them; returns
  // whether they are held. Refused datagrams are dropped, as a full socket
  // buffer would drop them.
  bool Offer(DatagramSource source, std::span<const std::uint8_t> bytes);

  std::size_t Count() const { return count_; }

  // The next datagram in fair order; nothing when none is held.
  std::optional<std::vector<std::uint8_t>> TakeNext();

 private:
  struct Datagram {
    std::vector<std::uint8_t> bytes;
    std::uint64_t fingerprint = 0;  // of the bytes, to find copies quickly
    std::uint64_t listening = 0;    // the listening time it arrived in
  };
  struct Queue {
    std::uint64_t source = 0;
    std::vector<Datagram> datagrams;  // arrival order; taken from `next` on
    std::size_t next = 0;
    std::size_t bytes = 0;
    std::size_t Held() const { return datagrams.size() - next; }
  };
  using Queues = std::list<Queue>;

  bool IsCopy(const Queue& queue, std::uint64_t fingerprint, std::span<const std::uint8_t> bytes) const;
  Queue& QueueOf(std::uint64_t source);

  Queues queues_;  // sources in the order of their first held datagram
  std::unordered_map<std::uint64_t, Queues::iterator> bySource_;
  Queues::iterator turn_ = queues_.end();  // the source whose turn it is
  std::size_t count_ = 0;
  std::size_t bytes_ = 0;
  std::uint64_t listening_ = 0;
  bool mergeCopies_ = false;
};

}  // namespace pindle
