// The library's C exports. Nothing may leave them as an exception.
#include "card_search.h"
#include "inet_address.h"
#include "orvell.h"
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
