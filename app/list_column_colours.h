// The background of each column of the card list.
#pragma once

#include <QColor>

namespace kestrum {

// The colour for a cell of column ColIdx: the button face for the number
// column (the row's own background), a pale tint per data column.
QColor d3_SetLVColumnColour(int ColIdx);

}  // namespace kestrum
