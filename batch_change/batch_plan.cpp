#include "batch_plan.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "byte_order.h"
#include "card_texts.h"
#include "change_checks.h"
#include "plan_texts.h"

namespace kestrum::batch {
namespace {

namespace rec = orvell::record;
using orvell::parameter::ParameterChange;

// What a request names a card by.
using Triple = std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>;  // ip, gateway, mask

Triple CurrentTriple(const ControlRecord& card) { return {rec::Ip(card), rec::Gateway(card), rec::Mask(card)}; }
Triple NewTriple(const NetworkValues& values) { return {values.ip, values.gateway, values.mask}; }

std::string Macs(const std::vector<rec::Mac>& macs, Language language) {
  std::string text;
  for (const rec::Mac& mac : macs) text += (text.empty() ? "" : ListSeparator(language)) + card_text::Mac(mac);
  return text;
}

NetworkValues Planned(const ControlRecord& card, const PlanEntry& entry) {
  const NetworkValues now = ValuesOf(card);
  return {entry.ip.value_or(now.ip),
          entry.mask.value_or(now.mask),
          entry.gateway.value_or(now.gateway),
          entry.serverIp.value_or(now.serverIp),
          entry.serverPort.value_or(now.serverPort),
          entry.heartbeat.value_or(now.heartbeat)};
}

ParameterChange RequestFor(const ControlRecord& card, const NetworkValues& after) {
  return {rec::Ip(card),    rec::Gateway(card), rec::Mask(card),   after.ip,       after.gateway,
          after.mask,       after.serverIp,     after.serverPort,  after.heartbeat};
}

class Planner {
 public:
  Planner(std::span<const ControlRecord> listed, std::span<const PlanEntry> entries, Language language)
      : listed_(listed), entries_(entries), language_(language) {}

  PlanVerdict Run() {
    if (entries_.size() > kMostPlannedCards) {
      refusals_.push_back(Say(PlanText::kTooManyCards, {std::to_string(kMostPlannedCards)}));
      return {refusals_, std::nullopt};
    }
    FindCards();
    if (refusals_.empty()) CheckValues();
    if (refusals_.empty()) CheckFinalAddresses();
    if (refusals_.empty()) GroupRequests();
    if (refusals_.empty()) OrderRequests();
    if (!refusals_.empty()) return {refusals_, std::nullopt};
    return {{}, std::move(plan_)};
  }

 private:
  struct Request {
    ParameterChange change;
    std::vector<rec::Mac> macs;  // the cards it serves
  };

  std::string Say(PlanText text, std::initializer_list<std::string> arguments) const {
    return Text(text, language_, arguments);
  }

  std::size_t CountListed(const rec::Mac& mac) const {
    return static_cast<std::size_t>(std::count_if(listed_.begin(), listed_.end(),
                                                  [&](const ControlRecord& card) { return rec::MacAddress(card) == mac; }));
  }

  void FindCards() {
    std::set<rec::Mac> seen;
    for (const PlanEntry& entry : entries_) {
      const std::string mac = card_text::Mac(entry.mac);
      if (!seen.insert(entry.mac).second) {
        refusals_.push_back(Say(PlanText::kCardPlannedTwice, {mac}));
        continue;
      }
      const std::size_t count = CountListed(entry.mac);
      if (count == 0) refusals_.push_back(Say(PlanText::kCardNotListed, {mac}));
      if (count > 1) refusals_.push_back(Say(PlanText::kCardListedTwice, {mac}));
      if (count != 1) continue;
      const auto card = std::find_if(listed_.begin(), listed_.end(),
                                     [&](const ControlRecord& listed) { return rec::MacAddress(listed) == entry.mac; });
      plan_.cards.push_back({*card, Planned(*card, entry), {}});
    }
    for (const PlannedCard& card : plan_.cards) planned_.insert(rec::MacAddress(card.before));
  }

