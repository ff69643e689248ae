#include "code_tables.h"

#include "card_texts.h"

namespace kestrum {

QString ColourText(std::uint8_t colorStyle) { return QString::fromStdString(card_text::Colour(colorStyle)); }
QString BaudRateText(std::uint8_t baudCode) { return QString::fromStdString(card_text::BaudRate(baudCode)); }
QString ScanStyleText(std::uint8_t scanStyle) { return QString::fromStdString(card_text::ScanStyle(scanStyle)); }
QString LineOrderText(std::uint8_t lineOrder) { return QString::fromStdString(card_text::LineOrder(lineOrder)); }
QString RgChangeText(std::uint8_t rgChange) { return QString::fromStdString(card_text::RgChange(rgChange)); }

}  // namespace kestrum
