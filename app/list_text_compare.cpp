#include "list_text_compare.h"

#include <algorithm>

namespace kestrum {
namespace {

int FoldAsciiLetter(char16_t unit) { return (unit >= u'a' && unit <= u'z') ? unit - (u'a' - u'A') : unit; }

}  // namespace

int CompareListTexts(QStringView first, QStringView second) {
  const qsizetype common = std::min(first.size(), second.size());
  for (qsizetype i = 0; i < common; ++i) {
    const int difference = FoldAsciiLetter(first[i].unicode()) - FoldAsciiLetter(second[i].unicode());
    if (difference != 0) return difference;
  }
  if (first.size() == second.size()) return 0;
  return first.size() < second.size() ? -1 : 1;
}

}  // namespace kestrum
