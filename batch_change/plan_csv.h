// A plan as CSV: the search's columns mac,ip,mask,gateway,serverIp,
// serverPort,heartbeat with the values to give, for review or editing in a
// spreadsheet. The search's own export reads back as a plan too: its
// byte-order mark and the formula guard's leading ' are taken off, columns
// other than these are ignored, and a missing column or an empty cell keeps
// the card's value.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "batch_plan.h"

namespace kestrum::batch {

struct PlanFile {
  std::vector<PlanEntry> entries;
  std::vector<std::size_t> lines;  // the line of each entry
  std::string error;  // set: the whole file is refused, with the line named
};

// Rows beyond the plan's most cards refuse the file.
PlanFile ReadPlanCsv(std::string_view text);

// The cards with their planned values, as CSV with CR LF line ends.
std::string PlanCsv(std::span<const PlannedCard> cards, bool byteOrderMark);

}  // namespace kestrum::batch
