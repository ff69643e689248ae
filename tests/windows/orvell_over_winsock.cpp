#include "orvell_over_winsock.h"

#include <winsock2.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "control_record.h"

namespace kestrum::windows_tests {

ControlRecord CardOn(const HarnessLan& lan, std::uint8_t hostNumber) {
  using namespace orvell::record;
  ControlRecord card{};
  const std::uint32_t network = ntohl(lan.address) & ntohl(lan.mask);
  SetTypeVersion(card, "KV-EMU-" + std::to_string(hostNumber));
  SetScreenNo(card, hostNumber);
  SetWidth(card, static_cast<std::uint16_t>(64 + hostNumber));
  SetHeight(card, 32);
  SetIp(card, htonl(network | hostNumber));
  SetMask(card, lan.mask);
  SetGateway(card, htonl(network | 1u));
  SetMacAddress(card, {0x02, 0x4B, 0x56, 0x00, static_cast<std::uint8_t>(network >> 8), hostNumber});
  SetServerIp(card, htonl(network | 10u));
  SetServerPort(card, 9000);
  SetHeartbeat(card, 30);
  return card;
}

std::vector<ControlRecord> DirtyTable() {
  std::vector<ControlRecord> table(kTableCapacity);
  for (auto& record : table) std::memset(record.bytes, 0xEE, sizeof record.bytes);
  return table;
}

bool SameBytes(const ControlRecord& a, const ControlRecord& b) {
  return std::memcmp(a.bytes, b.bytes, sizeof a.bytes) == 0;
}

bool IsZero(const ControlRecord& record) {
  return std::all_of(std::begin(record.bytes), std::end(record.bytes), [](std::uint8_t b) { return b == 0; });
}

}  // namespace kestrum::windows_tests
