// pindle over real sockets on the harness's private network: what Orvell
// relies on (Wait, Collect, Read, Open, Send), datagrams of every size, the
// per-interface broadcast and the fallback port.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "lan.h"
#include "pindle_settings.h"
#include "seam/pindle.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint16_t kManagerPort = orvell::kSearchLocalPort;
constexpr std::uint16_t kCardPort = orvell::kCardPort;
constexpr std::size_t kLargestUdpPayload = 65507;  // 65,535 - 20 (IPv4) - 8 (UDP)

struct Releaser {
  template <typename T>
  void operator()(T* object) const {
    if (object != nullptr) object->Release();
  }
};
using Manager = std::unique_ptr<ISocketManager, Releaser>;
using Endpoint = std::unique_ptr<IDatagramEndpoint, Releaser>;
using Received = std::unique_ptr<IReceivedDatagram, Releaser>;

Manager CreateManager(std::uint16_t port = kManagerPort) {
  const PindleSettings settings = orvell::MakePindleSettings(port);
  return Manager(CreatePindle(&settings));
}

Endpoint OpenEndpoint(ISocketManager& manager, const std::string& address, std::uint16_t port) {
  IDatagramEndpoint* endpoint = nullptr;
  EXPECT_EQ(manager.Open(address.c_str(), port, &endpoint), 0) << address;
  return Endpoint(endpoint);
}

// A plain socket, closed with the test.
class Socket {
 public:
  explicit Socket(const std::string& ns = "", std::uint16_t port = 0) : fd_(kestrum::lan::OpenUdpSocketIn(ns, port)) {}
  ~Socket() { ::close(fd_); }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;

  void SendTo(const std::string& address, std::uint16_t port, const Bytes& bytes) const {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    ASSERT_EQ(::inet_pton(AF_INET, address.c_str(), &to.sin_addr), 1);
    ASSERT_EQ(::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to),
              static_cast<ssize_t>(bytes.size()));
  }

  struct Datagram {
    Bytes bytes;
    std::string fromAddress;
    std::uint16_t fromPort = 0;
  };
  // Blocks (at most the socket's 10 s) for the next datagram.
  Datagram Receive() const {
    Bytes buffer(kLargestUdpPayload + 1);
    sockaddr_in from{};
    socklen_t length = sizeof from;
    const ssize_t got = ::recvfrom(fd_, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr*>(&from), &length);
    if (got < 0) return {};
    buffer.resize(static_cast<std::size_t>(got));
    char address[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &from.sin_addr, address, sizeof address);
    return {buffer, address, ntohs(from.sin_port)};
  }
  bool NothingWaiting() const {
    char byte = 0;
    return ::recv(fd_, &byte, 1, MSG_DONTWAIT) < 0 && errno == EAGAIN;
  }
  std::uint16_t Port() const {
    sockaddr_in local{};
    socklen_t length = sizeof local;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &length);
    return ntohs(local.sin_port);
  }

 private:
  int fd_;
};

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

// Listens in short periods until the manager holds `count` datagrams (or a
// generous bound passes); returns the last Wait result.
std::int32_t WaitFor(ISocketManager& manager, std::uint32_t count) {
  std::uint32_t events[1] = {};
  std::int32_t result = 0;
  for (int attempt = 0; attempt < 200; ++attempt) {
    result = manager.Wait(0.05, events, 1);
    if (result >= static_cast<std::int32_t>(1 + count)) break;
  }
  return result;
}

std::vector<Received> CollectAll(ISocketManager& manager, std::uint32_t capacity) {
  std::vector<IReceivedDatagram*> raw(capacity, nullptr);
  const std::uint32_t count = manager.Collect(raw.data(), capacity);
  EXPECT_LE(count, capacity);
  std::vector<Received> received;
  for (std::uint32_t i = 0; i < count; ++i) received.emplace_back(raw[i]);
  return received;
}

