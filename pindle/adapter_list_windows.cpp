#include "adapter_list_windows.h"

namespace pindle {

AdapterList::AdapterList(ULONG family) {
  constexpr ULONG kFlags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
  // The list's size is only known by asking; adapters may come and go between
  // two calls, so ask a few times.
  ULONG bytes = 16 * 1024;
  ULONG result = ERROR_BUFFER_OVERFLOW;
  for (int attempt = 0; attempt < 4 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
    storage_.assign(bytes / sizeof(IP_ADAPTER_ADDRESSES) + 1, IP_ADAPTER_ADDRESSES{});
    bytes = static_cast<ULONG>(storage_.size() * sizeof(IP_ADAPTER_ADDRESSES));
    result = GetAdaptersAddresses(family, kFlags, nullptr, storage_.data(), &bytes);
  }
  if (result != NO_ERROR) storage_.clear();
}

}  // namespace pindle
