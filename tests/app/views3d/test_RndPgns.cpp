#include "views3d/RndPgns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

namespace {

using TVertex = TRndPgns::TVertex;

constexpr double kIdentity16[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
constexpr double kIdentity9[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
constexpr int32_t kViewport[4] = {0, 0, 100, 100};

// Sections as squares in view coordinates; the projection is the identity, so
// window depth grows with z.
struct Scene {
  std::vector<std::vector<TVertex>> squares;
  std::vector<std::array<double, 4>> planes;
  TRndPgns pieces;

  void Add(const std::vector<TVertex>& square, std::array<double, 4> plane)
  {
    squares.push_back(square);
    planes.push_back(plane);
  }
  void Build()
  {
    double cut[10][4] = {};
    double outlines[10][12][3] = {};
    int32_t counts[10] = {};
    const int n = static_cast<int>(squares.size());
    for (int s = 0; s < n; ++s) {
      std::copy(planes[s].begin(), planes[s].end(), cut[s]);
      counts[s] = static_cast<int32_t>(squares[s].size());
      for (int i = 0; i < counts[s]; ++i)
        std::copy(squares[s][i].begin(), squares[s][i].begin() + 3, outlines[s][i]);
    }
    std::copy(&cut[0][0], &cut[0][0] + 40, &cut_[0][0]);
    pieces.SetMatrices(kIdentity16, kIdentity16, kViewport);
    pieces.SetPlanes(cut_, outlines, counts, n, kIdentity9);
    for (int s = 0; s < n; ++s)
      pieces.AddSectionPolygon(squares[s].data(), counts[s], s);
  }
  double cut_[10][4] = {};
};

// The plane x = slope * z through the y range [-0.5, 0.5], texture s along x.
std::vector<TVertex> Slanted(double slope)
{
  return {{-0.5, -0.5, -0.5 * slope, 0, 0},
          {0.5, -0.5, 0.5 * slope, 1, 0},
          {0.5, 0.5, 0.5 * slope, 1, 1},
          {-0.5, 0.5, -0.5 * slope, 0, 1}};
}
std::array<double, 4> SlantedPlane(double slope) { return {slope, 0, -1, 0}; } // slope x - z = 0

TEST(RndPgns, CrossingSectionsAreCutAndOrderedBackToFront)
{
  Scene scene;
  scene.Add(Slanted(1), SlantedPlane(1));   // deep on the right
  scene.Add(Slanted(-1), SlantedPlane(-1)); // deep on the left
  scene.Build();
  const TRndPgns& p = scene.pieces;
  ASSERT_EQ(p.Count, 4);
  for (int i = 0; i < 4; ++i) {
    const auto& piece = p.Piece(i);
    // Each piece lies on one side of x = 0, with x = 0 on its boundary.
    double minX = 1, maxX = -1;
    for (const TVertex& v : piece.Vertices) {
      minX = std::min(minX, v[0]);
      maxX = std::max(maxX, v[0]);
      // Texture coordinates follow the cut: s runs with x.
      EXPECT_NEAR(v[3], v[0] + 0.5, 1e-12);
    }
    EXPECT_EQ(piece.Vertices.size(), 4u);
    EXPECT_TRUE((minX == -0.5 && std::abs(maxX) < 1e-12) || (maxX == 0.5 && std::abs(minX) < 1e-12));
    // Deep halves (z > 0) are behind the other section's plane.
    const bool deep = (piece.Section == 0) == (maxX > 0.25);
    EXPECT_EQ(piece.BehindMask, deep ? (1u << (1 - piece.Section)) : 0u) << i;
  }
  // The two deep halves come first.
  const std::vector<int32_t> order = p.DrawingOrder();
  ASSERT_EQ(order.size(), 4u);
  for (int k = 0; k < 2; ++k)
    EXPECT_NE(p.Piece(order[k]).BehindMask, 0u) << k;
  EXPECT_EQ(std::set<int32_t>(order.begin(), order.end()).size(), 4u);
}

TEST(RndPgns, PlanesThatMissOrTouchAVertexLeaveOnePiece)
{
  struct Case {
    const char* name;
    std::array<double, 4> plane;
    uint32_t mask; // of the square in the plane z = 0
  } cases[] = {
      {"plane in front, z = -0.5", {0, 0, 1, -0.5}, 1u << 1},
      {"plane behind, z = 0.5", {0, 0, 1, 0.5}, 0u},
      {"plane through a corner, x + y = -1", {1, 1, 0, -1}, 0u},
  };
  for (const Case& c : cases) {
    Scene scene;
    scene.Add({{-0.5, -0.5, 0, 0, 0}, {0.5, -0.5, 0, 1, 0}, {0.5, 0.5, 0, 1, 1}, {-0.5, 0.5, 0, 0, 1}},
              {0, 0, 1, 0});
    // The second section: a small square in its plane, off to the side when it can be.
    scene.Add({{2, 2, c.plane[3], 0, 0}, {3, 2, c.plane[3], 1, 0}, {3, 3, c.plane[3], 1, 1}}, c.plane);
    if (c.plane[2] == 0)
      scene.squares[1] = {{-1, 0, 0, 0, 0}, {0, -1, 0, 1, 0}, {0, -1, 1, 1, 1}};
    scene.Build();
    int ofFirst = 0;
    for (int i = 0; i < scene.pieces.Count; ++i) {
      if (scene.pieces.Piece(i).Section == 0) {
        ++ofFirst;
        EXPECT_EQ(scene.pieces.Piece(i).Vertices.size(), 4u) << c.name;
        EXPECT_EQ(scene.pieces.Piece(i).BehindMask, c.mask) << c.name;
      }
    }
    EXPECT_EQ(ofFirst, 1) << c.name;
  }
}

TEST(RndPgns, ACrossingThroughAVertexMakesNoRepeatedVertex)
{
  Scene scene;
  // The diagonal plane x = y cuts the square through two opposite corners.
  scene.Add({{-0.5, -0.5, 0, 0, 0}, {0.5, -0.5, 0, 1, 0}, {0.5, 0.5, 0, 1, 1}, {-0.5, 0.5, 0, 0, 1}}, {0, 0, 1, 0});
  scene.Add({{-0.5, -0.5, -1, 0, 0}, {0.5, 0.5, -1, 1, 0}, {0.5, 0.5, 1, 1, 1}, {-0.5, -0.5, 1, 0, 1}},
            {1, -1, 0, 0});
  scene.Build();
  int triangles = 0;
  for (int i = 0; i < scene.pieces.Count; ++i) {
    const auto& v = scene.pieces.Piece(i).Vertices;
    if (scene.pieces.Piece(i).Section != 0)
      continue;
    ++triangles;
    ASSERT_EQ(v.size(), 3u);
    for (size_t k = 0; k < v.size(); ++k) {
      const TVertex& a = v[k];
      const TVertex& b = v[(k + 1) % v.size()];
      EXPECT_FALSE(a[0] == b[0] && a[1] == b[1] && a[2] == b[2]);
    }
  }
  EXPECT_EQ(triangles, 2);
}

TEST(RndPgns, OrderIsDefinedForEveryMaskPattern)
{
  using Key = TRndPgns::TPieceKey;
  struct Case {
    const char* name;
    std::vector<Key> pieces;
    std::vector<int32_t> order;
  } cases[] = {
      {"one section", {{0, 0}}, {0}},
      {"same section keeps its order", {{0, 2}, {0, 0}}, {0, 1}},
      {"behind goes first", {{0, 0}, {1, 1}}, {1, 0}},
      {"mutually behind: section order", {{0, 2}, {1, 1}}, {0, 1}},
      {"sections apart: section order", {{1, 0}, {0, 0}}, {1, 0}},
      // 0 behind 1, 1 behind 2, 2 behind 0: the lowest section breaks the cycle.
      {"three-section cycle", {{2, 1}, {0, 2}, {1, 4}}, {1, 2, 0}},
      // The cycle of three broken, then a fourth piece behind section 0 before it.
      {"cycle and a piece behind", {{0, 2}, {1, 4}, {2, 1}, {3, 1}}, {3, 0, 1, 2}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TRndPgns::PieceOrder(c.pieces), c.order) << c.name;
    // The same input always gives the same order, whatever came before.
    EXPECT_EQ(TRndPgns::PieceOrder(c.pieces), TRndPgns::PieceOrder(c.pieces)) << c.name;
  }
}

} // namespace
