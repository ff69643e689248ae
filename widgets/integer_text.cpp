#include "integer_text.h"

namespace {

constexpr uint32_t kLargestPositiveDecimal = 2147483647u;
constexpr uint32_t kLargestNegativeDecimal = 2147483648u;  // magnitude of the lowest int32
constexpr uint32_t kLargestHexadecimal = 0xFFFFFFFFu;

// Only ASCII digits count: other scripts' digits are not numbers here.
std::optional<uint32_t> DecimalDigit(QChar c) {
  const char16_t u = c.unicode();
  if (u >= u'0' && u <= u'9') {
    return static_cast<uint32_t>(u - u'0');
  }
  return std::nullopt;
}

std::optional<uint32_t> HexadecimalDigit(QChar c) {
  const char16_t u = c.unicode();
  if (u >= u'a' && u <= u'f') {
    return static_cast<uint32_t>(u - u'a' + 10);
  }
  if (u >= u'A' && u <= u'F') {
    return static_cast<uint32_t>(u - u'A' + 10);
  }
  return DecimalDigit(c);
}

// Accumulates digits of the given base up to limit; fails on an empty text,
// a character that is not a digit, or a value beyond limit.
template <typename DigitReader>
std::optional<uint32_t> ReadMagnitude(QStringView digits, uint32_t base, uint32_t limit, DigitReader readDigit) {
  if (digits.isEmpty()) {
    return std::nullopt;
  }
  uint64_t value = 0;
  for (const QChar c : digits) {
    const std::optional<uint32_t> digit = readDigit(c);
    if (!digit) {
      return std::nullopt;
    }
    value = value * base + *digit;
    if (value > limit) {
      return std::nullopt;
    }
  }
  return static_cast<uint32_t>(value);
}

// Length of the hexadecimal prefix at the start of text, 0 when there is none.
qsizetype HexPrefixLength(QStringView text) {
  if (text.startsWith(u"0x") || text.startsWith(u"0X")) {
    return 2;
  }
  if (text.startsWith(u'$') || text.startsWith(u'x') || text.startsWith(u'X')) {
    return 1;
  }
  return 0;
}

// Two's complement without relying on signed overflow.
int32_t FromBitPattern(uint32_t pattern) { return static_cast<int32_t>(pattern); }

}  // namespace

std::optional<int32_t> ParseIntegerText(QStringView text) {
  qsizetype start = 0;
  while (start < text.size() && text[start] == u' ') {
    ++start;
  }
  QStringView rest = text.mid(start);

  bool negative = false;
  if (rest.startsWith(u'+') || rest.startsWith(u'-')) {
    negative = rest.front() == u'-';
    rest = rest.mid(1);
  }

  if (const qsizetype prefix = HexPrefixLength(rest); prefix > 0) {
    const std::optional<uint32_t> pattern = ReadMagnitude(rest.mid(prefix), 16, kLargestHexadecimal, HexadecimalDigit);
    if (!pattern) {
      return std::nullopt;
    }
    return FromBitPattern(negative ? 0u - *pattern : *pattern);
  }

  const uint32_t limit = negative ? kLargestNegativeDecimal : kLargestPositiveDecimal;
  const std::optional<uint32_t> magnitude = ReadMagnitude(rest, 10, limit, DecimalDigit);
  if (!magnitude) {
    return std::nullopt;
  }
  return FromBitPattern(negative ? 0u - *magnitude : *magnitude);
}