Bytes ReadAll(IReceivedDatagram& datagram, std::int32_t maxBytes) {
  Bytes buffer(static_cast<std::size_t>(maxBytes));
  const std::int32_t length = datagram.Read(buffer.data(), maxBytes);
  buffer.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return buffer;
}

TEST(PindleFactory, RefusesAMissingOrMisSizedSettingsRecord) {
  EXPECT_EQ(CreatePindle(nullptr), nullptr);
  PindleSettings settings = orvell::MakePindleSettings(kManagerPort);
  settings.bytes[pindle_settings::kRecordSizeOffset] = 55;
  EXPECT_EQ(CreatePindle(&settings), nullptr);
}

TEST(PindleWait, ReturnsOneWhenNothingArrived) {
  Manager manager = CreateManager();
  ASSERT_TRUE(manager);
  std::uint32_t events[256] = {};
  EXPECT_EQ(manager->Wait(0.05, events, 256), 1);
  EXPECT_EQ(CollectAll(*manager, 256).size(), 0u);
}

TEST(PindleWait, ReturnsOneMoreThanTheDatagramsThatArrived) {
  Manager manager = CreateManager();
  ASSERT_TRUE(manager);
  Socket sender;
  for (int i = 0; i < 3; ++i) sender.SendTo("127.0.0.1", kManagerPort, Text("answer"));
  EXPECT_EQ(WaitFor(*manager, 3), 4);
}

TEST(PindleCollect, HandsAtMostItsCapacityInArrivalOrderAndKeepsTheRest) {
  Manager manager = CreateManager();
  ASSERT_TRUE(manager);
  Socket sender;
  for (int i = 0; i < 5; ++i) sender.SendTo("127.0.0.1", kManagerPort, Text("datagram " + std::to_string(i)));
  ASSERT_EQ(WaitFor(*manager, 5), 6);
  EXPECT_EQ(manager->Collect(nullptr, 5), 0u);

  const auto first = CollectAll(*manager, 2);
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(ReadAll(*first[0], 64), Text("datagram 0"));
  EXPECT_EQ(ReadAll(*first[1], 64), Text("datagram 1"));

  const auto rest = CollectAll(*manager, 256);
  ASSERT_EQ(rest.size(), 3u);
  for (std::size_t i = 0; i < rest.size(); ++i)
    EXPECT_EQ(ReadAll(*rest[i], 64), Text("datagram " + std::to_string(i + 2)));
  EXPECT_EQ(CollectAll(*manager, 256).size(), 0u);
}

TEST(PindleCollect, AFloodFromOneSourceIsBoundedKeepingTheOldestDatagrams) {
  Manager manager = CreateManager();
  ASSERT_TRUE(manager);
  Socket sender;
  // More than one source may hold, in batches the socket buffer takes whole,
  // each drained before the next.
  constexpr std::uint32_t kBatch = 500;
  constexpr std::uint32_t kSent = 4 * kBatch;
  constexpr std::uint32_t kHeldPerSource = 256;  // what one Collect of a search takes
  std::int32_t held = 0;
  for (std::uint32_t i = 0; i < kSent; ++i) {
    sender.SendTo("127.0.0.1", kManagerPort, Text(std::to_string(i)));
    if ((i + 1) % kBatch == 0) held = WaitFor(*manager, std::min(i + 1, kHeldPerSource));
  }
  EXPECT_EQ(held, 1 + static_cast<std::int32_t>(kHeldPerSource));
  const auto received = CollectAll(*manager, kSent);
  ASSERT_EQ(received.size(), kHeldPerSource);
  EXPECT_EQ(ReadAll(*received.front(), 16), Text("0"));
  EXPECT_EQ(ReadAll(*received.back(), 16), Text("255"));
}

