// cardsearch: one search through the real Orvell, printed as the window's
// card list shows it: number, screen number, IP, mask, gateway, MAC.
#include <cstdio>
#include <vector>

#include "address_text.h"
#include "control_record.h"
#include "orvell.h"
#include "private_network_guard.h"

namespace {

// The window's ControlTable holds 255 records; the search fills at most that.
constexpr int kTableSize = 255;

void PrintCards(const std::vector<ControlRecord>& records, int count) {
  namespace rec = orvell::record;
  std::printf("%-4s %-6s %-15s %-15s %-15s %s\n", "No.", "Screen", "IP", "Mask", "Gateway", "MAC");
  for (int i = 0; i < count; ++i) {
    const ControlRecord& r = records[static_cast<std::size_t>(i)];
    std::printf("%-4d %-6u %-15s %-15s %-15s %s\n", i + 1, rec::ScreenNo(r), cardsim::FormatIpv4(rec::Ip(r)).c_str(),
                cardsim::FormatIpv4(rec::Mask(r)).c_str(), cardsim::FormatIpv4(rec::Gateway(r)).c_str(),
                cardsim::FormatMac(rec::MacAddress(r)).c_str());
  }
  std::printf("%d card%s found\n", count, count == 1 ? "" : "s");
}

}  // namespace

int main(int argc, char**) {
  if (argc > 1) {
    std::fputs("usage: cardsearch\nSearches the network for control cards once and lists them.\n", stderr);
    return 2;
  }
  kestrum::RequirePrivateNetwork("cardsearch");
  std::vector<ControlRecord> records(kTableSize);
  const int found = GetControlList(records.data(), kTableSize);
  // The window, too, treats every result of 0 or less as no card found.
  PrintCards(records, found > 0 ? found : 0);
  return 0;
}
