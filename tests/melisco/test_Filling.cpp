#include "MeliscoTestSupport.h"
#include "MeshFixture.h"
#include "melisco.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using meliscotest::Bitmap;
using meliscotest::Rgb;
using meliscotest::SquareMesh;

constexpr double X = 1e300;
constexpr COLORREF kBlackRef = 0x000000;
constexpr COLORREF kWhiteRef = 0xFFFFFF;

// One call with the arguments that the tests vary; the rest stays fixed.
struct Filling {
  std::vector<double> values;
  int nx = 1, ny = 1;
  double x = 0, y = 0, w = 1, h = 1;
  const uint8_t* mask = nullptr;
  double vx0 = 0, vy0 = 0, vx1 = 1, vy1 = 1;
  int fillType = 3;
  double min = 0, max = 10;
  COLORREF c1 = kBlackRef, c2 = kWhiteRef;
  int mixMode = 0;
  int opacity1 = 0x10000, opacity2 = 0x10000;

  void Draw(Bitmap& bitmap, double* pixelValues = nullptr) const {
    DrawFilling(bitmap.get(), values.data(), nx, ny, x, y, w, h, mask, vx0, vy0, vx1, vy1, fillType,
                true, min, max, c1, c2, mixMode, opacity1, opacity2, pixelValues != nullptr,
                pixelValues);
  }
};

TEST(DrawFilling, OneCellFillsItsRectangleWithOneColour) {
  Bitmap bitmap(10, 10);
  bitmap.Fill(255, 0, 0);
  Filling f;
  f.values = {5.0};
  f.x = 2, f.y = 2, f.w = 4, f.h = 4;
  f.vx1 = 10, f.vy1 = 10;
  std::vector<double> stored(100, -1.0);
  f.Draw(bitmap, stored.data());
  // Pixels sample the grid at their right and lower edges: columns and rows 1..5.
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      const bool inside = x >= 1 && x <= 5 && y >= 1 && y <= 5;
      EXPECT_EQ(bitmap.Pixel(x, y), inside ? (Rgb{127, 127, 127}) : (Rgb{255, 0, 0})) << x << "," << y;
      EXPECT_EQ(stored[y * 10 + x], inside ? 5.0 : X) << x << "," << y;
    }
  }
}

TEST(DrawFilling, BilinearValuesInPixelOrder) {
  Bitmap bitmap(8, 1);
  Filling f;
  f.values = {0.0, 10.0};
  f.nx = 2;
  f.w = 8, f.h = 1, f.vx1 = 8, f.vy1 = 1;
  std::vector<double> stored(8);
  f.Draw(bitmap, stored.data());
  // Cell centres at x = 2 and 6; pixel c samples x = c + 1.
  const double expected[8] = {0.0, 0.0, 2.5, 5.0, 7.5, 10.0, 10.0, 10.0};
  for (int c = 0; c < 8; ++c) {
    EXPECT_DOUBLE_EQ(stored[c], expected[c]) << c;
  }
}

TEST(DrawFilling, RangeEndsGiveTheEndColoursExactly) {
  struct Case {
    double value;
    int mixMode;
    COLORREF c1, c2;
    Rgb expected;
  };
  const Case cases[] = {
      {10.0, 0, kBlackRef, kWhiteRef, {255, 255, 255}},
      {0.0, 0, kBlackRef, kWhiteRef, {0, 0, 0}},
      {25.0, 0, kBlackRef, kWhiteRef, {255, 255, 255}},  // beyond the range: clamped
      {10.0, 1, 0x0000FF, 0xFF0000, {0, 0, 255}},         // HSV red to blue ends on blue
      {5.0, 1, 0x0000FF, 0xFF0000, {0, 255, 0}},
      {5.0, 2, 0x0000FF, 0xFF0000, {255, 0, 255}},
  };
  for (const Case& c : cases) {
    Bitmap bitmap(1, 1);
    Filling f;
    f.values = {c.value};
    f.mixMode = c.mixMode;
    f.c1 = c.c1;
    f.c2 = c.c2;
    f.Draw(bitmap);
    EXPECT_EQ(bitmap.Pixel(0, 0), c.expected) << c.value << " mode " << c.mixMode;
  }
}

TEST(DrawFilling, DegenerateRangePaintsTheMinimumColour) {
  for (auto [min, max] : {std::pair{3.0, 3.0}, std::pair{0.0, 0.0}, std::pair{1e6, 1e6 + 1e-5}}) {
    Bitmap bitmap(1, 1);
    Filling f;
    f.values = {7.0};
    f.min = min, f.max = max;
    f.c1 = 0x00FF00;
    f.Draw(bitmap);
    EXPECT_EQ(bitmap.Pixel(0, 0), (Rgb{0, 255, 0})) << min << " " << max;
  }
}

