// A scripted stand-in for the socket library: each test says what CreatePindle,
// Open, Wait, Collect and Read give, runs an operation against it and then
// reads back every call in order, the settings record and the bytes sent.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "seam/pindle.h"

namespace fake_pindle {

using Bytes = std::vector<std::uint8_t>;

struct ScriptedDatagram {
  Bytes bytes;
  // What Read returns instead of the number of bytes it copied (0, -1, or a
  // count larger than was asked for).
  std::optional<std::int32_t> readResult;
};

struct Script {
  bool createsManager = true;
  bool opensEndpoint = true;
  // Unset: 1 + the number of scripted datagrams, as a socket library counts.
  std::optional<std::int32_t> waitResult;
  // Handed over by Collect, at most its capacity, oldest first.
  std::vector<ScriptedDatagram> datagrams;
  // What Collect returns instead of the number it handed over.
  std::optional<std::uint32_t> collectClaims;

  Script& WithoutManager() {
    createsManager = false;
    return *this;
  }
  Script& WithoutEndpoint() {
    opensEndpoint = false;
    return *this;
  }
  Script& WaitGives(std::int32_t result) {
    waitResult = result;
    return *this;
  }
  Script& CollectClaims(std::uint32_t count) {
    collectClaims = count;
    return *this;
  }
};

class FakeObject;
class FakeManager;
class FakeEndpoint;
class FakeDatagram;

// While an instance lives, CreatePindle below hands out its objects. The
// objects are owned here, so a Release only marks them; a second Release or a
// call after Release is recorded as an event of its own.
class FakePindle {
 public:
  explicit FakePindle(Script script);
  ~FakePindle();
  FakePindle(const FakePindle&) = delete;
  FakePindle& operator=(const FakePindle&) = delete;

  // Has the CreatePindleFunction signature; uses the living instance.
  static ISocketManager* PINDLE_CALL CreatePindle(const PindleSettings* settings);

  // "CreatePindle(port=11147)", "Open(255.255.255.255,9999)", "Send(32 bytes)",
  // "Wait(0.6,256)", "Collect(256)", "Read#0(112)", "Release datagram#0",
  // "Release endpoint", "Release manager".
  const std::vector<std::string>& Events() const { return events_; }
  const std::optional<PindleSettings>& Settings() const { return settings_; }
  const std::vector<Bytes>& Sent() const { return sent_; }
  // Objects handed out but not released exactly once, e.g. "datagram#2 released 0 times".
  std::vector<std::string> ReleaseFaults() const;

 private:
  friend class FakeObject;
  friend class FakeManager;
  friend class FakeEndpoint;

  ISocketManager* Create(const PindleSettings* settings);
  void Log(std::string event) { events_.push_back(std::move(event)); }

  Script script_;
  std::vector<std::string> events_;
  std::optional<PindleSettings> settings_;
  std::vector<Bytes> sent_;
  std::unique_ptr<FakeManager> manager_;
  std::unique_ptr<FakeEndpoint> endpoint_;
  std::vector<std::unique_ptr<FakeDatagram>> datagrams_;
};

}  // namespace fake_pindle
