#include "batch_commands.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "address_text.h"
#include "argument_cursor.h"
#include "batch_history.h"
#include "card_texts.h"
#include "history_file.h"
#include "orvell_network.h"
#include "output_language.h"
#include "plan_csv.h"
#include "set_command.h"

namespace kestrum::cli {
namespace {

namespace rec = orvell::record;
using namespace kestrum::batch;
using command_line::ArgumentCursor;
using command_line::ParseDecimal;
using command_line::ParseIpv4;

constexpr char kPlanUsage[] =
    "usage: kestrum-cli plan [--ip-from A.B.C.D] [--mask M] [--gateway G] [--server-ip S] [--server-port P]\n"
    "                        [--heartbeat H] [--cards MAC,...]\n"
    "       kestrum-cli apply PLAN.csv [--dry-run] [--yes] [--format table|csv|json]\n"
    "       kestrum-cli restore CARD-MAC [--yes] | restore --batch ID [--yes]\n";

int BadUsage(const std::string& what) {
  std::fprintf(stderr, "kestrum-cli: %s\n%s", what.c_str(), kPlanUsage);
  return kBadUsage;
}

std::vector<ControlRecord> Search() { return SearchCards().cards; }

std::string Values(const NetworkValues& values) {
  return card_text::Address(values.ip) + " " + card_text::Address(values.mask) + " " +
         card_text::Address(values.gateway) + " " + card_text::Address(values.serverIp) + ":" +
         std::to_string(values.serverPort) + " " + std::to_string(values.heartbeat);
}

void PrintPreview(const Plan& plan) {
  for (const PlannedCard& card : plan.cards)
    std::fprintf(stderr, "  %s  %s  ->  %s%s\n", card_text::Mac(rec::MacAddress(card.before)).c_str(),
                 Values(ValuesOf(card.before)).c_str(), Values(card.after).c_str(),
                 card.unchanged() ? "  (already at these values)" : "");
  for (const PlannedCard& card : plan.cards)
    for (const std::string& warning : card.warnings) std::fprintf(stderr, "kestrum-cli: warning: %s\n", warning.c_str());
  for (const std::string& note : plan.notes) std::fprintf(stderr, "kestrum-cli: %s\n", note.c_str());
}

void PrintResults(const std::vector<CardResult>& results, const std::string& format) {
  if (format == "csv") std::printf("mac,outcome,ip,mask,gateway,serverIp,serverPort,heartbeat\r\n");
  if (format == "json") std::printf("[");
  for (std::size_t i = 0; i < results.size(); ++i) {
    const CardResult& result = results[i];
    const std::string mac = card_text::Mac(rec::MacAddress(result.card.before));
    const std::string outcome = Text(OutcomeText(result.outcome), OutputLanguage());
    const NetworkValues found = result.found ? ValuesOf(*result.found) : NetworkValues{};
    if (format == "csv") {
      std::printf("%s,%s,%s,%s,%s,%s,%u,%u\r\n", mac.c_str(), outcome.c_str(), card_text::Address(found.ip).c_str(),
                  card_text::Address(found.mask).c_str(), card_text::Address(found.gateway).c_str(),
                  card_text::Address(found.serverIp).c_str(), unsigned{found.serverPort}, unsigned{found.heartbeat});
    } else if (format == "json") {
      std::printf("%s{\"mac\":\"%s\",\"outcome\":\"%s\",\"outcomeCode\":\"%s\",\"found\":%s}", i ? "," : "",
                  mac.c_str(), outcome.c_str(), Code(OutcomeText(result.outcome)),
                  result.found ? ("\"" + Values(found) + "\"").c_str() : "null");
    } else {
      std::printf("%s  %s  %s\n", mac.c_str(), outcome.c_str(), result.found ? Values(found).c_str() : "");
    }
  }
  if (format == "json") std::printf("]\n");
}

void Record(const std::vector<CardResult>& results, const Plan& plan) {
  const std::string id = NewBatchId();
  const std::string file = history::DefaultHistoryFile();
  for (const history::HistoryEntry& entry : BatchEntries(history::kProgramCli, id, results, plan.notes)) {
    const std::string error = history::AppendEntry(file, entry);
    if (!error.empty()) std::fprintf(stderr, "kestrum-cli: %s is not in the history: %s\n", entry.mac.c_str(), error.c_str());
  }
  std::fprintf(stderr, "kestrum-cli: batch %s\n", id.c_str());
}

// Checks, previews, asks, sends, verifies, records and reports.
int Carry(const std::vector<ControlRecord>& listed, const std::vector<PlanEntry>& entries, bool dryRun, bool yes,
          const std::string& format) {
  const PlanVerdict verdict = MakePlan(listed, entries, OutputLanguage());
  if (!verdict.plan) {
    for (const std::string& refusal : verdict.refusals) std::fprintf(stderr, "kestrum-cli: refused: %s\n", refusal.c_str());
    return kRefused;
  }
  PrintPreview(*verdict.plan);
  if (dryRun) return kChanged;
  std::size_t toChange = 0;
  for (const PlannedCard& card : verdict.plan->cards) if (!card.unchanged()) ++toChange;
  if (toChange > 0)
    if (const auto stop = Confirm(std::to_string(toChange) + " cards", yes)) return *stop;
  const std::vector<CardResult> results = RunPlan(*verdict.plan, OrvellNetwork(&Search));
  if (toChange > 0) Record(results, *verdict.plan);
  PrintResults(results, format);
  return AllAtPlannedValues(results) ? kChanged : kNotChanged;
}

int RunPlanCommand(ArgumentCursor& cursor) {
  std::optional<std::uint32_t> ipFrom;
  PlanEntry common;
  std::vector<rec::Mac> chosen;
  while (!cursor.Done()) {
    const std::string name = cursor.Take();
    const auto value = cursor.TakeValue();
    if (!value) return BadUsage(name + " needs a value");
    bool ok = true;
    if (name == "--ip-from") ok = (ipFrom = ParseIpv4(*value)).has_value();
    else if (name == "--mask") ok = (common.mask = ParseIpv4(*value)).has_value();
    else if (name == "--gateway") ok = (common.gateway = ParseIpv4(*value)).has_value();
    else if (name == "--server-ip") ok = (common.serverIp = ParseIpv4(*value)).has_value();
    else if (name == "--server-port") ok = (common.serverPort = ParseDecimal<std::uint16_t>(*value, 0xFFFF)).has_value();
    else if (name == "--heartbeat") ok = (common.heartbeat = ParseDecimal<std::uint8_t>(*value, 0xFF)).has_value();
    else if (name == "--cards") {
      std::stringstream list(*value);
      for (std::string mac; std::getline(list, mac, ',');) {
        const auto parsed = command_line::ParseMac(mac);
        if (!parsed) return BadUsage("'" + mac + "' is not a MAC address");
        chosen.push_back(*parsed);
      }
    } else {
      return BadUsage("unknown option '" + name + "'");
    }
    if (!ok) return BadUsage(name + " needs a valid value, not '" + *value + "'");
  }
  const std::vector<ControlRecord> listed = Search();
  std::vector<std::size_t> indices;
  for (std::size_t i = 0; i < listed.size(); ++i)
    if (chosen.empty() || std::find(chosen.begin(), chosen.end(), rec::MacAddress(listed[i])) != chosen.end())
      indices.push_back(i);
  const auto addresses = ipFrom ? CountUpAddresses(listed, indices, *ipFrom) : std::vector<std::uint32_t>{};
  std::vector<PlanEntry> entries;
  for (std::size_t k = 0; k < indices.size(); ++k) {
    PlanEntry entry = common;
    entry.mac = rec::MacAddress(listed[indices[k]]);
    if (ipFrom) entry.ip = addresses[k];
    entries.push_back(entry);
  }
  const PlanVerdict verdict = MakePlan(listed, entries, OutputLanguage());
  if (!verdict.plan) {
    for (const std::string& refusal : verdict.refusals) std::fprintf(stderr, "kestrum-cli: refused: %s\n", refusal.c_str());
    return kRefused;
  }
  std::fputs(PlanCsv(verdict.plan->cards, true).c_str(), stdout);
  return verdict.plan->cards.empty() ? kNotChanged : kChanged;
}

int RunApply(ArgumentCursor& cursor) {
  std::string file, format = "table";
  bool dryRun = false, yes = false;
  while (!cursor.Done()) {
    const std::string word = cursor.Take();
    if (word == "--dry-run") dryRun = true;
    else if (word == "--yes") yes = true;
    else if (word == "--format") {
      const auto value = cursor.TakeValue();
      if (!value || (*value != "table" && *value != "csv" && *value != "json")) return BadUsage("--format needs table, csv or json");
      format = *value;
    } else if (file.empty() && !word.starts_with("--")) file = word;
    else return BadUsage("unexpected '" + word + "'");
  }
  if (file.empty()) return BadUsage("apply needs a plan file");
  std::ifstream in(file, std::ios::binary);
  if (!in) return BadUsage("cannot read " + file);
  std::ostringstream text;
  text << in.rdbuf();
  const PlanFile plan = ReadPlanCsv(text.str());
  if (!plan.error.empty()) {
    std::fprintf(stderr, "kestrum-cli: %s: %s; nothing sent\n", file.c_str(), plan.error.c_str());
    return kRefused;
  }
  const std::vector<ControlRecord> listed = Search();
  for (std::size_t i = 0; i < plan.entries.size(); ++i) {
    const rec::Mac mac = plan.entries[i].mac;
    if (std::none_of(listed.begin(), listed.end(), [&](const ControlRecord& card) { return rec::MacAddress(card) == mac; })) {
      std::fprintf(stderr, "kestrum-cli: %s: line %zu: no card %s answered the search; nothing sent\n", file.c_str(),
                   plan.lines[i], card_text::Mac(mac).c_str());
      return kRefused;
    }
  }
  return Carry(listed, plan.entries, dryRun, yes, format);
}

int RunRestore(ArgumentCursor& cursor) {
  UndoChoice choice;
  bool yes = false;
  while (!cursor.Done()) {
    const std::string word = cursor.Take();
    if (word == "--yes") yes = true;
    else if (word == "--batch") {
      const auto value = cursor.TakeValue();
      if (!value || value->empty()) return BadUsage("--batch needs an id");
      choice.batch = *value;
    } else if (choice.mac.empty() && command_line::ParseMac(word)) choice.mac = card_text::Mac(*command_line::ParseMac(word));
    else return BadUsage("unexpected '" + word + "'");
  }
  if (choice.mac.empty() == choice.batch.empty()) return BadUsage("restore needs a card's MAC or --batch ID");
  const history::HistoryRead read = history::ReadHistory(history::DefaultHistoryFile());
  if (!read.error.empty()) {
    std::fprintf(stderr, "kestrum-cli: the history cannot be read: %s\n", read.error.c_str());
    return kNotChanged;
  }
  const std::vector<ControlRecord> listed = Search();
  const RestorePlan restore = PlanRestore(read.entries, choice, listed, OutputLanguage());
  if (!restore.refusals.empty()) {
    for (const std::string& refusal : restore.refusals) std::fprintf(stderr, "kestrum-cli: refused: %s\n", refusal.c_str());
    return kRefused;
  }
  return Carry(listed, restore.entries, false, yes, "table");
}

}  // namespace

std::optional<int> RunBatchCommand(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return std::nullopt;
  ArgumentCursor cursor(arguments);
  const std::string command = cursor.Take();
  const bool isBatchCommand = command == "plan" || command == "apply" || command == "restore";
  if (isBatchCommand && arguments.size() == 2 && (arguments[1] == "--help" || arguments[1] == "-h")) {
    std::fputs(kPlanUsage, stdout);
    return 0;
  }
  if (command == "plan") return RunPlanCommand(cursor);
  if (command == "apply") return RunApply(cursor);
  if (command == "restore") return RunRestore(cursor);
  return std::nullopt;
}

}  // namespace kestrum::cli
