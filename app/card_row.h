// One row of the card list: the texts of its columns, the running number
// first, which ControlTable record it stands for (kept through sorting), and
// the card's last recorded change.
#pragma once

#include <QString>
#include <array>
#include <cstddef>
#include <optional>

#include "change_history_texts.h"

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
  // The card's last recorded change; the row's tooltip names it in the
  // language of the moment it is shown.
  std::optional<LastChange> lastChange;

  const QString& Text(int column) const { return texts.at(static_cast<std::size_t>(column)); }
  void SetText(int column, const QString& text) { texts.at(static_cast<std::size_t>(column)) = text; }
};

}  // namespace kestrum
