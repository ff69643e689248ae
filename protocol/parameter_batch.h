#pragma once

#include <cstdint>
#include <span>

#include "parameter_datagrams.h"
#include "seam/pindle.h"

namespace orvell {

// Most requests one call sends: four times a full search's table, room for
// a plan over every card one search can list and then some.
inline constexpr std::int32_t kMostRequestsPerBatch = 1024;

// Several parameter requests for cards that each have their own current
// addresses: all sent at once through one endpoint, then one listening time
// of the single change (0.5 s) for all of them. Returns how many
// confirmations arrived; which card sent one is never told by a reply, so a
// search afterwards is what tells the caller which cards took their values.
std::int32_t ChangeParametersTogether(CreatePindleFunction createPindle,
                                      std::span<const parameter::ParameterChange> changes);

}  // namespace orvell
