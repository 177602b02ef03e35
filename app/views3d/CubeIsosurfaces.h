#pragma once
// Isosurfaces of the cube view: the surfaces where the array's value equals a
// level, as triangles in cube coordinates, one buffer per level. Regular
// arrays are polygonised cell by cell with marching cubes, layered irregular
// arrays prism by prism with marching prisms. Every triangle is wound
// counter-clockwise seen from the side of the higher values, so its front
// (the level's front colour) always faces the higher values.
#include "views3d/CubeViewRecords.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class TCubeView;

class TTriangleBuffer {
public:
  // Every three consecutive vertices form one triangle.
  int32_t VertexCount() const { return static_cast<int32_t>(Points.size() / 3); }
  const double* Point(int32_t k) const { return Points.data() + 3 * static_cast<size_t>(k); }
  void Add(const double point[3]) { Points.insert(Points.end(), point, point + 3); }
  void Clear() { Points.clear(); }
  // (p[k+1] - p[k]) x (p[k+2] - p[k+1]) of the triangle from vertex k, not
  // normalised; zero unless the triangle is whole.
  void GetNormal(int32_t k, double out[3]) const;

private:
  std::vector<double> Points;
};

// (level - a) / (b - a), or 0.5 when b = a.
double IsoParameter(double a, double b, double level);
// Corner numbering: corner 0 at grid point (i, j, k), the others one step back
// along the axes: 1 (-1, 0, 0), 2 (-1, -1, 0), 3 (0, -1, 0), 4 .. 7 the same one
// step back along k.
void MarchingCubes(const double corners[8][3], const double values[8], double level, TTriangleBuffer* out);
// Corners 0, 1, 2 the bottom triangle in the triangle's vertex order, 3, 4, 5
// the top corners above them.
void MarchingPrisms(const double corners[6][3], const double values[6], double level, TTriangleBuffer* out);

// Edge masks and triangle rows of both tables (for their checks).
uint16_t MarchingCubesEdgeMask(int cubeCase);
const int8_t* MarchingCubesRow(int cubeCase);
const int8_t* MarchingPrismsRow(int prismCase);
extern const int8_t MarchingCubesEdges[12][2];
extern const int8_t MarchingPrismsEdges[9][2];

// The triangles of every level of a view, rebuilt only when the data or the
// levels changed since the last building.
class TCubeIsosurfaces {
public:
  // Brings the buffers up to date with the view; true when they were rebuilt.
  bool Update(const TCubeView& view);
  const std::vector<TTriangleBuffer>& Buffers() const { return buffers_; }
  // The next Update builds again (the values may have changed in place).
  void Invalidate() { valid_ = false; }

private:
  struct TSource {
    const double* values = nullptr;
    int32_t valueParam = 0, nx = 0, ny = 0, nz = 0, dirX = 1, dirY = 1, dirZ = 1;
    const void* mesh = nullptr;
    uint32_t dataGeneration = 0;
    std::vector<double> levels;
    bool operator==(const TSource&) const = default;
  };
  static TSource SourceOf(const TCubeView& view);
  void BuildRegular(const TCubeView& view);
  void BuildIrregular(const TCubeView& view);

  std::vector<TTriangleBuffer> buffers_;
  TSource built_;
  bool valid_ = false;
};
