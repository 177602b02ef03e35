#pragma once

#include <optional>
#include <vector>

#include "model/breakdown/NearestResample.h"

class TGArray;
class TGIS;
class TGObj;

// The three-dimensional array layers (type 403) of a GIS as the model uses
// them: made, sized, read and written through here only.
namespace VolumeLayer {

bool IsVolume(const TGObj *object);
// A new layer of nx x ny x nz zero cells with the quantity code, not yet in a GIS.
TGArray *Create(TGIS *gis, int nx, int ny, int nz, int code);
void Sizes(const TGObj *layer, int &nx, int &ny, int &nz);
// All nx * ny * nz values, level after level; null without a volume.
const double *Volume(TGObj *layer);
void SetVolume(TGObj *layer, const double *values);
// Resizes the volume; layers of codes (given their level map) take the
// nearest old cell, never a blend, others are interpolated.
void Resize(TGObj *layer, int nx, int ny, int nz, std::optional<TLevelMap> codes);
bool CellValue(TGObj *layer, int i, int j, int k, double &value);
// Adds a constant to every cell and renews the range and the levels.
void AddOffset(TGObj *layer, double offset);

} // namespace VolumeLayer
