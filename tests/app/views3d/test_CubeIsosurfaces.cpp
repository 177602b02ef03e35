#include "views3d/CubeIsosurfaces.h"
#include "views3d/CubeView.h"

#include "SphereField.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace {

// The segments (pairs of cut edges) of a case's triangles: each inner segment
// is shared by two triangles in opposite directions, each outer one lies on a
// face of the cell, so the surface closes across cells.
void CheckRow(const char* table, int c, const int8_t* row, const int8_t (*edges)[2], int cornerCount,
              const std::vector<std::vector<int>>& faces)
{
  SCOPED_TRACE(std::string(table) + " case " + std::to_string(c));
  std::set<int> crossed;
  for (int e = 0; e < (cornerCount == 8 ? 12 : 9); ++e)
    if (((c >> edges[e][0]) & 1) != ((c >> edges[e][1]) & 1))
      crossed.insert(e);
  std::set<int> used;
  std::map<std::pair<int, int>, int> directed;
  int k = 0;
  for (; row[k] >= 0; ++k)
    used.insert(row[k]);
  EXPECT_EQ(k % 3, 0);
  EXPECT_EQ(used, crossed);
  for (int t = 0; t < k; t += 3)
    for (int m = 0; m < 3; ++m)
      ++directed[{row[t + m], row[t + (m + 1) % 3]}];
  auto onFace = [&](int e1, int e2) {
    for (const auto& face : faces) {
      auto in = [&](int corner) { return std::find(face.begin(), face.end(), corner) != face.end(); };
      if (in(edges[e1][0]) && in(edges[e1][1]) && in(edges[e2][0]) && in(edges[e2][1]))
        return true;
    }
    return false;
  };
  for (const auto& [segment, count] : directed) {
    EXPECT_EQ(count, 1) << segment.first << "-" << segment.second;
    const bool shared = directed.count({segment.second, segment.first}) > 0;
    EXPECT_TRUE(shared || onFace(segment.first, segment.second)) << segment.first << "-" << segment.second;
  }
}

TEST(IsosurfaceTables, EveryCaseClosesAndComplementsCutTheSameEdges)
{
  const std::vector<std::vector<int>> cubeFaces = {{0, 1, 2, 3}, {4, 5, 6, 7}, {0, 1, 5, 4},
                                                   {2, 3, 7, 6}, {1, 2, 6, 5}, {0, 3, 7, 4}};
  for (int c = 0; c < 256; ++c) {
    CheckRow("cubes", c, MarchingCubesRow(c), MarchingCubesEdges, 8, cubeFaces);
    EXPECT_EQ(MarchingCubesEdgeMask(c), MarchingCubesEdgeMask(255 - c)) << c;
  }
  const std::vector<std::vector<int>> prismFaces = {{0, 1, 2}, {3, 4, 5}, {0, 1, 4, 3}, {1, 2, 5, 4}, {2, 0, 3, 5}};
  for (int c = 0; c < 64; ++c)
    CheckRow("prisms", c, MarchingPrismsRow(c), MarchingPrismsEdges, 6, prismFaces);
  // Entries of the published tables.
  EXPECT_EQ(MarchingCubesEdgeMask(1), 0x109);
  EXPECT_EQ((std::vector<int>(MarchingCubesRow(1), MarchingCubesRow(1) + 4)), (std::vector<int>{0, 8, 3, -1}));
  EXPECT_EQ((std::vector<int>(MarchingCubesRow(3), MarchingCubesRow(3) + 7)),
            (std::vector<int>{1, 8, 3, 9, 8, 1, -1}));
  EXPECT_EQ((std::vector<int>(MarchingCubesRow(254), MarchingCubesRow(254) + 4)), (std::vector<int>{0, 3, 8, -1}));
}

struct Level {
  std::vector<CubeIsoLevel> levels;
  explicit Level(std::initializer_list<double> values)
  {
    for (double v : values)
      levels.push_back({v, 0xFF, 0xFF00});
  }
};

struct SurfaceStats {
  double area = 0;
  int openEdges = 0;
  int wrongFacing = 0; // triangles whose front does not face the higher values
};

