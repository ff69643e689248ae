// The checks a parameter change passes before the operator is asked. A
// request names its card only by the card's current IP, gateway and mask, and
// every card that has them takes the new values: cards fresh from the factory
// share one address, so the operator must hear how many will change. Values
// with which no card can work on its network are refused outright. Plain
// data in, plain data out, for the window and the command line alike.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "control_record.h"
#include "text_language.h"

namespace kestrum {

// A card's three addresses, in network byte order.
struct CardAddresses {
  std::uint32_t ip = 0;
  std::uint32_t gateway = 0;
  std::uint32_t mask = 0;
};

enum class Refusal {
  kMaskNotContiguous,     // not ones followed by zeros
  kMaskEmptyOrFull,       // 0.0.0.0 or 255.255.255.255
  kIpUnspecified,         // 0.0.0.0
  kIpLimitedBroadcast,    // 255.255.255.255
  kIpLoopback,            // 127.0.0.0/8
  kIpMulticast,           // 224.0.0.0/4
  kIpReserved,            // 240.0.0.0/4
  kIpIsNetworkAddress,    // host part all zeros (masks up to /30)
  kIpIsBroadcastAddress,  // host part all ones (masks up to /30)
  kGatewayIsIp,           // a gateway other than 0.0.0.0 equal to the new IP
};

struct ChangeWarning {
  enum class Kind {
    kSharedAddress,         // several listed cards have the addressed current addresses
    kAddressInUse,          // the new IP is that of a listed card the request does not address
    kGatewayOutsideSubnet,  // the gateway (not 0.0.0.0) lies outside the new IP's subnet
  };
  Kind kind;
  std::vector<orvell::record::Mac> macs;  // the cards concerned (shared address, address in use)
};

struct ChangeVerdict {
  std::optional<Refusal> refusal;  // set: nothing may be sent
  std::vector<ChangeWarning> warnings;
};

// Checks a change of the card with the `current` addresses to `requested`,
// against the cards of the last search. An empty list gives no warning about
// other cards.
ChangeVerdict CheckChange(std::span<const ControlRecord> listed, const CardAddresses& current,
                          const CardAddresses& requested);

// The operator's texts, in UTF-8 and in the operator's language: one line
// naming the value and why it is refused, or one line per warning.
std::string RefusalText(Refusal refusal, const CardAddresses& requested, Language language = Language::kChinese);
std::string WarningText(const ChangeWarning& warning, const CardAddresses& current, const CardAddresses& requested,
                        Language language = Language::kChinese);

}  // namespace kestrum
