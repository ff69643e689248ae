#include "card_emulator.h"

#include <ws2tcpip.h>

#include "control_record.h"
#include "parameter_datagrams.h"
#include "pindle_settings.h"
#include "search_datagrams.h"

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
    : behaviour_(std::move(behaviour)), cards_(std::move(cards)) {
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
  return cards_;
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
  if (orvell::search::IsRequest(datagram.data(), datagram.size())) {
    AnswerSearch(from);
  } else if (const auto change = orvell::parameter::ReadRequest(datagram.data(), datagram.size())) {
    AnswerParameterChange(*change, from);
  }
}

void CardEmulator::AnswerSearch(const sockaddr_in& from) {
  std::vector<ControlRecord> answering;
  {
    const std::lock_guard lock(mutex_);
    searchSources_.push_back(from.sin_addr.s_addr);
    for (const auto& card : cards_)
      if (OnSameSegment(card, from.sin_addr.s_addr)) answering.push_back(card);
  }
  for (const auto& datagram : behaviour_.datagramsBeforeAnswers) Send(datagram.data(), datagram.size(), from);
  sockaddr_in to = from;
  if (behaviour_.broadcastAnswers) to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
  for (const auto& card : answering) {
    const auto reply = orvell::search::BuildReply(card);
    Send(reply.data(), reply.size(), to);
  }
}

void CardEmulator::AnswerParameterChange(const orvell::parameter::ParameterChange& change, const sockaddr_in& from) {
  bool confirmed = false;
  {
    const std::lock_guard lock(mutex_);
    for (auto& card : cards_) {
      if (!OnSameSegment(card, from.sin_addr.s_addr) || orvell::record::Ip(card) != change.oldIp ||
          orvell::record::Gateway(card) != change.oldGateway || orvell::record::Mask(card) != change.oldMask)
        continue;
      orvell::record::SetIp(card, change.newIp);
      orvell::record::SetGateway(card, change.newGateway);
      orvell::record::SetMask(card, change.newMask);
      orvell::record::SetServerIp(card, change.serverIp);
      orvell::record::SetServerPort(card, change.serverPort);
      orvell::record::SetHeartbeat(card, change.heartbeat);
      confirmed = true;
    }
  }
  if (!confirmed) return;
  const auto reply = orvell::parameter::BuildReplyHeader();
  Send(reply.data(), reply.size(), from);
}

void CardEmulator::Send(const std::uint8_t* bytes, std::size_t count, const sockaddr_in& to) {
  const int sent = sendto(socket_, reinterpret_cast<const char*>(bytes), static_cast<int>(count), 0,
                          reinterpret_cast<const sockaddr*>(&to), sizeof to);
  if (sent != static_cast<int>(count)) ++failedSends_;
}

}  // namespace kestrum::windows_tests
