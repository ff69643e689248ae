// The window's two calls into the card protocol library, passed in so that
// tests can script the cards. The program passes the library's exports.
#pragma once

#include <cstdint>

#include "orvell.h"

namespace kestrum {

struct CardProtocol {
  using GetControlListCall = std::int32_t(ORVELL_CALL*)(ControlRecord* records, std::int32_t capacity);
  using ConfigControlParaCall = std::int32_t(ORVELL_CALL*)(std::uint32_t oldIp, std::uint32_t oldGateway,
                                                           std::uint32_t oldMask, const char* oldMac,
                                                           std::uint32_t newIp, std::uint32_t newGateway,
                                                           std::uint32_t newMask, const char* newMac,
                                                           const char* newServerIp, std::uint16_t newServerPort,
                                                           std::uint8_t newHeartbeat);

  GetControlListCall GetControlList = nullptr;
  ConfigControlParaCall ConfigControlPara = nullptr;
};

}  // namespace kestrum
