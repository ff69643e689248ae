// A plan in the change history: one entry per card sent a request, the plan's
// batch id in each; and the plan that gives cards back the values they had
// before their last confirmed change.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "batch_run.h"
#include "history_entry.h"

namespace kestrum::batch {

// A new id for a plan's entries: the time and a random part, unique enough
// for one user's history.
std::string NewBatchId();

// The entries of the cards the plan sent a request to.
std::vector<history::HistoryEntry> BatchEntries(const char* program, const std::string& batchId,
                                                std::span<const CardResult> results,
                                                std::span<const std::string> planNotes);

// Which changes to undo: the last confirmed one of a card, or every
// confirmed one of a batch.
struct UndoChoice {
  std::string mac;    // 00:1A:4B:00:00:02, or empty
  std::string batch;  // or empty
};

struct RestorePlan {
  std::vector<PlanEntry> entries;     // each card back to its values before
  std::vector<std::string> refusals;  // set: nothing may be sent
};

// The plan that undoes the chosen changes, checked against the cards of a
// fresh search: a card must still have the values the change gave it.
// Refusals in `language`.
RestorePlan PlanRestore(std::span<const history::HistoryEntry> history, const UndoChoice& choice,
                        std::span<const ControlRecord> listed, Language language);

}  // namespace kestrum::batch