// higher: the direction of higher values at a point.
template <class Higher>
SurfaceStats Measure(const TTriangleBuffer& buffer, Higher higher)
{
  SurfaceStats stats;
  std::map<std::vector<long>, int> edges;
  auto key = [](const double* p) {
    return std::vector<long>{std::lround(p[0] * 1e7), std::lround(p[1] * 1e7), std::lround(p[2] * 1e7)};
  };
  for (int k = 0; k + 3 <= buffer.VertexCount(); k += 3) {
    double n[3];
    buffer.GetNormal(k, n);
    stats.area += std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]) / 2;
    double centre[3];
    for (int i = 0; i < 3; ++i)
      centre[i] = (buffer.Point(k)[i] + buffer.Point(k + 1)[i] + buffer.Point(k + 2)[i]) / 3;
    double g[3];
    higher(centre, g);
    stats.wrongFacing += n[0] * g[0] + n[1] * g[1] + n[2] * g[2] <= 0;
    for (int m = 0; m < 3; ++m) {
      auto a = key(buffer.Point(k + m)), b = key(buffer.Point(k + (m + 1) % 3));
      ++edges[a < b ? a.insert(a.end(), b.begin(), b.end()), a : (b.insert(b.end(), a.begin(), a.end()), b)];
    }
  }
  for (const auto& [edge, count] : edges)
    stats.openEdges += count != 2;
  return stats;
}

TEST(CubeIsosurfaces, SphereFieldGivesAClosedOutwardSphere)
{
  // Squared distance from the centre on a 24^3 grid; the level 0.36 is the sphere of radius 0.6.
  const int n = 24;
  std::vector<double> values = SphereField(n);
  for (double extentX : {2.0, -2.0}) { // also with x stored backwards
    TCubeView view;
    double min = 0, max = 0;
    view.SetData(values.data(), 0, n, n, n, extentX, 2, 2, true, &min, &max, nullptr, nullptr);
    view.IsoLevels = Level{0.36}.levels;
    TCubeIsosurfaces surfaces;
    ASSERT_TRUE(surfaces.Update(view));
    const SurfaceStats s = Measure(surfaces.Buffers()[0], [](const double* p, double g[3]) {
      for (int i = 0; i < 3; ++i)
        g[i] = p[i];
    });
    EXPECT_NEAR(s.area, 4 * M_PI * 0.36, 0.04 * 4 * M_PI * 0.36) << extentX;
    EXPECT_EQ(s.openEdges, 0) << extentX;
    EXPECT_EQ(s.wrongFacing, 0) << extentX;
  }
}

TEST(CubeIsosurfaces, RegularEdgeCases)
{
  constexpr double X = 1e300;
  struct Case {
    const char* name;
    std::vector<double> values;
    int nx, ny, nz;
    double level;
    int vertices;
  } cases[] = {
      {"all values at the level", std::vector<double>(8, 1.0), 2, 2, 2, 1.0, 0},
      {"all above the level", std::vector<double>(8, 2.0), 2, 2, 2, 1.0, 0},
      {"one corner below", {0, 2, 2, 2, 2, 2, 2, 2}, 2, 2, 2, 1.0, 3},
      {"a missing corner removes the cell", {0, 2, 2, 2, 2, 2, 2, X}, 2, 2, 2, 1.0, 0},
      {"a flat grid has no cells", {0, 2, 2, 2}, 2, 2, 1, 1.0, 0},
      {"level outside the range", {0, 2, 2, 2, 2, 2, 2, 2}, 2, 2, 2, 5.0, 0},
  };
  for (const Case& c : cases) {
    TCubeView view;
    std::vector<double> values = c.values;
    double min = 0, max = 0;
    view.SetData(values.data(), 0, c.nx, c.ny, c.nz, 2, 2, 2, true, &min, &max, nullptr, nullptr);
    view.IsoLevels = Level{c.level}.levels;
    TCubeIsosurfaces surfaces;
    surfaces.Update(view);
    ASSERT_EQ(surfaces.Buffers().size(), 1u) << c.name;
    EXPECT_EQ(surfaces.Buffers()[0].VertexCount(), c.vertices) << c.name;
  }
  // Equal values on both ends of a cut edge put the point in the middle.
  EXPECT_EQ(IsoParameter(3, 3, 1), 0.5);
  EXPECT_EQ(IsoParameter(0, 4, 1), 0.25);
}

