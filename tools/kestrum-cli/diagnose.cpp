#include "diagnose.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "card_texts.h"
#include "held_datagrams.h"
#include "pindle_settings.h"
#include "search_datagrams.h"
#include "udp_socket.h"

namespace kestrum::cli {
namespace {

namespace rec = orvell::record;
using Clock = std::chrono::steady_clock;

constexpr auto kListening = std::chrono::milliseconds(600);  // as the search listens

struct Received {
  pindle::DatagramSource from;
  std::vector<std::uint8_t> bytes;
};

std::vector<Received> Listen(pindle::UdpSocket& socket) {
  std::vector<Received> received;
  const auto deadline = Clock::now() + kListening;
  for (auto now = Clock::now(); now < deadline; now = Clock::now()) {
    if (!socket.WaitReadable(std::chrono::ceil<std::chrono::microseconds>(deadline - now))) continue;
    while (const auto arrival = socket.ReceiveWaiting())
      received.push_back({arrival->source, {arrival->bytes.begin(), arrival->bytes.end()}});
  }
  return received;
}

using Adapters = std::vector<pindle::BroadcastAdapter>;

bool InSubnetOf(std::uint32_t ip, const Adapters& adapters) {
  for (const auto& adapter : adapters)
    if ((ip & adapter.mask) == (adapter.address & adapter.mask)) return true;
  return false;
}

// The adapters exactly as the socket layer sends through them.
void PrintAdapters(const Adapters& adapters) {
  std::printf("adapters the search request leaves through: %zu\n", adapters.size());
  for (const auto& a : adapters)
    std::printf("  %-16s %-15s mask %-15s broadcast %s\n", a.name.c_str(), card_text::Address(a.address).c_str(),
                card_text::Address(a.mask).c_str(), card_text::Address(a.address | ~a.mask).c_str());
}

// What became of each datagram; returns the cards' IP addresses, one per record.
// The datagrams go through the socket layer's own store, so that what it
// would not hand to a search (an answer merged with its copy when the request
// left through several adapters, what exceeds its bounds) is told as such.
std::vector<std::uint32_t> PrintReceived(const std::vector<Received>& received, std::size_t copiesSent) {
  std::vector<std::uint32_t> cards;
  pindle::HeldDatagrams held;
  held.BeginListening(copiesSent > 1);
  std::printf("datagrams received in %lld ms: %zu\n", static_cast<long long>(kListening.count()), received.size());
  for (const Received& r : received) {
    const std::string from = card_text::Address(r.from.address) + ":" + std::to_string(r.from.port);
    const bool kept = held.Offer(r.from, r.bytes);
    const auto record = orvell::search::ReadReply(r.bytes.data(), r.bytes.size());
    std::string fate;
    if (!kept) {
      fate = "not kept: the same answer to another adapter's copy of the request, or more than one sender may send";
    } else if (!record) {
      fate = "skipped: not a search reply (those are " + std::to_string(orvell::search::kReplySize) + " bytes)";
    } else {
      fate = "card " + card_text::Address(rec::Ip(*record)) + " " + card_text::Mac(rec::MacAddress(*record));
      cards.push_back(rec::Ip(*record));
    }
    std::printf("  from %-21s %5zu bytes  %s\n", from.c_str(), r.bytes.size(), fate.c_str());
  }
  return cards;
}

void PrintHints(const Adapters& adapters, std::uint16_t port, const std::vector<Received>& received,
                const std::vector<std::uint32_t>& cards) {
  std::printf("hints:\n");
  bool any = false;
  const auto hint = [&any](const std::string& text) {
    std::printf("  - %s\n", text.c_str());
    any = true;
  };
  if (adapters.empty())
    hint(
        "No IPv4 adapter is up: connect the PC to the cards' network (cable plugged in, adapter enabled, an IPv4 "
        "address set).");
  if (port != orvell::kSearchLocalPort)
    hint("Another program holds UDP port " + std::to_string(orvell::kSearchLocalPort) +
         " (often another Kestrum or kestrum-cli): the answers came to port " + std::to_string(port) +
         " instead. That works, unless a firewall lets in only port " + std::to_string(orvell::kSearchLocalPort) + ".");
  if (!adapters.empty() && received.empty())
    hint("Nothing answered. On Windows a firewall blocking inbound UDP to port " +
         std::to_string(orvell::kSearchLocalPort) +
         " is the usual cause: allow it (as administrator: netsh advfirewall firewall add rule name=Kestrum dir=in "
         "action=allow protocol=UDP localport=" +
         std::to_string(orvell::kSearchLocalPort) +
         ") or allow the program in Windows Defender Firewall. Otherwise check that the cards are powered and on "
         "the same switch.");
  if (!received.empty() && cards.empty())
    hint("Datagrams arrived but none was a card's answer: another device answers on this port.");
  bool allElsewhere = !cards.empty();
  for (const std::uint32_t ip : cards) allElsewhere = allElsewhere && !InSubnetOf(ip, adapters);
  if (allElsewhere)
    hint(
        "Every card that answered has an address outside the PC's subnets: the search still finds them, since it "
        "broadcasts. To reach such a card otherwise, change it into your subnet with kestrum-cli set, or give the "
        "PC a second address in the card's subnet.");
  if (!any) std::printf("  (none: the search works)\n");
}

}  // namespace

int RunDiagnose() {
  const Adapters adapters = pindle::BroadcastAdapters();
  PrintAdapters(adapters);
  const std::unique_ptr<pindle::UdpSocket> socket = pindle::UdpSocket::Open(orvell::kSearchLocalPort);
  if (!socket) {
    std::printf("no UDP socket could be opened at all\n");
    return 1;
  }
  const std::uint16_t port = socket->LocalPort();
  std::printf("answers arrive on local UDP port %u%s\n", port,
              port == orvell::kSearchLocalPort ? "" : " (fell back: another program holds 11147)");
  const auto request = orvell::search::BuildRequest();
  const std::size_t copies =
      socket->SendTo(pindle::kLimitedBroadcast, orvell::kCardPort, request.data(), request.size());
  std::printf("search request sent to 255.255.255.255:%u as %zu cop%s\n", orvell::kCardPort, copies,
              copies == 1 ? "y" : "ies");
  const std::vector<Received> received = Listen(*socket);
  const std::vector<std::uint32_t> cards = PrintReceived(received, copies);
  std::printf("cards found: %zu\n", cards.size());
  PrintHints(adapters, port, received, cards);
  return cards.empty() ? 1 : 0;
}

}  // namespace kestrum::cli
