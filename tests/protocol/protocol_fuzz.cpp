// libFuzzer entry: the input is cut into datagrams (each a little-endian
// 16-bit length, then that many bytes) that go through every reader and, by
// way of the scripted socket library, through both operations. The input
// as text goes through InetAddr.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "byte_order.h"
#include "card_search.h"
#include "fake_pindle.h"
#include "inet_address.h"
#include "parameter_change.h"
#include "parameter_datagrams.h"
#include "search_datagrams.h"

namespace {

std::vector<fake_pindle::ScriptedDatagram> CutIntoDatagrams(const std::uint8_t* data, std::size_t size) {
  std::vector<fake_pindle::ScriptedDatagram> datagrams;
  std::size_t at = 0;
  while (at + 2 <= size) {
    const std::size_t length = std::min<std::size_t>(orvell::ReadLE16(data + at), size - at - 2);
    at += 2;
    datagrams.push_back({fake_pindle::Bytes(data + at, data + at + length), std::nullopt});
    at += length;
  }
  return datagrams;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  orvell::InetAddr(text.c_str());

  fake_pindle::Script script;
  script.datagrams = CutIntoDatagrams(data, size);
  for (const auto& datagram : script.datagrams) {
    orvell::search::ReadReply(datagram.bytes.data(), datagram.bytes.size());
    orvell::search::IsRequest(datagram.bytes.data(), datagram.bytes.size());
    orvell::parameter::ReadRequest(datagram.bytes.data(), datagram.bytes.size());
    orvell::parameter::IsConfirmation(datagram.bytes.data(), datagram.bytes.size());
  }
  {
    fake_pindle::FakePindle fake(script);
    std::vector<ControlRecord> table(size > 0 ? 1 + data[0] : 1);
    orvell::SearchCards(&fake_pindle::FakePindle::CreatePindle, table.data(), static_cast<std::int32_t>(table.size()));
    if (!fake.ReleaseFaults().empty()) __builtin_trap();
  }
  {
    fake_pindle::FakePindle fake(script);
    orvell::parameter::ParameterChange change{1, 2, 3, 4, 5, 6, orvell::InetAddr(text.c_str()), 9000, 30};
    orvell::ChangeParameters(&fake_pindle::FakePindle::CreatePindle, change);
    if (!fake.ReleaseFaults().empty()) __builtin_trap();
  }
  return 0;
}
