#include "card_choice.h"

#include <algorithm>

namespace kestrum::cli {

namespace rec = orvell::record;

bool SameCard(const ControlRecord& first, const ControlRecord& second) {
  return std::equal(std::begin(first.bytes), std::end(first.bytes), std::begin(second.bytes));
}

std::vector<ControlRecord> DistinctCards(std::span<const ControlRecord> answers) {
  std::vector<ControlRecord> cards;
  for (const ControlRecord& answer : answers) {
    const auto same = [&](const ControlRecord& card) { return SameCard(card, answer); };
    if (std::none_of(cards.begin(), cards.end(), same)) cards.push_back(answer);
  }
  return cards;
}

std::vector<ControlRecord> CardsNamed(std::span<const ControlRecord> cards, const CardChoice& choice) {
  std::vector<ControlRecord> named;
  std::copy_if(cards.begin(), cards.end(), std::back_inserter(named), [&](const ControlRecord& card) {
    return choice.ip ? rec::Ip(card) == *choice.ip : rec::MacAddress(card) == *choice.mac;
  });
  return named;
}

}  // namespace kestrum::cli
