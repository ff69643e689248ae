// The system's list of network adapters, as GetAdaptersAddresses reports it.
// Windows only: pindle walks it to send a broadcast out of every adapter, and
// the Windows tests to see which network they run in.
#pragma once

#include <winsock2.h>
#include <iphlpapi.h>

#include <vector>

namespace pindle {

class AdapterList {
 public:
  // Asks for the adapters of one address family (AF_INET, or AF_UNSPEC for
  // all); empty when the system cannot say.
  explicit AdapterList(ULONG family);

  template <typename Visit>
  void ForEach(Visit visit) const {
    if (storage_.empty()) return;
    for (const IP_ADAPTER_ADDRESSES* adapter = storage_.data(); adapter != nullptr; adapter = adapter->Next)
      visit(*adapter);
  }

 private:
  // The entries link to each other and to their addresses inside this
  // storage, which therefore never moves once filled.
  std::vector<IP_ADAPTER_ADDRESSES> storage_;
};

}  // namespace pindle
