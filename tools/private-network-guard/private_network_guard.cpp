#include "private_network_guard.h"

#include <net/if.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace kestrum {
namespace {

bool IsHarnessInterface(const std::string& name) { return name == "lo" || name.rfind(kPrivateInterfacePrefix, 0) == 0; }

// True when the two namespace files are one and the same namespace.
bool SameNamespace(const char* a, const char* b) {
  struct stat first {};
  struct stat second {};
  if (::stat(a, &first) != 0 || ::stat(b, &second) != 0) return false;
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace

std::vector<std::string> VisibleInterfaces() {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/sys/class/net", error))
    names.push_back(entry.path().filename().string());
  if (struct if_nameindex* list = ::if_nameindex(); list != nullptr) {
    for (const struct if_nameindex* i = list; i->if_index != 0 && i->if_name != nullptr; ++i)
      names.emplace_back(i->if_name);
    ::if_freenameindex(list);
  }
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

std::string PrivateNetworkRefusal() {
  const char* marker = std::getenv(kPrivateNetworkVariable);
  if (marker == nullptr || *marker == '\0')
    return std::string(kPrivateNetworkVariable) + " is not set: not started by the private-network harness";
  // The first process's namespace is the machine's own network.
  if (SameNamespace("/proc/self/ns/net", "/proc/1/ns/net"))
    return "this process shares the machine's network namespace";
  const auto names = VisibleInterfaces();
  if (names.empty()) return "no network interface is visible, not even lo";
  for (const auto& name : names) {
    if (!IsHarnessInterface(name))
      return "interface '" + name + "' does not belong to the private network (only lo and " + kPrivateInterfacePrefix +
             "* may exist)";
  }
  return {};
}

void RequirePrivateNetwork(const char* program) {
  const std::string refusal = PrivateNetworkRefusal();
  if (refusal.empty()) return;
  std::fprintf(stderr,
               "%s: REFUSING TO RUN: %s.\n"
               "%s sends UDP broadcasts and must run only inside a private network namespace;\n"
               "start it through scripts/private-lan.sh.\n",
               program, refusal.c_str(), program);
  std::fflush(stderr);
  std::_Exit(3);
}

}  // namespace kestrum
