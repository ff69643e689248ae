#pragma once

// Reads an integer typed or pasted as text: any number of leading spaces, at
// most one sign, then decimal digits, or hexadecimal digits after one of the
// prefixes "$", "x", "X", "0x", "0X". Nothing may follow the number.
//
// A decimal number must fit in a signed 32-bit integer once its sign is
// applied. A hexadecimal number must fit in 32 bits and is taken as a 32-bit
// pattern ("$FFFFFFFF" is -1); a sign negates that value.

#include <QStringView>

#include <cstdint>
#include <optional>

std::optional<int32_t> ParseIntegerText(QStringView text);
