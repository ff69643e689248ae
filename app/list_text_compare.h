// The order of the card list's texts when a column is sorted.
#pragma once

#include <QStringView>

namespace kestrum {

// Compares UTF-16 code unit by code unit after mapping a-z to A-Z (nothing
// else is mapped, no locale): the first differing pair decides by its
// difference; a text that is a leading part of the other comes first; equal
// texts give 0. Numbers are compared as text too: "10" before "9".
int CompareListTexts(QStringView first, QStringView second);

}  // namespace kestrum
