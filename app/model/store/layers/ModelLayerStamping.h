#pragma once
// The electrode and inhomogeneity lists stamped into the model's layers of a
// GIS: the three-dimensional arrays that carry the quantity codes 10005
// (electrode codes), 10007 (material indices) and 10000 (initial charge).
#include <vector>

#include "model/store/CellVolume.h"
#include "model/store/ElectrodeRecord.h"
#include "model/store/InhomogeneityRecord.h"

class TGIS;
class TGArray3D;

// The three-dimensional array with the code, null when the GIS has none.
TGArray3D* FindModelLayer(TGIS& gis, int quantityCode);
// The layer's volume with cells of its world extent divided by its counts.
TCellVolume CellVolumeOf(TGArray3D& layer);

// Stamps into the electrode layer and tells the GIS's views to redraw; false
// (nothing stamped) when the layer is missing or empty.
bool RasterizeElectrodes(TGIS& gis, const std::vector<TElectrodeRecord>& records);
// Stamps into the material and charge layers (the charge layer's background
// is backgroundCharge, the engine's AuxParam21), updates their extremes and
// display ranges and tells the views; false when either layer is missing or empty.
bool RasterizeInhomogeneities(TGIS& gis, const std::vector<TInhomogeneityRecord>& records, double backgroundCharge);
