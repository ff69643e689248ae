#include "ip_field_layout.h"

#include <QFont>

#include <cmath>
#include <cstdlib>

namespace {

constexpr int kBorderAllowance = 4;  // two pixels of border on each side
constexpr int kPointsPerInch = 72;

// Rounds a * b / c to the nearest integer, halves away from zero.
int ScaleRounded(double a, int b, int c) { return static_cast<int>(std::lround(a * b / c)); }

}  // namespace

IPFieldLayout ComputeIPFieldLayout(int controlWidth, int controlHeight, int fontPoints, int fontPixelHeight) {
  const int points = std::abs(fontPoints);
  const int pixelHeight = std::abs(fontPixelHeight);
  IPFieldLayout layout;
  layout.FieldWidth = 3 * points;
  layout.Gap = layout.FieldWidth / 9 + 1;
  layout.Left = (controlWidth - 4 * layout.FieldWidth - 3 * layout.Gap - kBorderAllowance) / 2;
  layout.Top = (controlHeight - (pixelHeight + 2) - kBorderAllowance) / 2 + 1;
  return layout;
}

int FontPointSize(const QFont& font, int logicalDpi) {
  if (font.pointSizeF() > 0) {
    return static_cast<int>(std::lround(font.pointSizeF()));
  }
  return ScaleRounded(font.pixelSize(), kPointsPerInch, logicalDpi);
}

int FontPixelHeight(const QFont& font, int logicalDpi) {
  if (font.pixelSize() > 0) {
    return font.pixelSize();
  }
  return ScaleRounded(font.pointSizeF(), logicalDpi, kPointsPerInch);
}
