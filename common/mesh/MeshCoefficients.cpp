// The coefficient arrays of an irregular mesh: per triangle the vertex weights
// as linear functions of x and y, per prism its roof and sole planes.
#include "melisco.h"

#include <cstdlib>

namespace {

void FillTriangleMatrix(const TIrregularMesh* mesh, int t, double* m) {
  const int32_t* v = mesh->triangles + 3 * static_cast<long>(t);
  const double xa = mesh->nodeXY[2 * v[0]], ya = mesh->nodeXY[2 * v[0] + 1];
  const double xb = mesh->nodeXY[2 * v[1]], yb = mesh->nodeXY[2 * v[1] + 1];
  const double xc = mesh->nodeXY[2 * v[2]], yc = mesh->nodeXY[2 * v[2] + 1];
  const double k = 1.0 / (yb * (xc - xa) + yc * (xa - xb) + ya * (xb - xc));
  m[0] = (yc - yb) * k;
  m[1] = (ya - yc) * k;
  m[2] = (yb - ya) * k;
  m[3] = (xb - xc) * k;
  m[4] = (xc - xa) * k;
  m[5] = (xa - xb) * k;
  m[6] = (yb * xc - yc * xb) * k;
  m[7] = (yc * xa - xc * ya) * k;
  m[8] = (xb * ya - yb * xa) * k;
}

// The plane z = a x + b y + c through three nodes of a face: the triangle's
// weights applied to the heights.
void FillFacePlane(const double* m, const double* z, const int32_t* faceNodes, double* plane) {
  for (int row = 0; row < 3; ++row) {
    plane[row] = m[3 * row] * z[faceNodes[0]] + m[3 * row + 1] * z[faceNodes[1]] +
                 m[3 * row + 2] * z[faceNodes[2]];
  }
}

}  // namespace

extern "C" {

void FreeMeshCoefficients(TIrregularMesh* mesh) {
  std::free(mesh->triangleMatrices);
  std::free(mesh->prismPlanes);
  mesh->triangleMatrices = nullptr;
  mesh->prismPlanes = nullptr;
}

void BuildMeshCoefficients(TIrregularMesh* mesh, bool force) {
  if (!force && mesh->triangleMatrices != nullptr && mesh->prismPlanes != nullptr) {
    return;
  }
  FreeMeshCoefficients(mesh);
  const int triangles = mesh->triangleCount > 0 ? mesh->triangleCount : 0;
  const int prisms =
      mesh->prismRanges != nullptr && triangles > 0 ? mesh->prismRanges[triangles] : 0;
  mesh->triangleMatrices = static_cast<double*>(std::calloc(9 * static_cast<size_t>(triangles) + 1, sizeof(double)));
  mesh->prismPlanes =
      static_cast<double*>(std::calloc(6 * static_cast<size_t>(prisms > 0 ? prisms : 0) + 1, sizeof(double)));
  if (mesh->triangleMatrices == nullptr || mesh->prismPlanes == nullptr) {
    FreeMeshCoefficients(mesh);
    return;
  }
  for (int t = 0; t < triangles; ++t) {
    double* m = mesh->triangleMatrices + 9 * static_cast<long>(t);
    FillTriangleMatrix(mesh, t, m);
    if (mesh->prismRanges == nullptr || mesh->prismNodes == nullptr || mesh->nodeZ == nullptr) {
      continue;
    }
    for (int p = mesh->prismRanges[t]; p < mesh->prismRanges[t + 1]; ++p) {
      const int32_t* nodes = mesh->prismNodes + 6 * static_cast<long>(p);
      double* planes = mesh->prismPlanes + 6 * static_cast<long>(p);
      FillFacePlane(m, mesh->nodeZ, nodes, planes);
      FillFacePlane(m, mesh->nodeZ, nodes + 3, planes + 3);
    }
  }
}

}  // extern "C"
