// Scaling of the layout to the system's resolution and the first placement.
#include <gtest/gtest.h>

#include "controls/Scaling.h"

namespace {

TEST(ScalerFor, DesignResolutionScalesNothing) {
  // At 96 dpi nothing is scaled, whatever the font reports.
  EXPECT_TRUE(ScalerFor(96, 13, 13).Identity());
  EXPECT_TRUE(ScalerFor(96, 14, 13).Identity());
  EXPECT_FALSE(ScalerFor(120, 16, 13).Identity());
  EXPECT_TRUE(ScalerFor(120, 0, 13).Identity()) << "no text height: no scaling";
}

TEST(Scaler, RoundsToNearest) {
  struct Case {
    Scaler s;
    int value, expected;
    const char* reason;
  };
  const Case cases[] = {
      {{16, 13}, 553, 681, "client width at 120 dpi: 680.6"},
      {{16, 13}, 577, 710, "client height at 120 dpi: 710.15"},
      {{16, 13}, 13, 16, "one text line"},
      {{16, 13}, 11, 14, "link font: 13.5 rounds up"},
      {{16, 13}, 0, 0, "zero stays"},
      {{1, 2}, 3, 2, "halves away from zero"},
      {{1, 2}, -3, -2, "halves away from zero, negative"},
      {{20, 13}, 24, 37, "tab strip at 144 dpi (36.9)"},
      {{1, 1}, 553, 553, "identity"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.s.Scale(c.value), c.expected) << c.reason;
}

TEST(Scaler, ScalesEdgesSoNeighboursKeepTouching) {
  const Scaler s{16, 13};
  // The page control ends at 505 and the panel starts at 511: the gap scales.
  const Rect pc = s.ScaleRect({0, 0, 553, 505});
  const Rect panel = s.ScaleRect({0, 511, 553, 66});
  EXPECT_EQ(pc.top + pc.height, 622);
  EXPECT_EQ(panel.top, 629);
  EXPECT_EQ(panel.top + panel.height, s.Scale(577)) << "panel ends at the client's bottom";
  const Rect r = s.ScaleRect({8, 158, 513, 75});
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.width, s.Scale(521) - 10);
}

TEST(CentreOnDesktop, CentresByIntegerHalves) {
  struct Case {
    Rect desktop;
    int w, h;
    Point expected;
    const char* reason;
  };
  const Case cases[] = {
      {{0, 0, 1280, 1024}, 559, 606, {361, 209}, "odd sizes: halves rounded down"},
      {{0, 0, 2560, 1024}, 559, 606, {1001, 209}, "two monitors side by side: centred on the pair"},
      {{-1280, 0, 2560, 1024}, 559, 606, {-279, 209}, "desktop starting left of zero"},
      {{0, 0, 500, 400}, 559, 606, {0, 0}, "larger than the desktop: moved right and down"},
      {{-100, -50, 300, 200}, 559, 606, {-100, -50}, "clamped to a negative desktop origin"},
  };
  for (const auto& c : cases) {
    const Point p = CentreOnDesktop(c.desktop, c.w, c.h);
    EXPECT_EQ(p.x, c.expected.x) << c.reason;
    EXPECT_EQ(p.y, c.expected.y) << c.reason;
  }
}

}  // namespace
