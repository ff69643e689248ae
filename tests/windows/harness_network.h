// The private network the Windows test script makes for these tests: only
// loopback and the adapters it created, whose names begin with "kv". Under
// wine an adapter's name is the Linux interface's name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrum::windows_tests {

// The script sets this variable for the programs it runs in its namespace.
inline constexpr const char* kPrivateNetworkVariable = "KESTRUM_PRIVATE_LAN";
inline constexpr const wchar_t* kHarnessAdapterPrefix = L"kv";

// One adapter of the harness with an IPv4 address: the segment behind it.
struct HarnessLan {
  std::wstring name;
  std::uint32_t address = 0;  // network byte order
  std::uint32_t mask = 0;     // network byte order
};

// Why this process must not send card datagrams: not started by the script,
// or an adapter is visible that the script did not make. Empty when it may.
std::string PrivateNetworkRefusal();

// The harness's adapters that are up and have an IPv4 address, in the
// system's order.
std::vector<HarnessLan> HarnessLans();

}  // namespace kestrum::windows_tests
