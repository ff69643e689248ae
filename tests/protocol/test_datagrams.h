// Datagrams the protocol tests feed to the fake socket library.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "byte_order.h"
#include "fake_pindle.h"
#include "parameter_datagrams.h"

namespace protocol_test {

using fake_pindle::Bytes;
using fake_pindle::ScriptedDatagram;

// The confirmation a card sends, written out byte for byte.
inline const Bytes kConfirmationHeader = {
    0x55, 0xAA, 0x00, 0x00, 0x01, 0x00, 0x00, 0xCA,  //
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00,  //
    0x00, 0x00, 0x04, 0x00, 0x01, 0x00, 0x00, 0x00,  //
};

// A datagram of the given length whose every byte differs from its
// neighbours and from another seed's, so a copy from the wrong offset or of
// the wrong datagram shows.
inline Bytes Patterned(std::size_t length, std::uint8_t seed) {
  Bytes bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(seed * 31 + i * 7 + 1);
  return bytes;
}

inline std::vector<ScriptedDatagram> Datagrams(std::initializer_list<Bytes> contents) {
  std::vector<ScriptedDatagram> datagrams;
  for (const Bytes& bytes : contents) datagrams.push_back({bytes, std::nullopt});
  return datagrams;
}

// A script in which these datagrams arrive, each read honestly.
inline fake_pindle::Script Answering(std::initializer_list<Bytes> contents) {
  fake_pindle::Script script;
  script.datagrams = Datagrams(contents);
  return script;
}

inline Bytes Concat(Bytes first, const Bytes& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

using Events = std::vector<std::string>;

inline Events Join(std::initializer_list<Events> parts) {
  Events all;
  for (const Events& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// The worked example of a parameter change: card 192.168.1.100 to .200,
// gateway 192.168.1.1, mask 255.255.255.0, server 192.168.1.10:9000,
// heartbeat 30.
inline orvell::parameter::ParameterChange ExampleChange() {
  using orvell::AddressFromOctets;
  orvell::parameter::ParameterChange change;
  change.oldIp = AddressFromOctets(192, 168, 1, 100);
  change.oldGateway = AddressFromOctets(192, 168, 1, 1);
  change.oldMask = AddressFromOctets(255, 255, 255, 0);
  change.newIp = AddressFromOctets(192, 168, 1, 200);
  change.newGateway = AddressFromOctets(192, 168, 1, 1);
  change.newMask = AddressFromOctets(255, 255, 255, 0);
  change.serverIp = AddressFromOctets(192, 168, 1, 10);
  change.serverPort = 9000;
  change.heartbeat = 30;
  return change;
}

}  // namespace protocol_test
