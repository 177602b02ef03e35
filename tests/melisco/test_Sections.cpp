#include "MeliscoTestSupport.h"
#include "MeshFixture.h"
#include "melisco.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using meliscotest::Bitmap;
using meliscotest::Rgb;
using meliscotest::SquareMesh;

constexpr double X = 1e300;
constexpr double kIdentity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
// (u, v, d) -> (u, d, v): a vertical plane, v running up the box's z.
constexpr double kVertical[9] = {1, 0, 0, 0, 0, 1, 0, 1, 0};

TArrayDrawSettings GreyRamp() {
  TArrayDrawSettings s{};
  s.fillType = 3;
  s.fillColor1 = 0x000000;
  s.fillColor2 = 0xFFFFFF;
  s.transparency1 = 0x10000;
  s.rangeMin = 0;
  s.rangeMax = 10;
  return s;
}

// A 10 x 10 picture of the box [-1, 1]^3 at 4 pixels per unit, centred at
// pixel (5, 5): column c has u = -1 + (c - 1) / 4, row r has v = 1 - (r - 1) / 4.
struct SectionPicture {
  Bitmap bitmap{10, 10};
  SectionPicture() { bitmap.Fill(255, 0, 0); }
  void Regular(const std::vector<double>& values, int nx, int ny, int nz, const TArrayDrawSettings& s,
               const double* R = kIdentity, double d = 0, int signX = 1) {
    DrawSection(bitmap.get(), 5, 5, 4, values.data(), nx, ny, nz, signX, 1, 1, 1, 1, 1, R, d, &s);
  }
  int Grey(int x, int y) {
    const Rgb p = bitmap.Pixel(x, y);
    EXPECT_EQ(p.r, p.g) << x << "," << y;
    return p.r;
  }
  bool Untouched(int x, int y) { return bitmap.Pixel(x, y) == (Rgb{255, 0, 0}); }
};

TEST(DrawSection, OneCellPaintsTheOpenBoxCutWithOneColour) {
  SectionPicture pic;
  pic.Regular({5.0}, 1, 1, 1, GreyRamp());
  // Columns and rows 1 and 9 sit on the box faces, which are outside the open box.
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      const bool inside = x >= 2 && x <= 8 && y >= 2 && y <= 8;
      if (inside) {
        EXPECT_NEAR(pic.Grey(x, y), 127, 1) << x << "," << y;
      } else {
        EXPECT_TRUE(pic.Untouched(x, y)) << x << "," << y;
      }
    }
  }
}

TEST(DrawSection, TrilinearAlongTheIndexDirection) {
  // Two cells 0 and 10 along x: cell centres at u = -0.5 and u = 0.5; values
  // beyond the first centre are extrapolated and clamp to the minimum colour.
  struct Case {
    int signX;
    int column;
    int grey;
  } cases[] = {{1, 2, 0}, {1, 3, 0}, {1, 4, 63}, {1, 5, 127}, {1, 7, 254}, {1, 8, 254},
               {-1, 3, 254}, {-1, 4, 191}, {-1, 7, 0}};
  for (const Case& c : cases) {
    SectionPicture pic;
    pic.Regular({0.0, 10.0}, 2, 1, 1, GreyRamp(), kIdentity, 0, c.signX);
    EXPECT_NEAR(pic.Grey(c.column, 5), c.grey, 1) << c.signX << " column " << c.column;
  }
}

TEST(DrawSection, MissingValueLeavesAHoleOfItsNeighbourhood) {
  // Four cells along x, centres at u = -0.75, -0.25, 0.25, 0.75; cell 1 has no value,
  // so every pixel that mixes it (u below the centre of cell 2) stays unpainted.
  SectionPicture pic;
  pic.Regular({1.0, X, 1.0, 1.0}, 4, 1, 1, GreyRamp());
  for (int x = 2; x <= 8; ++x) {
    EXPECT_EQ(pic.Untouched(x, 5), x <= 5) << x;
  }
}

TEST(DrawSection, NothingDrawnWithoutFillOrOutsideTheBox) {
  struct Case {
    const char* name;
    int fillType;
    double d;
    const double* values;
  } const five[] = {{"plane misses the box", 3, 5.0, nullptr},
                    {"hatching", 2, 0, nullptr},
                    {"no fill", 0, 0, nullptr}};
  for (const Case& c : five) {
    SectionPicture pic;
    TArrayDrawSettings s = GreyRamp();
    s.fillType = c.fillType;
    pic.Regular({5.0}, 1, 1, 1, s, kIdentity, c.d);
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 10; ++x) {
        EXPECT_TRUE(pic.Untouched(x, y)) << c.name << " " << x << "," << y;
      }
    }
  }
  SectionPicture pic;
  TArrayDrawSettings s = GreyRamp();
  DrawSection(pic.bitmap.get(), 5, 5, 4, nullptr, 1, 1, 1, 1, 1, 1, 1, 1, 1, kIdentity, 0, &s);
  EXPECT_TRUE(pic.Untouched(5, 5));
}

