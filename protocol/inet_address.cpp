#include "inet_address.h"

#include "byte_order.h"

namespace orvell {
namespace {

constexpr std::uint64_t kLargestPart = 0xFFFFFFFF;
constexpr int kMaxOctets = 4;

bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

// The value of c as a digit of the given base, or -1.
int DigitValue(char c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9') value = c - '0';
  if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < base ? value : -1;
}

// The white space after which the classic conversion ignores the rest.
bool IsAsciiSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

struct Part {
  std::uint64_t value = 0;
  bool tooLarge = false;
  const char* end = nullptr;
};

// One number as C writes it: 0x/0X hexadecimal, leading 0 octal, otherwise
// decimal. text starts with a decimal digit. A "0x" without hex digits is the
// number 0 followed by the letter, as strtoul reads it.
Part ReadPart(const char* text) {
  int base = 10;
  if (text[0] == '0') {
    base = 8;
    if ((text[1] == 'x' || text[1] == 'X') && DigitValue(text[2], 16) >= 0) {
      base = 16;
      text += 2;
    }
  }
  Part part;
  for (; DigitValue(*text, base) >= 0; ++text) {
    // Once past 32 bits the value no longer matters, only where the digits end.
    if (!part.tooLarge)
      part.value = part.value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(DigitValue(*text, base));
    if (part.value > kLargestPart) part.tooLarge = true;
  }
  part.end = text;
  return part;
}

}  // namespace

std::uint32_t InetAddr(const char* text) {
  if (text == nullptr) return kInetAddrNone;
  std::uint8_t octets[kMaxOctets] = {};
  int leading = 0;  // octets given by parts ended with '.'
  Part last;
  for (;;) {
    if (!IsDecimalDigit(*text)) return kInetAddrNone;
    last = ReadPart(text);
    if (last.tooLarge) return kInetAddrNone;
    text = last.end;
    if (*text != '.') break;
    if (leading == kMaxOctets - 1 || last.value > 0xFF) return kInetAddrNone;
    octets[leading++] = static_cast<std::uint8_t>(last.value);
    ++text;
  }
  if (*text != '\0' && !IsAsciiSpace(*text)) return kInetAddrNone;

  // The last part fills the octets the dotted parts left, most significant first.
  const int remaining = kMaxOctets - leading;
  if (remaining < kMaxOctets && last.value >> (8 * remaining) != 0) return kInetAddrNone;
  for (int i = kMaxOctets - 1; i >= leading; --i) {
    octets[i] = static_cast<std::uint8_t>(last.value >> (8 * (kMaxOctets - 1 - i)));
  }
  return ReadAddress(octets);
}

}  // namespace orvell
