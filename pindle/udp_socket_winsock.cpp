// Winsock behind UdpSocket.
//
// One socket does everything: it is bound to the settings' port on every
// address, the requests leave from it, and the answers arrive on it, whether
// a card sends them back to the request's source address and port or
// broadcasts them to that port. To send the limited broadcast out of every
// adapter, the socket names the outgoing adapter for each copy with
// IP_UNICAST_IF. Sending sockets bound to each adapter's address and the same
// port would be the other way, but the port is held with SO_EXCLUSIVEADDRUSE,
// which refuses exactly such a second binding, and answers sent to those
// sockets would have to be gathered from several places.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <mswsock.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "adapter_list_windows.h"
#include "udp_socket.h"

namespace pindle {
namespace {

// Winsock counts WSAStartup calls itself; every socket holds one start-up and
// gives it back with WSACleanup after the socket is closed, so the library
// starts Winsock while it has sockets and leaves the program's own use alone.
class WinsockSession {
 public:
  WinsockSession() {
    WSADATA data{};
    started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~WinsockSession() {
    if (started_) WSACleanup();
  }
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;

  bool Started() const { return started_; }

 private:
  bool started_ = false;
};

bool CarriesBroadcast(const IP_ADAPTER_ADDRESSES& adapter) {
  if (adapter.IfIndex == 0 || adapter.OperStatus != IfOperStatusUp) return false;
  if ((adapter.Flags & IP_ADAPTER_RECEIVE_ONLY) != 0) return false;
  // Loopback and point-to-point links (dial-up, tunnels) carry no broadcast.
  switch (adapter.IfType) {
    case IF_TYPE_SOFTWARE_LOOPBACK:
    case IF_TYPE_PPP:
    case IF_TYPE_TUNNEL:
      return false;
    default:
      return true;
  }
}

// The adapter's first IPv4 address, or null.
const IP_ADAPTER_UNICAST_ADDRESS* FirstIpv4(const IP_ADAPTER_ADDRESSES& adapter) {
  for (const IP_ADAPTER_UNICAST_ADDRESS* address = adapter.FirstUnicastAddress; address != nullptr;
       address = address->Next) {
    if (address->Address.lpSockaddr != nullptr && address->Address.lpSockaddr->sa_family == AF_INET) return address;
  }
  return nullptr;
}

std::string Narrow(const wchar_t* text) {
  if (text == nullptr) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string narrow(static_cast<std::size_t>(size - 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), size, nullptr, nullptr);
  return narrow;
}

template <typename Value>
bool SetOption(SOCKET socket, int level, int name, Value value) {
  return setsockopt(socket, level, name, reinterpret_cast<const char*>(&value), sizeof value) == 0;
}

class WinsockUdpSocket final : public UdpSocket {
 public:
  WinsockUdpSocket() = default;
  ~WinsockUdpSocket() override {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
  }
  WinsockUdpSocket(const WinsockUdpSocket&) = delete;
  WinsockUdpSocket& operator=(const WinsockUdpSocket&) = delete;

