#include "list_column_colours.h"

#include <QGuiApplication>
#include <QPalette>
#include <array>

#include "card_row.h"

namespace kestrum {

QColor d3_SetLVColumnColour(int ColIdx) {
  static constexpr std::array<QRgb, ColumnCount> kDataColumnColours{
      0,         // number column: the button face, below
      0xCCFFCC,  // screen number, pale green
      0xFFCCCC,  // IP, pale red
      0xFFFFCC,  // subnet mask, pale yellow
      0xFFDDCC,  // gateway, pale orange
      0xFFEECC,  // MAC, pale cream
  };
  if (ColIdx <= ColumnNumber || ColIdx >= ColumnCount) return QGuiApplication::palette().color(QPalette::Button);
  return QColor::fromRgb(kDataColumnColours.at(static_cast<std::size_t>(ColIdx)));
}

}  // namespace kestrum
