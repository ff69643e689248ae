// A plan over many emulated cards on two LANs through the real Orvell and
// pindle: every card renumbered and pointed at a new server in one go, each
// verified by the search; a card that drops requests is reported unchanged.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "batch_plan.h"
#include "batch_run.h"
#include "byte_order.h"
#include "lan.h"
#include "orvell.h"
#include "orvell_network.h"

namespace {

namespace rec = orvell::record;
using namespace kestrum::batch;

std::vector<ControlRecord> Search() {
  std::vector<ControlRecord> table(256);
  const std::int32_t found = std::clamp(GetControlList(table.data(), 256), 0, 256);
  table.resize(static_cast<std::size_t>(found));
  return table;
}

TEST(Batch, RenumbersAndMovesTheServerOfCardsOnTwoLans) {
  const auto lans = kestrum::lan::Lans();
  ASSERT_EQ(lans.size(), 2u);
  kestrum::lan::CardSim first(lans[0].ns, {"--count", "60", "--base-ip", "192.168.1.10"});
  // The second LAN's third card drops every parameter request.
  kestrum::lan::CardSim second(lans[1].ns,
                               {"--count", "60", "--base-ip", "192.168.2.10", "--ignore-changes", "00:1A:4B:01:00:03"});
  const std::vector<ControlRecord> listed = Search();
  ASSERT_EQ(listed.size(), 120u);

  // Each card to .100 up of its own subnet, and to a new server.
  std::vector<PlanEntry> entries;
  for (const ControlRecord& card : listed) {
    PlanEntry entry;
    entry.mac = rec::MacAddress(card);
    entry.ip = orvell::ToNetworkOrder((orvell::ToHostOrder(rec::Ip(card)) & 0xFFFFFF00u) |
                                      ((orvell::ToHostOrder(rec::Ip(card)) & 0xFF) + 100));
    entry.serverIp = orvell::ToNetworkOrder(0xC0A801C8u);  // 192.168.1.200
    entry.serverPort = 9500;
    entries.push_back(entry);
  }
  const PlanVerdict verdict = MakePlan(listed, entries, kestrum::Language::kChinese);
  ASSERT_TRUE(verdict.plan);
  ASSERT_EQ(verdict.plan->steps.size(), 1u);  // a new range: every request independent

  const auto results = RunPlan(*verdict.plan, OrvellNetwork(&Search));
  std::size_t confirmed = 0;
  for (const CardResult& result : results) {
    if (rec::MacAddress(result.card.before) == rec::Mac{0x00, 0x1A, 0x4B, 0x01, 0x00, 0x03})
      EXPECT_EQ(result.outcome, Outcome::kNotChanged);
    else if (result.outcome == Outcome::kConfirmed)
      ++confirmed;
  }
  EXPECT_EQ(confirmed, 119u);
}

}  // namespace