TEST(DrawFilling, TransparenciesByFillType) {
  struct Case {
    int fillType;
    double value;
    int opacity1, opacity2;
    int grey;  // white map blended toward black
  };
  const Case cases[] = {
      {1, 0.0, 0, 0, 255},          // type 1: the minimum is fully transparent
      {1, 10.0, 0, 0, 0},           // and the maximum opaque
      {1, 7.5, 0, 0, 63},           // three quarters: the 64-bit ramp holds
      {3, 10.0, 0x8000, 0, 127},    // one transparency for all values
      {3, 0.0, 0x8000, 0, 127},
      {4, 0.0, 0x10000, 0, 0},      // a falling ramp from opacity 1 to opacity 2
      {4, 10.0, 0x10000, 0, 255},
      {4, 7.5, 0x10000, 0, 191},
  };
  for (const Case& c : cases) {
    Bitmap bitmap(1, 1);
    bitmap.Fill(255, 255, 255);
    Filling f;
    f.values = {c.value};
    f.fillType = c.fillType;
    f.c2 = kBlackRef;
    f.opacity1 = c.opacity1;
    f.opacity2 = c.opacity2;
    f.Draw(bitmap);
    EXPECT_EQ(bitmap.Pixel(0, 0).r, c.grey) << c.fillType << " " << c.value;
  }
}

TEST(DrawFilling, MaskAndCellsWithoutValueLeaveThePixels) {
  Bitmap bitmap(8, 8);
  bitmap.Fill(255, 0, 0);
  Filling f;
  f.values = {5, 5,  //
              5, X};
  f.nx = 2, f.ny = 2;
  f.w = 8, f.h = 8, f.vx1 = 8, f.vy1 = 8;
  std::vector<uint8_t> mask(64, 1);
  mask[0 * 8 + 1] = 0;
  f.mask = mask.data();
  std::vector<double> stored(64);
  f.Draw(bitmap, stored.data());
  const Rgb untouched{255, 0, 0}, filled{127, 127, 127};
  struct Case {
    int x, y;
    bool painted;
  };
  // Any of the four samples without value, or a mask byte of 0, skips a pixel.
  for (const Case& c : {Case{0, 0, true}, Case{1, 0, false}, Case{0, 7, true}, Case{7, 0, true},
                        Case{3, 3, false}, Case{7, 7, false}, Case{0, 3, true}, Case{3, 0, true}}) {
    EXPECT_EQ(bitmap.Pixel(c.x, c.y), c.painted ? filled : untouched) << c.x << "," << c.y;
    EXPECT_EQ(stored[c.y * 8 + c.x], c.painted ? 5.0 : X) << c.x << "," << c.y;
  }
}

TEST(DrawFilling, ZeroExtentsAndGridsDrawNothing) {
  struct Case {
    int nx, ny;
    double w, vx1;
  };
  // A zero extent makes the grid positions infinite or NaN.
  for (const Case& c : {Case{1, 1, 0.0, 1.0}, Case{1, 1, 0.0, 0.0}, Case{0, 1, 1.0, 1.0},
                        Case{1, -3, 1.0, 1.0}}) {
    Bitmap bitmap(4, 4);
    bitmap.Fill(255, 0, 0);
    Filling f;
    f.values = {5.0};
    f.nx = c.nx, f.ny = c.ny;
    f.w = c.w, f.vx1 = c.vx1;
    std::vector<double> stored(16, 0.0);
    f.Draw(bitmap, stored.data());
    for (int i = 0; i < 16; ++i) {
      EXPECT_EQ(stored[i], X) << i;
    }
    EXPECT_EQ(bitmap.Pixel(2, 2), (Rgb{255, 0, 0}));
  }
}

TEST(DrawFilling, ThirtyTwoBitPixelsGetTheAlphaByte) {
  Bitmap bitmap(1, 1, 32);
  bitmap.Fill(0, 0, 0, 0);
  Filling f;
  f.values = {10.0};
  f.opacity1 = 0x8000;
  f.Draw(bitmap);
  EXPECT_EQ(bitmap.Pixel(0, 0), (Rgb{255, 255, 255}));
  EXPECT_EQ(bitmap.At(0, 0)[3], 128);
}

