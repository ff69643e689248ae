// The network adapters a search leaves through, as diagnose reports them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrum::cli {

struct Adapter {
  std::string name;
  std::uint32_t address = 0;  // network byte order
  std::uint32_t mask = 0;     // network byte order
  std::uint32_t broadcast = 0;
};

// Every up IPv4 adapter that can broadcast, loopback left out, in the
// system's order: the ones the search request leaves through.
std::vector<Adapter> BroadcastAdapters();

}  // namespace kestrum::cli
