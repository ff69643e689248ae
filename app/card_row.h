// One row of the card list: its running number, the texts of columns 1 to 5,
// and which ControlTable record it stands for (kept through sorting).
#pragma once

#include <QString>
#include <array>

namespace kestrum {

enum CardListColumn { kColumnNumber, kColumnScreenNo, kColumnIp, kColumnMask, kColumnGateway, kColumnMac, kColumnCount };

struct CardRow {
  int recordIndex = 0;
  QString caption;                                // column 0, the running number
  std::array<QString, kColumnCount - 1> subItems;  // columns 1 to 5

  const QString& Text(int column) const { return column == kColumnNumber ? caption : subItems.at(SubItem(column)); }
  void SetText(int column, const QString& text) {
    if (column == kColumnNumber) {
      caption = text;
    } else {
      subItems.at(SubItem(column)) = text;
    }
  }

 private:
  static std::size_t SubItem(int column) { return static_cast<std::size_t>(column - 1); }
};

}  // namespace kestrum
