#pragma once

// Where the four octet fields of the address control stand. All positions
// are inside the border (the client area); the formulas take the control's
// outer size and subtract the border on both sides whether or not a border
// is shown.

class QFont;

struct IPFieldLayout {
  int FieldWidth = 0;  // W
  int Gap = 0;         // G
  int Left = 0;        // X0, left edge of field 0
  int Top = 0;         // Y

  int FieldLeft(int index) const { return Left + index * (FieldWidth + Gap); }
};

// fontPoints is the font's size in points, fontPixelHeight its character
// height in pixels; both are taken as positive numbers. Divisions truncate.
IPFieldLayout ComputeIPFieldLayout(int controlWidth, int controlHeight, int fontPoints, int fontPixelHeight);

// The font's size in whole points and its character height (em height, no
// leading) in pixels at the given logical dots per inch, whichever of the two
// the font was given in.
int FontPointSize(const QFont& font, int logicalDpi);
int FontPixelHeight(const QFont& font, int logicalDpi);
