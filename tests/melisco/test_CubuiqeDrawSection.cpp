// The software cube renderer: a 4 x 4 x 4 cube of codes seen along +y in a
// 120 x 120 bitmap at 40 pixels per unit, so view point (u, w) is pixel
// (60 + 40 u, 60 - 40 w).
#include "MeliscoTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <vector>

namespace {

using meliscotest::Bitmap;
using meliscotest::kWhite;
using meliscotest::Rgb;

constexpr int kCells = 4;
constexpr int kSamples = 8;
constexpr double kScale = 40;
constexpr int kCentre = 60;
constexpr COLORREF kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

std::vector<ResampleEntry> Table(int stride) {
  std::vector<ResampleEntry> table(kSamples);
  for (int k = 0; k < kSamples; ++k) {
    const double pos = std::clamp((k + 0.5) * kCells / kSamples - 0.5, 0.0, kCells - 1.0);
    const int i0 = std::min(static_cast<int>(pos), kCells - 2);
    const double t = pos - i0;
    table[k] = {i0 * stride, (i0 + 1) * stride, 1 - t, t};
  }
  return table;
}

struct Scene {
  std::vector<int32_t> codes = std::vector<int32_t>(kCells * kCells * kCells, 0);
  std::vector<ResampleEntry> tabX = Table(1), tabY = Table(kCells), tabZ = Table(kCells * kCells);
  double corners[8][3];
  double rotation[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  std::vector<std::array<double, 4>> planes;
  std::vector<std::array<double, 6>> segments;
  std::vector<SegmentStyle> styles;
  COLORREF sectionColour[10] = {};
  int32_t sectionOpacity[10] = {};
  int fillMode = 1;
  Bitmap bitmap{120, 120};

  Scene() {
    for (int c = 0; c < 8; ++c) {
      corners[c][0] = (c & 1) ? 1 : -1;
      corners[c][1] = (c & 2) ? 1 : -1;
      corners[c][2] = (c & 4) ? 1 : -1;
    }
    bitmap.Fill(255, 255, 255);
  }
  // Codes rising with the first index only.
  void CodesAlongX() {
    for (size_t i = 0; i < codes.size(); ++i) {
      codes[i] = static_cast<int32_t>(i % kCells) * 20000;
    }
  }
  void Plane(double nx, double ny, double nz, double shift) { planes.push_back({nx, ny, nz, shift}); }
  void PlainSection(double nx, double ny, double nz, COLORREF colour, int32_t opacity) {
    sectionColour[planes.size()] = colour;
    sectionOpacity[planes.size()] = opacity;
    Plane(nx, ny, nz, 0);
  }
  void Segment(std::array<double, 6> points, COLORREF colour, double width2) {
    segments.push_back(points);
    styles.push_back({width2, colour, 0x10000});
  }
  void Draw(bool nearest) {
    std::vector<double> scratch1(4 * segments.size() + 4), scratch2(4 * segments.size() + 4);
    auto draw = nearest ? CubuiqeDrawSectionX : CubuiqeDrawSection;
    draw(bitmap.get(), kScale, -kScale, 1 / kScale, codes.data(), tabX.data(), tabY.data(), tabZ.data(), kCentre,
         kCentre, 1, 1, 1, kSamples, kSamples, kSamples, corners, rotation,
         reinterpret_cast<const double(*)[4]>(planes.data()), static_cast<int>(planes.size()),
         reinterpret_cast<const double(*)[6]>(segments.data()), static_cast<int>(segments.size()), styles.data(),
         scratch1.data(), scratch2.data(), 0x000000, 0xFFFFFF, 0, fillMode, 0x10000, sectionColour,
         sectionOpacity);
  }
  Rgb At(double u, double w) {
    return bitmap.Pixel(static_cast<int>(kCentre + kScale * u), static_cast<int>(kCentre - kScale * w));
  }
};

TEST(CubuiqeDrawSection, NearestSamplingShowsOneGreyPerCellAndLeavesTheOutside) {
  Scene scene;
  scene.CodesAlongX();
  scene.Plane(0, 1, 0, 0);
  scene.Draw(true);
  // Grey of code c over black..white: 255 * c / 65536.
  EXPECT_EQ(scene.At(-0.9, 0), (Rgb{0, 0, 0}));
  EXPECT_EQ(scene.At(-0.3, 0.5), (Rgb{77, 77, 77}));
  EXPECT_EQ(scene.At(0.3, -0.5), (Rgb{155, 155, 155}));
  EXPECT_EQ(scene.At(0.9, 0), (Rgb{233, 233, 233}));
  EXPECT_EQ(scene.bitmap.Pixel(5, 5), kWhite);
  EXPECT_EQ(scene.bitmap.Pixel(115, 60), kWhite);
  std::set<int> greys;
  for (int x = 21; x < 99; ++x) {
    greys.insert(scene.bitmap.Pixel(x, 60).r);
  }
  EXPECT_EQ(greys, (std::set<int>{0, 77, 155, 233}));
}

TEST(CubuiqeDrawSection, TrilinearSamplingRisesSmoothlyBetweenCells) {
  Scene scene;
  scene.CodesAlongX();
  scene.Plane(0, 1, 0, 0);
  scene.Draw(false);
  std::set<int> greys;
  int last = -1;
  for (int x = 21; x < 99; ++x) {
    const int grey = scene.bitmap.Pixel(x, 60).r;
    EXPECT_GE(grey, last) << "column " << x;
    last = grey;
    greys.insert(grey);
  }
  EXPECT_GT(greys.size(), 4u);
  EXPECT_EQ(*greys.begin(), 0);
  EXPECT_EQ(*greys.rbegin(), 233);
}

TEST(CubuiqeDrawSection, MissingValuesAndEdgeOnPlanesDrawNothing) {
  for (bool nearest : {false, true}) {
    Scene scene;
    scene.CodesAlongX();
    std::fill(scene.codes.begin(), scene.codes.end(), 65535);
    scene.Plane(0, 1, 0, 0);
    scene.Plane(1, 0, 0, 0);  // seen edge-on
    scene.Draw(nearest);
    for (int y = 0; y < 120; y += 7) {
      for (int x = 0; x < 120; x += 7) {
        ASSERT_EQ(scene.bitmap.Pixel(x, y), kWhite) << x << "," << y << " nearest " << nearest;
      }
    }
  }
}

TEST(CubuiqeDrawSection, TransparentFillLetsTheSegmentBehindAZeroCodeShow) {
  Scene scene;
  scene.fillMode = 2;
  scene.Plane(0, 1, 0, 0);
  scene.Segment({-0.5, 0.5, 0, 0.5, 0.5, 0}, kRed, 4);
  scene.Draw(false);
  EXPECT_EQ(scene.At(0, 0), (Rgb{255, 0, 0}));
  EXPECT_EQ(scene.At(0, 0.5), kWhite);
}

TEST(CubuiqeDrawSection, SegmentPointingAtTheViewerIsADotAroundItsFirstPoint) {
  Scene scene;
  scene.Segment({0.5, -0.5, 0.5, 0.5, 0.8, 0.5}, kGreen, 9);
  scene.Draw(false);
  const Rgb green{0, 255, 0};
  EXPECT_EQ(scene.bitmap.Pixel(80, 40), green);
  EXPECT_EQ(scene.bitmap.Pixel(82, 40), green);
  EXPECT_EQ(scene.bitmap.Pixel(80, 38), green);
  EXPECT_EQ(scene.bitmap.Pixel(83, 40), kWhite);
  EXPECT_EQ(scene.bitmap.Pixel(80, 44), kWhite);
}

TEST(CubuiqeDrawSection, CrossingSectionsBlendTheNearerOneLastOnEachSide) {
  Scene scene;
  scene.PlainSection(-0.5, 1, 0, kRed, 0x8000);  // y = u / 2
  scene.PlainSection(0.5, 1, 0, kBlue, 0x8000);  // y = -u / 2
  scene.Draw(false);
  const Rgb right = scene.At(0.5, 0);
  const Rgb left = scene.At(-0.5, 0);
  EXPECT_GT(right.b, right.r);
  EXPECT_GT(left.r, left.b);
  EXPECT_EQ(right.b, left.r);
}

TEST(CubuiqeDrawSection, MoreHitsThanTheListHoldsKeepTheNearest) {
  Scene scene;
  for (int j = 59; j >= 0; --j) {
    scene.Segment({0, -0.9 + 0.03 * j, 0, 0, -0.9 + 0.03 * j, 0}, j == 0 ? kRed : kBlue, 4);
  }
  scene.Draw(false);
  EXPECT_EQ(scene.bitmap.Pixel(60, 60), (Rgb{255, 0, 0}));
}

}  // namespace