TEST(PindleRead, NeverCopiesMoreThanAsked) {
  Manager manager = CreateManager();
  ASSERT_TRUE(manager);
  Socket sender;
  sender.SendTo("127.0.0.1", kManagerPort, Text("0123456789"));
  ASSERT_EQ(WaitFor(*manager, 1), 2);
  const auto received = CollectAll(*manager, 1);
  ASSERT_EQ(received.size(), 1u);
  IReceivedDatagram& datagram = *received[0];

  std::uint8_t buffer[16];
  std::memset(buffer, 0xCC, sizeof buffer);
  EXPECT_EQ(datagram.Read(buffer, 4), 4);
  EXPECT_EQ(Bytes(buffer, buffer + 4), Text("0123"));
  for (std::size_t i = 4; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], 0xCC) << "byte " << i << " was written";

  EXPECT_EQ(datagram.Read(buffer, 0), 0);
  EXPECT_EQ(datagram.Read(buffer, -5), 0);
  EXPECT_EQ(datagram.Read(nullptr, 16), 0);
  EXPECT_EQ(datagram.Read(buffer, sizeof buffer), 10) << "reading again gives the whole datagram";
}

TEST(PindleDatagrams, EmptyAndLargestArriveWhole) {
  Manager manager = CreateManager();
  ASSERT_TRUE(manager);
  Socket sender;
  Bytes largest(kLargestUdpPayload);
  std::iota(largest.begin(), largest.end(), std::uint8_t{1});
  sender.SendTo("127.0.0.1", kManagerPort, {});
  sender.SendTo("127.0.0.1", kManagerPort, largest);
  ASSERT_EQ(WaitFor(*manager, 2), 3);
  const auto received = CollectAll(*manager, 256);
  ASSERT_EQ(received.size(), 2u);

  std::uint8_t guard[4] = {0xCC, 0xCC, 0xCC, 0xCC};
  EXPECT_EQ(received[0]->Read(guard, sizeof guard), 0) << "an empty datagram has no bytes to read";
  EXPECT_EQ(guard[0], 0xCC);

  EXPECT_EQ(ReadAll(*received[1], 70000), largest);
  EXPECT_EQ(ReadAll(*received[1], 111), Bytes(largest.begin(), largest.begin() + 111));
}

TEST(PindleEndpoint, SendsTheLargestDatagramAndRefusesALargerOne) {
  Manager manager = CreateManager();
  ASSERT_TRUE(manager);
  Socket receiver;
  Endpoint endpoint = OpenEndpoint(*manager, "127.0.0.1", receiver.Port());
  ASSERT_TRUE(endpoint);
  Bytes largest(kLargestUdpPayload, 0x42);
  EXPECT_EQ(endpoint->Send(largest.data(), static_cast<std::int32_t>(largest.size())), 65507);
  EXPECT_EQ(receiver.Receive().bytes, largest);
  Bytes tooLarge(kLargestUdpPayload + 1, 0x43);
  EXPECT_LT(endpoint->Send(tooLarge.data(), static_cast<std::int32_t>(tooLarge.size())), 0);
  EXPECT_LT(endpoint->Send(nullptr, 4), 0);
  EXPECT_LT(endpoint->Send(largest.data(), -1), 0);
}

TEST(PindleOpen, RefusesWhatIsNotADottedAddress) {
  Manager manager = CreateManager();
  ASSERT_TRUE(manager);
  for (const char* address : {"256.1.1.1", "1.2.3", "1.2.3.4.5", "", "a.b.c.d", " 1.2.3.4"}) {
    IDatagramEndpoint* endpoint = reinterpret_cast<IDatagramEndpoint*>(&manager);  // not null before the call
    EXPECT_NE(manager->Open(address, kCardPort, &endpoint), 0) << address;
    EXPECT_EQ(endpoint, nullptr) << address;
  }
  IDatagramEndpoint* endpoint = nullptr;
  EXPECT_NE(manager->Open(nullptr, kCardPort, &endpoint), 0);
  EXPECT_NE(manager->Open("1.2.3.4", kCardPort, nullptr), 0);
}

