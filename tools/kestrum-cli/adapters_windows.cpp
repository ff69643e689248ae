#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>

#include "adapter_list_windows.h"
#include "adapters.h"

namespace kestrum::cli {
namespace {

std::string Narrow(const wchar_t* text) {
  if (text == nullptr) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string narrow(static_cast<std::size_t>(size - 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), size, nullptr, nullptr);
  return narrow;
}

}  // namespace

std::vector<Adapter> BroadcastAdapters() {
  std::vector<Adapter> adapters;
  pindle::AdapterList(AF_INET).ForEach([&](const IP_ADAPTER_ADDRESSES& adapter) {
    if (adapter.OperStatus != IfOperStatusUp || adapter.IfType == IF_TYPE_SOFTWARE_LOOPBACK) return;
    if (adapter.IfType == IF_TYPE_PPP || adapter.IfType == IF_TYPE_TUNNEL) return;
    for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter.FirstUnicastAddress; unicast != nullptr;
         unicast = unicast->Next) {
      const sockaddr* address = unicast->Address.lpSockaddr;
      if (address == nullptr || address->sa_family != AF_INET) continue;
      sockaddr_in in{};
      std::memcpy(&in, address, sizeof in);
      const ULONG prefix = unicast->OnLinkPrefixLength;
      const std::uint32_t hostMask = prefix == 0 ? 0 : prefix >= 32 ? 0xFFFFFFFFu : ~(0xFFFFFFFFu >> prefix);
      const std::uint32_t mask = htonl(hostMask);
      adapters.push_back({Narrow(adapter.FriendlyName), in.sin_addr.s_addr, mask, in.sin_addr.s_addr | ~mask});
      return;
    }
  });
  return adapters;
}

}  // namespace kestrum::cli
