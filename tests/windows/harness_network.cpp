#include "harness_network.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include <cstdlib>
#include <cstring>

#include "adapter_list_windows.h"

namespace kestrum::windows_tests {
namespace {

bool IsHarnessAdapter(const IP_ADAPTER_ADDRESSES& adapter) {
  const std::wstring name = adapter.FriendlyName != nullptr ? adapter.FriendlyName : L"";
  return name.rfind(kHarnessAdapterPrefix, 0) == 0;
}

std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (const wchar_t c : text) narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return narrow;
}

}  // namespace

std::string PrivateNetworkRefusal() {
  const char* marker = std::getenv(kPrivateNetworkVariable);
  if (marker == nullptr || *marker == '\0')
    return std::string(kPrivateNetworkVariable) + " is not set: not started by scripts/windows-tests.sh";
  std::string refusal;
  std::size_t harnessAdapters = 0;
  pindle::AdapterList(AF_UNSPEC).ForEach([&](const IP_ADAPTER_ADDRESSES& adapter) {
    if (adapter.IfType == IF_TYPE_SOFTWARE_LOOPBACK) return;
    if (IsHarnessAdapter(adapter)) {
      ++harnessAdapters;
      return;
    }
    const std::wstring name = adapter.FriendlyName != nullptr ? adapter.FriendlyName : L"(unnamed)";
    refusal += (refusal.empty() ? "" : ", ") + Narrow(name);
  });
  if (!refusal.empty()) return "adapters the harness did not make are visible: " + refusal;
  if (harnessAdapters == 0) return "no adapter of the harness is visible";
  return {};
}

std::vector<HarnessLan> HarnessLans() {
  std::vector<HarnessLan> lans;
  pindle::AdapterList(AF_INET).ForEach([&](const IP_ADAPTER_ADDRESSES& adapter) {
    if (!IsHarnessAdapter(adapter) || adapter.OperStatus != IfOperStatusUp) return;
    for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter.FirstUnicastAddress; unicast != nullptr;
         unicast = unicast->Next) {
      const SOCKADDR* address = unicast->Address.lpSockaddr;
      if (address == nullptr || address->sa_family != AF_INET) continue;
      sockaddr_in ipv4{};
      std::memcpy(&ipv4, address, sizeof ipv4);
      ULONG mask = 0;
      if (ConvertLengthToIpv4Mask(unicast->OnLinkPrefixLength, &mask) != NO_ERROR) continue;
      lans.push_back({adapter.FriendlyName, ipv4.sin_addr.s_addr, static_cast<std::uint32_t>(mask)});
      return;
    }
  });
  return lans;
}

}  // namespace kestrum::windows_tests
