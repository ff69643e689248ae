// Sending a checked plan and finding out, by a search, what each card holds
// afterwards: the replies to a request never say which card sent them.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "batch_plan.h"
#include "plan_texts.h"

namespace kestrum::batch {

enum class Outcome {
  kConfirmed,        // the card answers with the planned values
  kAlreadyAtValues,  // nothing to send: it had them, and still has
  kNotChanged,       // it answers with the values it had
  kOtherValues,      // it answers with values neither planned nor its own
  kNotFound,         // no card with its MAC answered two searches
};

PlanText OutcomeText(Outcome outcome);

struct CardResult {
  PlannedCard card;
  std::optional<ControlRecord> found;  // as the search found it
  Outcome outcome = Outcome::kNotFound;
};

// The two operations a plan needs, through the library's exports in the
// programs and scripted in tests.
struct BatchNetwork {
  // One search: every card that answered, each once.
  std::function<std::vector<ControlRecord>()> search;
  // Sends one step's requests together and listens once.
  std::function<void(std::span<const orvell::parameter::ParameterChange>)> sendTogether;
};

// Sends the steps in order, then searches once and decides each card by its
// MAC; the cards not found are searched for once more.
std::vector<CardResult> RunPlan(const Plan& plan, const BatchNetwork& network);

// True when every card has its planned values.
bool AllAtPlannedValues(std::span<const CardResult> results);

}  // namespace kestrum::batch
