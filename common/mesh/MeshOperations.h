// Lookups and interpolation over a TIrregularMesh: the triangle that holds a
// point (through the bucket grid or linearly), the prism of a triangle column
// that holds a height, the nearest node, and interpolation of node values. The
// interpolations and FindPrismLayer read the coefficient arrays that
// BuildMeshCoefficients builds; they never build them.
//
// This unit carries no state and depends on nothing but the record; the drawing
// library and the program's array code link the same objects.
#ifndef KESTOVAR_MESH_MESHOPERATIONS_H
#define KESTOVAR_MESH_MESHOPERATIONS_H

#include "MeliscoTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

bool PointInMeshTriangle(const TIrregularMesh* mesh, int t, double x, double y);
bool PointInMeshTriangleBary(const TIrregularMesh* mesh, int t, double x, double y);
int FindMeshTriangle(const TIrregularMesh* mesh, double x, double y);
int FindMeshTriangleLinear(const TIrregularMesh* mesh, double x, double y);
int FindPrismLayer(const TIrregularMesh* mesh, int t, double x, double y, double z);
int FindPrismLayerAt(const TIrregularMesh* mesh, int t, double x, double y, double z);
int NearestTriangleNode(const TIrregularMesh* mesh, int t, double x, double y);
void NearestPrismNode(const TIrregularMesh* mesh, int t, int p, double x, double y, double z,
                      int* planeNode, int* node3d);
void NearestPrismFaceNode(const TIrregularMesh* mesh, int t, int p, double x, double y, int face,
                          int* planeNode, int* node3d);
double InterpolateInTriangle(const TIrregularMesh* mesh, int t, double x, double y,
                             const double* nodeValues);
double InterpolateInPrism(const TIrregularMesh* mesh, int t, int p, double x, double y, double z,
                          const double* nodeValues);
double InterpolateOnPrismFace(const TIrregularMesh* mesh, int t, int p, double x, double y, int face,
                              const double* nodeValues);
double* FillDoubles(double* target, double value, int n);

#ifdef __cplusplus
}
#endif

#endif
