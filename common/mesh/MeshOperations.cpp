#include "MeshOperations.h"

#include <climits>

namespace {

// Truncation toward zero that lands on the nearer bound instead of overflowing.
int SafeTrunc(double v) {
  if (!(v > static_cast<double>(INT_MIN))) {
    return INT_MIN;
  }
  if (v >= static_cast<double>(INT_MAX)) {
    return INT_MAX;
  }
  return static_cast<int>(v);
}

struct Vertex {
  double x;
  double y;
};

Vertex VertexOf(const TIrregularMesh* mesh, int t, int k) {
  const int node = mesh->triangles[3 * t + k];
  return {mesh->nodeXY[2 * node], mesh->nodeXY[2 * node + 1]};
}

// The corner (0..2) of triangle t nearest to (x, y) in the plane; the first of
// equally near corners.
int NearestCorner(const TIrregularMesh* mesh, int t, double x, double y) {
  int best = 0;
  double bestDistance = 0;
  for (int k = 0; k < 3; ++k) {
    const Vertex v = VertexOf(mesh, t, k);
    const double d = (v.x - x) * (v.x - x) + (v.y - y) * (v.y - y);
    if (k == 0 || d < bestDistance) {
      bestDistance = d;
      best = k;
    }
  }
  return best;
}

// Weights of the three vertices of t at (x, y), from the triangle matrix.
void VertexWeights(const TIrregularMesh* mesh, int t, double x, double y, double w[3]) {
  const double* m = mesh->triangleMatrices + 9 * static_cast<long>(t);
  for (int k = 0; k < 3; ++k) {
    w[k] = m[k] * x + m[3 + k] * y + m[6 + k];
  }
}

double PlaneAt(const double* plane, double x, double y) {
  return plane[0] * x + plane[1] * y + plane[2];
}

}  // namespace

