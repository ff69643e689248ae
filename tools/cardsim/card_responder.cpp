#include "card_responder.h"

#include <algorithm>

#include <utility>

#include "record_change.h"
#include "search_datagrams.h"

namespace cardsim {
namespace {

namespace param = orvell::parameter;

// What the extra bytes after a confirmation hold; the library never reads them.
constexpr std::uint8_t kReplyExtraFill = 0x5A;

}  // namespace

bool AddressedBy(const ControlRecord& card, const param::ParameterChange& change) {
  return param::TakesRequestFor(card, change.oldIp, change.oldGateway, change.oldMask);
}

void Apply(ControlRecord& card, const param::ParameterChange& change) { param::ApplyToRecord(card, change); }

CardResponder::CardResponder(std::vector<ControlRecord> cards, std::size_t replyExtraBytes)
    : cards_(std::move(cards)), replyExtraBytes_(replyExtraBytes) {}

Response CardResponder::Handle(const std::uint8_t* data, std::size_t length, const Hears& hears) {
  if (orvell::search::IsRequest(data, length)) return AnswerSearch(hears);
  if (const auto change = param::ReadRequest(data, length)) return ApplyChange(*change, hears);
  return {};
}

Response CardResponder::AnswerSearch(const Hears& hears) const {
  Response response;
  response.kind = RequestKind::kSearch;
  response.answers.reserve(cards_.size());
  for (std::size_t i = 0; i < cards_.size(); ++i) {
    if (hears && !hears(cards_[i])) continue;
    const auto reply = orvell::search::BuildReply(cards_[i]);
    response.answers.push_back({i, std::vector<std::uint8_t>(reply.begin(), reply.end())});
  }
  return response;
}

Response CardResponder::ApplyChange(const param::ParameterChange& change, const Hears& hears) {
  Response response;
  response.kind = RequestKind::kParameterChange;
  const auto header = param::BuildReplyHeader();
  for (std::size_t i = 0; i < cards_.size(); ++i) {
    if (!AddressedBy(cards_[i], change) || (hears && !hears(cards_[i]))) continue;
    const auto mac = orvell::record::MacAddress(cards_[i]);
    if (std::find(deafToChanges_.begin(), deafToChanges_.end(), mac) != deafToChanges_.end()) continue;
    Apply(cards_[i], change);
    response.cardsChanged = true;
    std::vector<std::uint8_t> confirmation(header.begin(), header.end());
    confirmation.resize(header.size() + replyExtraBytes_, kReplyExtraFill);
    response.answers.push_back({i, std::move(confirmation)});
  }
  return response;
}

}  // namespace cardsim
