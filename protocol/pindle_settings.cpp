#include "pindle_settings.h"

#include "byte_order.h"

namespace orvell {

PindleSettings MakePindleSettings(std::uint16_t localPort) {
  PindleSettings settings{};
  WriteLE32(settings.bytes + pindle_settings::kRecordSizeOffset, pindle_settings::kRecordSize);
  WriteLE32(settings.bytes + pindle_settings::kSignatureOffset, pindle_settings::kSignature);
  WriteLE16(settings.bytes + pindle_settings::kLocalPortOffset, localPort);
  settings.bytes[pindle_settings::kByte22Offset] = 0;
  settings.bytes[pindle_settings::kByte23Offset] = 1;
  return settings;
}

}  // namespace orvell
