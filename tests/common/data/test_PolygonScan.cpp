#include "data/PolygonScan.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using Mask = std::vector<std::uint8_t>;

Mask Fill(int width, int height, const std::vector<PolyPoint> &poly, int rule, std::uint8_t value = 1)
{
  Mask mask(static_cast<size_t>(width * height), 0);
  FillPolygonMask(mask.data(), width, height, poly.data(), static_cast<int>(poly.size()), value, rule);
  return mask;
}

// Independent pixel rule: on scanline y an edge from top to bottom (top.y <= y <
// bottom.y) crosses at x_e = top.x + (y - top.y) dx/dy; pixel x counts the edges
// with x_e <= x, which is where the integer stepping puts its span borders.
Mask Reference(int width, int height, const std::vector<PolyPoint> &poly, int rule)
{
  Mask mask(static_cast<size_t>(width * height), 0);
  const size_t n = poly.size();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      int crossings = 0, winding = 0;
      for (size_t i = 0; i < n; ++i) {
        PolyPoint p = poly[(i + n - 1) % n], v = poly[i];
        if (p.y == v.y)
          continue;
        bool down = v.y > p.y;
        PolyPoint top = down ? p : v, bottom = down ? v : p;
        if (y < top.y || y >= bottom.y)
          continue;
        long long dy = bottom.y - top.y, dx = bottom.x - top.x;
        if (static_cast<long long>(y - top.y) * dx <= static_cast<long long>(x - top.x) * dy) {
          ++crossings;
          winding += down ? 1 : -1;
        }
      }
      bool inside = rule == 0 ? (crossings % 2) != 0 : winding != 0;
      mask[static_cast<size_t>(y * width + x)] = inside ? 1 : 0;
    }
  return mask;
}

std::string Picture(const Mask &mask, int width)
{
  std::string s;
  for (size_t i = 0; i < mask.size(); ++i) {
    s += mask[i] ? '#' : '.';
    if ((i + 1) % static_cast<size_t>(width) == 0)
      s += '\n';
  }
  return s;
}

TEST(PolygonScan, TwoVerticesLeaveMaskUnchanged)
{
  Mask mask = Fill(6, 6, {{1, 1}, {5, 5}}, 0);
  EXPECT_EQ(Picture(mask, 6), Picture(Mask(36, 0), 6));
}

TEST(PolygonScan, RectangleLeavesRightAndBottomBordersOutside)
{
  Mask mask = Fill(7, 6, {{1, 1}, {5, 1}, {5, 4}, {1, 4}}, 0);
  EXPECT_EQ(Picture(mask, 7), ".......\n"
                              ".####..\n"
                              ".####..\n"
                              ".####..\n"
                              ".......\n"
                              ".......\n");
}

TEST(PolygonScan, OnlyInsideBytesTakeTheValue)
{
  Mask mask(16, 9);
  const std::vector<PolyPoint> square = {{1, 1}, {3, 1}, {3, 3}, {1, 3}};
  FillPolygonMask(mask.data(), 4, 4, square.data(), 4, 5, 0);
  const Mask expected = {9, 9, 9, 9, 9, 5, 5, 9, 9, 5, 5, 9, 9, 9, 9, 9};
  EXPECT_EQ(mask, expected);
}

TEST(PolygonScan, PartsOutsideTheMaskAreClipped)
{
  Mask mask = Fill(5, 4, {{-3, -2}, {7, -2}, {7, 2}, {-3, 2}}, 0);
  EXPECT_EQ(Picture(mask, 5), "#####\n"
                              "#####\n"
                              ".....\n"
                              ".....\n");
  Mask far = Fill(5, 4, {{-2000000000, 1}, {2000000000, 1}, {2000000000, 3}, {-2000000000, 3}}, 1);
  EXPECT_EQ(Picture(far, 5), ".....\n"
                             "#####\n"
                             "#####\n"
                             ".....\n");
}

