#pragma once
// A mesh source for the tests: the unit square cut along its diagonal into
// triangle 0 (0,0)-(1,0)-(1,1) and triangle 1 (0,0)-(1,1)-(0,1), one bucket
// holding both, extruded into two layers: layer 0 between z = 0 (roof) and
// z = 0.5 (sole), layer 1 between 0.5 and 1. Triangle 1 has no prism in layer
// 1. Prisms: 0 triangle 0 layer 0, 1 triangle 0 layer 1, 2 triangle 1 layer 0.
// Three-dimensional node 3n + l lies above plane node n at z = l / 2.
#include <vector>

#include "gis/GMeshSource.h"
#include "melisco.h"

namespace meshtest {

class TTestMeshSource : public TGMeshSource {
public:
  explicit TTestMeshSource(TGIS* owner) : TGMeshSource(owner)
  {
    for (int n = 0; n < 4; ++n)
      for (int l = 0; l < 3; ++l)
        z.push_back(l * 0.5);
    listRow[0] = bucket.data();
    mesh.layerNames = names;
    mesh.nodeCount = 4;
    mesh.triangleCount = 2;
    mesh.nodeXY = xy.data();
    mesh.triangles = triangles.data();
    mesh.layerCount = 2;
    mesh.nodeColumns = nodeColumns.data();
    mesh.nodeZ = z.data();
    mesh.prismRanges = prismRanges.data();
    mesh.prismNodes = prismNodes.data();
    mesh.surfacePrisms = surfacePrisms.data();
    mesh.maxX = mesh.maxY = mesh.maxZ = 1;
    mesh.bucketColumns = mesh.bucketRows = 1;
    mesh.bucketLists = listColumn;
    mesh.bucketCounts = countColumn;
    mesh.invBucketWidth = mesh.invBucketHeight = 0.9999;
  }
  ~TTestMeshSource() override { FreeMeshCoefficients(&mesh); }

  TIrregularMesh* GetIrregularMesh() override { return &mesh; }
  void Draw(double, double, double, double, TMemBitmap*) override {}
  double RelativeDistanceTo(double, double, double&, double&) const override { return 1e300; }
  double RelativeHandleDistanceTo(double, double, double&, double&, int&) const override { return 1e300; }

  TIrregularMesh mesh{};

private:
  char empty[1] = "";
  char layerA[2] = "A";
  char layerB[2] = "B";
  char* names[3] = {empty, layerA, layerB};
  std::vector<double> xy = {0, 0, 1, 0, 1, 1, 0, 1};
  std::vector<int32_t> triangles = {0, 1, 2, 0, 2, 3};
  std::vector<double> z;
  std::vector<int32_t> nodeColumns = {0, 3, 6, 9, 12};
  std::vector<int32_t> prismRanges = {0, 2, 3};
  std::vector<int32_t> prismNodes = {0, 3, 6, 1, 4, 7, 1, 4, 7, 2, 5, 8, 0, 6, 9, 1, 7, 10};
  std::vector<int32_t> surfacePrisms = {0, 0, 2, 2, 1, 1, -1, -1};
  std::vector<int32_t> bucket = {0, 1};
  int32_t bucketCount = 2;
  int32_t* countColumn[1] = {&bucketCount};
  int32_t* listRow[1] = {nullptr};
  int32_t** listColumn[1] = {listRow};
};

// The field whose values the tests put on the nodes.
inline double Field(double x, double y, double zz)
{
  return 1 + 2 * x + 3 * y + 4 * zz;
}

} // namespace meshtest
