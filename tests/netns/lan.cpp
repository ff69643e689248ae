#include "lan.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

extern char** environ;

namespace kestrum::lan {
namespace {

// Generous: cardsim is ready within milliseconds; only a broken start waits
// this long before the test fails.
constexpr auto kReadyTimeout = std::chrono::seconds(30);

std::atomic<int> uncleanExits{0};

std::string Variable(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (value == nullptr || *value == '\0')
    throw std::runtime_error(name + " is not set: run through scripts/private-lan.sh");
  return value;
}

// Closes a file descriptor when it goes out of scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

std::vector<Lan> Lans() {
  std::vector<Lan> lans;
  const int count = std::stoi(Variable("KESTRUM_LAN_COUNT"));
  for (int i = 1; i <= count; ++i) {
    const std::string prefix = "KESTRUM_LAN" + std::to_string(i) + "_";
    lans.push_back({i, Variable(prefix + "NS"), Variable(prefix + "PC_IP"), Variable(prefix + "SUBNET")});
  }
  return lans;
}

std::string CardSimPath() {
  if (const char* path = std::getenv("KESTRUM_CARDSIM"); path != nullptr && *path != '\0') return path;
  return KESTRUM_CARDSIM_PATH;
}

namespace {

// A fresh folder for the run's files, removed with everything in it when
// the program ends.
class TemporaryFolder {
 public:
  TemporaryFolder() : path_((std::filesystem::temp_directory_path() / "kestrum-test-XXXXXX").string()) {
    if (::mkdtemp(path_.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder");
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

std::string TemporaryPath(const std::string& name) {
  static const TemporaryFolder folder;
  return folder.Path() + "/" + name;
}

CardSim::CardSim(const std::string& ns, const std::vector<std::string>& arguments) {
  std::vector<std::string> command;
  if (!ns.empty()) command = {"ip", "netns", "exec", ns};
  command.push_back(CardSimPath());
  command.insert(command.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& word : command) argv.push_back(word.data());
  argv.push_back(nullptr);

  int output[2];
  if (::pipe2(output, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
  const int spawned = ::posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(output[1]);
  if (spawned != 0) {
    ::close(output[0]);
    throw std::runtime_error("cannot start " + command.front() + ": " + std::strerror(spawned));
  }
  reader_ = std::thread(&CardSim::ReadOutput, this, output[0]);

  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, kReadyTimeout, [this] { return ready_ || ended_; });
  if (!ready_) {
    lock.unlock();
    Stop();
    throw std::runtime_error("cardsim did not become ready in namespace '" + ns + "'");
  }
}

CardSim::~CardSim() { Stop(); }

void CardSim::ReadOutput(int fd) {
  FileDescriptor input(fd);
  std::string pending;
  char chunk[4096];
  for (;;) {
    const ssize_t length = ::read(input.Get(), chunk, sizeof chunk);
    if (length < 0 && errno == EINTR) continue;
    if (length <= 0) break;
    pending.append(chunk, static_cast<std::size_t>(length));
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
      const std::string line = pending.substr(0, end);
      std::lock_guard lock(mutex_);
      lines_.push_back(line);
      if (line.rfind("cardsim: ready", 0) == 0) ready_ = true;
      changed_.notify_all();
    }
  }
  std::lock_guard lock(mutex_);
  ended_ = true;
  changed_.notify_all();
}

int CardSim::Stop() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    pid_ = -1;
    if (exitStatus_ != 0) {
      ++uncleanExits;
      std::fprintf(stderr, "cardsim ended with status %d\n", exitStatus_);
    }
  }
  if (reader_.joinable()) reader_.join();
  return exitStatus_;
}

std::vector<std::string> CardSim::OutputOnce(const std::string& text, std::size_t count) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, kReadyTimeout, [&] {
    const auto seen = std::count_if(lines_.begin(), lines_.end(),
                                    [&](const std::string& line) { return line.find(text) != std::string::npos; });
    return ended_ || static_cast<std::size_t>(seen) >= count;
  });
  return lines_;
}

int UncleanCardSimExits() { return uncleanExits.load(); }

std::vector<std::string> CardSim::Output() const {
  std::lock_guard lock(mutex_);
  return lines_;
}

namespace {

int MakeSocketIn(const std::string& ns) {
  if (ns.empty()) return ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
  const FileDescriptor own(::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC));
  const FileDescriptor target(::open(("/run/netns/" + ns).c_str(), O_RDONLY | O_CLOEXEC));
  if (own.Get() < 0 || target.Get() < 0) throw std::runtime_error("cannot open the namespaces of " + ns);
  // setns moves only this thread; the socket keeps the namespace it was made in.
  if (::setns(target.Get(), CLONE_NEWNET) != 0) throw std::runtime_error("cannot enter " + ns);
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
  const int error = errno;
  if (::setns(own.Get(), CLONE_NEWNET) != 0) std::abort();  // never go on in the wrong namespace
  errno = error;
  return fd;
}

}  // namespace

int OpenUdpSocketIn(const std::string& ns, std::uint16_t port) {
  const int fd = MakeSocketIn(ns);
  if (fd < 0) throw std::runtime_error("socket in '" + ns + "': " + std::strerror(errno));
  const int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
  const timeval timeout{10, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(port);
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
    ::close(fd);
    throw std::runtime_error("cannot bind port " + std::to_string(port) + " in " + ns);
  }
  return fd;
}

Flood::Flood(const std::string& ns, const std::string& toAddress, std::uint16_t port, std::size_t size,
             int perMillisecond, std::chrono::milliseconds duration) {
  const int fd = OpenUdpSocketIn(ns, 0);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  if (::inet_pton(AF_INET, toAddress.c_str(), &to.sin_addr) != 1) {
    ::close(fd);
    throw std::runtime_error("not an address: " + toAddress);
  }
  thread_ = std::thread([this, fd, to, size, perMillisecond, duration] {
    const FileDescriptor socket(fd);
    const std::vector<std::uint8_t> junk(size, 0xA5);
    const auto end = std::chrono::steady_clock::now() + duration;
    for (auto tick = std::chrono::steady_clock::now(); !stop_ && tick < end; tick += std::chrono::milliseconds(1)) {
      for (int i = 0; i < perMillisecond; ++i)
        if (::sendto(socket.Get(), junk.data(), junk.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) >= 0)
          ++sent_;
      std::this_thread::sleep_until(tick + std::chrono::milliseconds(1));
    }
  });
}

Flood::~Flood() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

}  // namespace kestrum::lan