  // The single change's checks, card by card; the plan's own rules stand in
  // for its warnings about other cards.
  void CheckValues() {
    for (PlannedCard& card : plan_.cards) {
      if (card.unchanged()) continue;
      const CardAddresses current{rec::Ip(card.before), rec::Gateway(card.before), rec::Mask(card.before)};
      const CardAddresses requested{card.after.ip, card.after.gateway, card.after.mask};
      const ChangeVerdict verdict = CheckChange({}, current, requested);
      const std::string mac = card_text::Mac(rec::MacAddress(card.before));
      if (verdict.refusal) {
        refusals_.push_back(Say(PlanText::kValueRefused, {mac, RefusalText(*verdict.refusal, requested, language_)}));
        continue;
      }
      for (const ChangeWarning& warning : verdict.warnings)
        card.warnings.push_back(
            Say(PlanText::kCardWarning, {mac, WarningText(warning, current, requested, language_)}));
    }
  }

  // No two cards end at one IP, unless they share it already and keep it;
  // no card moves to the IP of a card the plan leaves where it is.
  void CheckFinalAddresses() {
    std::map<std::uint32_t, std::vector<const PlannedCard*>> byFinalIp;
    for (const PlannedCard& card : plan_.cards) byFinalIp[card.after.ip].push_back(&card);
    for (const auto& [ip, cards] : byFinalIp) {
      const bool allKeepIt = std::all_of(cards.begin(), cards.end(), [&](const PlannedCard* card) {
        return CurrentTriple(card->before) == CurrentTriple(cards.front()->before) && rec::Ip(card->before) == ip;
      });
      if (cards.size() > 1 && !allKeepIt) {
        std::vector<rec::Mac> macs;
        for (const PlannedCard* card : cards) macs.push_back(rec::MacAddress(card->before));
        refusals_.push_back(Say(PlanText::kSameNewIp, {card_text::Address(ip), Macs(macs, language_)}));
      }
    }
    for (const PlannedCard& card : plan_.cards) {
      if (card.after.ip == rec::Ip(card.before)) continue;
      for (const ControlRecord& other : listed_) {
        if (rec::Ip(other) != card.after.ip || planned_.count(rec::MacAddress(other))) continue;
        refusals_.push_back(Say(PlanText::kIpHeldOutsidePlan,
                                {card_text::Mac(rec::MacAddress(card.before)), card_text::Address(card.after.ip),
                                 card_text::Mac(rec::MacAddress(other))}));
      }
    }
  }

  // Cards that share their current addresses take one request together:
  // allowed only when the plan names every one of them, gives them all the
  // same values and keeps their addresses.
  void GroupRequests() {
    std::map<Triple, std::vector<const PlannedCard*>> byCurrent;
    for (const PlannedCard& card : plan_.cards) byCurrent[CurrentTriple(card.before)].push_back(&card);
    for (const auto& [triple, cards] : byCurrent) {
      std::vector<rec::Mac> macs, outside;
      for (const PlannedCard* card : cards) macs.push_back(rec::MacAddress(card->before));
      for (const ControlRecord& other : listed_)
        if (CurrentTriple(other) == triple && !planned_.count(rec::MacAddress(other)))
          outside.push_back(rec::MacAddress(other));
      const PlannedCard& first = *cards.front();
      const std::string ip = card_text::Address(std::get<0>(triple));
      if (std::all_of(cards.begin(), cards.end(), [](const PlannedCard* card) { return card->unchanged(); })) continue;
      if (!outside.empty()) {
        refusals_.push_back(Say(PlanText::kSharedWithOutside, {ip, Macs(macs, language_), Macs(outside, language_)}));
        continue;
      }
      if (cards.size() > 1) {
        const bool sameValues = std::all_of(cards.begin(), cards.end(),
                                            [&](const PlannedCard* card) { return card->after == first.after; });
        if (!sameValues || NewTriple(first.after) != triple) {
          refusals_.push_back(Say(PlanText::kSharedAddress, {ip, Macs(macs, language_)}));
          continue;
        }
        plan_.notes.push_back(
            Say(PlanText::kOneRequestServes, {std::to_string(cards.size()), ip, Macs(macs, language_)}));
      }
      requests_.push_back({RequestFor(first.before, first.after), macs});
    }
  }

