// ConfigControlPara from Orvell.dll over pindle's Winsock sockets, against a
// card emulated in this program.
#include <winsock2.h>

#include <string>

#include "card_emulator.h"
#include "control_record.h"
#include "orvell_over_winsock.h"

namespace kestrum::windows_tests {
namespace {

using ParameterChangeOverWinsock = OrvellOverWinsock;
using namespace orvell::record;

std::string Dotted(std::uint32_t address) {
  in_addr value{};
  value.s_addr = address;
  return inet_ntoa(value);
}

TEST_F(ParameterChangeOverWinsock, CardConfirmsAndFromThenOnAnswersWithItsNewParameters) {
  const ControlRecord card = CardOn(lans_[0], 100);
  CardEmulator emulator({card});
  ASSERT_TRUE(emulator.Listening());
  const std::uint32_t newIp = htonl(ntohl(Ip(card)) + 100);
  const std::uint32_t newServer = htonl(ntohl(Gateway(card)) + 9);
  // The MAC texts are never read: null is as good as any.
  ASSERT_EQ(Orvell().configControlPara(Ip(card), Gateway(card), Mask(card), nullptr, newIp, Gateway(card), Mask(card),
                                       nullptr, Dotted(newServer).c_str(), 9100, 45),
            1);
  auto table = DirtyTable();
  ASSERT_EQ(Search(table), 1);
  EXPECT_EQ(Ip(table[0]), newIp);
  EXPECT_EQ(Gateway(table[0]), Gateway(card));
  EXPECT_EQ(Mask(table[0]), Mask(card));
  EXPECT_EQ(ServerIp(table[0]), newServer);
  EXPECT_EQ(ServerPort(table[0]), 9100);
  EXPECT_EQ(Heartbeat(table[0]), 45);
}

TEST_F(ParameterChangeOverWinsock, NoCardWithTheOldAddressesGivesZeroAndChangesNothing) {
  const ControlRecord card = CardOn(lans_[0], 110);
  CardEmulator emulator({card});
  ASSERT_TRUE(emulator.Listening());
  const std::uint32_t otherIp = htonl(ntohl(Ip(card)) + 1);
  EXPECT_EQ(Orvell().configControlPara(otherIp, Gateway(card), Mask(card), "02:4B:56:00:00:6E", otherIp, Gateway(card),
                                       Mask(card), "02:4B:56:00:00:6E", "10.0.0.1", 9000, 30),
            0);
  ASSERT_EQ(emulator.Cards().size(), 1u);
  EXPECT_TRUE(SameBytes(emulator.Cards()[0], card));
}

TEST_F(ParameterChangeOverWinsock, SilenceGivesZero) {
  const ControlRecord card = CardOn(lans_[0], 120);
  EXPECT_EQ(Orvell().configControlPara(Ip(card), Gateway(card), Mask(card), nullptr, Ip(card), Gateway(card),
                                       Mask(card), nullptr, "10.0.0.1", 9000, 30),
            0);
}

}  // namespace
}  // namespace kestrum::windows_tests
