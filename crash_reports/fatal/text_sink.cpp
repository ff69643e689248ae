#include "crash_reports/fatal/text_sink.h"

namespace kestrum {

void WriteDecimal(TextSink& sink, std::uint64_t value) {
  // 2^64 has 20 decimal digits.
  char digits[20];
  std::size_t start = sizeof digits;
  do {
    digits[--start] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  sink.Write(std::string_view(digits + start, sizeof digits - start));
}

void WriteHex(TextSink& sink, std::uint64_t value, int digits) {
  // "0x" and 16 hexadecimal digits for 64 bits.
  char text[18];
  std::size_t start = sizeof text;
  int written = 0;
  do {
    text[--start] = "0123456789abcdef"[value & 0xfu];
    value >>= 4;
    ++written;
  } while ((value != 0 || written < digits) && start > 2);
  text[--start] = 'x';
  text[--start] = '0';
  sink.Write(std::string_view(text + start, sizeof text - start));
}

std::string_view Bounded(const char* text, std::size_t limit) {
  if (text == nullptr) {
    return {};
  }
  std::size_t length = 0;
  while (length < limit && text[length] != '\0') {
    ++length;
  }
  return std::string_view(text, length);
}

void WriteBounded(TextSink& sink, const char* text, std::size_t limit) { sink.Write(Bounded(text, limit)); }

}  // namespace kestrum
