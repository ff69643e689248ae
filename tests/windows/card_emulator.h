// Control cards emulated inside the test program over Winsock, listening on
// UDP 9999 as cards do: only the receive loop around cardsim's responder,
// which says what the cards answer. A card hears a request only when it comes
// from its own segment (the sender's address lies in the card's subnet), as a
// card on one LAN hears only the copy of a broadcast that went out onto that
// LAN.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "card_responder.h"
#include "orvell.h"

namespace kestrum::windows_tests {

struct EmulatorBehaviour {
  // Sent to the requester before the cards' answers to each search.
  std::vector<std::vector<std::uint8_t>> datagramsBeforeAnswers;
  // Broadcast the answers to the requester's port instead of sending them
  // back to its address, as cards on another subnet than the PC do.
  bool broadcastAnswers = false;
};

class CardEmulator {
 public:
  // Binds UDP 9999 and starts answering at once; requests that arrive before
  // the answering thread runs wait in the socket.
  explicit CardEmulator(std::vector<ControlRecord> cards, EmulatorBehaviour behaviour = {});
  ~CardEmulator();
  CardEmulator(const CardEmulator&) = delete;
  CardEmulator& operator=(const CardEmulator&) = delete;

  bool Listening() const { return socket_ != INVALID_SOCKET; }

  // The source address (network order) of every search request heard so far.
  std::vector<std::uint32_t> SearchRequestSources() const;
  // The cards as they are now, parameter changes included.
  std::vector<ControlRecord> Cards() const;
  // Sends of ours that Winsock refused: a test that relies on its datagrams
  // arriving checks this is 0.
  int FailedSends() const { return failedSends_.load(); }

 private:
  void Serve();
  void Answer(const std::vector<std::uint8_t>& datagram, const sockaddr_in& from);
  void Send(const std::uint8_t* bytes, std::size_t count, const sockaddr_in& to);

  SOCKET socket_ = INVALID_SOCKET;
  EmulatorBehaviour behaviour_;
  mutable std::mutex mutex_;
  cardsim::CardResponder responder_;
  std::vector<std::uint32_t> searchSources_;
  std::atomic<int> failedSends_{0};
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace kestrum::windows_tests