extern "C" {

bool PointInMeshTriangle(const TIrregularMesh* mesh, int t, double x, double y) {
  const Vertex a = VertexOf(mesh, t, 0);
  const Vertex b = VertexOf(mesh, t, 1);
  const Vertex c = VertexOf(mesh, t, 2);
  const double e1 = (x - a.x) * (b.y - a.y) - (y - a.y) * (b.x - a.x);
  const double e2 = (x - b.x) * (c.y - b.y) - (y - b.y) * (c.x - b.x);
  const double e3 = (x - c.x) * (a.y - c.y) - (y - c.y) * (a.x - c.x);
  return (e1 >= 0 && e2 >= 0 && e3 >= 0) || (e1 <= 0 && e2 <= 0 && e3 <= 0);
}

bool PointInMeshTriangleBary(const TIrregularMesh* mesh, int t, double x, double y) {
  const Vertex v0 = VertexOf(mesh, t, 0);
  const Vertex v1 = VertexOf(mesh, t, 1);
  const Vertex v2 = VertexOf(mesh, t, 2);
  if ((x == v0.x && y == v0.y) || (x == v1.x && y == v1.y) || (x == v2.x && y == v2.y)) {
    return true;
  }
  const double d = v1.x * v0.y - v2.x * v0.y - v0.x * v1.y + v2.x * v1.y + v0.x * v2.y - v1.x * v2.y;
  const double u = ((x - v2.x) * (v0.y - v2.y) + (y - v2.y) * (v2.x - v0.x)) / d;
  const double v = ((x - v2.x) * (v2.y - v1.y) + (y - v2.y) * (v1.x - v2.x)) / d;
  if (u + v >= 2) {
    return false;
  }
  // Lets points just beyond the edge opposite vertex 2 count as inside; the
  // guard keeps a degenerate triangle's NaN out of the conversion.
  const double scaled = (u + v) * 1e6;
  if (!(scaled == scaled)) {
    return false;
  }
  const double s = static_cast<double>(SafeTrunc(scaled)) * 1e-6;
  return u >= 0 && v >= 0 && s <= 1;
}

int FindMeshTriangle(const TIrregularMesh* mesh, double x, double y) {
  const double gx = (x - mesh->minX) * mesh->invBucketWidth;
  const double gy = (y - mesh->minY) * mesh->invBucketHeight;
  // Truncation toward zero: a point less than a bucket below the origin lands
  // in bucket 0 and is then judged by the triangle test.
  if (!(gx > -1.0 && gx < mesh->bucketColumns) || !(gy > -1.0 && gy < mesh->bucketRows)) {
    return -1;
  }
  const int i = static_cast<int>(gx);
  const int j = static_cast<int>(gy);
  const int count = mesh->bucketCounts[i][j];
  if (count < 1) {
    return -1;
  }
  const int32_t* list = mesh->bucketLists[i][j];
  for (int n = 0; n < count; ++n) {
    if (PointInMeshTriangle(mesh, list[n], x, y)) {
      return list[n];
    }
  }
  return -1;
}

int FindMeshTriangleLinear(const TIrregularMesh* mesh, double x, double y) {
  for (int t = 0; t < mesh->triangleCount; ++t) {
    if (PointInMeshTriangleBary(mesh, t, x, y)) {
      return t;
    }
  }
  return -1;
}

int FindPrismLayer(const TIrregularMesh* mesh, int t, double x, double y, double z) {
  for (int p = mesh->prismRanges[t]; p < mesh->prismRanges[t + 1]; ++p) {
    const double* planes = mesh->prismPlanes + 6 * static_cast<long>(p);
    const double zr = PlaneAt(planes, x, y);
    const double zs = PlaneAt(planes + 3, x, y);
    if ((zs <= z && z <= zr) || (zr <= z && z <= zs)) {
      return p;
    }
  }
  return -1;
}

int FindPrismLayerAt(const TIrregularMesh* mesh, int t, double x, double y, double z) {
  return FindPrismLayer(mesh, t, x, y, z);
}

int NearestTriangleNode(const TIrregularMesh* mesh, int t, double x, double y) {
  return mesh->triangles[3 * t + NearestCorner(mesh, t, x, y)];
}

void NearestPrismNode(const TIrregularMesh* mesh, int t, int p, double x, double y, double z,
                      int* planeNode, int* node3d) {
  double bestDistance = 0;
  for (int k = 0; k < 6; ++k) {
    const Vertex v = VertexOf(mesh, t, k % 3);
    const int m = mesh->prismNodes[6 * p + k];
    const double dz = mesh->nodeZ[m] - z;
    const double d = (v.x - x) * (v.x - x) + (v.y - y) * (v.y - y) + dz * dz;
    if (k == 0 || d < bestDistance) {
      bestDistance = d;
      *planeNode = mesh->triangles[3 * t + k % 3];
      *node3d = m;
    }
  }
}

void NearestPrismFaceNode(const TIrregularMesh* mesh, int t, int p, double x, double y, int face,
                          int* planeNode, int* node3d) {
  const int first = face == 0 ? 0 : 3;
  const int k = NearestCorner(mesh, t, x, y);
  *planeNode = mesh->triangles[3 * t + k];
  *node3d = mesh->prismNodes[6 * p + first + k];
}

double InterpolateInTriangle(const TIrregularMesh* mesh, int t, double x, double y,
                             const double* nodeValues) {
  double w[3];
  VertexWeights(mesh, t, x, y, w);
  const int32_t* nodes = mesh->triangles + 3 * static_cast<long>(t);
  return w[0] * nodeValues[nodes[0]] + w[1] * nodeValues[nodes[1]] + w[2] * nodeValues[nodes[2]];
}

double InterpolateOnPrismFace(const TIrregularMesh* mesh, int t, int p, double x, double y, int face,
                              const double* nodeValues) {
  double w[3];
  VertexWeights(mesh, t, x, y, w);
  const int32_t* nodes = mesh->prismNodes + 6 * static_cast<long>(p) + (face == 0 ? 0 : 3);
  return w[0] * nodeValues[nodes[0]] + w[1] * nodeValues[nodes[1]] + w[2] * nodeValues[nodes[2]];
}

double InterpolateInPrism(const TIrregularMesh* mesh, int t, int p, double x, double y, double z,
                          const double* nodeValues) {
  const double* planes = mesh->prismPlanes + 6 * static_cast<long>(p);
  const double zr = PlaneAt(planes, x, y);
  const double zs = PlaneAt(planes + 3, x, y);
  const double vr = InterpolateOnPrismFace(mesh, t, p, x, y, 0, nodeValues);
  const double vs = InterpolateOnPrismFace(mesh, t, p, x, y, 1, nodeValues);
  const double dz = zs - zr;
  if (dz == 0) {
    return vr;
  }
  return vr + (vs - vr) * (z - zr) / dz;
}

double* FillDoubles(double* target, double value, int n) {
  double* p = target;
  int left = n;
  while (left >= 6) {
    p[0] = value;
    p[1] = value;
    p[2] = value;
    p[3] = value;
    p[4] = value;
    p[5] = value;
    p += 6;
    left -= 6;
  }
  while (left > 0) {
    *p++ = value;
    --left;
  }
  return target;
}

}  // extern "C"
