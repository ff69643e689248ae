// GetControlList from Orvell.dll over pindle's Winsock sockets, against cards
// emulated in this program on the harness's two LANs.
#include <winsock2.h>

#include <algorithm>
#include <climits>

#include "card_emulator.h"
#include "orvell_over_winsock.h"
#include "pindle_settings.h"

namespace kestrum::windows_tests {
namespace {

using SearchOverWinsock = OrvellOverWinsock;

// The count, then record by record: the cards' records in the order they
// answered, then zeros to the end of the table.
void ExpectTable(const std::vector<ControlRecord>& table, std::int32_t result,
                 const std::vector<ControlRecord>& cards) {
  ASSERT_EQ(result, static_cast<std::int32_t>(cards.size()));
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (i < cards.size())
      EXPECT_TRUE(SameBytes(table[i], cards[i])) << "record " << i << " is not card " << i;
    else
      EXPECT_TRUE(IsZero(table[i])) << "record " << i << " was not cleared";
  }
}

TEST_F(SearchOverWinsock, FindsEveryCardThatAnswersInTheOrderTheyAnswered) {
  const std::vector<ControlRecord> cards = {CardOn(lans_[0], 21), CardOn(lans_[0], 22), CardOn(lans_[0], 23)};
  CardEmulator emulator(cards);
  ASSERT_TRUE(emulator.Listening());
  auto table = DirtyTable();
  ExpectTable(table, Search(table), cards);
}

TEST_F(SearchOverWinsock, FindsNoCardWhenNoneAnswersAndClearsTheTable) {
  auto table = DirtyTable();
  ExpectTable(table, Search(table), {});
}

TEST_F(SearchOverWinsock, SendsTheRequestOnceOutOfEveryAdapterAndFindsTheCardsOfEveryLan) {
  const ControlRecord first = CardOn(lans_[0], 31);
  const ControlRecord second = CardOn(lans_[1], 32);
  CardEmulator emulator({first, second});
  ASSERT_TRUE(emulator.Listening());
  auto table = DirtyTable();
  ASSERT_EQ(Search(table), 2);
  // Each LAN's copy arrives separately, so either card may answer first.
  EXPECT_TRUE((SameBytes(table[0], first) && SameBytes(table[1], second)) ||
              (SameBytes(table[0], second) && SameBytes(table[1], first)));
  std::vector<std::uint32_t> sources = emulator.SearchRequestSources();
  std::vector<std::uint32_t> adapters;
  for (const auto& lan : lans_) adapters.push_back(lan.address);
  std::sort(sources.begin(), sources.end());
  std::sort(adapters.begin(), adapters.end());
  EXPECT_EQ(sources, adapters) << "one request from each adapter's own address";
}

TEST_F(SearchOverWinsock, SkipsEmptyTruncatedOversizedAndLargestDatagrams) {
  constexpr std::size_t kLargestUdpPayload = 65507;  // 65535 - 20 (IPv4 header) - 8 (UDP header)
  EmulatorBehaviour behaviour;
  behaviour.datagramsBeforeAnswers = {{},
                                      std::vector<std::uint8_t>(kLargestUdpPayload, 0x55),
                                      std::vector<std::uint8_t>(110, 0xAA),
                                      std::vector<std::uint8_t>(112, 0xAA)};
  const std::vector<ControlRecord> cards = {CardOn(lans_[0], 41), CardOn(lans_[0], 42)};
  CardEmulator emulator(cards, behaviour);
  ASSERT_TRUE(emulator.Listening());
  auto table = DirtyTable();
  ExpectTable(table, Search(table), cards);
  EXPECT_EQ(emulator.FailedSends(), 0) << "every odd datagram really left";
}

TEST_F(SearchOverWinsock, FindsCardsThatBroadcastTheirAnswers) {
  EmulatorBehaviour behaviour;
  behaviour.broadcastAnswers = true;
  const std::vector<ControlRecord> cards = {CardOn(lans_[0], 51), CardOn(lans_[0], 52)};
  CardEmulator emulator(cards, behaviour);
  ASSERT_TRUE(emulator.Listening());
  auto table = DirtyTable();
  ExpectTable(table, Search(table), cards);
}

TEST_F(SearchOverWinsock, FindsCardsWhileAnotherProgramHoldsTheSearchPort) {
  const SOCKET holder = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  ASSERT_NE(holder, INVALID_SOCKET);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(orvell::kSearchLocalPort);
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  ASSERT_EQ(bind(holder, reinterpret_cast<const sockaddr*>(&local), sizeof local), 0);
  const std::vector<ControlRecord> cards = {CardOn(lans_[0], 61), CardOn(lans_[0], 62), CardOn(lans_[0], 63)};
  CardEmulator emulator(cards);
  ASSERT_TRUE(emulator.Listening());
  auto table = DirtyTable();
  const std::int32_t result = Search(table);
  closesocket(holder);
  ExpectTable(table, result, cards);
}

TEST_F(SearchOverWinsock, RefusesBadArgumentsWithoutTouchingTheTableOrSending) {
  CardEmulator emulator({CardOn(lans_[0], 71)});
  ASSERT_TRUE(emulator.Listening());
  auto table = DirtyTable();
  EXPECT_EQ(Orvell().getControlList(nullptr, kTableCapacity), ORVELL_BAD_ARGUMENTS);
  EXPECT_EQ(Orvell().getControlList(nullptr, 0), ORVELL_BAD_ARGUMENTS);
  EXPECT_EQ(Orvell().getControlList(table.data(), 0), ORVELL_BAD_ARGUMENTS);
  EXPECT_EQ(Orvell().getControlList(table.data(), -1), ORVELL_BAD_ARGUMENTS);
  EXPECT_EQ(Orvell().getControlList(table.data(), INT32_MIN), ORVELL_BAD_ARGUMENTS);
  const auto untouched = DirtyTable();
  for (std::size_t i = 0; i < table.size(); ++i) ASSERT_TRUE(SameBytes(table[i], untouched[i])) << "record " << i;
  // A real search afterwards: the emulator hears its requests and no others,
  // so the refused calls sent nothing before it.
  ASSERT_EQ(Search(table), 1);
  EXPECT_EQ(emulator.SearchRequestSources().size(), lans_.size());
}

}  // namespace
}  // namespace kestrum::windows_tests
