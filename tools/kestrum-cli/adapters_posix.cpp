#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cstring>

#include "adapters.h"

namespace kestrum::cli {
namespace {

std::uint32_t AddressOf(const sockaddr* address) {
  if (address == nullptr || address->sa_family != AF_INET) return 0;
  sockaddr_in in{};
  std::memcpy(&in, address, sizeof in);
  return in.sin_addr.s_addr;
}

}  // namespace

std::vector<Adapter> BroadcastAdapters() {
  std::vector<Adapter> adapters;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return adapters;
  for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
    if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) continue;
    const unsigned flags = entry->ifa_flags;
    if ((flags & IFF_UP) == 0 || (flags & IFF_BROADCAST) == 0 || (flags & IFF_LOOPBACK) != 0) continue;
    const std::uint32_t address = AddressOf(entry->ifa_addr);
    const std::uint32_t mask = AddressOf(entry->ifa_netmask);
    // The subnet's broadcast address: an interface may name none of its own.
    adapters.push_back({entry->ifa_name, address, mask, address | ~mask});
  }
  freeifaddrs(list);
  return adapters;
}

}  // namespace kestrum::cli
