// The check every program that sends card datagrams makes before its first
// send: that it runs inside a private network the test harness made, never on
// a real network where a broadcast would reach other machines.
#pragma once

#include <string>
#include <vector>

namespace kestrum {

// Interfaces the harness creates carry this prefix; with "lo" they are the only
// ones a private network may hold.
inline constexpr const char* kPrivateInterfacePrefix = "kv";
// The harness sets this variable for every program it runs in its namespaces.
inline constexpr const char* kPrivateNetworkVariable = "KESTRUM_PRIVATE_LAN";

// Why the current process is not inside a harness-made private network; empty
// when it is.
std::string PrivateNetworkRefusal();

// Exits the process with status 3 and a message on stderr unless it runs
// inside a harness-made private network. Call before anything is sent.
void RequirePrivateNetwork(const char* program);

// The interface names of the current network namespace, as /sys/class/net
// and the kernel's own index list show them (both, so that a stale /sys from
// another namespace cannot hide an interface).
std::vector<std::string> VisibleInterfaces();

}  // namespace kestrum
