// The socket manager over a scripted socket: the listening time kept under a
// flood that never ends, and answers to a request that left as several copies
// merged.
#include "socket_manager.h"

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <thread>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

// A socket whose sends leave as `copies` copies and whose receive side hands
// out the scripted datagrams, then, with `endlessFlood`, one junk datagram
// after another for ever.
class ScriptedSocket final : public pindle::UdpSocket {
 public:
  std::size_t copies = 1;
  bool endlessFlood = false;
  std::deque<std::pair<pindle::DatagramSource, Bytes>> script;

  std::uint16_t LocalPort() const override { return 11147; }
  std::size_t SendTo(std::uint32_t, std::uint16_t, const std::uint8_t*, std::size_t) override { return copies; }
  bool WaitReadable(std::chrono::microseconds timeout) override {
    if (!endlessFlood && script.empty()) std::this_thread::sleep_for(timeout);
    return endlessFlood || !script.empty();
  }
  std::optional<Arrival> ReceiveWaiting() override {
    if (!script.empty()) {
      current_ = script.front();
      script.pop_front();
    } else if (endlessFlood) {
      current_ = {{0x0101A8C0u, 40000}, {}};
    } else {
      return std::nullopt;
    }
    return Arrival{current_.first, current_.second};
  }

 private:
  std::pair<pindle::DatagramSource, Bytes> current_;
};

struct Releaser {
  template <typename T>
  void operator()(T* object) const {
    if (object != nullptr) object->Release();
  }
};

struct Fixture {
  ScriptedSocket* socket = nullptr;
  std::unique_ptr<ISocketManager, Releaser> manager;

  Fixture() {
    auto scripted = std::make_unique<ScriptedSocket>();
    socket = scripted.get();
    manager.reset(new pindle::SocketManager(std::make_shared<pindle::SharedSocket>(std::move(scripted))));
  }
  void SendRequest() const {
    IDatagramEndpoint* endpoint = nullptr;
    ASSERT_EQ(manager->Open("255.255.255.255", 9999, &endpoint), 0);
    const std::uint8_t request[32] = {};
    endpoint->Send(request, sizeof request);
    endpoint->Release();
  }
  std::uint32_t CollectCount() const {
    IReceivedDatagram* received[256] = {};
    const std::uint32_t count = manager->Collect(received, 256);
    for (std::uint32_t i = 0; i < count; ++i) received[i]->Release();
    return count;
  }
};

TEST(SocketManager, WaitKeepsItsListeningTimeUnderAFloodThatNeverEnds) {
  Fixture fixture;
  fixture.socket->endlessFlood = true;
  std::uint32_t events[256] = {};
  const auto start = Clock::now();
  EXPECT_GE(fixture.manager->Wait(0.1, events, 256), 2);
  const auto elapsed = Clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::milliseconds(100));
  // Generous: only reading on without looking at the clock breaks it.
  EXPECT_LT(elapsed, std::chrono::milliseconds(300));
  EXPECT_EQ(fixture.CollectCount(), 256u) << "one source holds no more than a search's Collect takes";
}

TEST(SocketManager, AnswersToARequestSentAsSeveralCopiesAreHandedOverOnce) {
  const pindle::DatagramSource card{0x6401A8C0u, 9999};
  const pindle::DatagramSource otherCard{0x6501A8C0u, 9999};
  const Bytes answer(111, 0x5A);
  for (const std::size_t copies : {std::size_t{1}, std::size_t{2}}) {
    Fixture fixture;
    fixture.socket->copies = copies;
    fixture.SendRequest();
    fixture.socket->script = {{card, answer}, {card, answer}, {otherCard, answer}, {otherCard, answer}};
    std::uint32_t events[256] = {};
    fixture.manager->Wait(0.01, events, 256);
    EXPECT_EQ(fixture.CollectCount(), copies == 1 ? 4u : 2u) << copies << " copies sent";
  }
}

}  // namespace
