// Which cards a search found, and which of them a `set` names. A search hands
// over answers, not cards: a card heard twice (a switch that duplicates, a
// card with two paths) gives two identical records.
#pragma once

#include <span>
#include <vector>

#include "cli_arguments.h"
#include "control_record.h"

namespace kestrum::cli {

// Whether two records are byte for byte the same: nothing a search hands over
// tells such answers apart, so they are one card's.
bool SameCard(const ControlRecord& first, const ControlRecord& second);

// Each card once, in the order of its first answer.
std::vector<ControlRecord> DistinctCards(std::span<const ControlRecord> answers);

// Every card the choice names: those with that current IP address, or with
// that MAC.
std::vector<ControlRecord> CardsNamed(std::span<const ControlRecord> cards, const CardChoice& choice);

}  // namespace kestrum::cli
