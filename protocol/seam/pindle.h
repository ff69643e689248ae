// The seam between the card protocol library and the socket library it binds,
// pindle: the factory, its settings record and the three kinds of object it
// hands out. The operations of each interface stand in the order of its table
// of operations; do not reorder them. Every object is freed only by its own
// Release.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define PINDLE_CALL __stdcall
#if defined(PINDLE_BUILDING)
#define PINDLE_API __declspec(dllexport)
#else
#define PINDLE_API __declspec(dllimport)
#endif
#else
#define PINDLE_CALL
#define PINDLE_API __attribute__((visibility("default")))
#endif

// The settings record handed to CreatePindle: 56 bytes, filled fresh for each
// operation. Access it through the offsets below with the little-endian
// helpers.
struct PindleSettings {
  std::uint8_t bytes[56];
};
static_assert(sizeof(PindleSettings) == 56, "PindleSettings is a 56-byte record");

namespace pindle_settings {
inline constexpr std::size_t kRecordSizeOffset = 0;  // LE32: 56, the record's own size
inline constexpr std::size_t kSignatureOffset = 4;   // LE32: kSignature
inline constexpr std::size_t kLocalPortOffset = 20;  // LE16: port the manager binds for answers
inline constexpr std::size_t kByte22Offset = 22;     // 0 in every operation; meaning not ours
inline constexpr std::size_t kByte23Offset = 23;     // 1 in every operation; meaning not ours
inline constexpr std::uint32_t kSignature = 0x13001300;
inline constexpr std::uint32_t kRecordSize = sizeof(PindleSettings);
}  // namespace pindle_settings

class IReceivedDatagram {
 public:
  // Copies at most maxBytes of the datagram into buffer; returns how many,
  // 0 or less when there are none.
  virtual std::int32_t PINDLE_CALL Read(void* buffer, std::int32_t maxBytes) = 0;
  virtual void PINDLE_CALL Release() = 0;

 protected:
  ~IReceivedDatagram() = default;
};

class IDatagramEndpoint {
 public:
  // Sends the bytes once to the endpoint's address and port.
  virtual std::int32_t PINDLE_CALL Send(const void* bytes, std::int32_t count) = 0;
  virtual void PINDLE_CALL Release() = 0;

 protected:
  ~IDatagramEndpoint() = default;
};

class ISocketManager {
 public:
  // Listens for the whole time; returns 2 or more when datagrams arrived
  // (1 + their number), 1 when none did, 0 or less on failure.
  virtual std::int32_t PINDLE_CALL Wait(double seconds, std::uint32_t* events, std::int32_t capacity) = 0;
  // Hands over at most capacity received datagrams, oldest first; they are
  // then the caller's to Release.
  virtual std::uint32_t PINDLE_CALL Collect(IReceivedDatagram** datagrams, std::uint32_t capacity) = 0;
  // Opens an endpoint sending to address:port; *endpoint stays null on
  // failure. Returns 0 on success.
  virtual std::int32_t PINDLE_CALL Open(const char* address, std::uint16_t port, IDatagramEndpoint** endpoint) = 0;
  virtual void PINDLE_CALL Release() = 0;

 protected:
  ~ISocketManager() = default;
};

extern "C" PINDLE_API ISocketManager* PINDLE_CALL CreatePindle(const PindleSettings* settings);

// The factory's type, so the protocol operations can be driven by a scripted
// stand-in in tests.
using CreatePindleFunction = ISocketManager*(PINDLE_CALL*)(const PindleSettings*);
