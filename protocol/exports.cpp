// The library's C exports. Nothing may leave them as an exception.
#include <vector>

#include "card_search.h"
#include "inet_address.h"
#include "orvell.h"
#include "parameter_batch.h"
#include "parameter_change.h"

extern "C" ORVELL_API std::int32_t ORVELL_CALL GetControlList(ControlRecord* records, std::int32_t capacity) {
  try {
    return orvell::SearchCards(&CreatePindle, records, capacity);
  } catch (...) {
    return 0;
  }
}

extern "C" ORVELL_API std::int32_t ORVELL_CALL ConfigControlPara(std::uint32_t oldIp, std::uint32_t oldGateway,
                                                                 std::uint32_t oldMask, const char* /*oldMac*/,
                                                                 std::uint32_t newIp, std::uint32_t newGateway,
                                                                 std::uint32_t newMask, const char* /*newMac*/,
                                                                 const char* newServerIp, std::uint16_t newServerPort,
                                                                 std::uint8_t newHeartbeat) {
  // The cards know a card by its addresses only: the MAC texts are never read.
  try {
    orvell::parameter::ParameterChange change;
    change.oldIp = oldIp;
    change.oldGateway = oldGateway;
    change.oldMask = oldMask;
    change.newIp = newIp;
    change.newGateway = newGateway;
    change.newMask = newMask;
    change.serverIp = orvell::InetAddr(newServerIp);
    change.serverPort = newServerPort;
    change.heartbeat = newHeartbeat;
    return orvell::ChangeParameters(&CreatePindle, change);
  } catch (...) {
    return 0;
  }
}

extern "C" ORVELL_API std::int32_t ORVELL_CALL ConfigControlParaMany(const OrvellParameterChange* changes,
                                                                     std::int32_t count) {
  if (changes == nullptr || count < 1 || count > ORVELL_MOST_CHANGES_PER_CALL) return ORVELL_BAD_ARGUMENTS;
  static_assert(ORVELL_MOST_CHANGES_PER_CALL == orvell::kMostRequestsPerBatch);
  try {
    std::vector<orvell::parameter::ParameterChange> requests;
    requests.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
      const OrvellParameterChange& given = changes[i];
      requests.push_back({given.oldIp, given.oldGateway, given.oldMask, given.newIp, given.newGateway, given.newMask,
                          given.serverIp, given.serverPort, given.heartbeat});
    }
    return orvell::ChangeParametersTogether(&CreatePindle, requests);
  } catch (...) {
    return 0;
  }
}
