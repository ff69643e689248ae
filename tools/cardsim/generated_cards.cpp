#include "generated_cards.h"

#include <array>
#include <cstdio>
#include <string>

#include "byte_order.h"

namespace cardsim {
namespace {

namespace rec = orvell::record;

constexpr std::array<const char*, 5> kTypes = {"T8", "T16", "A4", "M3S", "C12"};
constexpr std::array<std::uint16_t, 6> kWidths = {64, 128, 192, 256, 320, 512};
constexpr std::array<std::uint16_t, 4> kHeights = {32, 64, 96, 128};
constexpr std::uint32_t kMask = 0xFFFFFF00u;  // host order: 255.255.255.0

// The next host address after `address` whose last octet is neither 0 nor 255.
std::uint32_t NextHostAddress(std::uint32_t hostOrder) {
  do ++hostOrder;
  while ((hostOrder & 0xFF) == 0 || (hostOrder & 0xFF) == 0xFF);
  return hostOrder;
}

std::string TypeVersionText(std::size_t index) {
  char text[17];
  std::snprintf(text, sizeof text, "%s-V%zu.%02zu", kTypes[index % kTypes.size()], 1 + index % 4, index % 100);
  return text;
}

}  // namespace

std::vector<ControlRecord> GenerateCards(std::size_t count, std::uint32_t firstIp) {
  std::vector<ControlRecord> cards;
  cards.reserve(count);
  std::uint32_t ip = orvell::ToHostOrder(firstIp);
  const std::uint32_t subnet = ip & kMask;
  for (std::size_t i = 0; i < count; ++i, ip = NextHostAddress(ip)) {
    ControlRecord card{};
    rec::SetTypeVersion(card, TypeVersionText(i));
    rec::SetScreenNo(card, static_cast<std::uint8_t>((i + 1) % 256));
    rec::SetWidth(card, kWidths[i % kWidths.size()]);
    rec::SetHeight(card, kHeights[(i / 2) % kHeights.size()]);
    rec::SetColorStyle(card, static_cast<std::uint8_t>(i % 3));
    rec::SetBaudCode(card, static_cast<std::uint8_t>(i % 5));
    rec::SetScanStyle(card, static_cast<std::uint8_t>(i % 17));
    rec::SetLineOrder(card, static_cast<std::uint8_t>(i % 2));
    rec::SetRgChange(card, static_cast<std::uint8_t>((i / 2) % 2));
    rec::SetIp(card, orvell::ToNetworkOrder(ip));
    rec::SetMask(card, orvell::ToNetworkOrder(kMask));
    rec::SetGateway(card, orvell::ToNetworkOrder(subnet | 1));
    const auto serial = static_cast<std::uint16_t>(i + 1);
    // Cards generated for 192.168.2.x by a second emulator differ in MAC from
    // those of 192.168.1.x: the subnet's third octet, less one, is the MAC's fourth.
    const auto segment = static_cast<std::uint8_t>(((subnet >> 8) & 0xFF) - 1);
    rec::SetMacAddress(
        card, {0x00, 0x1A, 0x4B, segment, static_cast<std::uint8_t>(serial >> 8), static_cast<std::uint8_t>(serial)});
    rec::SetServerIp(card, orvell::ToNetworkOrder(subnet | 10));
    rec::SetServerPort(card, static_cast<std::uint16_t>(9000 + i));
    rec::SetHeartbeat(card, static_cast<std::uint8_t>(10 + i % 50));
    cards.push_back(card);
  }
  return cards;
}

}  // namespace cardsim