TEST(PolygonScan, StarCentreDependsOnRule)
{
  // A pentagram: the centre is covered twice.
  const std::vector<PolyPoint> star = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
  Mask evenOdd = Fill(21, 21, star, 0);
  Mask winding = Fill(21, 21, star, 1);
  EXPECT_EQ(evenOdd[10 * 21 + 10], 0);
  EXPECT_EQ(winding[10 * 21 + 10], 1);
  EXPECT_EQ(evenOdd[8 * 21 + 3], 1);
  EXPECT_EQ(winding[8 * 21 + 3], 1);
  EXPECT_EQ(Picture(evenOdd, 21), Picture(Reference(21, 21, star, 0), 21));
  EXPECT_EQ(Picture(winding, 21), Picture(Reference(21, 21, star, 1), 21));
}

TEST(PolygonScan, ManySpansAreWrittenInBatches)
{
  // 150 rows of a comb with two spans each: more than the 200-span buffer.
  std::vector<PolyPoint> comb = {{0, 0}, {10, 0}, {10, 150}, {6, 150}, {6, 20}, {4, 20}, {4, 150}, {0, 150}};
  Mask mask = Fill(12, 160, comb, 0);
  EXPECT_EQ(mask, Reference(12, 160, comb, 0));
  int filled = 0;
  for (auto b : mask)
    filled += b;
  EXPECT_EQ(filled, 20 * 10 + 130 * 8);
}

struct ShapeCase {
  const char *name;
  std::vector<PolyPoint> points;
};

class ScanShape : public testing::TestWithParam<ShapeCase> {};

TEST_P(ScanShape, MatchesPixelRuleUnderBothRules)
{
  const ShapeCase &c = GetParam();
  for (int rule : {0, 1}) {
    Mask mask = Fill(24, 24, c.points, rule);
    EXPECT_EQ(Picture(mask, 24), Picture(Reference(24, 24, c.points, rule), 24))
        << c.name << " rule " << rule;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ScanShape,
    testing::Values(
        ShapeCase{"triangle", {{2, 1}, {20, 5}, {7, 22}}},
        ShapeCase{"steep triangle", {{11, 0}, {12, 23}, {3, 20}}},
        ShapeCase{"flat triangle", {{0, 10}, {23, 12}, {1, 13}}},
        ShapeCase{"concave arrow", {{2, 2}, {21, 12}, {2, 21}, {9, 12}}},
        ShapeCase{"U shape", {{1, 1}, {6, 1}, {6, 15}, {15, 15}, {15, 1}, {20, 1}, {20, 20}, {1, 20}}},
        ShapeCase{"bow tie", {{1, 1}, {20, 20}, {20, 1}, {1, 20}}},
        ShapeCase{"collinear vertices", {{2, 2}, {10, 2}, {18, 2}, {18, 18}, {2, 18}, {2, 10}}},
        ShapeCase{"zero area line", {{2, 2}, {20, 20}, {11, 11}}},
        ShapeCase{"horizontal only", {{2, 5}, {20, 5}, {11, 5}}},
        ShapeCase{"point", {{4, 4}, {4, 4}, {4, 4}}},
        ShapeCase{"double loop",
                  {{1, 1}, {22, 1}, {22, 22}, {1, 22}, {1, 1}, {18, 5}, {18, 18}, {5, 18}, {5, 5}}}));

TEST(PolygonScan, RandomPolygonsMatchPixelRule)
{
  std::uint32_t state = 12345;
  auto next = [&state](int range) {
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state >> 8) % static_cast<std::uint32_t>(range));
  };
  for (int trial = 0; trial < 60; ++trial) {
    int count = 3 + next(12);
    std::vector<PolyPoint> poly;
    for (int i = 0; i < count; ++i)
      poly.push_back({next(40) - 5, next(40) - 5});
    for (int rule : {0, 1}) {
      Mask mask = Fill(30, 30, poly, rule);
      ASSERT_EQ(Picture(mask, 30), Picture(Reference(30, 30, poly, rule), 30))
          << "trial " << trial << " rule " << rule;
    }
  }
}

} // namespace
