// One row of the card list: the texts of its columns, the running number
// first, and which ControlTable record it stands for (kept through sorting).
#pragma once

#include <QString>
#include <array>
#include <cstddef>

namespace kestrum {

enum CardListColumn {
  kColumnNumber,
  kColumnScreenNo,
  kColumnIp,
  kColumnMask,
  kColumnGateway,
  kColumnMac,
  kColumnCount
};

struct CardRow {
  int recordIndex = 0;
  std::array<QString, kColumnCount> texts;

  const QString& Text(int column) const { return texts.at(static_cast<std::size_t>(column)); }
  void SetText(int column, const QString& text) { texts.at(static_cast<std::size_t>(column)) = text; }
};

}  // namespace kestrum
