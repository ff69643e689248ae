// A plan of changes to many cards at once, checked as a whole before
// anything is sent. A request names its card only by the card's current IP,
// gateway and mask, so each request of the plan must reach exactly the cards
// meant, at the moment it is sent: the planner refuses what cannot be done so
// and orders the rest into steps, each step's requests independent of one
// another.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "control_record.h"
#include "parameter_datagrams.h"
#include "text_language.h"

namespace kestrum::batch {

// A card's network values; addresses in network byte order.
struct NetworkValues {
  std::uint32_t ip = 0, mask = 0, gateway = 0, serverIp = 0;
  std::uint16_t serverPort = 0;
  std::uint8_t heartbeat = 0;

  friend bool operator==(const NetworkValues&, const NetworkValues&) = default;
};

NetworkValues ValuesOf(const ControlRecord& card);

// What the plan gives one card, found by its MAC in the last search; a value
// not given is kept.
struct PlanEntry {
  orvell::record::Mac mac{};
  std::optional<std::uint32_t> ip, mask, gateway, serverIp;
  std::optional<std::uint16_t> serverPort;
  std::optional<std::uint8_t> heartbeat;
};

struct PlannedCard {
  ControlRecord before{};
  NetworkValues after;
  std::vector<std::string> warnings;  // the single change's, as the operator reads them
  bool unchanged() const { return ValuesOf(before) == after; }
};

// Requests sent together, then one listening time.
using Step = std::vector<orvell::parameter::ParameterChange>;

struct Plan {
  std::vector<PlannedCard> cards;  // in the plan's order
  std::vector<Step> steps;
  std::vector<std::string> notes;  // one request serving several cards, said so
};

struct PlanVerdict {
  std::vector<std::string> refusals;  // every reason, one line each; none: plan is set
  std::optional<Plan> plan;
};

inline constexpr std::size_t kMostPlannedCards = 1024;

// Checks the entries against the cards of the last search (each card once)
// and orders the requests; refusals, warnings and notes in `language`.
PlanVerdict MakePlan(std::span<const ControlRecord> listed, std::span<const PlanEntry> entries, Language language);

// IP addresses counting up from `first` over the chosen cards in the list's
// order, passing over the addresses of listed cards outside the choice.
std::vector<std::uint32_t> CountUpAddresses(std::span<const ControlRecord> listed,
                                            std::span<const std::size_t> chosen, std::uint32_t first);

}  // namespace kestrum::batch
