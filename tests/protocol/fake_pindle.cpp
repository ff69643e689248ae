#include "fake_pindle.h"

#include <algorithm>
#include <cstring>
#include <sstream>
#include <utility>

#include "byte_order.h"

namespace fake_pindle {
namespace {

thread_local FakePindle* current = nullptr;

// Written into every entry of Wait's event array, so an array shorter than
// the capacity it was passed with shows under the sanitizer.
constexpr std::uint32_t kEventMark = 0xE7E7E7E7;

}  // namespace

// What the three kinds of object share: a name in the log and a count of
// releases. A call after Release is logged with "after release: " before it.
class FakeObject {
 public:
  FakeObject(FakePindle& owner, std::string name) : owner_(owner), name_(std::move(name)) {}
  int Releases() const { return releases_; }
  const std::string& Name() const { return name_; }

 protected:
  FakePindle& Owner() { return owner_; }
  void LogCall(std::string event) {
    if (releases_ > 0) event = "after release: " + event;
    owner_.Log(std::move(event));
  }
  void CountRelease() {
    ++releases_;
    owner_.Log((releases_ == 1 ? "Release " : "Release again ") + name_);
  }

 private:
  FakePindle& owner_;
  std::string name_;
  int releases_ = 0;
};

class FakeDatagram final : public IReceivedDatagram, public FakeObject {
 public:
  FakeDatagram(FakePindle& owner, std::size_t index, ScriptedDatagram script)
      : FakeObject(owner, "datagram#" + std::to_string(index)), index_(index), script_(std::move(script)) {}

  std::int32_t PINDLE_CALL Read(void* buffer, std::int32_t maxBytes) override {
    LogCall("Read#" + std::to_string(index_) + "(" + std::to_string(maxBytes) + ")");
    std::size_t copied = 0;
    if (buffer != nullptr && maxBytes > 0) {
      copied = std::min(script_.bytes.size(), static_cast<std::size_t>(maxBytes));
      if (copied > 0) std::memcpy(buffer, script_.bytes.data(), copied);
    }
    return script_.readResult.value_or(static_cast<std::int32_t>(copied));
  }
  void PINDLE_CALL Release() override { CountRelease(); }

 private:
  std::size_t index_;
  ScriptedDatagram script_;
};

class FakeEndpoint final : public IDatagramEndpoint, public FakeObject {
 public:
  explicit FakeEndpoint(FakePindle& owner) : FakeObject(owner, "endpoint") {}

  std::int32_t PINDLE_CALL Send(const void* bytes, std::int32_t count) override {
    LogCall("Send(" + std::to_string(count) + " bytes)");
    if (bytes == nullptr || count < 0) return -1;
    const auto* first = static_cast<const std::uint8_t*>(bytes);
    Owner().sent_.emplace_back(first, first + count);
    return count;
  }
  void PINDLE_CALL Release() override { CountRelease(); }
};

class FakeManager final : public ISocketManager, public FakeObject {
 public:
  FakeManager(FakePindle& owner, const Script& script) : FakeObject(owner, "manager"), script_(script) {}

  std::int32_t PINDLE_CALL Wait(double seconds, std::uint32_t* events, std::int32_t capacity) override {
    std::ostringstream event;
    event << "Wait(" << seconds << "," << capacity << ")";
    LogCall(event.str());
    if (events != nullptr) std::fill(events, events + std::max(capacity, 0), kEventMark);
    const auto arrived = static_cast<std::int32_t>(script_.datagrams.size());
    return script_.waitResult.value_or(1 + arrived);
  }

  std::uint32_t PINDLE_CALL Collect(IReceivedDatagram** datagrams, std::uint32_t capacity) override {
    LogCall("Collect(" + std::to_string(capacity) + ")");
    std::uint32_t handed = 0;
    auto& owned = Owner().datagrams_;
    while (datagrams != nullptr && handed < capacity && owned.size() < script_.datagrams.size()) {
      owned.push_back(std::make_unique<FakeDatagram>(Owner(), owned.size(), script_.datagrams[owned.size()]));
      datagrams[handed++] = owned.back().get();
    }
    return script_.collectClaims.value_or(handed);
  }

  std::int32_t PINDLE_CALL Open(const char* address, std::uint16_t port, IDatagramEndpoint** endpoint) override {
    LogCall("Open(" + std::string(address != nullptr ? address : "null") + "," + std::to_string(port) + ")");
    if (endpoint == nullptr || !script_.opensEndpoint) return -1;
    auto& owned = Owner().endpoint_;
    if (!owned) owned = std::make_unique<FakeEndpoint>(Owner());
    *endpoint = owned.get();
    return 0;
  }

  void PINDLE_CALL Release() override { CountRelease(); }

 private:
  const Script& script_;
};

FakePindle::FakePindle(Script script) : script_(std::move(script)) { current = this; }

FakePindle::~FakePindle() {
  if (current == this) current = nullptr;
}

ISocketManager* PINDLE_CALL FakePindle::CreatePindle(const PindleSettings* settings) {
  return current != nullptr ? current->Create(settings) : nullptr;
}

ISocketManager* FakePindle::Create(const PindleSettings* settings) {
  std::string port = "none";
  if (settings != nullptr) {
    settings_ = *settings;
    port = std::to_string(orvell::ReadLE16(settings->bytes + pindle_settings::kLocalPortOffset));
  }
  Log("CreatePindle(port=" + port + ")");
  if (!script_.createsManager) return nullptr;
  if (!manager_) manager_ = std::make_unique<FakeManager>(*this, script_);
  return manager_.get();
}

std::vector<std::string> FakePindle::ReleaseFaults() const {
  std::vector<const FakeObject*> handedOut;
  if (manager_) handedOut.push_back(manager_.get());
  if (endpoint_) handedOut.push_back(endpoint_.get());
  for (const auto& datagram : datagrams_) handedOut.push_back(datagram.get());
  std::vector<std::string> faults;
  for (const FakeObject* object : handedOut) {
    if (object->Releases() != 1) {
      faults.push_back(object->Name() + " released " + std::to_string(object->Releases()) + " times");
    }
  }
  return faults;
}

}  // namespace fake_pindle
