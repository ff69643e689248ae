// What the emulated cards answer: one reply per card to a search request, a
// confirmation from each card a parameter request addresses, silence to
// anything else.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>
#include <vector>

#include "address_text.h"
#include "card_responder.h"
#include "generated_cards.h"
#include "parameter_datagrams.h"
#include "search_datagrams.h"

namespace {

namespace rec = orvell::record;
namespace param = orvell::parameter;
using Bytes = std::vector<std::uint8_t>;

std::uint32_t Ip(const char* text) { return *kestrum::command_line::ParseIpv4(text); }

std::vector<ControlRecord> ThreeCards() { return cardsim::GenerateCards(3, Ip("192.168.1.100")); }

param::ParameterChange ChangeOf(const ControlRecord& card) {
  param::ParameterChange change;
  change.oldIp = rec::Ip(card);
  change.oldGateway = rec::Gateway(card);
  change.oldMask = rec::Mask(card);
  change.newIp = Ip("10.0.0.7");
  change.newGateway = Ip("10.0.0.1");
  change.newMask = Ip("255.0.0.0");
  change.serverIp = Ip("10.0.0.2");
  change.serverPort = 7001;
  change.heartbeat = 99;
  return change;
}

cardsim::Response Send(cardsim::CardResponder& responder, const Bytes& datagram) {
  return responder.Handle(datagram.data(), datagram.size());
}

Bytes RequestBytes(const param::ParameterChange& change) {
  const auto request = param::BuildRequest(change);
  return Bytes(request.begin(), request.end());
}

bool SameRecord(const ControlRecord& a, const ControlRecord& b) {
  return std::memcmp(a.bytes, b.bytes, rec::kSize) == 0;
}

TEST(CardResponder, EveryCardAnswersASearchWithItsRecord) {
  const auto cards = ThreeCards();
  cardsim::CardResponder responder(cards, 0);
  const auto request = orvell::search::BuildRequest();
  const auto response = Send(responder, Bytes(request.begin(), request.end()));
  EXPECT_EQ(response.kind, cardsim::RequestKind::kSearch);
  EXPECT_FALSE(response.cardsChanged);
  ASSERT_EQ(response.answers.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    const auto& answer = response.answers[i];
    EXPECT_EQ(answer.card, i);
    ASSERT_EQ(answer.bytes.size(), 111u);
    const auto record = orvell::search::ReadReply(answer.bytes.data(), answer.bytes.size());
    ASSERT_TRUE(record);
    EXPECT_TRUE(SameRecord(*record, cards[i]));
  }
}

TEST(CardResponder, TheAddressedCardTakesTheChangeAndConfirms) {
  const auto cards = ThreeCards();
  cardsim::CardResponder responder(cards, 0);
  const auto change = ChangeOf(cards[1]);
  const auto response = Send(responder, RequestBytes(change));
  EXPECT_EQ(response.kind, cardsim::RequestKind::kParameterChange);
  EXPECT_TRUE(response.cardsChanged);
  ASSERT_EQ(response.answers.size(), 1u);
  EXPECT_EQ(response.answers[0].card, 1u);
  const Bytes expectedHeader = {0x55, 0xAA, 0x00, 0x00, 0x01, 0x00, 0x00, 0xCA, 0x00, 0x00, 0x00, 0x00,
                                0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x04, 0x00, 0x01, 0x00, 0x00, 0x00};
  EXPECT_EQ(response.answers[0].bytes, expectedHeader);

  const ControlRecord& changed = responder.Cards()[1];
  EXPECT_EQ(rec::Ip(changed), change.newIp);
  EXPECT_EQ(rec::Gateway(changed), change.newGateway);
  EXPECT_EQ(rec::Mask(changed), change.newMask);
  EXPECT_EQ(rec::ServerIp(changed), change.serverIp);
  EXPECT_EQ(rec::ServerPort(changed), 7001);
  EXPECT_EQ(rec::Heartbeat(changed), 99);
  EXPECT_EQ(rec::MacAddress(changed), rec::MacAddress(cards[1]));
  EXPECT_EQ(rec::TypeVersion(changed), rec::TypeVersion(cards[1]));
  EXPECT_TRUE(SameRecord(responder.Cards()[0], cards[0]));
  EXPECT_TRUE(SameRecord(responder.Cards()[2], cards[2]));
}

TEST(CardResponder, ACardDiffersInAnyOneOldAddressStaysSilentAndUnchanged) {
  const auto cards = ThreeCards();
  for (int field = 0; field < 3; ++field) {
    cardsim::CardResponder responder(cards, 0);
    auto change = ChangeOf(cards[0]);
    std::uint32_t& wrong = field == 0 ? change.oldIp : field == 1 ? change.oldGateway : change.oldMask;
    wrong = Ip("172.16.0.1");
    const auto response = Send(responder, RequestBytes(change));
    EXPECT_EQ(response.kind, cardsim::RequestKind::kParameterChange);
    EXPECT_TRUE(response.answers.empty()) << "field " << field;
    EXPECT_FALSE(response.cardsChanged);
    for (std::size_t i = 0; i < cards.size(); ++i) EXPECT_TRUE(SameRecord(responder.Cards()[i], cards[i]));
  }
}

TEST(CardResponder, ConfirmationCarriesTheAskedExtraBytes) {
  const auto cards = ThreeCards();
  cardsim::CardResponder responder(cards, 8);
  const auto response = Send(responder, RequestBytes(ChangeOf(cards[2])));
  ASSERT_EQ(response.answers.size(), 1u);
  ASSERT_EQ(response.answers[0].bytes.size(), 32u);
  EXPECT_TRUE(param::IsConfirmation(response.answers[0].bytes.data(), response.answers[0].bytes.size()));
}

TEST(CardResponder, IgnoresEverythingElseWhateverItsSize) {
  cardsim::CardResponder responder(ThreeCards(), 0);
  const auto search = orvell::search::BuildRequest();
  const auto parameter = RequestBytes(ChangeOf(ThreeCards()[0]));
  std::vector<Bytes> others = {
      {},
      Bytes(search.begin(), search.end() - 1),  // truncated
      Bytes(parameter.begin(), parameter.end() - 1),
  };
  Bytes longer(search.begin(), search.end());
  longer.push_back(0);
  others.push_back(longer);
  for (std::size_t i = 0; i < search.size(); ++i) {  // any one byte of the search request wrong
    Bytes wrong(search.begin(), search.end());
    wrong[i] ^= 0x01;
    others.push_back(wrong);
  }
  Bytes wrongSubcode = parameter;
  wrongSubcode[20] = 6;
  others.push_back(wrongSubcode);
  Bytes noTrailer = parameter;
  noTrailer[77] = 0;
  others.push_back(noTrailer);
  std::mt19937 random(1);
  Bytes largest(65507);
  for (auto& byte : largest) byte = static_cast<std::uint8_t>(random());
  others.push_back(largest);

  for (const auto& datagram : others) {
    const auto response = Send(responder, datagram);
    EXPECT_EQ(response.kind, cardsim::RequestKind::kIgnored) << datagram.size() << " bytes";
    EXPECT_TRUE(response.answers.empty());
  }
  EXPECT_TRUE(responder.Handle(nullptr, 32).answers.empty());
}

TEST(GeneratedCards, HaveDistinctAddressesSkippingNetworkAndBroadcastOctets) {
  const auto cards = cardsim::GenerateCards(255, Ip("192.168.1.250"));
  std::set<std::uint32_t> ips;
  std::set<rec::Mac> macs;
  std::set<std::uint8_t> screens;
  for (const auto& card : cards) {
    const auto host = orvell::ToHostOrder(rec::Ip(card));
    EXPECT_NE(host & 0xFF, 0u);
    EXPECT_NE(host & 0xFF, 0xFFu);
    ips.insert(host);
    macs.insert(rec::MacAddress(card));
    screens.insert(rec::ScreenNo(card));
    EXPECT_EQ(rec::MacAddress(card)[1], 0x1A);
  }
  EXPECT_EQ(ips.size(), 255u);
  EXPECT_EQ(macs.size(), 255u);
  EXPECT_GT(screens.size(), 200u);
  EXPECT_EQ(kestrum::command_line::FormatIpv4(rec::Ip(cards[0])), "192.168.1.250");
  EXPECT_EQ(kestrum::command_line::FormatIpv4(rec::Ip(cards[5])), "192.168.2.1");
}

}  // namespace
