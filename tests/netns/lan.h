// Test support for programs that run inside the private network made by
// scripts/private-lan.sh: the LANs it made, emulated cards started in them,
// and sockets opened inside a card LAN's namespace.
#pragma once

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

// How many cardsim processes ended with a status other than 0 (a crash, a
// sanitizer report, a failed start); a test program fails when any did.
int UncleanCardSimExits();

// The cardsim program the tests start.
std::string CardSimPath();

// A file path in a fresh temporary folder removed at exit.
std::string TemporaryPath(const std::string& name);

}  // namespace kestrum::lan
