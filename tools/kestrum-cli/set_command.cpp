#include "set_command.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <io.h>
#define KESTRUM_ISATTY(fd) _isatty(fd)
#else
#include <unistd.h>
#define KESTRUM_ISATTY(fd) isatty(fd)
#endif

#include "card_choice.h"
#include "card_listing.h"
#include "card_search.h"
#include "card_texts.h"
#include "change_checks.h"
#include "history_file.h"
#include "orvell.h"
#include "output_language.h"
#include "record_change.h"

namespace kestrum::cli {
namespace {

namespace rec = orvell::record;

// The change as it is sent: the card's current addresses, the values given,
// the rest the card's own.
orvell::parameter::ParameterChange ChangeOf(const ControlRecord& card, const SetArguments& set) {
  return {rec::Ip(card),
          rec::Gateway(card),
          rec::Mask(card),
          set.ip.value_or(rec::Ip(card)),
          set.gateway.value_or(rec::Gateway(card)),
          set.mask.value_or(rec::Mask(card)),
          set.server.value_or(rec::ServerIp(card)),
          set.port.value_or(rec::ServerPort(card)),
          set.heartbeat.value_or(rec::Heartbeat(card))};
}

CardAddresses Current(const orvell::parameter::ParameterChange& change) {
  return {change.oldIp, change.oldGateway, change.oldMask};
}

CardAddresses Requested(const orvell::parameter::ParameterChange& change) {
  return {change.newIp, change.newGateway, change.newMask};
}

std::string Describe(const std::string& mac, const orvell::parameter::ParameterChange& change) {
  return "card " + mac + " to IP " + card_text::Address(change.newIp) + ", mask " +
         card_text::Address(change.newMask) + ", gateway " + card_text::Address(change.newGateway) + ", server " +
         card_text::Address(change.serverIp) + ":" + std::to_string(change.serverPort) + ", heartbeat " +
         std::to_string(change.heartbeat);
}

// A choice that names several cards would change whichever answered first.
std::optional<int> RefuseAmbiguous(const std::vector<ControlRecord>& named, const CardChoice& choice) {
  if (named.size() < 2) return std::nullopt;
  std::fprintf(stderr,
               "kestrum-cli: refused: %zu cards answer with %s %s; name one by its MAC, or, where they share that "
               "too, connect one card at a time:\n",
               named.size(), choice.ip ? "IP" : "MAC", choice.text.c_str());
  std::fputs(CardListing(named, Listing{}).c_str(), stderr);
  return kRefused;
}

// The window's checks; returns the exit status when they stop the change,
// else leaves the warnings told in `warnings`. A search that may have missed
// cards cannot tell that none of those shares the card's addresses.
std::optional<int> Check(const FoundCards& listed, const orvell::parameter::ParameterChange& change,
                         bool allSharing, std::vector<std::string>& warnings) {
  const CardAddresses current = Current(change);
  const CardAddresses requested = Requested(change);
  const ChangeVerdict verdict = CheckChange(listed.cards, current, requested);
  if (verdict.refusal) {
    std::fprintf(stderr, "kestrum-cli: refused: %s\n", RefusalText(*verdict.refusal, requested, OutputLanguage()).c_str());
    return kRefused;
  }
  for (const ChangeWarning& warning : verdict.warnings) {
    warnings.push_back(WarningText(warning, current, requested, OutputLanguage()));
    std::fprintf(stderr, "kestrum-cli: warning: %s\n", warnings.back().c_str());
    if (warning.kind == ChangeWarning::Kind::kSharedAddress && !allSharing) {
      std::fprintf(stderr,
                   "kestrum-cli: refused: %zu cards answer to %s and would all take this change; connect one card "
                   "at a time, or give --all-sharing to change them all\n",
                   warning.macs.size(), card_text::Address(current.ip).c_str());
      return kRefused;
    }
  }
  if (listed.mayBeCut && !allSharing) {
    std::fprintf(stderr,
                 "kestrum-cli: refused: cards the search missed may share %s's addresses and would take this change "
                 "too; connect fewer cards, or give --all-sharing to change it all the same\n",
                 card_text::Address(current.ip).c_str());
    return kRefused;
  }
  return std::nullopt;
}

// A history that cannot be written does not stop the change; it is told.
void Record(const ControlRecord& card, const orvell::parameter::ParameterChange& change, bool confirmed,
            std::vector<std::string> warnings) {
  const std::string file = history::DefaultHistoryFile();
  const std::string error = history::AppendEntry(
      file, history::ChangeSentNow(history::kProgramCli, card, change, confirmed, std::move(warnings)));
  if (!error.empty())
    std::fprintf(stderr, "kestrum-cli: the change is not recorded: %s\n", error.c_str());
}

// Searches for the card the change was sent to, as it is once it took the
// change: another card with its MAC is not it.
int ReportResult(const ControlRecord& changed, const Listing& listing) {
  const std::vector<ControlRecord> after = SearchCards().cards;
  const std::string mac = card_text::Mac(rec::MacAddress(changed));
  if (std::none_of(after.begin(), after.end(), [&](const ControlRecord& seen) { return SameCard(seen, changed); })) {
    const auto sameMac = CardsNamed(after, CardChoice{std::nullopt, rec::MacAddress(changed), mac});
    std::fprintf(stderr, "kestrum-cli: the card confirmed, but a new search %s\n",
                 sameMac.empty() ? "does not find it" : "finds its MAC only with other values");
    if (!sameMac.empty()) std::fputs(CardListing(sameMac, listing).c_str(), stdout);
    return kNotChanged;
  }
  std::fputs(CardListing({&changed, 1}, listing).c_str(), stdout);
  std::fprintf(stderr, "kestrum-cli: changed %s; it answers with the new values\n", mac.c_str());
  return kChanged;
}

}  // namespace

std::optional<int> Confirm(const std::string& description, bool yes) {
  if (yes) return std::nullopt;
  if (!KESTRUM_ISATTY(0)) {
    std::fprintf(stderr, "kestrum-cli: not asking without a terminal: give --yes to change %s\n", description.c_str());
    return kBadUsage;
  }
  std::fprintf(stderr, "Change %s? [y/N] ", description.c_str());
  std::string answer;
  std::getline(std::cin, answer);
  if (answer == "y" || answer == "Y" || answer == "yes") return std::nullopt;
  std::fprintf(stderr, "kestrum-cli: not changed\n");
  return kNotChanged;
}

FoundCards SearchCards() {
  // The library takes one Collect's worth of datagrams from a search: room
  // for that many records holds every answer it can hand over.
  constexpr auto kMostAnswers = static_cast<std::int32_t>(orvell::kSearchCollectCapacity);
  std::vector<ControlRecord> answers(kMostAnswers);
  const std::int32_t found = std::clamp(GetControlList(answers.data(), kMostAnswers), 0, kMostAnswers);
  answers.resize(static_cast<std::size_t>(found));
  const bool mayBeCut = found == kMostAnswers;
  if (mayBeCut)
    std::fprintf(stderr,
                 "kestrum-cli: the list may be cut: one search hands over at most %d answers, and this one handed "
                 "over that many (kestrum-cli diagnose counts every datagram that arrives)\n",
                 kMostAnswers);
  return {DistinctCards(answers), mayBeCut};
}

int RunSet(const Command& command) {
  const SetArguments& set = command.set;
  const FoundCards before = SearchCards();
  const std::vector<ControlRecord> named = CardsNamed(before.cards, set.card);
  if (named.empty()) {
    std::fprintf(stderr, "kestrum-cli: no card answered with %s %s (%zu cards found)\n", set.card.ip ? "IP" : "MAC",
                 set.card.text.c_str(), before.cards.size());
    return kNotChanged;
  }
  if (const auto stop = RefuseAmbiguous(named, set.card)) return *stop;
  const ControlRecord& card = named.front();
  const std::string mac = card_text::Mac(rec::MacAddress(card));
  const orvell::parameter::ParameterChange change = ChangeOf(card, set);
  std::vector<std::string> warnings;
  if (const auto stop = Check(before, change, set.allSharing, warnings)) return *stop;
  if (const auto stop = Confirm(Describe(mac, change), set.yes)) return *stop;

  const std::string server = card_text::Address(change.serverIp);
  const std::int32_t confirmed =
      ConfigControlPara(change.oldIp, change.oldGateway, change.oldMask, mac.c_str(), change.newIp,
                        change.newGateway, change.newMask, mac.c_str(), server.c_str(), change.serverPort,
                        change.heartbeat);
  Record(card, change, confirmed == 1, std::move(warnings));
  if (confirmed != 1) {
    std::fprintf(stderr, "kestrum-cli: no card confirmed the change of %s\n", mac.c_str());
    return kNotChanged;
  }
  ControlRecord changed = card;
  orvell::parameter::ApplyToRecord(changed, change);
  return ReportResult(changed, command.listing);
}

}  // namespace kestrum::cli
