#include "batch_run.h"

#include <algorithm>

namespace kestrum::batch {
namespace {

namespace rec = orvell::record;

Outcome Decide(const PlannedCard& card, const ControlRecord& found) {
  const NetworkValues now = ValuesOf(found);
  if (now == card.after) return card.unchanged() ? Outcome::kAlreadyAtValues : Outcome::kConfirmed;
  if (now == ValuesOf(card.before)) return Outcome::kNotChanged;
  return Outcome::kOtherValues;
}

// The card with the MAC; of several (a copied MAC), the one with the planned
// values if there is one.
std::optional<ControlRecord> FindCard(const std::vector<ControlRecord>& cards, const PlannedCard& card) {
  const rec::Mac mac = rec::MacAddress(card.before);
  std::optional<ControlRecord> found;
  for (const ControlRecord& seen : cards) {
    if (rec::MacAddress(seen) != mac) continue;
    if (!found || ValuesOf(seen) == card.after) found = seen;
  }
  return found;
}

void DecideFrom(const std::vector<ControlRecord>& cards, CardResult& result) {
  result.found = FindCard(cards, result.card);
  result.outcome = result.found ? Decide(result.card, *result.found) : Outcome::kNotFound;
}

}  // namespace

PlanText OutcomeText(Outcome outcome) {
  switch (outcome) {
    case Outcome::kConfirmed:
      return PlanText::kOutcomeConfirmed;
    case Outcome::kAlreadyAtValues:
      return PlanText::kOutcomeAlreadyAtValues;
    case Outcome::kNotChanged:
      return PlanText::kOutcomeNotChanged;
    case Outcome::kOtherValues:
      return PlanText::kOutcomeOtherValues;
    case Outcome::kNotFound:
      break;
  }
  return PlanText::kOutcomeNotFound;
}

std::vector<CardResult> RunPlan(const Plan& plan, const BatchNetwork& network) {
  for (const Step& step : plan.steps) network.sendTogether(step);
  std::vector<CardResult> results;
  const std::vector<ControlRecord> seen = network.search();
  for (const PlannedCard& card : plan.cards) {
    results.push_back({card, std::nullopt, Outcome::kNotFound});
    DecideFrom(seen, results.back());
  }
  const auto notFound = [](const CardResult& result) { return result.outcome == Outcome::kNotFound; };
  if (std::none_of(results.begin(), results.end(), notFound)) return results;
  const std::vector<ControlRecord> again = network.search();
  for (CardResult& result : results)
    if (notFound(result)) DecideFrom(again, result);
  return results;
}

bool AllAtPlannedValues(std::span<const CardResult> results) {
  return std::all_of(results.begin(), results.end(), [](const CardResult& result) {
    return result.outcome == Outcome::kConfirmed || result.outcome == Outcome::kAlreadyAtValues;
  });
}

}  // namespace kestrum::batch
