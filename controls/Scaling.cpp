// Layout scaling and first placement (see Scaling.h).
#include "controls/Scaling.h"

#include <cstdint>

namespace {

constexpr int kDesignDpi = 96;

// Returns value * num / den rounded half away from zero; den must not be 0.
int MulDivRound(int value, int num, int den) {
  const std::int64_t product = static_cast<std::int64_t>(value) * num;
  const std::int64_t d = den;
  const bool negative = (product < 0) != (d < 0);
  const std::int64_t a = product < 0 ? -product : product;
  const std::int64_t b = d < 0 ? -d : d;
  const std::int64_t q = (a * 2 + b) / (b * 2);
  return static_cast<int>(negative ? -q : q);
}

}  // namespace

int Scaler::Scale(int value) const {
  if (Identity() || denominator == 0) return value;
  return MulDivRound(value, numerator, denominator);
}

Rect Scaler::ScaleRect(const Rect& r) const {
  const int left = Scale(r.left);
  const int top = Scale(r.top);
  return {left, top, Scale(r.left + r.width) - left, Scale(r.top + r.height) - top};
}

Scaler ScalerFor(int dpi, int textHeight, int designTextHeight) {
  if (dpi == kDesignDpi || textHeight <= 0 || designTextHeight <= 0) return {1, 1};
  return {textHeight, designTextHeight};
}

Point CentreOnDesktop(const Rect& desktop, int width, int height) {
  int x = desktop.width / 2 + desktop.left - width / 2;
  int y = desktop.height / 2 + desktop.top - height / 2;
  if (x < desktop.left) x = desktop.left;
  if (y < desktop.top) y = desktop.top;
  return {x, y};
}
