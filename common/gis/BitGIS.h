#pragma once
// TBitGIS: the GIS of a project. It works in rectangular coordinates and can
// recreate only three-dimensional arrays from a project file: the model makes
// its other arrays and its reper again itself, and the model area follows from
// the first array.
#include "gis/GIS.h"

class TBitGIS : public TGIS {
public:
  explicit TBitGIS(TFModel* model = nullptr);
};

// The factory of type 403: a three-dimensional array owned by the GIS.
std::unique_ptr<TGObj> NewArray3DObject(TGIS* gis);
