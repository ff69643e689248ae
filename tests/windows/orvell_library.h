// Orvell.dll bound the way the program binds it: loaded by file name, its two
// operations found by their plain export names.
#pragma once

#include <cstdint>
#include <string>

#include "orvell.h"

namespace kestrum::windows_tests {

using GetControlListFunction = std::int32_t(ORVELL_CALL*)(ControlRecord* records, std::int32_t capacity);
using ConfigControlParaFunction = std::int32_t(ORVELL_CALL*)(std::uint32_t oldIp, std::uint32_t oldGateway,
                                                             std::uint32_t oldMask, const char* oldMac,
                                                             std::uint32_t newIp, std::uint32_t newGateway,
                                                             std::uint32_t newMask, const char* newMac,
                                                             const char* newServerIp, std::uint16_t newServerPort,
                                                             std::uint8_t newHeartbeat);

struct OrvellLibrary {
  GetControlListFunction getControlList = nullptr;
  ConfigControlParaFunction configControlPara = nullptr;
  std::string failure;  // why an export is missing; empty when both were found
};

// Loads Orvell.dll (and through it pindle.dll) once for the whole program;
// it stays loaded until the program ends.
const OrvellLibrary& Orvell();

}  // namespace kestrum::windows_tests
