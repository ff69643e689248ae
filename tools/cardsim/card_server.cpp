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

namespace cardsim {
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
      if (anyPending) {
        const auto wait = std::max(Clock::duration::zero(), pending_.top().due - Clock::now());
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
        timeout.tv_sec = static_cast<time_t>(ns / 1000000000);
        timeout.tv_nsec = static_cast<long>(ns % 1000000000);
      }
      pollfd entry{fd_, POLLIN, 0};
      const int ready = ::ppoll(&entry, 1, anyPending ? &timeout : nullptr, &runMask);
      if (ready > 0) ReceiveWaiting();
    }
  }

 private:
  void ReceiveWaiting() {
    for (;;) {
      sockaddr_in from{};
      socklen_t fromLength = sizeof from;
      const ssize_t length = ::recvfrom(fd_, buffer_.data(), buffer_.size(), MSG_DONTWAIT,
                                        reinterpret_cast<sockaddr*>(&from), &fromLength);
      if (length < 0) {
        if (errno == EINTR) continue;
        return;  // nothing more waiting (or an error report, already consumed)
      }
      Handle(from, static_cast<std::size_t>(length));
    }
  }

  void Handle(const sockaddr_in& from, std::size_t length) {
    const Response response = responder_.Handle(buffer_.data(), length);
    if (options_.verbose)
      Print("received %zu bytes from %s: %s", length, Describe(from).c_str(), KindName(response.kind));
    if (response.cardsChanged && onCardsChanged_) onCardsChanged_(responder_.Cards());
    sockaddr_in to = from;
    if (options_.broadcastReplies) to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    const auto now = Clock::now();
    for (const auto& answer : response.answers) {
      if (pending_.size() >= kMaxPendingAnswers) break;
      pending_.push({now + RandomDelay(), sequence_++, to, answer});
    }
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
      const ssize_t sent =
          ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&next.to), sizeof next.to);
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