// Triangle fillings over the square mesh seen through (0,0)-(4,4) on 8x8 pixels.
class TriFilling : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_.fillType = 3;
    settings_.fillColor1 = kBlackRef;
    settings_.fillColor2 = kWhiteRef;
    settings_.transparency1 = 0x10000;
    settings_.transparency2 = 0x10000;
    settings_.rangeMin = 1.0;
    settings_.rangeMax = 2.0;
    bitmap_.Fill(255, 0, 0);
  }

  void Draw(const std::vector<double>& values, int mode, int triangle, int layer) {
    DrawTriFilling(bitmap_.get(), values.data(), &mesh_.mesh, mode, triangle, layer, 0, 0, 4, 4,
                   &settings_, true, true, stored_.data());
  }
  double Stored(int x, int y) const { return stored_[y * 8 + x]; }

  SquareMesh mesh_;
  TArrayDrawSettings settings_{};
  Bitmap bitmap_{8, 8};
  std::vector<double> stored_ = std::vector<double>(64, X);
};

TEST_F(TriFilling, NodeValuesAreInterpolatedLinearly) {
  const std::vector<double> values = {0, 4, 44, 40};  // x + 10 y at the nodes
  Draw(values, 0, 0, -1);
  Draw(values, 0, 1, -1);
  for (int py = 0; py < 8; ++py) {
    for (int px = 0; px < 8; ++px) {
      const double xc = (px + 0.5) * 0.5, yc = (py + 0.5) * 0.5;
      EXPECT_NEAR(Stored(px, py), xc + 10 * yc, 1e-9) << px << "," << py;
    }
  }
}

TEST_F(TriFilling, ElementValuesAndTheFirstTriangleOwnsTheEdge) {
  const std::vector<double> values = {1.0, 2.0};
  Draw(values, 2, 0, -1);
  Draw(values, 2, 1, -1);
  EXPECT_EQ(Stored(6, 1), 1.0);
  EXPECT_EQ(Stored(1, 6), 2.0);
  EXPECT_EQ(Stored(3, 3), 1.0);  // on the diagonal: drawn by triangle 0 first
  EXPECT_EQ(bitmap_.Pixel(6, 1), meliscotest::kBlack);
  EXPECT_EQ(bitmap_.Pixel(1, 6), meliscotest::kWhite);
  EXPECT_EQ(bitmap_.Pixel(3, 3), meliscotest::kBlack);

  std::fill(stored_.begin(), stored_.end(), X);
  Draw(values, 2, 1, -1);
  Draw(values, 2, 0, -1);
  EXPECT_EQ(Stored(3, 3), 2.0);
}

TEST_F(TriFilling, PrismFacesAndAbsentLayers) {
  const std::vector<double> nodeValues = {1.5, 1.5, 1.5, 1.5, 2.0, 2.0, 2.0, 2.0};
  Draw(nodeValues, 0, 0, 0);  // roof face
  EXPECT_DOUBLE_EQ(Stored(6, 1), 1.5);
  std::fill(stored_.begin(), stored_.end(), X);
  Draw(nodeValues, 0, 0, 1);  // sole face
  EXPECT_DOUBLE_EQ(Stored(6, 1), 2.0);

  const std::vector<double> prismValues = {1.25};
  std::fill(stored_.begin(), stored_.end(), X);
  Draw(prismValues, 2, 0, 1);
  EXPECT_EQ(Stored(6, 1), 1.25);

  // Triangle 1 has no prism in the layer; layers beyond the mesh don't exist.
  std::fill(stored_.begin(), stored_.end(), X);
  Draw(prismValues, 2, 1, 0);
  Draw(prismValues, 2, 0, 2);
  for (double v : stored_) {
    EXPECT_EQ(v, X);
  }
  EXPECT_EQ(bitmap_.Pixel(1, 6), (Rgb{255, 0, 0}));
}

TEST_F(TriFilling, NothingForMissingValuesBadTrianglesOrAnEmptyView) {
  Draw({1.0, X}, 2, 1, -1);
  Draw({1.0, 2.0}, 2, 5, -1);
  Draw({1.0, 2.0}, 2, -1, -1);
  DrawTriFilling(bitmap_.get(), std::vector<double>{1.0, 2.0}.data(), &mesh_.mesh, 2, 0, -1, 0, 0, 0,
                 4, &settings_, true, true, stored_.data());
  mesh_.xy[1] = NAN;  // a node without a place
  Draw({1.0, 2.0}, 2, 0, -1);
  Draw({1.0, 2.0}, 2, 1, -1);
  for (double v : stored_) {
    EXPECT_EQ(v, X);
  }
}

TEST_F(TriFilling, AFlippedViewStillCoversTheTriangle) {
  // World y growing upward on the screen: row 0 shows y = 4.
  const std::vector<double> values = {1.0, 2.0};
  DrawTriFilling(bitmap_.get(), values.data(), &mesh_.mesh, 2, 1, -1, 0, 4, 4, 0, &settings_, true,
                 true, stored_.data());
  EXPECT_EQ(Stored(1, 1), 2.0);  // near (0, 4): triangle 1
  EXPECT_EQ(Stored(6, 6), X);    // near (4, 0): triangle 0, not drawn
}

}  // namespace
