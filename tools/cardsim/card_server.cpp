#include "card_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <queue>
#include <random>

#include "address_text.h"
#include "poll_timeout.h"
#include "send_from.h"

namespace cardsim {

using kestrum::command_line::FormatIpv4;

namespace {

using Clock = std::chrono::steady_clock;

// Room for any UDP/IPv4 datagram (at most 65,507 bytes), so nothing is cut.
constexpr std::size_t kReceiveBufferSize = 65536;
// 255 cards' answers to several requests at once, many times over.
constexpr int kSocketBufferBytes = 4 * 1024 * 1024;
// A flood of requests must not grow the queue of answers without end.
constexpr std::size_t kMaxPendingAnswers = 200000;

volatile sig_atomic_t stopRequested = 0;
void RequestStop(int) { stopRequested = 1; }

struct PendingAnswer {
  Clock::time_point due;
  std::uint64_t sequence;  // keeps answers of equal due time in card order
  sockaddr_in to;
  std::uint32_t from;     // the card's own address, or 0 for the interface's
  unsigned viaInterface;  // where the request arrived, 0 when unknown
  CardAnswer answer;
};
struct LaterFirst {
  bool operator()(const PendingAnswer& a, const PendingAnswer& b) const {
    return a.due != b.due ? a.due > b.due : a.sequence > b.sequence;
  }
};

std::string Describe(const sockaddr_in& address) {
  std::uint32_t ip = address.sin_addr.s_addr;
  return FormatIpv4(ip) + ":" + std::to_string(ntohs(address.sin_port));
}

const char* KindName(RequestKind kind) {
  switch (kind) {
    case RequestKind::kSearch:
      return "search request";
    case RequestKind::kParameterChange:
      return "parameter request";
    case RequestKind::kIgnored:
      break;
  }
  return "not a request, ignored";
}

bool IsHostAddress(std::uint32_t networkOrder) {
  const std::uint32_t first = ntohl(networkOrder) >> 24;
  return first != 0 && first != 127 && first < 224;
}

// Real cards answer from their own IP addresses, and the PC tells them apart
// by it; so does every emulated card, except from an address no host may send
// from, or the requester's own (the PC drops a datagram that claims to come
// from its own address).
bool MayAnswerFrom(std::uint32_t cardIp, std::uint32_t requester) {
  return IsHostAddress(cardIp) && cardIp != requester;
}

void SetBuffer(int fd, int forced, int plain) {
  // The FORCE variants pass the system's cap where we are allowed to.
  if (::setsockopt(fd, SOL_SOCKET, forced, &kSocketBufferBytes, sizeof kSocketBufferBytes) != 0)
    ::setsockopt(fd, SOL_SOCKET, plain, &kSocketBufferBytes, sizeof kSocketBufferBytes);
}

int OpenSocket(std::uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
  if (fd < 0) return -1;
  const int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
  // Sending from the cards' addresses, which the namespace does not hold (the
  // PC's address may be among them, and holding it would make the PC's own
  // requests look forged). Needs root in the namespace; without it every card
  // answers from the interface's address.
  ::setsockopt(fd, IPPROTO_IP, IP_TRANSPARENT, &on, sizeof on);
  // Which interface a request arrived on, for broadcast answers from a card's
  // address, which the system could not place on an interface by itself.
  ::setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &on, sizeof on);
  SetBuffer(fd, SO_RCVBUFFORCE, SO_RCVBUF);
  SetBuffer(fd, SO_SNDBUFFORCE, SO_SNDBUF);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(port);
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

class Server {
 public:
  Server(int fd, const Options& options, CardResponder& responder, const CardsChanged& onCardsChanged)
      : fd_(fd),
        options_(options),
        responder_(responder),
        onCardsChanged_(onCardsChanged),
        random_(options.seed ? *options.seed : std::random_device{}()) {}

  void Run(const sigset_t& runMask) {
    while (!stopRequested) {
      SendDueAnswers();
      timespec timeout{};
      const bool anyPending = !pending_.empty();
      if (anyPending) timeout = pindle::PollTimeout(pending_.top().due - Clock::now());
      pollfd entry{fd_, POLLIN, 0};
      const int ready = ::ppoll(&entry, 1, anyPending ? &timeout : nullptr, &runMask);
      if (ready > 0) ReceiveWaiting();
    }
  }

 private:
  void ReceiveWaiting() {
    for (;;) {
      sockaddr_in from{};
      iovec data{buffer_.data(), buffer_.size()};
      alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
      msghdr message{};
      message.msg_name = &from;
      message.msg_namelen = sizeof from;
      message.msg_iov = &data;
      message.msg_iovlen = 1;
      message.msg_control = control;
      message.msg_controllen = sizeof control;
      const ssize_t length = ::recvmsg(fd_, &message, MSG_DONTWAIT);
      if (length < 0) {
        if (errno == EINTR) continue;
        return;  // nothing more waiting (or an error report, already consumed)
      }
      Handle(from, ArrivalInterface(message), static_cast<std::size_t>(length));
    }
  }

