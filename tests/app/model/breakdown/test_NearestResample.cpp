#include "model/breakdown/NearestResample.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(NearestResample, CodesStayCodesWhenTheGridGrows) {
  // Two plates: level 0 code -2, level 3 code -4, dielectric -1 between.
  const TGridBox oldBox{3, 2, 4, 0, 0, 1, 1};
  std::vector<double> old(3 * 2 * 4, -1.0);
  for (int c = 0; c < 6; ++c) {
    old[c] = -2.0;
    old[18 + c] = -4.0;
  }
  const TGridBox newBox{5, 3, 7, 0, 0, 1, 1};
  const auto fresh = ResampleNearest(old.data(), oldBox, newBox);
  ASSERT_EQ(fresh.size(), 5u * 3 * 7);
  std::set<double> seen(fresh.begin(), fresh.end());
  EXPECT_EQ(seen, (std::set<double>{-4.0, -2.0, -1.0}));
  EXPECT_EQ(fresh.front(), -2.0);
  EXPECT_EQ(fresh.back(), -4.0);
  // No level of the new grid mixes the plates.
  for (int k = 0; k < 7; ++k) {
    const std::set<double> level(fresh.begin() + k * 15, fresh.begin() + (k + 1) * 15);
    EXPECT_EQ(level.size(), 1u) << k;
  }
}

TEST(NearestResample, SameGridIsACopyAndAMovedRectangleClamps) {
  const TGridBox box{2, 2, 1, 0, 0, 1, 1};
  const double old[] = {1, 2, 3, 4};
  EXPECT_EQ(ResampleNearest(old, box, box), (std::vector<double>{1, 2, 3, 4}));
  const TGridBox shifted{2, 2, 1, 0.75, 0, 1, 1}; // half the new grid lies beyond the old one
  EXPECT_EQ(ResampleNearest(old, box, shifted), (std::vector<double>{2, 2, 4, 4}));
  EXPECT_TRUE(ResampleNearest(nullptr, box, box).empty());
  EXPECT_TRUE(ResampleNearest(old, box, TGridBox{0, 2, 1}).empty());
}

} // namespace