  // A request must go before any request that gives another card the
  // addresses it names (.11 to .12 before .10 to .11), in an earlier step so
  // that the cards have taken it; what is left in a cycle is refused.
  void OrderRequests() {
    const std::size_t count = requests_.size();
    std::vector<std::vector<std::size_t>> after(count);
    std::vector<std::size_t> waitingFor(count, 0);
    std::map<Triple, std::size_t> namedBy;
    for (std::size_t i = 0; i < count; ++i) {
      const ParameterChange& change = requests_[i].change;
      namedBy[{change.oldIp, change.oldGateway, change.oldMask}] = i;
    }
    for (std::size_t j = 0; j < count; ++j) {
      const ParameterChange& change = requests_[j].change;
      const auto earlier = namedBy.find({change.newIp, change.newGateway, change.newMask});
      if (earlier == namedBy.end() || earlier->second == j) continue;
      after[earlier->second].push_back(j);
      ++waitingFor[j];
    }
    std::vector<std::size_t> ready;
    for (std::size_t i = 0; i < count; ++i)
      if (waitingFor[i] == 0) ready.push_back(i);
    std::size_t ordered = 0;
    while (!ready.empty()) {
      Step step;
      std::vector<std::size_t> next;
      for (const std::size_t i : ready) {
        step.push_back(requests_[i].change);
        ++ordered;
        for (const std::size_t j : after[i])
          if (--waitingFor[j] == 0) next.push_back(j);
      }
      plan_.steps.push_back(std::move(step));
      ready = std::move(next);
    }
    if (ordered == count) return;
    std::vector<rec::Mac> inCycle;
    for (std::size_t i = 0; i < count; ++i)
      if (waitingFor[i] != 0) inCycle.insert(inCycle.end(), requests_[i].macs.begin(), requests_[i].macs.end());
    refusals_.push_back(Say(PlanText::kCycle, {Macs(inCycle, language_)}));
  }

  std::span<const ControlRecord> listed_;
  std::span<const PlanEntry> entries_;
  Language language_;
  std::set<rec::Mac> planned_;
  std::vector<Request> requests_;
  std::vector<std::string> refusals_;
  Plan plan_;
};

}  // namespace

NetworkValues ValuesOf(const ControlRecord& card) {
  return {rec::Ip(card),       rec::Mask(card),       rec::Gateway(card),
          rec::ServerIp(card), rec::ServerPort(card), rec::Heartbeat(card)};
}

PlanVerdict MakePlan(std::span<const ControlRecord> listed, std::span<const PlanEntry> entries, Language language) {
  return Planner(listed, entries, language).Run();
}

std::vector<std::uint32_t> CountUpAddresses(std::span<const ControlRecord> listed,
                                            std::span<const std::size_t> chosen, std::uint32_t first) {
  std::set<std::uint32_t> heldOutside;
  for (std::size_t i = 0; i < listed.size(); ++i)
    if (std::find(chosen.begin(), chosen.end(), i) == chosen.end()) heldOutside.insert(rec::Ip(listed[i]));
  std::vector<std::size_t> inListOrder(chosen.begin(), chosen.end());
  std::sort(inListOrder.begin(), inListOrder.end());
  std::vector<std::uint32_t> addresses(listed.size(), 0);
  std::uint32_t next = orvell::ToHostOrder(first);
  for (const std::size_t i : inListOrder) {
    while (heldOutside.count(orvell::ToNetworkOrder(next))) ++next;
    addresses[i] = orvell::ToNetworkOrder(next++);
  }
  std::vector<std::uint32_t> result;
  for (const std::size_t i : chosen) result.push_back(addresses[i]);
  return result;
}

}  // namespace kestrum::batch
