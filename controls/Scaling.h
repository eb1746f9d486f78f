// Scaling of the design layout (96 dpi) to the system's resolution, and the
// placement of the window when it is first shown. Portable arithmetic.
//
//   Scaler s{textHeightAtDpi, 13};
//   Rect r = s.ScaleRect({416, 116, 111, 13});
#pragma once

struct Rect {
  int left, top, width, height;
};

// Scales by numerator / denominator with rounding to the nearest integer,
// halves away from zero (as the system's MulDiv does).
struct Scaler {
  int numerator = 1;
  int denominator = 1;

  // Returns true when scaling changes nothing.
  bool Identity() const { return numerator == denominator; }
  // Returns value scaled.
  int Scale(int value) const;
  // Returns the rectangle with its edges scaled, so that neighbouring
  // controls keep touching and gaps stay proportional: width and height are
  // the differences of the scaled edges.
  Rect ScaleRect(const Rect& r) const;
};

// Returns the scaler for a window font whose text height is textHeight at
// the current resolution; at the design resolution (96 dpi) nothing scales.
Scaler ScalerFor(int dpi, int textHeight, int designTextHeight);

// Returns the top-left corner that centres a window of the given size on the
// desktop rectangle by integer halves, moved right or down where its left or
// top edge would lie before the desktop's.
struct Point {
  int x, y;
};
Point CentreOnDesktop(const Rect& desktop, int width, int height);