// Every datagram a card LAN's receiver got before the marker that follows the
// broadcast. With the sending thread on one processor the two leave in order.
std::vector<Socket::Datagram> ReceivedBeforeMarker(const Socket& receiver, const Bytes& marker) {
  std::vector<Socket::Datagram> before;
  for (int i = 0; i < 100; ++i) {
    Socket::Datagram datagram = receiver.Receive();
    if (datagram.bytes == marker || datagram.fromPort == 0) break;
    before.push_back(std::move(datagram));
  }
  return before;
}

void PinToOneProcessor() {
  cpu_set_t one;
  CPU_ZERO(&one);
  const int current = sched_getcpu();
  ASSERT_GE(current, 0);
  CPU_SET(static_cast<std::size_t>(current), &one);
  ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
}

TEST(PindleBroadcast, LeavesExactlyOnceThroughEveryInterface) {
  PinToOneProcessor();
  const auto lans = kestrum::lan::Lans();
  std::vector<std::unique_ptr<Socket>> receivers;
  for (const auto& lan : lans) receivers.push_back(std::make_unique<Socket>(lan.ns, kCardPort));
  Manager manager = CreateManager();
  ASSERT_TRUE(manager);
  const Bytes request = Text("search");
  const Bytes marker = Text("marker");
  Endpoint broadcast = OpenEndpoint(*manager, "255.255.255.255", kCardPort);
  ASSERT_EQ(broadcast->Send(request.data(), static_cast<std::int32_t>(request.size())), 6);
  for (const auto& lan : lans) {
    Endpoint direct = OpenEndpoint(*manager, lan.subnet + ".1", kCardPort);
    ASSERT_EQ(direct->Send(marker.data(), static_cast<std::int32_t>(marker.size())), 6);
  }
  for (std::size_t i = 0; i < lans.size(); ++i) {
    const auto heard = ReceivedBeforeMarker(*receivers[i], marker);
    ASSERT_EQ(heard.size(), 1u) << "LAN " << lans[i].index;
    EXPECT_EQ(heard[0].bytes, request);
    EXPECT_EQ(heard[0].fromAddress, lans[i].pcIp) << "sent from the interface's own address";
    EXPECT_EQ(heard[0].fromPort, kManagerPort) << "sent from the port that takes the answers";
  }
}

TEST(PindleBroadcast, AnswersBroadcastToTheManagersPortArrive) {
  const auto lans = kestrum::lan::Lans();
  Manager manager = CreateManager();
  ASSERT_TRUE(manager);
  Socket card(lans[0].ns);
  card.SendTo("255.255.255.255", kManagerPort, Text("broadcast answer"));
  ASSERT_EQ(WaitFor(*manager, 1), 2);
  const auto received = CollectAll(*manager, 256);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(ReadAll(*received[0], 64), Text("broadcast answer"));
}

TEST(PindlePort, FallsBackToAFreePortWhenAnotherProgramHoldsIt) {
  const auto lans = kestrum::lan::Lans();
  Socket holder("", kManagerPort);
  Socket card(lans[0].ns, kCardPort);
  Manager manager = CreateManager();
  ASSERT_TRUE(manager) << "a taken port must not make the manager fail";
  Endpoint broadcast = OpenEndpoint(*manager, "255.255.255.255", kCardPort);
  const Bytes request = Text("search");
  ASSERT_EQ(broadcast->Send(request.data(), static_cast<std::int32_t>(request.size())), 6);

  const Socket::Datagram heard = card.Receive();
  ASSERT_EQ(heard.bytes, request);
  EXPECT_NE(heard.fromPort, kManagerPort);
  // The card answers the request's source, which must be the manager.
  card.SendTo(heard.fromAddress, heard.fromPort, Text("answer"));
  ASSERT_EQ(WaitFor(*manager, 1), 2);
  EXPECT_EQ(ReadAll(*CollectAll(*manager, 1).at(0), 64), Text("answer"));
  EXPECT_TRUE(holder.NothingWaiting()) << "the other program must not get our answers";
}

}  // namespace
