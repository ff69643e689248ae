// POSIX sockets behind UdpSocket.
#include <arpa/inet.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "poll_timeout.h"
#include "send_from.h"
#include "udp_socket.h"

namespace pindle {
namespace {

std::uint32_t AddressOf(const sockaddr* address) {
  if (address == nullptr || address->sa_family != AF_INET) return 0;
  sockaddr_in in{};
  std::memcpy(&in, address, sizeof in);
  return in.sin_addr.s_addr;
}

class PosixUdpSocket final : public UdpSocket {
 public:
  explicit PosixUdpSocket(int fd) : fd_(fd) {}
  ~PosixUdpSocket() override { ::close(fd_); }
  PosixUdpSocket(const PosixUdpSocket&) = delete;
  PosixUdpSocket& operator=(const PosixUdpSocket&) = delete;

  std::uint16_t LocalPort() const override {
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &length) != 0) return 0;
    return ntohs(local.sin_port);
  }

  std::size_t SendTo(std::uint32_t address, std::uint16_t port, const std::uint8_t* bytes, std::size_t count) override {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = address;
    if (address != kLimitedBroadcast) return SendOnce(to, bytes, count, nullptr) ? 1 : 0;
    const auto interfaces = BroadcastAdapters();
    if (interfaces.empty()) return SendOnce(to, bytes, count, nullptr) ? 1 : 0;
    std::size_t copies = 0;
    for (const auto& interface : interfaces)
      if (SendOnce(to, bytes, count, &interface)) ++copies;
    return copies;
  }

  bool WaitReadable(std::chrono::microseconds timeout) override {
    pollfd entry{fd_, POLLIN, 0};
    // ppoll keeps the caller's deadline to the microsecond; poll's whole
    // milliseconds would make each listening time end up to 1 ms late.
    const timespec wait = PollTimeout(timeout);
    const int result = ::ppoll(&entry, 1, &wait, nullptr);
    // A pending error counts as readable too: the receive that follows takes
    // it off the socket, or poll would report it again at once until the
    // deadline.
    return result > 0 && (entry.revents & (POLLIN | POLLERR)) != 0;
  }

  std::optional<Arrival> ReceiveWaiting() override {
    for (;;) {
      sockaddr_in from{};
      socklen_t fromLength = sizeof from;
      const ssize_t length = ::recvfrom(fd_, buffer_.data(), buffer_.size(), MSG_DONTWAIT,
                                        reinterpret_cast<sockaddr*>(&from), &fromLength);
      if (length >= 0) {
        const auto kept = std::min(static_cast<std::size_t>(length), kLargestDatagram);
        return Arrival{{from.sin_addr.s_addr, ntohs(from.sin_port)}, {buffer_.data(), kept}};
      }
      if (errno == EINTR) continue;
      // An ICMP error from an earlier send surfaces here once; the next
      // datagram may still be waiting behind it.
      if (errno == ECONNREFUSED || errno == EHOSTUNREACH || errno == ENETUNREACH) continue;
      return std::nullopt;
    }
  }

 private:
  // Sends one copy; with an interface given, out of that interface and from
  // its address, still from our bound port.
  bool SendOnce(const sockaddr_in& to, const std::uint8_t* bytes, std::size_t count,
                const BroadcastAdapter* interface) {
    if (interface == nullptr) return SendFrom(fd_, to, bytes, count, 0, 0) >= 0;
    return SendFrom(fd_, to, bytes, count, interface->index, interface->address) >= 0;
  }

  int fd_;
  // One receive buffer for every datagram: room for the largest, and each
  // received datagram is then copied out at its own size.
  std::vector<std::uint8_t> buffer_ = std::vector<std::uint8_t>(kLargestDatagram + 1);
};

bool Bind(int fd, std::uint16_t port) {
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(port);
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  return ::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

}  // namespace

std::vector<BroadcastAdapter> BroadcastAdapters() {
  std::vector<BroadcastAdapter> found;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return found;
  for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
    if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) continue;
    const unsigned flags = entry->ifa_flags;
    if ((flags & IFF_UP) == 0 || (flags & IFF_BROADCAST) == 0 || (flags & IFF_LOOPBACK) != 0) continue;
    const unsigned index = if_nametoindex(entry->ifa_name);
    if (index == 0) continue;
    if (std::any_of(found.begin(), found.end(), [&](const BroadcastAdapter& a) { return a.index == index; })) continue;
    found.push_back({entry->ifa_name, index, AddressOf(entry->ifa_addr), AddressOf(entry->ifa_netmask)});
  }
  freeifaddrs(list);
  return found;
}

std::unique_ptr<UdpSocket> UdpSocket::Open(std::uint16_t preferredPort) {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
  if (fd < 0) return nullptr;
  auto socket = std::make_unique<PosixUdpSocket>(fd);
  const int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
  const int receiveBuffer = kReceiveBufferBytes;
  // SO_RCVBUFFORCE passes the system's cap where we may; otherwise the
  // kernel gives what rmem_max allows.
  if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &receiveBuffer, sizeof receiveBuffer) != 0)
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
  // No SO_REUSEADDR: on a UDP port two sockets sharing it would each lose the
  // unicast answers the kernel hands to the other. A port another program
  // holds is detected here, and we take a free one instead.
  if (!Bind(fd, preferredPort) && !Bind(fd, 0)) return nullptr;
  return socket;
}

}  // namespace pindle
