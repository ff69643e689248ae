// The planner's refusals and order as data rows, a plan run against emulated
// cards that take requests as real ones do, and a plan read back from the
// search's own CSV export.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch_plan.h"
#include "batch_run.h"
#include "byte_order.h"
#include "card_fields.h"
#include "card_responder.h"
#include "csv_table.h"
#include "plan_csv.h"

namespace {

namespace rec = orvell::record;
using namespace kestrum::batch;

std::uint32_t Address(int last) { return orvell::ToNetworkOrder(0xC0A80100u | static_cast<std::uint32_t>(last)); }
constexpr std::uint32_t kMask24 = 0x00FFFFFFu;  // 255.255.255.0, network order

rec::Mac MacOf(int index) { return {0, 0x1A, 0x4B, 0, 0, static_cast<std::uint8_t>(index)}; }

// Card i at 192.168.1.<ips[i]>, gateway .1, MAC ...:<i>.
std::vector<ControlRecord> Cards(const std::vector<int>& ips) {
  std::vector<ControlRecord> cards;
  for (std::size_t i = 0; i < ips.size(); ++i) {
    ControlRecord card{};
    rec::SetIp(card, Address(ips[i]));
    rec::SetMask(card, kMask24);
    rec::SetGateway(card, Address(1));
    rec::SetMacAddress(card, MacOf(static_cast<int>(i)));
    rec::SetServerPort(card, 8000);
    cards.push_back(card);
  }
  return cards;
}

struct Move {
  int card;
  int newIp;  // 0: kept
  std::uint16_t serverPort = 0;  // 0: kept
};

struct PlanRow {
  const char* name;
  std::vector<int> listedIps;
  std::vector<Move> moves;
  const char* refusalPart;                // empty: the plan is made
  std::vector<std::vector<int>> stepIps;  // the current IPs each step's requests name
  kestrum::Language language = kestrum::Language::kChinese;
};

std::vector<PlanEntry> Entries(const std::vector<Move>& moves) {
  std::vector<PlanEntry> entries;
  for (const Move& move : moves) {
    PlanEntry entry;
    entry.mac = MacOf(move.card);
    if (move.newIp) entry.ip = Address(move.newIp);
    if (move.serverPort) entry.serverPort = move.serverPort;
    entries.push_back(entry);
  }
  return entries;
}

class PlanRows : public testing::TestWithParam<PlanRow> {};

TEST_P(PlanRows, RefusesOrOrders) {
  const PlanRow& row = GetParam();
  const auto listed = Cards(row.listedIps);
  const auto entries = Entries(row.moves);
  const PlanVerdict verdict = MakePlan(listed, entries, row.language);
  if (*row.refusalPart) {
    ASSERT_FALSE(verdict.plan);
    ASSERT_FALSE(verdict.refusals.empty());
    EXPECT_NE(verdict.refusals.front().find(row.refusalPart), std::string::npos) << verdict.refusals.front();
    return;
  }
  ASSERT_TRUE(verdict.plan) << (verdict.refusals.empty() ? "" : verdict.refusals.front());
  std::vector<std::vector<int>> steps;
  for (const Step& step : verdict.plan->steps) {
    steps.emplace_back();
    for (const auto& request : step) steps.back().push_back(static_cast<int>(orvell::ToHostOrder(request.oldIp) & 0xFF));
  }
  EXPECT_EQ(steps, row.stepIps);
}

INSTANTIATE_TEST_SUITE_P(
    Planner, PlanRows,
    testing::Values(PlanRow{"NewSubnetOneStep", {10, 11, 12}, {{0, 110}, {1, 111}, {2, 112}}, "", {{10, 11, 12}}},
                    // .11 must leave before .10 takes it, .12 before .11: three steps.
                    PlanRow{"ChainOrdered", {10, 11, 12}, {{0, 11}, {1, 12}, {2, 13}}, "", {{12}, {11}, {10}}},
                    PlanRow{"SwapIsACycle", {10, 11}, {{0, 11}, {1, 10}}, "互相交换地址", {}},
                    PlanRow{"SwapIsACycleInEnglish",
                            {10, 11},
                            {{0, 11}, {1, 10}},
                            "swap addresses with one another and cannot be changed one after another: "
                            "00:1A:4B:00:00:00, 00:1A:4B:00:00:01",
                            {},
                            kestrum::Language::kEnglish},
                    PlanRow{"BroadcastAddressInEnglish",
                            {10},
                            {{0, 255}},
                            "Card 00:1A:4B:00:00:00: IP address 192.168.1.255",
                            {},
                            kestrum::Language::kEnglish},
                    PlanRow{"SameNewIp", {10, 11}, {{0, 20}, {1, 20}}, "同一个 IP 地址 192.168.1.20", {}},
                    PlanRow{"IpOfACardOutsideThePlan", {10, 11}, {{0, 11}}, "计划外的卡 00:1A:4B:00:00:01", {}},
                    PlanRow{"CardOutsideMovesInThePlan", {10, 11}, {{0, 11}, {1, 30}}, "", {{11}, {10}}},
                    PlanRow{"SharedAddressNewIps", {10, 10}, {{0, 20}, {1, 21}}, "同一当前地址", {}},
                    PlanRow{"SharedAddressOneServerChange", {10, 10}, {{0, 0, 9000}, {1, 0, 9000}}, "", {{10}}},
                    PlanRow{"SharedWithACardOutside", {10, 10}, {{0, 0, 9000}}, "计划外的卡", {}},
                    PlanRow{"BroadcastAddress", {10}, {{0, 255}}, "广播地址", {}},
                    PlanRow{"CardNotListed", {10}, {{5, 20}}, "不在上次搜索的列表中", {}},
                    PlanRow{"CardTwice", {10}, {{0, 20}, {0, 21}}, "出现了两次", {}},
                    PlanRow{"AlreadyAtValuesSendsNothing", {10, 11}, {{0, 10}, {1, 0}}, "", {}}),
    [](const testing::TestParamInfo<PlanRow>& row) { return std::string(row.param.name); });

// The emulated cards take each request as a card does: every card with the
// named addresses, at once. A plan sent in the wrong order would give two
// cards one address, and the search would show it.
BatchNetwork Emulated(cardsim::CardResponder& cards, std::size_t& requestsSent) {
  return {[&cards] { return cards.Cards(); },
          [&cards, &requestsSent](std::span<const orvell::parameter::ParameterChange> step) {
            for (const auto& change : step) {
              const auto request = orvell::parameter::BuildRequest(change);
              cards.Handle(request.data(), request.size());
              ++requestsSent;
            }
          }};
}

TEST(RunPlan, ChainEndsConfirmedAndASecondRunFindsEveryCardAtItsValues) {
  const auto listed = Cards({10, 11, 12, 40});
  cardsim::CardResponder cards(listed, 0);
  cards.IgnoreChangesOf({MacOf(3)});
  std::size_t sent = 0;
  const auto entries = Entries({{0, 11}, {1, 12}, {2, 13}, {3, 41}});
  const PlanVerdict verdict = MakePlan(listed, entries, kestrum::Language::kChinese);
  ASSERT_TRUE(verdict.plan);
  const auto results = RunPlan(*verdict.plan, Emulated(cards, sent));
  std::vector<Outcome> outcomes;
  for (const CardResult& result : results) outcomes.push_back(result.outcome);
  EXPECT_EQ(outcomes, (std::vector<Outcome>{Outcome::kConfirmed, Outcome::kConfirmed, Outcome::kConfirmed,
                                            Outcome::kNotChanged}));

  const PlanVerdict again =
      MakePlan(cards.Cards(), std::vector<PlanEntry>(entries.begin(), entries.end() - 1), kestrum::Language::kChinese);
  ASSERT_TRUE(again.plan);
  sent = 0;
  for (const CardResult& result : RunPlan(*again.plan, Emulated(cards, sent)))
    EXPECT_EQ(result.outcome, Outcome::kAlreadyAtValues);
  EXPECT_EQ(sent, 0u);
}

TEST(PlanCsv, ReadsTheSearchExportBackAndRefusesBadFiles) {
  auto listed = Cards({10, 11});
  rec::SetServerIp(listed[1], Address(200));
  std::vector<std::vector<std::string>> rows;
  for (std::size_t i = 0; i < listed.size(); ++i) rows.push_back(kestrum::card_text::CardFields(listed[i], i + 1));
  // The export with its byte-order mark and columns a plan ignores.
  const std::string exported = kestrum::card_text::CsvTable(kestrum::card_text::kCardColumns, rows, true);
  const PlanFile file = ReadPlanCsv(exported);
  ASSERT_EQ(file.error, "");
  ASSERT_EQ(file.entries.size(), 2u);
  EXPECT_EQ(file.entries[1].mac, MacOf(1));
  EXPECT_EQ(file.entries[1].serverIp, Address(200));
  EXPECT_EQ(file.entries[0].ip, Address(10));
  const PlanVerdict verdict = MakePlan(listed, file.entries, kestrum::Language::kChinese);
  ASSERT_TRUE(verdict.plan);
  EXPECT_TRUE(verdict.plan->steps.empty());  // the export is every card as it is

  EXPECT_EQ(ReadPlanCsv("mac,ip\r\n00:1A:4B:00:00:00,\r\n").entries[0].ip, std::nullopt);  // empty cell keeps
  EXPECT_EQ(ReadPlanCsv("mac,ip\r\n00:1A:4B:00:00:00,10.0.0.300\r\n").error, "line 2: '10.0.0.300' is not a valid ip");
  EXPECT_NE(ReadPlanCsv("mac\n00:1A:4B:00:00:00\n00:1a:4b:00:00:00\n").error.find("line 3"), std::string::npos);
  EXPECT_NE(ReadPlanCsv("mac,ip\n\xC0\xAF,1.2.3.4\n").error.find("UTF-8"), std::string::npos);
  EXPECT_NE(ReadPlanCsv("ip;mask\n1.2.3.4;255.0.0.0\n").error.find("no mac column"), std::string::npos);
  std::string huge = "mac\n";
  for (int i = 0; i < 10000; ++i) huge += "00:1A:4B:00:00:00\n";
  EXPECT_NE(ReadPlanCsv(huge).error.find("too many rows"), std::string::npos);
}

}  // namespace
