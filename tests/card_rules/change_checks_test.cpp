// Which parameter changes are refused, and what the operator is warned of,
// over plain card records.
#include "change_checks.h"

#include <algorithm>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "card_texts.h"

namespace {

using kestrum::CardAddresses;
using kestrum::ChangeWarning;
using kestrum::Refusal;
namespace rec = orvell::record;

std::uint32_t A(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
  return orvell::AddressFromOctets(a, b, c, d);
}

const CardAddresses kCurrent{A(192, 168, 1, 100), A(192, 168, 1, 1), A(255, 255, 255, 0)};

ControlRecord Card(std::uint32_t ip, std::uint8_t macEnd, const CardAddresses& rest = kCurrent) {
  ControlRecord card{};
  rec::SetIp(card, ip);
  rec::SetGateway(card, rest.gateway);
  rec::SetMask(card, rest.mask);
  rec::SetMacAddress(card, {0x00, 0x1A, 0x4B, 0x00, 0x00, macEnd});
  return card;
}

struct Row {
  const char* name;
  CardAddresses requested;
  std::optional<Refusal> refusal;
  bool gatewayWarning;
};

class EveryValue : public ::testing::TestWithParam<Row> {};

TEST_P(EveryValue, IsRefusedOrWarnedAsItsRowSays) {
  const Row& row = GetParam();
  const auto verdict = kestrum::CheckChange({}, kCurrent, row.requested);
  EXPECT_EQ(verdict.refusal, row.refusal);
  const bool warned = !verdict.warnings.empty();
  EXPECT_EQ(warned, row.gatewayWarning);
  if (warned) {
    EXPECT_EQ(verdict.warnings[0].kind, ChangeWarning::Kind::kGatewayOutsideSubnet);
  }
}

const auto kMask24 = A(255, 255, 255, 0);
const auto kGateway = A(192, 168, 1, 1);

INSTANTIATE_TEST_SUITE_P(
    Rules, EveryValue,
    ::testing::Values(
        Row{"mask_24", {A(192, 168, 1, 200), kGateway, kMask24}, {}, false},
        Row{"mask_16", {A(192, 168, 1, 200), kGateway, A(255, 255, 0, 0)}, {}, false},
        Row{"mask_30", {A(192, 168, 1, 2), kGateway, A(255, 255, 255, 252)}, {}, false},
        Row{"mask_with_a_hole", {A(192, 168, 1, 200), kGateway, A(255, 0, 255, 0)}, Refusal::kMaskNotContiguous, false},
        Row{"mask_empty", {A(192, 168, 1, 200), kGateway, A(0, 0, 0, 0)}, Refusal::kMaskEmptyOrFull, false},
        Row{"mask_full", {A(192, 168, 1, 200), kGateway, A(255, 255, 255, 255)}, Refusal::kMaskEmptyOrFull, false},
        Row{"ip_first_host", {A(192, 168, 1, 1), 0, kMask24}, {}, false},
        Row{"ip_last_host", {A(192, 168, 1, 254), kGateway, kMask24}, {}, false},
        Row{"ip_network_address", {A(192, 168, 1, 0), kGateway, kMask24}, Refusal::kIpIsNetworkAddress, false},
        Row{"ip_broadcast_address", {A(192, 168, 1, 255), kGateway, kMask24}, Refusal::kIpIsBroadcastAddress, false},
        Row{"ip_31_both_ends_usable", {A(192, 168, 1, 0), A(192, 168, 1, 1), A(255, 255, 255, 254)}, {}, false},
        Row{"ip_32_single_host", {A(192, 168, 1, 7), 0, A(255, 255, 255, 255)}, Refusal::kMaskEmptyOrFull, false},
        Row{"ip_unspecified", {A(0, 0, 0, 0), kGateway, kMask24}, Refusal::kIpUnspecified, false},
        Row{"pasted_junk_255_everywhere",
            {A(255, 255, 255, 255), A(255, 255, 255, 255), A(255, 255, 255, 255)},
            Refusal::kMaskEmptyOrFull,
            false},
        Row{"ip_limited_broadcast", {A(255, 255, 255, 255), 0, kMask24}, Refusal::kIpLimitedBroadcast, false},
        Row{"ip_loopback", {A(127, 0, 0, 5), 0, kMask24}, Refusal::kIpLoopback, false},
        Row{"ip_multicast", {A(224, 0, 0, 5), 0, kMask24}, Refusal::kIpMulticast, false},
        Row{"ip_reserved", {A(240, 0, 0, 5), 0, kMask24}, Refusal::kIpReserved, false},
        Row{"no_gateway", {A(192, 168, 1, 200), 0, kMask24}, {}, false},
        Row{"gateway_outside_subnet", {A(192, 168, 1, 200), A(192, 168, 2, 1), kMask24}, {}, true},
        Row{"gateway_equal_to_ip", {A(192, 168, 1, 200), A(192, 168, 1, 200), kMask24}, Refusal::kGatewayIsIp, false}),
    [](const ::testing::TestParamInfo<Row>& row) { return std::string(row.param.name); });

TEST(OtherCards, SharingTheAddressedAddressesAreNamedWithTheirMacs) {
  const CardAddresses requested{A(192, 168, 1, 200), kGateway, kMask24};
  // Three cards fresh from the factory, and one elsewhere.
  const std::vector<ControlRecord> listed = {Card(kCurrent.ip, 1), Card(A(192, 168, 1, 50), 9), Card(kCurrent.ip, 2),
                                             Card(kCurrent.ip, 3)};
  const auto verdict = kestrum::CheckChange(listed, kCurrent, requested);
  ASSERT_FALSE(verdict.refusal);
  ASSERT_EQ(verdict.warnings.size(), 1u);
  EXPECT_EQ(verdict.warnings[0].kind, ChangeWarning::Kind::kSharedAddress);
  ASSERT_EQ(verdict.warnings[0].macs.size(), 3u);
  const std::string text = kestrum::WarningText(verdict.warnings[0], kCurrent, requested);
  EXPECT_NE(text.find("3 张卡"), std::string::npos) << text;
  EXPECT_NE(text.find("00:1A:4B:00:00:03"), std::string::npos) << text;
  EXPECT_EQ(
      kestrum::WarningText(verdict.warnings[0], kCurrent, requested, kestrum::Language::kEnglish).rfind("3 cards", 0),
      0u);

  // A card with the same IP but another mask does not take the request: it
  // is not counted, but its IP is no longer free.
  const std::vector<ControlRecord> oneAddressed = {Card(kCurrent.ip, 1),
                                                   Card(kCurrent.ip, 2, {0, kGateway, A(255, 255, 0, 0)})};
  EXPECT_TRUE(kestrum::CheckChange(oneAddressed, kCurrent, {kCurrent.ip, kGateway, kMask24}).warnings.size() == 1);
}

TEST(OtherCards, AnotherCardsIpIsInUseAndAnEmptyListWarnsOfNothing) {
  const CardAddresses requested{A(192, 168, 1, 50), kGateway, kMask24};
  const std::vector<ControlRecord> listed = {Card(kCurrent.ip, 1), Card(A(192, 168, 1, 50), 9)};
  const auto verdict = kestrum::CheckChange(listed, kCurrent, requested);
  ASSERT_EQ(verdict.warnings.size(), 1u);
  EXPECT_EQ(verdict.warnings[0].kind, ChangeWarning::Kind::kAddressInUse);
  EXPECT_NE(kestrum::WarningText(verdict.warnings[0], kCurrent, requested).find("00:1A:4B:00:00:09"),
            std::string::npos);
  EXPECT_TRUE(kestrum::CheckChange({}, kCurrent, requested).warnings.empty());
}

TEST(Texts, EveryRefusalNamesItsValueInBothLanguages) {
  const CardAddresses requested{A(192, 168, 1, 255), A(10, 1, 2, 3), A(255, 0, 255, 0)};
  for (const kestrum::Language language : {kestrum::Language::kChinese, kestrum::Language::kEnglish})
    for (const Refusal refusal :
         {Refusal::kMaskNotContiguous, Refusal::kMaskEmptyOrFull, Refusal::kIpUnspecified, Refusal::kIpLimitedBroadcast,
          Refusal::kIpLoopback, Refusal::kIpMulticast, Refusal::kIpReserved, Refusal::kIpIsNetworkAddress,
          Refusal::kIpIsBroadcastAddress, Refusal::kGatewayIsIp}) {
      const std::string text = kestrum::RefusalText(refusal, requested, language);
      // The English text has no Chinese character left in it.
      if (language == kestrum::Language::kEnglish) {
        EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
            << text;
      }
      const bool namesValue = text.find("192.168.1.255") != std::string::npos ||
                              text.find("255.0.255.0") != std::string::npos ||
                              text.find("10.1.2.3") != std::string::npos;
      EXPECT_TRUE(namesValue) << static_cast<int>(refusal) << ": " << text;
    }
}

}  // namespace
