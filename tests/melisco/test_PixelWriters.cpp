#include "melisco.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Pixel = std::array<uint8_t, 4>;

TEST(PutTransp, BlendsTowardTheColourAndAdvances) {
  struct Case {
    int alpha;
    uint8_t expectedBlue;  // old 255, target 0
  };
  const Case cases[] = {{0, 255}, {0x10000, 0}, {0x8000, 127}, {0xC000, 63},
                        {-100, 255}, {0x7FFFFFFF, 0}};  // transparencies outside the range clamp
  for (const Case& c : cases) {
    Pixel px{255, 255, 255, 9};
    uint8_t* cursor = px.data();
    EXPECT_EQ(putTranspBGR(&cursor, 255, 128, 0, c.alpha), &cursor);
    EXPECT_EQ(cursor, px.data() + 3);
    EXPECT_EQ(px[0], c.expectedBlue) << c.alpha;
    EXPECT_EQ(px[2], 255) << c.alpha;
    EXPECT_EQ(px[3], 9) << "a 24-bit writer touches three bytes";
  }
  Pixel px{0, 0, 0, 0};
  putTranspBGRx(px.data(), 200, 100, 50, 0x8000);
  EXPECT_EQ(px, (Pixel{25, 50, 100, 0}));
}

TEST(PutTransp, ThirtyTwoBitWritesColourAndAlphaByte) {
  struct Case {
    int alpha;
    uint8_t alphaByte;
  };
  for (const Case& c : {Case{0x10000, 255}, Case{0x8000, 128}, Case{0, 0}, Case{0xFFFF, 255},
                        Case{0x20000, 255}}) {
    Pixel px{1, 2, 3, 4};
    uint8_t* cursor = px.data();
    putTranspBGRA(&cursor, 10, 20, 30, c.alpha);
    EXPECT_EQ(cursor, px.data() + 4);
    EXPECT_EQ(px, (Pixel{30, 20, 10, c.alphaByte})) << c.alpha;
  }
  Pixel px{};
  putTranspBGRAx(px.data(), 10, 20, 30, 0x8000);
  EXPECT_EQ(px, (Pixel{30, 20, 10, 128}));
}

TEST(FillColor, MixesInRgbAndHsv) {
  Pixel px{0, 0, 0, 0};
  uint8_t* cursor = px.data();
  // RGB: base black, delta white, half way, opaque.
  fillColorBGR(&cursor, 0, 0, 0, 255, 255, 255, 0x8000, 0x10000, 0);
  EXPECT_EQ(px, (Pixel{127, 127, 127, 0}));
  EXPECT_EQ(cursor, px.data() + 3);

  // HSV upward from red (384) to blue (256): the middle is green.
  px = {};
  fillColorBGRx(px.data(), 384, 256, 255, 256 - 384, 0, 0, 0x8000, 0x10000, 1);
  EXPECT_EQ(px, (Pixel{0, 255, 0, 0}));

  px = {};
  cursor = px.data();
  fillColorBGRA(&cursor, 384, 256, 255, 256 - 384, 0, 0, 0x8000, 0x8000, 2);
  EXPECT_EQ(px, (Pixel{255, 0, 255, 128}));
  EXPECT_EQ(cursor, px.data() + 4);

  px = {};
  fillColorBGRAx(px.data(), 10, 20, 30, 0, 0, 0, 0, 0x10000, 0);
  EXPECT_EQ(px, (Pixel{30, 20, 10, 255}));
}

// alpha0 + ((t * alphaDelta) >> 16) with a full-range delta needs 64 bits from
// t = 0x8000 on; in 32 bits every value above mid-range would go transparent.
TEST(FillColor, OpacityRampHoldsOverTheWholeRange) {
  struct Case {
    int t, alpha0, alphaDelta;
    uint8_t blue;  // white pixel blended toward black
  };
  const Case cases[] = {
      {0, 0, 0x10000, 255},         {0x8000, 0, 0x10000, 127},
      {0xC000, 0, 0x10000, 63},     {0x10000, 0, 0x10000, 0},
      {0xC000, 0x10000, -0x10000, 191},  // a falling ramp keeps its sign
      {0x8000, 0x8000, 0x20000, 0},      // above one: clamped to opaque
      {0x8000, 0, -0x20000, 255},        // below zero: clamped to transparent
  };
  for (const Case& c : cases) {
    Pixel px{255, 255, 255, 0};
    uint8_t* cursor = px.data();
    fillColorBGRa(&cursor, 0, 0, 0, 0, 0, 0, c.t, c.alpha0, c.alphaDelta, 0);
    EXPECT_EQ(px[0], c.blue) << c.t << " " << c.alpha0 << " " << c.alphaDelta;
    px = {255, 255, 255, 0};
    fillColorBGRax(px.data(), 0, 0, 0, 0, 0, 0, c.t, c.alpha0, c.alphaDelta, 0);
    EXPECT_EQ(px[0], c.blue) << c.t;
  }
  Pixel px{};
  uint8_t* cursor = px.data();
  fillColorBGRAa(&cursor, 0, 0, 0, 0, 0, 0, 0xC000, 0, 0x10000, 0);
  EXPECT_EQ(px[3], 0xC0);
  cursor = px.data();
  fillColorBGRAa(&cursor, 0, 0, 0, 0, 0, 0, 0x10000, 0, 0x10000, 0);
  EXPECT_EQ(px[3], 255);
}

}  // namespace
