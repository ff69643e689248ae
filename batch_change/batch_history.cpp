#include "batch_history.h"

#include <algorithm>
#include <map>
#include <cstdio>
#include <random>

#include "address_text.h"
#include "card_texts.h"
#include "local_time.h"

namespace kestrum::batch {
namespace {

namespace rec = orvell::record;
using command_line::ParseIpv4;

// Values written by this program's own history; nothing for any that a
// damaged or edited entry holds.
std::optional<NetworkValues> FromHistory(const history::CardValues& values) {
  const auto ip = ParseIpv4(values.ip), mask = ParseIpv4(values.mask), gateway = ParseIpv4(values.gateway),
             server = ParseIpv4(values.serverIp);
  if (!ip || !mask || !gateway || !server) return std::nullopt;
  return NetworkValues{*ip, *mask, *gateway, *server, values.serverPort, values.heartbeat};
}

history::CardValues ToHistory(const NetworkValues& values) {
  return {card_text::Address(values.ip),       card_text::Address(values.mask), card_text::Address(values.gateway),
          card_text::Address(values.serverIp), values.serverPort,               values.heartbeat};
}

std::string Describe(const NetworkValues& values, Language language) {
  constexpr BilingualText kMask{", 掩码 ", ", mask "}, kGateway{", 网关 ", ", gateway "},
      kServer{", 服务器 ", ", server "}, kHeartbeat{", 心跳 ", ", heartbeat "};
  return "IP " + card_text::Address(values.ip) + kMask.In(language) + card_text::Address(values.mask) +
         kGateway.In(language) + card_text::Address(values.gateway) + kServer.In(language) +
         card_text::Address(values.serverIp) + ":" + std::to_string(values.serverPort) + kHeartbeat.In(language) +
         std::to_string(values.heartbeat);
}

// The last confirmed change of each chosen card, oldest card first.
std::vector<const history::HistoryEntry*> ChangesToUndo(std::span<const history::HistoryEntry> history,
                                                        const UndoChoice& choice) {
  std::vector<const history::HistoryEntry*> chosen;
  std::map<std::string, std::size_t> byMac;
  for (const history::HistoryEntry& entry : history) {
    if (!entry.confirmed) continue;
    const bool wanted = choice.batch.empty() ? entry.mac == choice.mac : entry.batch == choice.batch;
    if (!wanted) continue;
    const auto known = byMac.find(entry.mac);
    if (known == byMac.end()) {
      byMac[entry.mac] = chosen.size();
      chosen.push_back(&entry);
    } else {
      chosen[known->second] = &entry;
    }
  }
  return chosen;
}

}  // namespace

std::string NewBatchId() {
  std::random_device random;
  const std::uint32_t part = random();
  char hex[9];
  std::snprintf(hex, sizeof hex, "%08x", part);
  std::string time = history::LocalTimeNow().substr(0, 19);  // 2026-12-10T05:01:02
  std::erase(time, ':');
  std::erase(time, '-');
  return time + "-" + hex;
}

std::vector<history::HistoryEntry> BatchEntries(const char* program, const std::string& batchId,
                                                std::span<const CardResult> results,
                                                std::span<const std::string> planNotes) {
  std::vector<history::HistoryEntry> entries;
  const std::string time = history::LocalTimeNow();
  for (const CardResult& result : results) {
    if (result.card.unchanged()) continue;  // nothing was sent to it
    std::vector<std::string> warnings(planNotes.begin(), planNotes.end());
    warnings.insert(warnings.end(), result.card.warnings.begin(), result.card.warnings.end());
    history::HistoryEntry entry;
    entry.time = time;
    entry.program = program;
    entry.mac = card_text::Mac(rec::MacAddress(result.card.before));
    entry.before = history::ValuesOf(result.card.before);
    entry.sent = ToHistory(result.card.after);
    entry.confirmed = result.outcome == Outcome::kConfirmed;
    entry.warnings = std::move(warnings);
    entry.batch = batchId;
    entries.push_back(std::move(entry));
  }
  return entries;
}

RestorePlan PlanRestore(std::span<const history::HistoryEntry> history, const UndoChoice& choice,
                        std::span<const ControlRecord> listed, Language language) {
  RestorePlan restore;
  const auto changes = ChangesToUndo(history, choice);
  if (changes.empty()) {
    restore.refusals.push_back(
        Text(PlanText::kNoChangeToUndo, language, {choice.batch.empty() ? choice.mac : choice.batch}));
    return restore;
  }
  for (const history::HistoryEntry* change : changes) {
    const auto mac = command_line::ParseMac(change->mac);
    const auto before = FromHistory(change->before), sent = FromHistory(change->sent);
    if (!mac || !before || !sent) {
      restore.refusals.push_back(Text(PlanText::kNoChangeToUndo, language, {change->mac}));
      continue;
    }
    const auto card = std::find_if(listed.begin(), listed.end(),
                                   [&](const ControlRecord& seen) { return rec::MacAddress(seen) == *mac; });
    if (card == listed.end()) {
      restore.refusals.push_back(Text(PlanText::kCardNotListed, language, {change->mac}));
      continue;
    }
    if (ValuesOf(*card) != *sent) {
      restore.refusals.push_back(Text(PlanText::kChangedSince, language,
                                      {change->mac, Describe(*sent, language), Describe(ValuesOf(*card), language)}));
      continue;
    }
    restore.entries.push_back(
        {*mac, before->ip, before->mask, before->gateway, before->serverIp, before->serverPort, before->heartbeat});
  }
  if (!restore.refusals.empty()) restore.entries.clear();
  return restore;
}

}  // namespace kestrum::batch
