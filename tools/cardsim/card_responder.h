// What the emulated cards answer to a datagram, apart from any socket: every
// card answers a search request with its reply; a parameter request changes
// the cards whose current addresses it names, and each of them confirms.
// Anything else is ignored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "control_record.h"
#include "parameter_datagrams.h"

namespace cardsim {

enum class RequestKind { kIgnored, kSearch, kParameterChange };

struct CardAnswer {
  std::size_t card = 0;  // index of the answering card
  std::vector<std::uint8_t> bytes;
};

struct Response {
  RequestKind kind = RequestKind::kIgnored;
  std::vector<CardAnswer> answers;
  bool cardsChanged = false;  // a parameter request changed at least one card
};

// A card takes a parameter request only when the request's current IP,
// gateway and mask are all its own.
bool AddressedBy(const ControlRecord& card, const orvell::parameter::ParameterChange& change);
// Gives the card the request's new IP, gateway, mask, server address, port
// and heartbeat; nothing else of it changes.
void Apply(ControlRecord& card, const orvell::parameter::ParameterChange& change);

class CardResponder {
 public:
  // replyExtraBytes: bytes a card appends to its 24-byte confirmation.
  CardResponder(std::vector<ControlRecord> cards, std::size_t replyExtraBytes);

  // Which cards hear a datagram; by default all of them (a card hears only
  // what reaches its own segment).
  using Hears = std::function<bool(const ControlRecord& card)>;

  Response Handle(const std::uint8_t* data, std::size_t length, const Hears& hears = {});
  const std::vector<ControlRecord>& Cards() const { return cards_; }
  // Cards that drop every parameter request, as a card whose firmware hangs
  // in its change does: they answer searches with their old values.
  void IgnoreChangesOf(std::vector<orvell::record::Mac> macs) { deafToChanges_ = std::move(macs); }

 private:
  Response AnswerSearch(const Hears& hears) const;
  Response ApplyChange(const orvell::parameter::ParameterChange& change, const Hears& hears);

  std::vector<ControlRecord> cards_;
  std::size_t replyExtraBytes_;
  std::vector<orvell::record::Mac> deafToChanges_;
};

}  // namespace cardsim
