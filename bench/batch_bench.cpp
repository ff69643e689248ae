// A plan over 255 emulated cards on two LANs, sent and verified through the
// real Orvell and pindle: every card to a new subnet and a new server, then
// back again, 20 plans in all; each plan's wall time from the check to the
// last card decided, against the floor of one listening time and one search
// (0.5 s + 0.6 s). Then the same 255 changes made one by one, one request
// and its listening time each, as a technician would without a plan, and one
// search to see them. The program's peak memory last.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "address_text.h"
#include "batch_plan.h"
#include "batch_run.h"
#include "byte_order.h"
#include "card_texts.h"
#include "lan.h"
#include "orvell.h"
#include "orvell_network.h"
#include "private_network_guard.h"

namespace {

namespace rec = orvell::record;
using namespace kestrum::batch;
using Clock = std::chrono::steady_clock;

constexpr int kRuns = 20;
constexpr std::size_t kCards = 255;
constexpr std::size_t kCardsOnFirstLan = 128;
constexpr double kFloorMs = 500.0 + 600.0;  // one listening time after the requests, one search
constexpr double kTargetMs = 1500.0;
constexpr long kMostResidentKiB = 16 * 1024;  // the search's own bound

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::vector<ControlRecord> Search() {
  std::vector<ControlRecord> table(256);
  const std::int32_t found = std::clamp(GetControlList(table.data(), 256), 0, 256);
  table.resize(static_cast<std::size_t>(found));
  return table;
}

std::uint32_t Address(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  return orvell::ToNetworkOrder(a << 24 | b << 16 | c << 8 | d);
}

// A card's values in one of two layouts: on LAN n at 10.n.0.h with server
// 10.0.0.200:9500, or at 192.168.n.h with server 192.168.1.200:9600; the
// host part h stays. Each plan moves every card from one layout to the other.
NetworkValues InOtherLayout(const ControlRecord& card) {
  const std::uint32_t ip = orvell::ToHostOrder(rec::Ip(card));
  const bool inTen = (ip >> 24) == 10;
  const std::uint32_t lan = inTen ? (ip >> 16 & 0xFF) : (ip >> 8 & 0xFF), host = ip & 0xFF;
  NetworkValues values = ValuesOf(card);
  values.ip = inTen ? Address(192, 168, lan, host) : Address(10, lan, 0, host);
  values.gateway = inTen ? Address(192, 168, lan, 1) : Address(10, lan, 0, 1);
  values.serverIp = inTen ? Address(192, 168, 1, 200) : Address(10, 0, 0, 200);
  values.serverPort = inTen ? 9600 : 9500;
  return values;
}

std::vector<PlanEntry> EveryCardMoved(const std::vector<ControlRecord>& listed) {
  std::vector<PlanEntry> entries;
  for (const ControlRecord& card : listed) {
    const NetworkValues after = InOtherLayout(card);
    entries.push_back({rec::MacAddress(card), after.ip, after.mask, after.gateway, after.serverIp, after.serverPort,
                       after.heartbeat});
  }
  return entries;
}

struct PlanRun {
  double planMs = 0;   // the checks and the order
  double totalMs = 0;  // the checks, the sending and the verifying search
  std::size_t confirmed = 0;
  std::size_t steps = 0;
};

PlanRun RunOnePlan() {
  const std::vector<ControlRecord> listed = Search();
  const std::vector<PlanEntry> entries = EveryCardMoved(listed);
  PlanRun run;
  const auto start = Clock::now();
  const PlanVerdict verdict = MakePlan(listed, entries, kestrum::Language::kEnglish);
  run.planMs = MillisecondsSince(start);
  if (!verdict.plan) {
    for (const std::string& refusal : verdict.refusals) std::fprintf(stderr, "refused: %s\n", refusal.c_str());
    return run;
  }
  const std::vector<CardResult> results = RunPlan(*verdict.plan, OrvellNetwork(&Search));
  run.totalMs = MillisecondsSince(start);
  run.steps = verdict.plan->steps.size();
  run.confirmed = static_cast<std::size_t>(std::count_if(
      results.begin(), results.end(), [](const CardResult& result) { return result.outcome == Outcome::kConfirmed; }));
  return run;
}

struct OneByOne {
  double totalMs = 0;
  std::size_t confirmed = 0;  // as each request's confirmation said
  std::size_t verified = 0;   // as the search afterwards found them
};

// Each card's change through the single change's call, one after another,
// then one search.
OneByOne ChangeOneByOne() {
  const std::vector<ControlRecord> listed = Search();
  std::vector<NetworkValues> planned;
  OneByOne figures;
  const auto start = Clock::now();
  for (const ControlRecord& card : listed) {
    const NetworkValues after = InOtherLayout(card);
    planned.push_back(after);
    const std::string server = kestrum::card_text::Address(after.serverIp);
    figures.confirmed += static_cast<std::size_t>(
        ConfigControlPara(rec::Ip(card), rec::Gateway(card), rec::Mask(card), nullptr, after.ip, after.gateway,
                          after.mask, nullptr, server.c_str(), after.serverPort, after.heartbeat) == 1);
  }
  const std::vector<ControlRecord> found = Search();
  figures.totalMs = MillisecondsSince(start);
  for (std::size_t i = 0; i < listed.size(); ++i)
    figures.verified += static_cast<std::size_t>(std::any_of(found.begin(), found.end(), [&](const ControlRecord& c) {
      return rec::MacAddress(c) == rec::MacAddress(listed[i]) && ValuesOf(c) == planned[i];
    }));
  return figures;
}

long PeakResidentKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  kestrum::RequirePrivateNetwork(argv[0]);
  const bool oneByOne = !(argc > 1 && std::string(argv[1]) == "--plans-only");
  const auto lans = kestrum::lan::Lans();
  if (lans.size() != 2) {
    std::fprintf(stderr, "batch_bench: needs the harness's two LANs (private-lan.sh --lans 2)\n");
    return 2;
  }
  kestrum::lan::CardSim first(lans[0].ns, {"--count", std::to_string(kCardsOnFirstLan), "--base-ip", "192.168.1.10"});
  kestrum::lan::CardSim second(lans[1].ns,
                               {"--count", std::to_string(kCards - kCardsOnFirstLan), "--base-ip", "192.168.2.10"});
  if (Search().size() != kCards) {
    std::fprintf(stderr, "batch_bench: the search does not find the %zu cards\n", kCards);
    return 2;
  }
  const long peakAfterSearch = PeakResidentKiB();

