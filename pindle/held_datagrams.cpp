#include "held_datagrams.h"

#include <algorithm>
#include <cstring>

namespace pindle {
namespace {

std::uint64_t SourceKey(DatagramSource source) { return std::uint64_t{source.address} << 16 | source.port; }

// FNV-1a: cheap, and only ever compared before the bytes themselves are.
std::uint64_t Fingerprint(std::span<const std::uint8_t> bytes) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (const std::uint8_t byte : bytes) hash = (hash ^ byte) * 0x100000001b3u;
  return hash;
}

}  // namespace

void HeldDatagrams::BeginListening(bool mergeCopies) {
  ++listening_;
  mergeCopies_ = mergeCopies;
}

bool HeldDatagrams::IsCopy(const Queue& queue, std::uint64_t fingerprint, std::span<const std::uint8_t> bytes) const {
  return std::any_of(queue.datagrams.begin() + static_cast<std::ptrdiff_t>(queue.next), queue.datagrams.end(),
                     [&](const Datagram& held) {
                       return held.listening == listening_ && held.fingerprint == fingerprint &&
                              held.bytes.size() == bytes.size() &&
                              (bytes.empty() || std::memcmp(held.bytes.data(), bytes.data(), bytes.size()) == 0);
                     });
}

HeldDatagrams::Queue& HeldDatagrams::QueueOf(std::uint64_t source) {
  if (const auto found = bySource_.find(source); found != bySource_.end()) return *found->second;
  // A new source joins the end of the current round.
  const auto added = queues_.insert(queues_.end(), Queue{source, {}, 0, 0});
  bySource_.emplace(source, added);
  return *added;
}

bool HeldDatagrams::Offer(DatagramSource source, std::span<const std::uint8_t> bytes) {
  if (count_ >= kMaxHeldDatagrams || bytes_ + bytes.size() > kMaxHeldBytes) return false;
  const std::uint64_t key = SourceKey(source);
  const auto known = bySource_.find(key);
  if (known != bySource_.end()) {
    const Queue& queue = *known->second;
    if (queue.Held() >= kMaxHeldPerSource || queue.bytes + bytes.size() > kMaxHeldBytesPerSource) return false;
  } else if (bytes.size() > kMaxHeldBytesPerSource) {
    return false;
  }
  // Copies are looked for only among what the source holds, after the bounds
  // let the datagram in, so a flood costs no more than it can be held.
  const std::uint64_t fingerprint = mergeCopies_ ? Fingerprint(bytes) : 0;
  if (mergeCopies_ && known != bySource_.end() && IsCopy(*known->second, fingerprint, bytes)) return false;

  Queue& queue = QueueOf(key);
  queue.datagrams.push_back({{bytes.begin(), bytes.end()}, fingerprint, listening_});
  queue.bytes += bytes.size();
  ++count_;
  bytes_ += bytes.size();
  return true;
}

std::optional<std::vector<std::uint8_t>> HeldDatagrams::TakeNext() {
  if (queues_.empty()) return std::nullopt;
  if (turn_ == queues_.end()) turn_ = queues_.begin();  // a new round
  Queue& queue = *turn_;
  std::vector<std::uint8_t> bytes = std::move(queue.datagrams[queue.next++].bytes);
  queue.bytes -= bytes.size();
  --count_;
  bytes_ -= bytes.size();
  if (queue.Held() == 0) {
    bySource_.erase(queue.source);
    turn_ = queues_.erase(turn_);
    return bytes;
  }
  // A source that keeps sending while it is collected keeps only what it
  // still holds.
  if (queue.next >= kMaxHeldPerSource) {
    queue.datagrams.erase(queue.datagrams.begin(), queue.datagrams.begin() + static_cast<std::ptrdiff_t>(queue.next));
    queue.next = 0;
  }
  ++turn_;
  return bytes;
}

}  // namespace pindle
