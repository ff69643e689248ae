// Orvell.dll under wine on the PC's side of card LANs that
// scripts/windows-tests.sh makes: the Linux card emulator cardsim answers from
// network namespaces of its own, across a virtual cable, as real cards do.
// The script says how many cards it started; the program runs only there.
#include <winsock2.h>

#include <algorithm>
#include <cstdlib>
#include <set>

#include "control_record.h"
#include "orvell_over_winsock.h"

namespace kestrum::windows_tests {
namespace {

using namespace orvell::record;

constexpr const char* kCardCountVariable = "KESTRUM_CARDSIM_CARDS";

class CardsimLan : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Orvell().failure, "");
    const char* count = std::getenv(kCardCountVariable);
    ASSERT_NE(count, nullptr) << kCardCountVariable << " is set by scripts/windows-tests.sh";
    cardCount_ = std::atoi(count);
    ASSERT_GT(cardCount_, 0);
  }

  std::int32_t Search(std::vector<ControlRecord>& table) const {
    return Orvell().getControlList(table.data(), static_cast<std::int32_t>(table.size()));
  }

  std::int32_t cardCount_ = 0;
};

// The cards of different LANs may share every field but their addresses.
std::set<std::uint32_t> Addresses(const std::vector<ControlRecord>& table, std::int32_t count) {
  std::set<std::uint32_t> addresses;
  for (std::int32_t i = 0; i < count; ++i) addresses.insert(Ip(table[static_cast<std::size_t>(i)]));
  return addresses;
}

// One LAN is reached through two adapters, so its cards hear every request
// twice and answer both.
TEST_F(CardsimLan, SearchFindsEveryCardOfEveryLanOnce) {
  auto table = DirtyTable();
  const std::int32_t found = Search(table);
  ASSERT_EQ(found, cardCount_);
  EXPECT_EQ(Addresses(table, found).size(), static_cast<std::size_t>(found)) << "each card answered exactly once";
  for (std::size_t i = static_cast<std::size_t>(found); i < table.size(); ++i)
    ASSERT_TRUE(IsZero(table[i])) << "record " << i;
}

// The operator's flow: search, pick a card, give it a new address, search
// again.
TEST_F(CardsimLan, ChangedCardConfirmsAndAnswersTheNextSearchWithItsNewAddress) {
  auto table = DirtyTable();
  ASSERT_EQ(Search(table), cardCount_);
  const ControlRecord card = table[0];
  const std::uint32_t newIp = htonl(ntohl(Ip(card)) + 50);
  ASSERT_EQ(Orvell().configControlPara(Ip(card), Gateway(card), Mask(card), nullptr, newIp, Gateway(card), Mask(card),
                                       nullptr, "192.168.88.10", 9100, 45),
            1);
  auto after = DirtyTable();
  ASSERT_EQ(Search(after), cardCount_);
  const auto addresses = Addresses(after, cardCount_);
  EXPECT_EQ(addresses.count(Ip(card)), 0u) << "no card answers with the old address";
  const auto changed = std::find_if(after.begin(), after.begin() + cardCount_,
                                    [&](const ControlRecord& record) { return Ip(record) == newIp; });
  ASSERT_NE(changed, after.begin() + cardCount_) << "the changed card answers with its new address";
  EXPECT_EQ(MacAddress(*changed), MacAddress(card));
  EXPECT_EQ(ServerPort(*changed), 9100);
  EXPECT_EQ(Heartbeat(*changed), 45);
}

}  // namespace
}  // namespace kestrum::windows_tests
