// Which cards a search found and which of them a `set` names.
#include "card_choice.h"

#include <gtest/gtest.h>

#include <vector>

#include "byte_order.h"

namespace {

using kestrum::cli::CardChoice;
namespace rec = orvell::record;

ControlRecord Card(std::uint8_t ipEnd, std::uint8_t macEnd, std::uint8_t gatewayEnd = 1) {
  ControlRecord card{};
  rec::SetIp(card, orvell::AddressFromOctets(192, 168, 1, ipEnd));
  rec::SetGateway(card, orvell::AddressFromOctets(192, 168, 1, gatewayEnd));
  rec::SetMacAddress(card, {0x00, 0x1A, 0x4B, 0x00, 0x00, macEnd});
  return card;
}

std::vector<std::uint8_t> IpEnds(const std::vector<ControlRecord>& cards) {
  std::vector<std::uint8_t> ends;
  for (const ControlRecord& card : cards)
    ends.push_back(static_cast<std::uint8_t>(orvell::ToHostOrder(rec::Ip(card)) & 0xFF));
  return ends;
}

TEST(CardChoice, IdenticalAnswersAreOneCardInTheOrderOfTheFirst) {
  const std::vector<ControlRecord> answers = {Card(100, 1), Card(50, 2), Card(100, 1), Card(100, 1, 254)};
  const auto cards = kestrum::cli::DistinctCards(answers);
  ASSERT_EQ(cards.size(), 3u);
  EXPECT_TRUE(kestrum::cli::SameCard(cards[0], answers[2]));
  EXPECT_EQ(IpEnds(cards), (std::vector<std::uint8_t>{100, 50, 100}));
  EXPECT_EQ(rec::Gateway(cards[2]), rec::Gateway(answers[3]));
}

TEST(CardChoice, NamesEveryCardWithTheIpOrTheMac) {
  const std::vector<ControlRecord> cards = {Card(50, 1), Card(100, 2), Card(60, 1), Card(100, 3, 254)};
  const CardChoice byIp{orvell::AddressFromOctets(192, 168, 1, 100), std::nullopt, "192.168.1.100"};
  const CardChoice byMac{std::nullopt, rec::MacAddress(Card(0, 1)), "00:1A:4B:00:00:01"};
  EXPECT_EQ(IpEnds(kestrum::cli::CardsNamed(cards, byIp)), (std::vector<std::uint8_t>{100, 100}));
  EXPECT_EQ(IpEnds(kestrum::cli::CardsNamed(cards, byMac)), (std::vector<std::uint8_t>{50, 60}));
}

}  // namespace
