#include "frame.h"

#include <cstring>

#include "byte_order.h"

namespace orvell::frame {

void WriteHeader(std::uint8_t* out, std::uint8_t direction, std::uint8_t command, std::uint16_t payloadLength,
                 std::uint32_t subcode) {
  std::memset(out, 0, kHeaderSize);
  out[kSync0Offset] = kSync0;
  out[kSync1Offset] = kSync1;
  out[kVersionOffset] = kVersion;
  out[kDirectionOffset] = direction;
  out[kCommandOffset] = command;
  WriteLE32(out + kPayloadLength32Offset, payloadLength);
  WriteLE16(out + kPayloadLength16Offset, payloadLength);
  WriteLE32(out + kSubcodeOffset, subcode);
}

}  // namespace orvell::frame
