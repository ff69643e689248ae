// Records of emulated cards for the window's tests, benchmark and
// screenshot: readable fields in, the 83 record bytes out.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "control_record.h"

namespace kestrum::testing {

using Octets = std::array<std::uint8_t, 4>;

struct CardFields {
  std::string typeVersion = "LS2A-V3.1";
  std::uint8_t baudCode = 1;
  std::uint8_t screenNo = 1;
  std::uint16_t width = 64;
  std::uint16_t height = 32;
  std::uint8_t colorStyle = 0;
  std::uint8_t scanStyle = 0;
  std::uint8_t lineOrder = 0;
  std::uint8_t rgChange = 0;
  Octets ip{192, 168, 1, 100};
  Octets mask{255, 255, 255, 0};
  Octets gateway{192, 168, 1, 1};
  orvell::record::Mac mac{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
  Octets serverIp{192, 168, 1, 2};
  std::uint16_t serverPort = 9999;
  std::uint8_t heartbeat = 10;
};

std::uint32_t Address(const Octets& octets);
ControlRecord MakeCard(const CardFields& fields);

}  // namespace kestrum::testing
