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

#include "card_listing.h"
#include "card_texts.h"
#include "change_checks.h"
#include "orvell.h"

namespace kestrum::cli {
namespace {

namespace rec = orvell::record;

const ControlRecord* Find(const std::vector<ControlRecord>& cards, const CardChoice& choice) {
  const auto at = std::find_if(cards.begin(), cards.end(), [&](const ControlRecord& card) {
    return choice.ip ? rec::Ip(card) == *choice.ip : rec::MacAddress(card) == *choice.mac;
  });
  return at == cards.end() ? nullptr : &*at;
}

// What the card has once it took the change: the values given, the rest its own.
struct Wanted {
  CardAddresses addresses;
  std::uint32_t server = 0;
  std::uint16_t port = 0;
  std::uint8_t heartbeat = 0;
};

Wanted WantedOf(const ControlRecord& card, const SetArguments& set) {
  return {
      {set.ip.value_or(rec::Ip(card)), set.gateway.value_or(rec::Gateway(card)), set.mask.value_or(rec::Mask(card))},
      set.server.value_or(rec::ServerIp(card)),
      set.port.value_or(rec::ServerPort(card)),
      set.heartbeat.value_or(rec::Heartbeat(card))};
}

bool Has(const ControlRecord& card, const Wanted& wanted) {
  return rec::Ip(card) == wanted.addresses.ip && rec::Gateway(card) == wanted.addresses.gateway &&
         rec::Mask(card) == wanted.addresses.mask && rec::ServerIp(card) == wanted.server &&
         rec::ServerPort(card) == wanted.port && rec::Heartbeat(card) == wanted.heartbeat;
}

std::string Describe(const std::string& mac, const Wanted& wanted) {
  return "card " + mac + " to IP " + card_text::Address(wanted.addresses.ip) + ", mask " +
         card_text::Address(wanted.addresses.mask) + ", gateway " + card_text::Address(wanted.addresses.gateway) +
         ", server " + card_text::Address(wanted.server) + ":" + std::to_string(wanted.port) + ", heartbeat " +
         std::to_string(wanted.heartbeat);
}

// The window's checks; returns the exit status when they stop the change.
std::optional<int> Check(const std::vector<ControlRecord>& listed, const CardAddresses& current, const Wanted& wanted,
                         bool allSharing) {
  const ChangeVerdict verdict = CheckChange(listed, current, wanted.addresses);
  if (verdict.refusal) {
    std::fprintf(stderr, "kestrum-cli: refused: %s\n", RefusalText(*verdict.refusal, wanted.addresses).c_str());
    return kRefused;
  }
  for (const ChangeWarning& warning : verdict.warnings) {
    std::fprintf(stderr, "kestrum-cli: warning: %s\n", WarningText(warning, current, wanted.addresses).c_str());
    if (warning.kind == ChangeWarning::Kind::kSharedAddress && !allSharing) {
      std::fprintf(stderr,
                   "kestrum-cli: refused: %zu cards answer to %s and would all take this change; connect one card "
                   "at a time, or give --all-sharing to change them all\n",
                   warning.macs.size(), card_text::Address(current.ip).c_str());
      return kRefused;
    }
  }
  return std::nullopt;
}

// Asks y/N on a terminal; returns the exit status when the change must stop.
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

}  // namespace

std::vector<ControlRecord> SearchCards() {
  constexpr int kTableSize = 255;  // as the window's ControlTable
  std::vector<ControlRecord> table(kTableSize);
  const std::int32_t found = GetControlList(table.data(), kTableSize);
  table.resize(static_cast<std::size_t>(std::clamp(found, 0, kTableSize)));
  return table;
}

int RunSet(const Command& command) {
  const SetArguments& set = command.set;
  const std::vector<ControlRecord> before = SearchCards();
  const ControlRecord* found = Find(before, set.card);
  if (found == nullptr) {
    std::fprintf(stderr, "kestrum-cli: no card answered with %s %s (%zu cards found)\n", set.card.ip ? "IP" : "MAC",
                 set.card.text.c_str(), before.size());
    return kNotChanged;
  }
  const ControlRecord card = *found;
  const std::string mac = card_text::Mac(rec::MacAddress(card));
  const CardAddresses current{rec::Ip(card), rec::Gateway(card), rec::Mask(card)};
  const Wanted wanted = WantedOf(card, set);
  if (const auto stop = Check(before, current, wanted, set.allSharing)) return *stop;
  if (const auto stop = Confirm(Describe(mac, wanted), set.yes)) return *stop;

  const std::string server = card_text::Address(wanted.server);
  const std::int32_t confirmed = ConfigControlPara(current.ip, current.gateway, current.mask, mac.c_str(),
                                                   wanted.addresses.ip, wanted.addresses.gateway, wanted.addresses.mask,
                                                   mac.c_str(), server.c_str(), wanted.port, wanted.heartbeat);
  if (confirmed != 1) {
    std::fprintf(stderr, "kestrum-cli: no card confirmed the change of %s\n", mac.c_str());
    return kNotChanged;
  }
  const std::vector<ControlRecord> after = SearchCards();
  const ControlRecord* changed = Find(after, CardChoice{std::nullopt, rec::MacAddress(card), mac});
  if (changed == nullptr || !Has(*changed, wanted)) {
    std::fprintf(stderr, "kestrum-cli: the card confirmed, but a new search %s\n",
                 changed == nullptr ? "does not find it" : "finds it with other values");
    if (changed != nullptr) std::fputs(CardListing({changed, 1}, command.listing).c_str(), stdout);
    return kNotChanged;
  }
  std::fputs(CardListing({changed, 1}, command.listing).c_str(), stdout);
  std::fprintf(stderr, "kestrum-cli: changed %s; it answers with the new values\n", mac.c_str());
  return kChanged;
}

}  // namespace kestrum::cli
