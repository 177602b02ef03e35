#include "melisco.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

struct Hsv {
  int h, s, v;
};

Hsv ToHsv(int r, int g, int b) {
  Hsv out{};
  RGB_HSV(r, g, b, &out.h, &out.s, &out.v);
  return out;
}

std::tuple<int, int, int> ToRgb(int h, int s, int v) {
  int r = -1, g = -1, b = -1;
  HSV_RGB(h, s, v, &r, &g, &b);
  return {r, g, b};
}

int Red(COLORREF c) { return c & 0xFF; }
int Green(COLORREF c) { return (c >> 8) & 0xFF; }
int Blue(COLORREF c) { return (c >> 16) & 0xFF; }

TEST(RgbHsv, PrimariesGreysAndBlack) {
  struct Case {
    int r, g, b, h, s, v;
  };
  const Case cases[] = {
      {255, 0, 0, 384, 256, 255},  // pure red lands on the full turn
      {255, 255, 0, 64, 256, 255},
      {0, 255, 0, 128, 256, 255},
      {0, 255, 255, 192, 256, 255},
      {0, 0, 255, 256, 256, 255},
      {255, 0, 255, 320, 256, 255},
      {0, 0, 0, 0, 0, 0},
      {128, 128, 128, 0, 0, 128},
      {7, 7, 7, 0, 0, 7},
  };
  for (const Case& c : cases) {
    const Hsv hsv = ToHsv(c.r, c.g, c.b);
    EXPECT_EQ(hsv.h, c.h) << c.r << "," << c.g << "," << c.b;
    EXPECT_EQ(hsv.s, c.s) << c.r << "," << c.g << "," << c.b;
    EXPECT_EQ(hsv.v, c.v) << c.r << "," << c.g << "," << c.b;
  }
}

TEST(HsvRgb, HueIsFoldedIntoOneTurn) {
  EXPECT_EQ(ToRgb(-64, 256, 255), ToRgb(320, 256, 255));
  EXPECT_EQ(ToRgb(320, 256, 255), std::make_tuple(255, 0, 255));
  EXPECT_EQ(ToRgb(400, 256, 255), ToRgb(16, 256, 255));
  EXPECT_EQ(ToRgb(384, 256, 255), ToRgb(0, 256, 255));
  EXPECT_EQ(ToRgb(0, 256, 255), std::make_tuple(255, 0, 0));
  EXPECT_EQ(ToRgb(123, 0, 77), std::make_tuple(77, 77, 77));
}

TEST(HsvRgb, RoundTripOfSaturatedColoursIsExact) {
  for (COLORREF c : {0x0000FFu, 0x00FF00u, 0xFF0000u, 0x00FFFFu, 0xFFFF00u, 0xFF00FFu}) {
    const Hsv hsv = ToHsv(Red(c), Green(c), Blue(c));
    EXPECT_EQ(ToRgb(hsv.h, hsv.s, hsv.v), std::make_tuple(Red(c), Green(c), Blue(c))) << std::hex << c;
  }
}

TEST(MixColor, EndsGiveTheEndColours) {
  const COLORREF c1 = 0x2040C0, c2 = 0xC08010;
  EXPECT_EQ(MixColor(c1, c2, 0, 0), c1);
  EXPECT_EQ(MixColor(c1, c2, 0x10000, 0), c2);
  for (int mode : {1, 2}) {
    for (auto [t, expected] : {std::pair{0, c1}, std::pair{0x10000, c2}}) {
      const COLORREF got = MixColor(c1, c2, t, mode);
      // The HSV round trip may be off by the integer rounding of a channel.
      EXPECT_NEAR(Red(got), Red(expected), 3) << mode << " " << t;
      EXPECT_NEAR(Green(got), Green(expected), 3) << mode << " " << t;
      EXPECT_NEAR(Blue(got), Blue(expected), 3) << mode << " " << t;
    }
  }
}

TEST(MixColor, HueRunsUpOrDownAroundTheCircle) {
  EXPECT_EQ(MixColor(0x0000FF, 0xFF0000, 32768, 1), 0x00FF00u);  // red to blue upward: green
  EXPECT_EQ(MixColor(0x0000FF, 0xFF0000, 32768, 2), 0xFF00FFu);  // downward: magenta
}

TEST(MixColor, RgbMidpointAndUnknownMode) {
  EXPECT_EQ(MixColor(0x000000, 0xFFFFFF, 32768, 0), 0x7F7F7Fu);
  EXPECT_EQ(MixColor(0x0000FF, 0xFF0000, 32768, 5), 0u);
  EXPECT_EQ(MixColor(0x0000FF, 0xFF0000, 32768, -1), 0u);
}

TEST(MixColor, PositionsBeyondTheEndsAreClamped) {
  // Unclamped, 0x100000 would give c1 + 16 (c2 - c1) and overflow the bytes.
  const COLORREF c1 = 0x102030, c2 = 0x807060;
  for (int mode : {0, 1, 2}) {
    EXPECT_EQ(MixColor(c1, c2, 0x100000, mode), MixColor(c1, c2, 0x10000, mode)) << mode;
    EXPECT_EQ(MixColor(c1, c2, -5000, mode), MixColor(c1, c2, 0, mode)) << mode;
  }
  EXPECT_EQ(MixColor(c1, c2, 0x7FFFFFFF, 0), c2);
}

TEST(MixColorRGB, AdvancesTheColourByScaledDeltas) {
  int r = 10, g = 20, b = 30;
  MixColorRGB(&r, &g, &b, 100, -20, 0, 0x8000, 0);
  EXPECT_EQ(std::make_tuple(r, g, b), std::make_tuple(60, 10, 30));

  // The full weight adds the delta unscaled.
  r = 1, g = 2, b = 3;
  MixColorRGB(&r, &g, &b, 7, 7, -3, 0x10000, 0);
  EXPECT_EQ(std::make_tuple(r, g, b), std::make_tuple(8, 9, 0));

  // HSV in, RGB out; mode 1 makes a negative hue delta run upward.
  int h = 384, s = 256, v = 255;  // red
  MixColorRGB(&h, &s, &v, 256 - 384, 0, 0, 0x8000, 1);
  EXPECT_EQ(std::make_tuple(h, s, v), std::make_tuple(0, 255, 0));

  h = 384, s = 256, v = 255;
  MixColorRGB(&h, &s, &v, 256 - 384, 0, 0, 0x8000, 2);
  EXPECT_EQ(std::make_tuple(h, s, v), std::make_tuple(255, 0, 255));

  // Another mode leaves the colour alone.
  h = 1, s = 2, v = 3;
  MixColorRGB(&h, &s, &v, 50, 50, 50, 0x8000, 3);
  EXPECT_EQ(std::make_tuple(h, s, v), std::make_tuple(1, 2, 3));
}

TEST(EGAcols, SixteenColoursInTheirOrder) {
  ASSERT_EQ(EGAcolsCount(), 16);
  const COLORREF expected[16] = {0xFF0000, 0x0000FF, 0x00FF00, 0xC0C0C0, 0x800000, 0x008000,
                                 0x000080, 0x808000, 0x800080, 0x008080, 0x808080, 0xFFFF00,
                                 0xFF00FF, 0x00FFFF, 0xFFFFFF, 0x000000};
  const COLORREF* table = EGAcols();
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(table[i], expected[i]) << i;
  }
}

}  // namespace
