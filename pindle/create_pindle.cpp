// The factory Orvell binds by name: a manager over a socket bound to the
// settings' port.
#include <memory>

#include "byte_order.h"
#include "socket_manager.h"
#include "udp_socket.h"

extern "C" PINDLE_API ISocketManager* PINDLE_CALL CreatePindle(const PindleSettings* settings) {
  try {
    if (settings == nullptr) return nullptr;
    if (orvell::ReadLE32(settings->bytes + pindle_settings::kRecordSizeOffset) != pindle_settings::kRecordSize)
      return nullptr;
    const std::uint16_t port = orvell::ReadLE16(settings->bytes + pindle_settings::kLocalPortOffset);
    std::unique_ptr<pindle::UdpSocket> socket = pindle::UdpSocket::Open(port);
    if (!socket) return nullptr;
    return new pindle::SocketManager(std::make_shared<pindle::SharedSocket>(std::move(socket)));
  } catch (...) {
    return nullptr;
  }
}
