#include "MeshFixture.h"
#include "MeshOperations.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using meliscotest::SquareMesh;

TEST(MeshCoefficients, WeightsAreOneAtTheirVertexAndSumToOne) {
  SquareMesh m;
  const double* matrix = m.mesh.triangleMatrices + 9;  // triangle 1: (0,0), (4,4), (0,4)
  const double vertices[3][2] = {{0, 0}, {4, 4}, {0, 4}};
  for (int v = 0; v < 3; ++v) {
    for (int k = 0; k < 3; ++k) {
      const double w = matrix[k] * vertices[v][0] + matrix[3 + k] * vertices[v][1] + matrix[6 + k];
      EXPECT_NEAR(w, v == k ? 1.0 : 0.0, 1e-12) << v << " " << k;
    }
  }
  const double* planes = m.mesh.prismPlanes;
  EXPECT_NEAR(planes[0] * 3 + planes[1] * 1 + planes[2], 1.0, 1e-12);  // roof
  EXPECT_NEAR(planes[3] * 3 + planes[4] * 1 + planes[5], 0.0, 1e-12);  // sole
}

TEST(MeshCoefficients, BuiltOnceUnlessForced) {
  SquareMesh m;
  double* matrices = m.mesh.triangleMatrices;
  matrices[0] = 123.0;
  BuildMeshCoefficients(&m.mesh, false);
  EXPECT_EQ(m.mesh.triangleMatrices[0], 123.0);
  BuildMeshCoefficients(&m.mesh, true);
  EXPECT_NE(m.mesh.triangleMatrices[0], 123.0);
}

TEST(MeshLookups, TrianglesByBucketAndLinearSearch) {
  SquareMesh m;
  struct Case {
    double x, y;
    int bucketed, linear;
  };
  const Case cases[] = {
      {3, 1, 0, 0},
      {1, 3, 1, 1},
      {2, 2, 0, 0},        // the shared edge: the first in the list
      {4, 4, 0, 0},        // a vertex is inside
      {0, 4, 1, 1},
      {-0.5, 1, -1, -1},   // less than a bucket below the origin: bucket 0, then rejected
      {-5, 1, -1, -1},     // outside the bucket grid
      {5, 5, -1, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindMeshTriangle(&m.mesh, c.x, c.y), c.bucketed) << c.x << "," << c.y;
    EXPECT_EQ(FindMeshTriangleLinear(&m.mesh, c.x, c.y), c.linear) << c.x << "," << c.y;
  }
  EXPECT_TRUE(PointInMeshTriangle(&m.mesh, 0, 4, 0));
  EXPECT_TRUE(PointInMeshTriangleBary(&m.mesh, 0, 4, 0));
}

TEST(MeshLookups, NearestNodesAndInterpolation) {
  SquareMesh m;
  EXPECT_EQ(NearestTriangleNode(&m.mesh, 1, 0.5, 3.9), 3);
  EXPECT_EQ(NearestTriangleNode(&m.mesh, 0, 2, 0), 0);  // a tie keeps the earlier vertex
  int plane = -1, node = -1;
  NearestPrismNode(&m.mesh, 0, 0, 3.9, 0.1, 0.2, &plane, &node);
  EXPECT_EQ(plane, 1);
  EXPECT_EQ(node, 5);
  NearestPrismFaceNode(&m.mesh, 0, 0, 3.9, 3.8, 0, &plane, &node);
  EXPECT_EQ(plane, 2);
  EXPECT_EQ(node, 2);
  NearestPrismFaceNode(&m.mesh, 0, 0, 3.9, 3.8, 1, &plane, &node);
  EXPECT_EQ(node, 6);

  const std::vector<double> planeValues = {0, 4, 44, 40};  // x + 10 y
  EXPECT_NEAR(InterpolateInTriangle(&m.mesh, 0, 3, 1, planeValues.data()), 13.0, 1e-12);
  const std::vector<double> values3d = {10, 10, 10, 10, 20, 20, 20, 20};
  EXPECT_NEAR(InterpolateOnPrismFace(&m.mesh, 0, 0, 3, 1, 1, values3d.data()), 20.0, 1e-12);
  EXPECT_NEAR(InterpolateInPrism(&m.mesh, 0, 0, 3, 1, 0.25, values3d.data()), 17.5, 1e-12);
  EXPECT_EQ(FindPrismLayer(&m.mesh, 0, 3, 1, 0.5), 0);
  EXPECT_EQ(FindPrismLayerAt(&m.mesh, 0, 3, 1, 1.5), -1);
  EXPECT_EQ(FindPrismLayer(&m.mesh, 1, 1, 3, 0.5), -1);  // an empty column
}

TEST(MeshLookups, FlatAndReversedPrisms) {
  SquareMesh m;
  const std::vector<double> values3d = {10, 10, 10, 10, 20, 20, 20, 20};
  // Sole above roof: still found.
  m.z = {0, 0, 0, 0, 1, 1, 1, 1};
  m.mesh.nodeZ = m.z.data();
  BuildMeshCoefficients(&m.mesh, true);
  EXPECT_EQ(FindPrismLayer(&m.mesh, 0, 3, 1, 0.5), 0);
  // Roof and sole coincide: only that height, and the roof value.
  m.z = {1, 1, 1, 1, 1, 1, 1, 1};
  m.mesh.nodeZ = m.z.data();
  BuildMeshCoefficients(&m.mesh, true);
  EXPECT_EQ(FindPrismLayer(&m.mesh, 0, 3, 1, 1.0), 0);
  EXPECT_EQ(FindPrismLayer(&m.mesh, 0, 3, 1, 0.99), -1);
  EXPECT_EQ(InterpolateInPrism(&m.mesh, 0, 0, 3, 1, 1.0, values3d.data()), 10.0);
}

TEST(FillDoubles, FillsExactlyN) {
  for (int n : {0, 1, 6, 7, 13}) {
    std::vector<double> data(16, -1.0);
    EXPECT_EQ(FillDoubles(data.data(), 2.5, n), data.data());
    for (int i = 0; i < 16; ++i) {
      EXPECT_EQ(data[i], i < n ? 2.5 : -1.0) << n << " " << i;
    }
  }
}

}  // namespace
