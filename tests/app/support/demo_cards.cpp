#include "demo_cards.h"

#include <array>

#include "card_fields.h"

namespace kestrum::testing {

std::vector<ControlRecord> DemoCards() {
  static constexpr std::array<const char*, 4> kTypes{"LS2A-V3.1", "LS4B-V2.07", "QX-1.0.3", "LS2A-V3.2"};
  static constexpr std::array<std::uint8_t, 6> kScanStyles{0, 4, 21, 35, 50, 53};
  std::vector<ControlRecord> cards;
  for (std::uint8_t i = 0; i < 12; ++i) {
    CardFields fields;
    fields.typeVersion = kTypes.at(i % kTypes.size());
    fields.baudCode = i % 3;
    fields.screenNo = static_cast<std::uint8_t>(i * 7 % 13 + 1);
    fields.width = static_cast<std::uint16_t>(64 * (i % 4 + 1));
    fields.height = static_cast<std::uint16_t>(32 * (i % 3 + 1));
    fields.colorStyle = i % 3;
    fields.scanStyle = kScanStyles.at(i % kScanStyles.size());
    fields.lineOrder = i % 2;
    fields.rgChange = (i / 2) % 2;
    fields.ip = {192, 168, 1, static_cast<std::uint8_t>(100 + i * 9 % 31)};
    fields.mask = {255, 255, 255, 0};
    fields.gateway = {192, 168, 1, 1};
    fields.mac = {0x00,
                  0x1A,
                  0x2B,
                  static_cast<std::uint8_t>(0xC0 + i),
                  static_cast<std::uint8_t>(i * 17),
                  static_cast<std::uint8_t>(0xF0 - i)};
    fields.serverIp = {192, 168, 1, 2};
    fields.serverPort = static_cast<std::uint16_t>(9000 + i);
    fields.heartbeat = static_cast<std::uint8_t>(10 + i);
    cards.push_back(MakeCard(fields));
  }
  return cards;
}

}  // namespace kestrum::testing
