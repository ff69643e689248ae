// Test support for programs that run inside the private network made by
// scripts/private-lan.sh: the LANs it made, emulated cards started in them,
// and sockets opened inside a card LAN's namespace.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <sys/types.h>

namespace kestrum::lan {

// One card LAN of the harness: its namespace, the PC's address on it and its
// subnet's first three octets ("192.168.1").
struct Lan {
  int index = 0;
  std::string ns;
  std::string pcIp;
  std::string subnet;
};

// The LANs the harness made; throws when a variable is missing.
std::vector<Lan> Lans();

// A cardsim process: started in a namespace (empty: the PC's own), ready once
// it printed its ready line; stopped and reaped by SIGTERM to its PID.
class CardSim {
 public:
  CardSim(const std::string& ns, const std::vector<std::string>& arguments);
  ~CardSim();
  CardSim(const CardSim&) = delete;
  CardSim& operator=(const CardSim&) = delete;

  // Stops it; returns its exit status (or 128 + signal).
  int Stop();
  // Every line it printed so far.
  std::vector<std::string> Output() const;
  // Every line it printed once `count` of them contain `text` (or it ended,
  // or 30 s passed): its output reaches us a little after it acts.
  std::vector<std::string> OutputOnce(const std::string& text, std::size_t count);

 private:
  void ReadOutput(int fd);

  pid_t pid_ = -1;
  int exitStatus_ = -1;
  std::thread reader_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> lines_;
  bool ready_ = false;
  bool ended_ = false;
};

// A UDP socket made inside namespace ns (empty: this process's own; the
// socket stays where it was made), bound to every address at port (0: any
// free one), with broadcast allowed and a receive timeout of 10 s so that a
// lost datagram fails a test instead of hanging it. Closed by the caller.
int OpenUdpSocketIn(const std::string& ns, std::uint16_t port);

// A host on a card LAN flooding a PC's port with junk, as a misbehaving
// device or an attacker would: datagrams of `size` bytes from a socket of its
// own in namespace ns, to toAddress:port, at most perMillisecond of them each
// millisecond, for `duration`; then it stops by itself (or when destroyed).
class Flood {
 public:
  Flood(const std::string& ns, const std::string& toAddress, std::uint16_t port, std::size_t size, int perMillisecond,
        std::chrono::milliseconds duration);
  ~Flood();
  Flood(const Flood&) = delete;
  Flood& operator=(const Flood&) = delete;

  // Datagrams sent so far.
  std::uint64_t Sent() const { return sent_.load(); }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<std::uint64_t> sent_{0};
  std::thread thread_;
};

// How many cardsim processes ended with a status other than 0 (a crash, a
// sanitizer report, a failed start); a test program fails when any did.
int UncleanCardSimExits();

// The cardsim program the tests start.
std::string CardSimPath();

// A file path in a fresh temporary folder removed at exit.
std::string TemporaryPath(const std::string& name);

}  // namespace kestrum::lan