TEST(DrawSection, LinesAreDrawnWithoutFill) {
  Bitmap bitmap(40, 40);
  bitmap.Fill(255, 0, 0);
  TContourLevel levels[2] = {{5.0, 0x00FF00, 2, 0, 0x10000}, {99.0, 0x00FF00, 2, 0, 0x10000}};
  TArrayDrawSettings s = GreyRamp();
  s.fillType = 2;
  s.contoursOn = 1;
  s.levels = levels;
  s.levelCount = 2;
  const double values[2] = {0.0, 10.0};
  DrawSection(bitmap.get(), 20, 20, 16, values, 2, 1, 1, 1, 1, 1, 1, 1, 1, kIdentity, 0, &s);
  int green = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 40; ++x) {
      const Rgb p = bitmap.Pixel(x, y);
      green += p == Rgb{0, 255, 0};
      EXPECT_TRUE(p == (Rgb{255, 0, 0}) || p == (Rgb{0, 255, 0})) << x << "," << y;
    }
  }
  EXPECT_GT(green, 0);
}

TEST(DrawSection, ThirtyTwoBitPicturesGetAnOpaqueAlpha) {
  Bitmap bitmap(10, 10, 32);
  bitmap.Fill(0, 0, 0, 0);
  const TArrayDrawSettings s = GreyRamp();
  const double value = 10.0;
  DrawSection(bitmap.get(), 5, 5, 4, &value, 1, 1, 1, 1, 1, 1, 1, 1, 1, kIdentity, 0, &s);
  EXPECT_EQ(bitmap.At(5, 5)[3], 255);
  EXPECT_EQ(bitmap.At(0, 0)[3], 0);
}

// The square mesh under the box [-1, 1]^3: x = 2u + 2 and y = 2 - 2Y; z = 0.5 - Z / 2.
// Triangle 0 (where y <= x) has a prism from z = 0 to 1; triangle 1 has none.
TEST(DrawSectionIA, NodeAndElementValuesOfThePrism) {
  SquareMesh m;
  const std::vector<double> nodes = {10, 10, 10, 10, 0, 0, 0, 0};  // roof 10, sole 0
  const TArrayDrawSettings s = GreyRamp();
  struct Case {
    const char* name;
    const double* R;
    double d;
    int perElement;
    int x, y;
    int grey;  // -1: untouched
  } cases[] = {
      {"horizontal through the middle", kIdentity, 0, 0, 7, 3, 127},
      {"horizontal over triangle 1", kIdentity, 0, 0, 3, 7, -1},
      {"vertical, upper quarter", kVertical, 0.5, 0, 7, 3, 63},
      {"vertical, lower quarter", kVertical, 0.5, 0, 7, 7, 191},
      {"element value", kIdentity, 0, 1, 7, 3, 204},
  };
  const std::vector<double> element = {8.0};
  for (const Case& c : cases) {
    SectionPicture pic;
    DrawSection_IA(pic.bitmap.get(), 5, 5, 4, c.perElement ? element.data() : nodes.data(), c.perElement,
                   &m.mesh, 1, 1, 1, c.R, c.d, &s);
    if (c.grey < 0) {
      EXPECT_TRUE(pic.Untouched(c.x, c.y)) << c.name;
    } else {
      EXPECT_NEAR(pic.Grey(c.x, c.y), c.grey, 1) << c.name;
    }
  }
}

TEST(DrawSectionIA, BuildsTheCoefficientsOnce) {
  SquareMesh m;
  FreeMeshCoefficients(&m.mesh);
  const std::vector<double> nodes(8, 1.0);
  const TArrayDrawSettings s = GreyRamp();
  SectionPicture pic;
  DrawSection_IA(pic.bitmap.get(), 5, 5, 4, nodes.data(), 0, &m.mesh, 1, 1, 1, kIdentity, 0, &s);
  const double* planes = m.mesh.prismPlanes;
  ASSERT_NE(planes, nullptr);
  DrawSection_IA(pic.bitmap.get(), 5, 5, 4, nodes.data(), 0, &m.mesh, 1, 1, 1, kIdentity, 0, &s);
  EXPECT_EQ(m.mesh.prismPlanes, planes);
  DrawSection_IA(pic.bitmap.get(), 5, 5, 4, nodes.data(), 0, nullptr, 1, 1, 1, kIdentity, 0, &s);
}

TEST(PointInPrismLayer, BetweenRoofAndSoleOnly) {
  SquareMesh m;
  EXPECT_TRUE(PointInPrismLayer(&m.mesh, 0, 3, 1, 0.5));
  EXPECT_TRUE(PointInPrismLayer(&m.mesh, 0, 3, 1, 1.0));
  EXPECT_FALSE(PointInPrismLayer(&m.mesh, 0, 3, 1, 1.5));
  EXPECT_FALSE(PointInPrismLayer(&m.mesh, 0, 3, 1, -0.1));
}

TEST(FillIntPairs, FillsDoublesWithNoValue) {
  std::vector<double> d(5, 0.0);
  int32_t words[2];
  std::memcpy(words, &X, sizeof X);
  FillIntPairs(d.data(), words[0], words[1], 5);
  for (double v : d) EXPECT_EQ(v, X);
}

}  // namespace
