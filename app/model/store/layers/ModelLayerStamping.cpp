#include "model/store/layers/ModelLayerStamping.h"

#include "gis/GArray3D.h"
#include "gis/GIS.h"
#include "model/store/Electrodes.h"
#include "model/store/Inhomogeneities.h"

TGArray3D* FindModelLayer(TGIS& gis, int quantityCode)
{
  return dynamic_cast<TGArray3D*>(gis.FindArrayByCode(quantityCode));
}

TCellVolume CellVolumeOf(TGArray3D& layer)
{
  TCellVolume v;
  v.nx = layer.GetNX();
  v.ny = layer.GetNY();
  v.nz = layer.GetNZ();
  if (v.nx <= 0 || v.ny <= 0 || v.nz <= 0)
    return TCellVolume{};
  v.cx = layer.GetWorldWidth() / v.nx;
  v.cy = layer.GetWorldHeight() / v.ny;
  v.cz = layer.GetWorldDepth() / v.nz;
  v.data = layer.GetVolumeData();
  return v;
}

bool RasterizeElectrodes(TGIS& gis, const std::vector<TElectrodeRecord>& records)
{
  TGArray3D* layer = FindModelLayer(gis, kElectrodeLayerCode);
  if (!layer)
    return false;
  const TCellVolume volume = CellVolumeOf(*layer);
  if (volume.Empty())
    return false;
  StampElectrodes(volume, records);
  gis.NotifyChanged();
  return true;
}

bool RasterizeInhomogeneities(TGIS& gis, const std::vector<TInhomogeneityRecord>& records, double backgroundCharge)
{
  TGArray3D* materials = FindModelLayer(gis, kMaterialLayerCode);
  TGArray3D* charges = FindModelLayer(gis, kChargeLayerCode);
  if (!materials || !charges)
    return false;
  const TCellVolume a = CellVolumeOf(*materials);
  TCellVolume b = CellVolumeOf(*charges);
  if (a.Empty() || b.Empty())
    return false;
  // One geometry for both layers: the cells of the material layer.
  if (b.nx == a.nx && b.ny == a.ny && b.nz == a.nz) {
    b.cx = a.cx;
    b.cy = a.cy;
    b.cz = a.cz;
  }
  StampInhomogeneities(a, b, records, backgroundCharge);
  for (TGArray3D* layer : {materials, charges}) {
    layer->UpdateMinMax();
    layer->AutoScaleRange();
  }
  gis.NotifyChanged();
  return true;
}
