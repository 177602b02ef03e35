#pragma once
// The map object (type 700) that holds the irregular mesh of triangulated
// arrays. Building meshes is not part of this program: a source comes from
// outside (or a test) and gives the arrays its mesh record for as long as the
// object lives. The coefficient arrays of the record are built on first use
// (BuildMeshCoefficients); whoever frees the mesh frees them with
// FreeMeshCoefficients.
#include "MeliscoTypes.h"
#include "gis/GObj.h"

class TGMeshSource : public TGObj {
public:
  explicit TGMeshSource(TGIS* owner) : TGObj(owner) { SetTypeCode(ObjectTypeMeshSource); }

  // Null when the source holds no mesh.
  virtual TIrregularMesh* GetIrregularMesh() = 0;
};
