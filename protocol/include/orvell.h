/* Orvell: the card protocol library's plain C interface.
 *
 * Both operations are synchronous: each broadcasts one request to UDP port
 * 9999, listens for a fixed time and returns. Buffers belong to the caller;
 * nothing is kept between calls, nothing is thrown across this boundary. */
#ifndef ORVELL_H
#define ORVELL_H

#include <stdint.h>

#if defined(_WIN32)
#define ORVELL_CALL __stdcall
#if defined(ORVELL_BUILDING)
#define ORVELL_API __declspec(dllexport)
#else
#define ORVELL_API __declspec(dllimport)
#endif
#else
#define ORVELL_CALL
#define ORVELL_API __attribute__((visibility("default")))
#endif

/* One card's description: a byte-exact copy of bytes 24 to 106 of its search
 * reply. Unaligned little-endian fields; read them through the helpers of
 * control_record.h, never by casting. */
#define ORVELL_CONTROL_RECORD_SIZE 83
typedef struct ControlRecord {
  uint8_t bytes[ORVELL_CONTROL_RECORD_SIZE];
} ControlRecord;

/* GetControlList's result for a null array or a capacity below 1. */
#define ORVELL_BAD_ARGUMENTS (-2)

/* One parameter request of ConfigControlParaMany: the card's current
 * addresses, the new ones and its new server, all in network byte order
 * (serverIp too); the port and heartbeat as plain numbers. */
typedef struct OrvellParameterChange {
  uint32_t oldIp, oldGateway, oldMask;
  uint32_t newIp, newGateway, newMask;
  uint32_t serverIp;
  uint16_t serverPort;
  uint8_t heartbeat;
  uint8_t reserved; /* 0 */
} OrvellParameterChange;

/* Most requests one ConfigControlParaMany call takes. */
#define ORVELL_MOST_CHANGES_PER_CALL 1024

#ifdef __cplusplus
extern "C" {
#endif

/* Finds the cards on the segment: fills records[0..result-1] in the order the
 * answers arrived and zeroes the rest of the array. Returns the count, or
 * ORVELL_BAD_ARGUMENTS (array untouched, nothing sent). Blocks about 0.6 s. */
ORVELL_API int32_t ORVELL_CALL GetControlList(ControlRecord* records, int32_t capacity);

/* Gives the card whose current ip/gateway/mask are old* the new parameters.
 * Addresses are in network byte order. oldMac and newMac are never read and
 * may be null. newServerIp is dotted text converted as inet_addr does; text
 * it cannot convert, or a null pointer, sends 255.255.255.255. Returns 1 when
 * a card confirmed with the whole 24-byte confirmation header, otherwise 0.
 * Blocks about 0.5 s. */
ORVELL_API int32_t ORVELL_CALL ConfigControlPara(uint32_t oldIp, uint32_t oldGateway, uint32_t oldMask,
                                                 const char* oldMac, uint32_t newIp, uint32_t newGateway,
                                                 uint32_t newMask, const char* newMac, const char* newServerIp,
                                                 uint16_t newServerPort, uint8_t newHeartbeat);

/* Sends changes[0..count-1] together, one request each, then listens once
 * (about 0.5 s) and returns how many confirmations arrived. A confirmation
 * does not say which card sent it: search afterwards to know which cards took
 * their values. ORVELL_BAD_ARGUMENTS (nothing sent) for a null array or a
 * count below 1 or above ORVELL_MOST_CHANGES_PER_CALL. */
ORVELL_API int32_t ORVELL_CALL ConfigControlParaMany(const OrvellParameterChange* changes, int32_t count);

#ifdef __cplusplus
}
#endif

#endif /* ORVELL_H */