  std::vector<double> totals, plans;
  std::size_t runsAllConfirmed = 0, fewestConfirmed = kCards, mostSteps = 0;
  for (int i = 0; i < kRuns; ++i) {
    const PlanRun run = RunOnePlan();
    totals.push_back(run.totalMs);
    plans.push_back(run.planMs);
    if (run.confirmed == kCards) ++runsAllConfirmed;
    fewestConfirmed = std::min(fewestConfirmed, run.confirmed);
    mostSteps = std::max(mostSteps, run.steps);
  }
  const double median = Median(totals);
  const long peak = PeakResidentKiB();
  std::printf("plan over %zu cards on two LANs (new subnet, new server), %d plans, first cold:\n", kCards, kRuns);
  std::printf("  wall time min %.0f ms, median %.0f ms, max %.0f ms; floor %.0f ms (median %.2f x floor)\n",
              *std::min_element(totals.begin(), totals.end()), median, *std::max_element(totals.begin(), totals.end()),
              kFloorMs, median / kFloorMs);
  std::printf("  of which checking and ordering: median %.2f ms, max %.2f ms; steps %zu\n", Median(plans),
              *std::max_element(plans.begin(), plans.end()), mostSteps);
  std::printf("  all %zu confirmed in %zu of %d plans, fewest %zu\n", kCards, runsAllConfirmed, kRuns, fewestConfirmed);
  std::printf("  peak resident memory: %ld KiB (%ld KiB after the first search, before any plan)\n", peak,
              peakAfterSearch);

  if (oneByOne) {
    const OneByOne single = ChangeOneByOne();
    std::printf("the same %zu changes one by one (one request and its listening time each), then one search:\n"
                "  wall time %.1f s (%.1f x the plan's median); %zu confirmed, %zu found with their values\n",
                kCards, single.totalMs / 1000, single.totalMs / median, single.confirmed, single.verified);
  }

  const bool met = runsAllConfirmed == static_cast<std::size_t>(kRuns) && median <= kTargetMs &&
                   peak < kMostResidentKiB;
  std::printf("targets (all %zu confirmed in every plan, median within %.0f ms, peak memory under 16 MiB): %s\n",
              kCards, kTargetMs, met ? "met" : "MISSED");
  return met ? 0 : 1;
}
