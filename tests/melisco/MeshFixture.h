// A small irregular mesh for the tests: the square (0,0)-(4,4) cut along its
// diagonal into triangle 0 (0,0)-(4,0)-(4,4) and triangle 1 (0,0)-(4,4)-(0,4),
// one bucket holding both, and one layer of prisms: roof at z = 1, sole at
// z = 0; triangle 1 has no prism (its surface entries are -1).
#ifndef TESTS_MELISCO_MESHFIXTURE_H
#define TESTS_MELISCO_MESHFIXTURE_H

#include "melisco.h"

#include <vector>

namespace meliscotest {

struct SquareMesh {
  std::vector<double> xy = {0, 0, 4, 0, 4, 4, 0, 4};
  std::vector<int32_t> triangles = {0, 1, 2, 0, 2, 3};
  // 3D nodes: 0..3 roof (above plane nodes 0..3), 4..7 sole.
  std::vector<double> z = {1, 1, 1, 1, 0, 0, 0, 0};
  std::vector<int32_t> nodeColumns = {0, 2, 4, 6, 8};
  std::vector<int32_t> prismRanges = {0, 1, 1};
  std::vector<int32_t> prismNodes = {0, 1, 2, 4, 5, 6};
  std::vector<int32_t> surfacePrisms = {0, 0, -1, -1};
  std::vector<int32_t> bucket = {0, 1};
  int32_t bucketCount = 2;
  int32_t* countColumn[1] = {&bucketCount};
  int32_t* listRow[1] = {nullptr};
  int32_t** listColumn[1] = {listRow};
  TIrregularMesh mesh{};

  SquareMesh() {
    listRow[0] = bucket.data();
    mesh.nodeCount = 4;
    mesh.triangleCount = 2;
    mesh.nodeXY = xy.data();
    mesh.triangles = triangles.data();
    mesh.layerCount = 1;
    mesh.nodeColumns = nodeColumns.data();
    mesh.nodeZ = z.data();
    mesh.prismRanges = prismRanges.data();
    mesh.prismNodes = prismNodes.data();
    mesh.surfacePrisms = surfacePrisms.data();
    mesh.minX = 0;
    mesh.minY = 0;
    mesh.minZ = 0;
    mesh.maxX = 4;
    mesh.maxY = 4;
    mesh.maxZ = 1;
    mesh.bucketColumns = 1;
    mesh.bucketRows = 1;
    mesh.bucketLists = listColumn;
    mesh.bucketCounts = countColumn;
    mesh.invBucketWidth = 0.2499;  // the far edge stays inside the last bucket
    mesh.invBucketHeight = 0.2499;
    BuildMeshCoefficients(&mesh, false);
  }
  ~SquareMesh() { FreeMeshCoefficients(&mesh); }
  SquareMesh(const SquareMesh&) = delete;
  SquareMesh& operator=(const SquareMesh&) = delete;
};

}  // namespace meliscotest

#endif