  static unsigned ArrivalInterface(msghdr& message) {
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr; header = CMSG_NXTHDR(&message, header)) {
      if (header->cmsg_level != IPPROTO_IP || header->cmsg_type != IP_PKTINFO) continue;
      in_pktinfo info{};
      std::memcpy(&info, CMSG_DATA(header), sizeof info);
      return static_cast<unsigned>(info.ipi_ifindex);
    }
    return 0;
  }

  void Handle(const sockaddr_in& from, unsigned viaInterface, std::size_t length) {
    const Response response = responder_.Handle(buffer_.data(), length);
    if (options_.verbose)
      Print("received %zu bytes from %s: %s", length, Describe(from).c_str(), KindName(response.kind));
    if (response.cardsChanged && onCardsChanged_) onCardsChanged_(responder_.Cards());
    sockaddr_in to = from;
    if (options_.broadcastReplies) to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    const auto now = Clock::now();
    const int copies = options_.answerTwice ? 2 : 1;
    std::vector<CardAnswer> answers = response.answers;
    if (options_.alsoSend && response.kind == RequestKind::kSearch && !responder_.Cards().empty())
      answers.push_back({0, std::vector<std::uint8_t>(*options_.alsoSend, 0x5A)});
    for (const auto& answer : answers) {
      const std::uint32_t cardIp = orvell::record::Ip(responder_.Cards()[answer.card]);
      const std::uint32_t source = MayAnswerFrom(cardIp, from.sin_addr.s_addr) ? cardIp : 0;
      for (int copy = 0; copy < copies && pending_.size() < kMaxPendingAnswers; ++copy)
        pending_.push({now + RandomDelay(), sequence_++, to, source, viaInterface, answer});
    }
  }

  // Sends from the given source address where the namespace has it, else
  // from the interface's own.
  ssize_t SendAnswer(const PendingAnswer& pending) const {
    const auto& bytes = pending.answer.bytes;
    const ssize_t sent =
        pindle::SendFrom(fd_, pending.to, bytes.data(), bytes.size(), pending.viaInterface, pending.from);
    if (sent >= 0 || pending.from == 0) return sent;
    return pindle::SendFrom(fd_, pending.to, bytes.data(), bytes.size(), 0, 0);
  }

  Clock::duration RandomDelay() {
    if (options_.maxDelayMs == 0) return Clock::duration::zero();
    std::uniform_int_distribution<std::int64_t> microseconds(0, std::int64_t{options_.maxDelayMs} * 1000);
    return std::chrono::microseconds(microseconds(random_));
  }

  void SendDueAnswers() {
    while (!pending_.empty() && pending_.top().due <= Clock::now()) {
      const PendingAnswer& next = pending_.top();
      const auto& bytes = next.answer.bytes;
      const ssize_t sent = SendAnswer(next);
      if (sent < 0)
        Print("card %zu could not answer %s: %s", next.answer.card, Describe(next.to).c_str(), std::strerror(errno));
      else if (options_.verbose)
        Print("card %zu (%s) answered %zu bytes to %s", next.answer.card,
              FormatIpv4(orvell::record::Ip(responder_.Cards()[next.answer.card])).c_str(), bytes.size(),
              Describe(next.to).c_str());
      pending_.pop();
    }
  }

  template <typename... Arguments>
  static void Print(const char* format, Arguments... arguments) {
    std::printf("cardsim: ");
    std::printf(format, arguments...);
    std::printf("\n");
    std::fflush(stdout);
  }

  int fd_;
  const Options& options_;
  CardResponder& responder_;
  const CardsChanged& onCardsChanged_;
  std::mt19937 random_;
  std::vector<std::uint8_t> buffer_ = std::vector<std::uint8_t>(kReceiveBufferSize);
  std::priority_queue<PendingAnswer, std::vector<PendingAnswer>, LaterFirst> pending_;
  std::uint64_t sequence_ = 0;
};

}  // namespace

int ServeCards(const Options& options, CardResponder& responder, const CardsChanged& onCardsChanged) {
  // Stop signals stay blocked except inside ppoll, so one can never slip in
  // between the check of the flag and the wait.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  sigset_t runMask;
  sigprocmask(SIG_BLOCK, &stopSignals, &runMask);
  sigdelset(&runMask, SIGTERM);
  sigdelset(&runMask, SIGINT);
  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);

  const int fd = OpenSocket(options.port);
  if (fd < 0) {
    std::fprintf(stderr, "cardsim: cannot bind UDP port %u: %s\n", options.port, std::strerror(errno));
    return 1;
  }
  std::printf("cardsim: ready on port %u with %zu cards\n", options.port, responder.Cards().size());
  std::fflush(stdout);
  Server(fd, options, responder, onCardsChanged).Run(runMask);
  ::close(fd);
  if (options.verbose) std::printf("cardsim: stopped\n");
  std::fflush(stdout);
  return 0;
}

}  // namespace cardsim