TEST(CubeIsosurfaces, RebuildsOnlyWhenDataOrLevelsChange)
{
  std::vector<double> values = {0, 2, 2, 2, 2, 2, 2, 2};
  TCubeView view;
  double min = 0, max = 0;
  view.SetData(values.data(), 0, 2, 2, 2, 2, 2, 2, true, &min, &max, nullptr, nullptr);
  view.IsoLevels = Level{1.0}.levels;
  TCubeIsosurfaces surfaces;
  EXPECT_TRUE(surfaces.Update(view));
  EXPECT_FALSE(surfaces.Update(view));
  view.IsoLevels[0].frontColour = 0x123456; // colours are read when drawing
  EXPECT_FALSE(surfaces.Update(view));
  view.IsoLevels = Level{1.0, 1.5}.levels;
  EXPECT_TRUE(surfaces.Update(view));
  EXPECT_EQ(surfaces.Buffers().size(), 2u);
  values[0] = 3; // new values in the same memory, handed in again
  view.SetData(values.data(), 0, 2, 2, 2, 2, 2, 2, true, &min, &max, nullptr, nullptr);
  EXPECT_TRUE(surfaces.Update(view));
  EXPECT_EQ(surfaces.Buffers()[0].VertexCount(), 0);
}

// Two triangles over the square (0,0)-(4,4), one listed counter-clockwise and
// one clockwise, each with one prism: roof nodes (z = 1) first, sole (z = 0).
class TwoPrismMesh : public TCubeMeshSource {
public:
  TwoPrismMesh()
  {
    mesh_.triangleCount = 2;
    mesh_.nodeXY = xy_.data();
    mesh_.triangles = triangles_.data();
    mesh_.nodeZ = z_.data();
    mesh_.prismRanges = ranges_.data();
    mesh_.prismNodes = prismNodes_.data();
    mesh_.minX = mesh_.minY = mesh_.minZ = 0;
    mesh_.maxX = mesh_.maxY = 4;
    mesh_.maxZ = 1;
  }
  TIrregularMesh* Mesh() const override { return &mesh_; }
  COLORREF GridColour() const override { return 0; }
  double GridLineWidth() const override { return 1; }

private:
  std::vector<double> xy_ = {0, 0, 4, 0, 4, 4, 0, 4};
  std::vector<int32_t> triangles_ = {0, 1, 2, 0, 3, 2};
  std::vector<double> z_ = {1, 1, 1, 1, 0, 0, 0, 0}; // 3D nodes 0..3 roof, 4..7 sole
  std::vector<int32_t> ranges_ = {0, 1, 2};
  std::vector<int32_t> prismNodes_ = {0, 1, 2, 4, 5, 6, 0, 3, 2, 4, 7, 6};
  mutable TIrregularMesh mesh_{};
};

TEST(CubeIsosurfaces, PrismSurfacesFaceTheHigherValuesWhateverTheWinding)
{
  TwoPrismMesh source;
  // Values grow with height; the box's z runs from the mesh's top (-1) to its bottom (+1).
  std::vector<double> values = {10, 10, 10, 10, 0, 0, 0, 0};
  for (double level : {5.0, 2.0}) {
    TCubeView view;
    double min = 0, max = 10;
    view.SetData(values.data(), 0, 0, 0, 0, 10, -10, -2, false, &min, &max, nullptr, &source);
    view.IsoLevels = Level{level}.levels;
    TCubeIsosurfaces surfaces;
    surfaces.Update(view);
    const TTriangleBuffer& buffer = surfaces.Buffers()[0];
    EXPECT_EQ(buffer.VertexCount(), 6) << level;
    const SurfaceStats s = Measure(buffer, [](const double*, double g[3]) {
      g[0] = g[1] = 0;
      g[2] = -1;
    });
    EXPECT_NEAR(s.area, 4, 1e-9) << level;
    EXPECT_EQ(s.wrongFacing, 0) << level;
    const double zExpected = -2 * (level / 10 - 0.5);
    for (int k = 0; k < buffer.VertexCount(); ++k)
      EXPECT_NEAR(buffer.Point(k)[2], zExpected, 1e-12);
  }
  // Values per cell build no surface.
  TCubeView view;
  double min = 0, max = 10;
  view.SetData(values.data(), 1, 0, 0, 0, 10, -10, -2, false, &min, &max, nullptr, &source);
  view.IsoLevels = Level{5.0}.levels;
  TCubeIsosurfaces surfaces;
  surfaces.Update(view);
  EXPECT_EQ(surfaces.Buffers()[0].VertexCount(), 0);
}

} // namespace
