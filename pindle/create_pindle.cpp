// The factory Orvell binds by name: a manager over a socket bound to the
// settings' port.
#include <cstdint>
#include <memory>

#include "socket_manager.h"
#include "udp_socket.h"

namespace {

// The settings record's fields are little-endian; these two reads are all
// the socket layer needs of it.
std::uint16_t ReadLE16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t ReadLE32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

}  // namespace

extern "C" PINDLE_API ISocketManager* PINDLE_CALL CreatePindle(const PindleSettings* settings) {
  try {
    if (settings == nullptr) return nullptr;
    if (ReadLE32(settings->bytes + pindle_settings::kRecordSizeOffset) != pindle_settings::kRecordSize) return nullptr;
    const std::uint16_t port = ReadLE16(settings->bytes + pindle_settings::kLocalPortOffset);
    std::unique_ptr<pindle::UdpSocket> socket = pindle::UdpSocket::Open(port);
    if (!socket) return nullptr;
    return new pindle::SocketManager(std::make_shared<pindle::SharedSocket>(std::move(socket)));
  } catch (...) {
    return nullptr;
  }
}
