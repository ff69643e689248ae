#include "change_checks.h"

#include <initializer_list>
#include <utility>

#include "byte_order.h"
#include "card_texts.h"
#include "record_change.h"

namespace kestrum {
namespace {

namespace rec = orvell::record;

using orvell::ToHostOrder;
using orvell::ToNetworkOrder;

bool IsContiguous(std::uint32_t hostMask) { return (~hostMask & (~hostMask + 1)) == 0; }

int PrefixLength(std::uint32_t hostMask) {
  int length = 0;
  for (; length < 32 && (hostMask & (0x80000000u >> length)) != 0; ++length) {
  }
  return length;
}

std::optional<Refusal> CheckMask(std::uint32_t mask) {
  if (mask == 0 || mask == 0xFFFFFFFFu) return Refusal::kMaskEmptyOrFull;
  if (!IsContiguous(mask)) return Refusal::kMaskNotContiguous;
  return std::nullopt;
}

// With a valid mask. A /31 (two-host link) or /32 (single host) has no
// network or broadcast address to avoid.
std::optional<Refusal> CheckIp(std::uint32_t ip, std::uint32_t mask) {
  if (ip == 0) return Refusal::kIpUnspecified;
  if (ip == 0xFFFFFFFFu) return Refusal::kIpLimitedBroadcast;
  if ((ip >> 24) == 127) return Refusal::kIpLoopback;
  if ((ip >> 28) == 0xE) return Refusal::kIpMulticast;
  if ((ip >> 28) == 0xF) return Refusal::kIpReserved;
  if (PrefixLength(mask) <= 30) {
    if ((ip & ~mask) == 0) return Refusal::kIpIsNetworkAddress;
    if ((ip & ~mask) == ~mask) return Refusal::kIpIsBroadcastAddress;
  }
  return std::nullopt;
}

std::optional<Refusal> Refuse(const CardAddresses& requested) {
  const std::uint32_t mask = ToHostOrder(requested.mask);
  if (auto refusal = CheckMask(mask)) return refusal;
  if (auto refusal = CheckIp(ToHostOrder(requested.ip), mask)) return refusal;
  if (requested.gateway != 0 && requested.gateway == requested.ip) return Refusal::kGatewayIsIp;
  return std::nullopt;
}

// The first few MACs: a screen's worth of cards still gives a short line.
std::string MacList(const std::vector<rec::Mac>& macs, Language language) {
  constexpr std::size_t kMacsNamed = 8;
  constexpr BilingualText kSeparator{"、", ", "};
  constexpr BilingualText kAndMore{" 等", " and more"};
  std::string text;
  for (std::size_t i = 0; i < macs.size() && i < kMacsNamed; ++i)
    text += (i > 0 ? kSeparator.In(language) : "") + card_text::Mac(macs[i]);
  if (macs.size() > kMacsNamed) text += kAndMore.In(language);
  return text;
}

// A text's parts in both languages; the values come between them.
std::string Joined(Language language, std::initializer_list<std::pair<BilingualText, std::string>> parts) {
  std::string text;
  for (const auto& [words, value] : parts) text += words.In(language) + value;
  return text;
}

std::string SubnetText(const CardAddresses& requested) {
  const std::uint32_t mask = ToHostOrder(requested.mask);
  const std::uint32_t network = ToHostOrder(requested.ip) & mask;
  return card_text::Address(ToNetworkOrder(network)) + "/" + std::to_string(PrefixLength(mask));
}

}  // namespace

ChangeVerdict CheckChange(std::span<const ControlRecord> listed, const CardAddresses& current,
                          const CardAddresses& requested) {
  ChangeVerdict verdict;
  verdict.refusal = Refuse(requested);
  if (verdict.refusal) return verdict;

  ChangeWarning shared{ChangeWarning::Kind::kSharedAddress, {}};
  ChangeWarning inUse{ChangeWarning::Kind::kAddressInUse, {}};
  for (const ControlRecord& card : listed) {
    if (orvell::parameter::TakesRequestFor(card, current.ip, current.gateway, current.mask))
      shared.macs.push_back(rec::MacAddress(card));
    else if (rec::Ip(card) == requested.ip)
      inUse.macs.push_back(rec::MacAddress(card));
  }
  if (shared.macs.size() > 1) verdict.warnings.push_back(shared);
  if (!inUse.macs.empty()) verdict.warnings.push_back(inUse);
  const std::uint32_t mask = ToHostOrder(requested.mask);
  if (requested.gateway != 0 && (ToHostOrder(requested.gateway) & mask) != (ToHostOrder(requested.ip) & mask))
    verdict.warnings.push_back({ChangeWarning::Kind::kGatewayOutsideSubnet, {}});
  return verdict;
}

std::string RefusalText(Refusal refusal, const CardAddresses& requested, Language language) {
  const std::string ip = card_text::Address(requested.ip);
  const std::string mask = card_text::Address(requested.mask);
  constexpr BilingualText kMask{"子网掩码 ", "Subnet mask "};
  constexpr BilingualText kIp{"IP 地址 ", "IP address "};
  const auto invalidIp = [&](BilingualText why) { return Joined(language, {{kIp, ip}, {why, {}}}); };
  switch (refusal) {
    case Refusal::kMaskNotContiguous:
      return Joined(
          language,
          {{kMask, mask},
           {{" 无效：掩码必须是连续的 1 后接连续的 0", " is invalid: a mask must be ones followed by zeros"}, {}}});
    case Refusal::kMaskEmptyOrFull:
      return Joined(
          language,
          {{kMask, mask},
           {{" 无效：不能是 0.0.0.0 或 255.255.255.255", " is invalid: it cannot be 0.0.0.0 or 255.255.255.255"}, {}}});
    case Refusal::kIpUnspecified:
    case Refusal::kIpLimitedBroadcast:
      return invalidIp({" 无效：不能作为控制卡的地址", " is invalid: no control card can have it"});
    case Refusal::kIpLoopback:
      return invalidIp({" 无效：127 开头的是本机回环地址", " is invalid: addresses starting with 127 are loopback"});
    case Refusal::kIpMulticast:
      return invalidIp(
          {" 无效：224 至 239 开头的是组播地址", " is invalid: addresses starting with 224 to 239 are multicast"});
    case Refusal::kIpReserved:
      return invalidIp(
          {" 无效：240 至 255 开头的是保留地址", " is invalid: addresses starting with 240 to 255 are reserved"});
    case Refusal::kIpIsNetworkAddress:
      return Joined(language,
                    {{kIp, ip},
                     {{" 无效：它是子网 ", " is invalid: it is the network address of subnet "}, SubnetText(requested)},
                     {{" 的网络地址", ""}, {}}});
    case Refusal::kIpIsBroadcastAddress:
      return Joined(language, {{kIp, ip},
                               {{" 无效：它是子网 ", " is invalid: it is the broadcast address of subnet "},
                                SubnetText(requested)},
                               {{" 的广播地址", ""}, {}}});
    case Refusal::kGatewayIsIp:
      return Joined(language, {{{"网关 ", "Gateway "}, card_text::Address(requested.gateway)},
                               {{" 无效：不能与 IP 地址相同", " is invalid: it cannot equal the IP address"}, {}}});
  }
  return {};
}

std::string WarningText(const ChangeWarning& warning, const CardAddresses& current, const CardAddresses& requested,
                        Language language) {
  switch (warning.kind) {
    case ChangeWarning::Kind::kSharedAddress:
      return Joined(language,
                    {{{"共有 ", ""}, std::to_string(warning.macs.size())},
                     {{" 张卡使用当前地址 ", " cards have the current address "}, card_text::Address(current.ip)},
                     {{"（MAC ", " (MAC "}, MacList(warning.macs, language)},
                     {{"），它们都会改为新参数。建议每次只连接一张卡再修改。",
                       "); all of them will take the new settings. Connect one card at a time to change it."},
                      {}}});
    case ChangeWarning::Kind::kAddressInUse:
      return Joined(language,
                    {{{"新 IP 地址 ", "The new IP address "}, card_text::Address(requested.ip)},
                     {{" 已被另一张卡使用（MAC ", " is used by another card (MAC "}, MacList(warning.macs, language)},
                     {{"）。", ")."}, {}}});
    case ChangeWarning::Kind::kGatewayOutsideSubnet:
      return Joined(language, {{{"网关 ", "Gateway "}, card_text::Address(requested.gateway)},
                               {{" 不在子网 ", " is outside subnet "}, SubnetText(requested)},
                               {{" 内。", "."}, {}}});
  }
  return {};
}

}  // namespace kestrum