  // Makes the socket with its options; false when Winsock or the socket
  // cannot be had.
  bool Create() {
    if (!session_.Started()) return false;
    // Not inherited by programs the caller starts, as on POSIX.
    socket_ = WSASocketW(AF_INET, SOCK_DGRAM, IPPROTO_UDP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    if (socket_ == INVALID_SOCKET) socket_ = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (socket_ == INVALID_SOCKET) return false;
    u_long nonBlocking = 1;
    if (ioctlsocket(socket_, static_cast<long>(FIONBIO), &nonBlocking) != 0) return false;
    SetOption<BOOL>(socket_, SOL_SOCKET, SO_BROADCAST, TRUE);
    SetOption<int>(socket_, SOL_SOCKET, SO_RCVBUF, kReceiveBufferBytes);
    // No address reuse: two sockets sharing the port would each lose the
    // unicast answers handed to the other. Exclusive use also keeps another
    // program from binding the port over ours; it then takes a free port.
    SetOption<BOOL>(socket_, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, TRUE);
    TurnOffConnectionResetReports();
    return true;
  }

  bool Bind(std::uint16_t port) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    return bind(socket_, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
  }

  std::uint16_t LocalPort() const override {
    sockaddr_in local{};
    int length = sizeof local;
    if (getsockname(socket_, reinterpret_cast<sockaddr*>(&local), &length) != 0) return 0;
    return ntohs(local.sin_port);
  }

  std::size_t SendTo(std::uint32_t address, std::uint16_t port, const std::uint8_t* bytes, std::size_t count) override {
    if (count > kLargestDatagram || (bytes == nullptr && count > 0)) return 0;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = address;
    if (address != kLimitedBroadcast) return SendOnce(to, bytes, count) ? 1 : 0;
    bool anySelected = false;
    std::size_t copies = 0;
    for (const BroadcastAdapter& adapter : BroadcastAdapters()) {
      if (!SelectOutgoingAdapter(adapter.index)) continue;
      anySelected = true;
      if (SendOnce(to, bytes, count)) ++copies;
    }
    SelectOutgoingAdapter(0);
    // No adapter could be named: let the system choose one rather than send
    // nothing at all.
    if (!anySelected) return SendOnce(to, bytes, count) ? 1 : 0;
    return copies;
  }

  bool WaitReadable(std::chrono::microseconds timeout) override {
    fd_set readable{};
    readable.fd_count = 1;
    readable.fd_array[0] = socket_;
    // To the microsecond, so the caller's deadline is not overshot by
    // rounding; when Windows wakes early, the caller's loop tops up the rest.
    const auto bounded =
        std::clamp<std::chrono::microseconds>(timeout, std::chrono::microseconds::zero(), std::chrono::minutes(1));
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(bounded);
    timeval limit{};
    limit.tv_sec = static_cast<long>(seconds.count());
    limit.tv_usec = static_cast<long>((bounded - seconds).count());
    return select(0, &readable, nullptr, nullptr, &limit) > 0;
  }

  std::optional<Arrival> ReceiveWaiting() override {
    const int capacity = static_cast<int>(buffer_.size());
    for (;;) {
      sockaddr_in from{};
      int fromLength = sizeof from;
      const int length = recvfrom(socket_, reinterpret_cast<char*>(buffer_.data()), capacity, 0,
                                  reinterpret_cast<sockaddr*>(&from), &fromLength);
      const DatagramSource source{from.sin_addr.s_addr, ntohs(from.sin_port)};
      if (length >= 0) return Kept(source, static_cast<std::size_t>(length));
      switch (WSAGetLastError()) {
        case WSAEINTR:
        // An ICMP port-unreachable or time-exceeded report on an earlier send
        // surfaces here once, where the reports are not already turned off;
        // the next datagram may still be waiting behind it.
        case WSAECONNRESET:
        case WSAENETRESET:
          continue;
        case WSAEMSGSIZE:
          // Larger than any IPv4 datagram; the part that fits is handed on.
          return Kept(source, kLargestDatagram);
        default:
          return std::nullopt;
      }
    }
  }

 private:
  // The received datagram at its own size, in the receive buffer.
  Arrival Kept(DatagramSource source, std::size_t length) const {
    return Arrival{source, {buffer_.data(), std::min(length, kLargestDatagram)}};
  }

  // Without this, an ICMP port-unreachable for one of our sends makes the next
  // receive fail with WSAECONNRESET.
  void TurnOffConnectionResetReports() {
    BOOL report = FALSE;
    DWORD returned = 0;
    WSAIoctl(socket_, SIO_UDP_CONNRESET, &report, sizeof report, nullptr, 0, &returned, nullptr, nullptr);
  }

  // Index 0 gives the choice of adapter back to the routing table. The option
  // takes an IPv4 interface index in network byte order.
  bool SelectOutgoingAdapter(ULONG index) { return SetOption<DWORD>(socket_, IPPROTO_IP, IP_UNICAST_IF, htonl(index)); }

  bool SendOnce(const sockaddr_in& to, const std::uint8_t* bytes, std::size_t count) {
    const int sent = sendto(socket_, reinterpret_cast<const char*>(bytes), static_cast<int>(count), 0,
                            reinterpret_cast<const sockaddr*>(&to), sizeof to);
    return sent != SOCKET_ERROR;
  }

  // Declared first: Winsock stays started until the socket is closed.
  WinsockSession session_;
  SOCKET socket_ = INVALID_SOCKET;
  // One receive buffer for every datagram, with room for the largest.
  std::vector<std::uint8_t> buffer_ = std::vector<std::uint8_t>(kLargestDatagram + 1);
};

}  // namespace

std::vector<BroadcastAdapter> BroadcastAdapters() {
  std::vector<BroadcastAdapter> found;
  AdapterList(AF_INET).ForEach([&](const IP_ADAPTER_ADDRESSES& adapter) {
    const IP_ADAPTER_UNICAST_ADDRESS* ipv4 = FirstIpv4(adapter);
    if (ipv4 == nullptr || !CarriesBroadcast(adapter)) return;
    if (std::any_of(found.begin(), found.end(), [&](const BroadcastAdapter& a) { return a.index == adapter.IfIndex; }))
      return;
    sockaddr_in in{};
    std::memcpy(&in, ipv4->Address.lpSockaddr, sizeof in);
    const ULONG prefix = ipv4->OnLinkPrefixLength;
    const std::uint32_t hostMask = prefix == 0 ? 0 : prefix >= 32 ? 0xFFFFFFFFu : ~(0xFFFFFFFFu >> prefix);
    found.push_back({Narrow(adapter.FriendlyName), adapter.IfIndex, in.sin_addr.s_addr, htonl(hostMask)});
  });
  return found;
}

std::unique_ptr<UdpSocket> UdpSocket::Open(std::uint16_t preferredPort) {
  auto socket = std::make_unique<WinsockUdpSocket>();
  if (!socket->Create()) return nullptr;
  // The preferred port is taken when another program (or another search of
  // ours) holds it; a free port still receives the answers sent back to it.
  if (!socket->Bind(preferredPort) && !socket->Bind(0)) return nullptr;
  return socket;
}

}  // namespace pindle
