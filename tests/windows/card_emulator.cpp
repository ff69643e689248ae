#include "card_emulator.h"

#include <ws2tcpip.h>

#include "control_record.h"
#include "pindle_settings.h"

namespace kestrum::windows_tests {
namespace {

constexpr std::uint16_t kCardPort = orvell::kCardPort;
// The largest datagram IPv4 carries, and one byte to spare.
constexpr int kReceiveCapacity = 65536;
// How often the answering thread looks whether it should stop.
constexpr long kStopCheckMicroseconds = 20 * 1000;

bool OnSameSegment(const ControlRecord& card, std::uint32_t sender) {
  const std::uint32_t mask = orvell::record::Mask(card);
  return (orvell::record::Ip(card) & mask) == (sender & mask);
}

}  // namespace

CardEmulator::CardEmulator(std::vector<ControlRecord> cards, EmulatorBehaviour behaviour)
    : behaviour_(std::move(behaviour)), responder_(std::move(cards), 0) {
  socket_ = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (socket_ == INVALID_SOCKET) return;
  const BOOL on = TRUE;
  setsockopt(socket_, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(kCardPort);
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  if (bind(socket_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
    closesocket(socket_);
    socket_ = INVALID_SOCKET;
    return;
  }
  thread_ = std::thread([this] { Serve(); });
}

CardEmulator::~CardEmulator() {
  stopping_ = true;
  if (thread_.joinable()) thread_.join();
  if (socket_ != INVALID_SOCKET) closesocket(socket_);
}

std::vector<std::uint32_t> CardEmulator::SearchRequestSources() const {
  const std::lock_guard lock(mutex_);
  return searchSources_;
}

std::vector<ControlRecord> CardEmulator::Cards() const {
  const std::lock_guard lock(mutex_);
  return responder_.Cards();
}

void CardEmulator::Serve() {
  std::vector<std::uint8_t> buffer(kReceiveCapacity);
  while (!stopping_) {
    fd_set readable{};
    readable.fd_count = 1;
    readable.fd_array[0] = socket_;
    timeval limit{0, kStopCheckMicroseconds};
    if (select(0, &readable, nullptr, nullptr, &limit) <= 0) continue;
    sockaddr_in from{};
    int fromLength = sizeof from;
    const int length = recvfrom(socket_, reinterpret_cast<char*>(buffer.data()), kReceiveCapacity, 0,
                                reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (length < 0) continue;
    Answer(std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + length), from);
  }
}

void CardEmulator::Answer(const std::vector<std::uint8_t>& datagram, const sockaddr_in& from) {
  cardsim::Response response;
  {
    const std::lock_guard lock(mutex_);
    const auto onSenderSegment = [&from](const ControlRecord& card) {
      return OnSameSegment(card, from.sin_addr.s_addr);
    };
    response = responder_.Handle(datagram.data(), datagram.size(), onSenderSegment);
    if (response.kind == cardsim::RequestKind::kSearch) searchSources_.push_back(from.sin_addr.s_addr);
  }
  sockaddr_in to = from;
  if (response.kind == cardsim::RequestKind::kSearch) {
    for (const auto& extra : behaviour_.datagramsBeforeAnswers) Send(extra.data(), extra.size(), from);
    if (behaviour_.broadcastAnswers) to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
  }
  for (const auto& answer : response.answers) Send(answer.bytes.data(), answer.bytes.size(), to);
}

void CardEmulator::Send(const std::uint8_t* bytes, std::size_t count, const sockaddr_in& to) {
  const int sent = sendto(socket_, reinterpret_cast<const char*>(bytes), static_cast<int>(count), 0,
                          reinterpret_cast<const sockaddr*>(&to), sizeof to);
  if (sent != static_cast<int>(count)) ++failedSends_;
}

}  // namespace kestrum::windows_tests
