// The texts under which the window shows a card's codes. A code that a table
// does not name takes the table's last row ("any other value").
#pragma once

#include <QString>
#include <cstdint>

namespace kestrum {

QString ColourText(std::uint8_t colorStyle);
QString BaudRateText(std::uint8_t baudCode);
// Empty for the codes without a text, so the label is cleared.
QString ScanStyleText(std::uint8_t scanStyle);
QString LineOrderText(std::uint8_t lineOrder);
QString RgChangeText(std::uint8_t rgChange);

}  // namespace kestrum
