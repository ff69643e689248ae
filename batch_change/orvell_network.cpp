#include "orvell_network.h"

#include <algorithm>

#include "orvell.h"

namespace kestrum::batch {
namespace {

void SendThroughOrvell(std::span<const orvell::parameter::ParameterChange> changes) {
  std::vector<OrvellParameterChange> requests;
  for (const auto& change : changes)
    requests.push_back({change.oldIp, change.oldGateway, change.oldMask, change.newIp, change.newGateway,
                        change.newMask, change.serverIp, change.serverPort, change.heartbeat, 0});
  for (std::size_t first = 0; first < requests.size(); first += ORVELL_MOST_CHANGES_PER_CALL) {
    const std::size_t count = std::min<std::size_t>(ORVELL_MOST_CHANGES_PER_CALL, requests.size() - first);
    // The confirmations counted tell nothing of which cards took their
    // values; the search afterwards does.
    ConfigControlParaMany(requests.data() + first, static_cast<std::int32_t>(count));
  }
}

}  // namespace

BatchNetwork OrvellNetwork(std::function<std::vector<ControlRecord>()> search) {
  return {std::move(search), &SendThroughOrvell};
}

}  // namespace kestrum::batch
