#include "model/VolumeLayer.h"

#include "gis/GArray.h"
#include "gis/GIS.h"
#include "gis/ObjectTypeCode.h"
#include "model/breakdown/NearestResample.h"

#include <vector>

#include "gis/GArray3D.h"

namespace VolumeLayer {

bool IsVolume(const TGObj *object) { return object && object->GetTypeCode() == ObjectTypeArray3D; }

namespace {

TGArray3D *As3D(TGObj *layer) { return IsVolume(layer) ? static_cast<TGArray3D *>(layer) : nullptr; }

TGridBox BoxOf(TGArray3D &a) {
  TGridBox box;
  box.nx = a.GetNX();
  box.ny = a.GetNY();
  box.nz = a.GetNZ();
  box.x = a.GetX();
  box.y = a.GetY();
  box.dx = a.GetDX();
  box.dy = a.GetDY();
  return box;
}

size_t CellCount(const TGridBox &b) { return static_cast<size_t>(b.nx) * b.ny * b.nz; }


} // namespace

TGArray *Create(TGIS *gis, int nx, int ny, int nz, int code) { return new TGArray3D(gis, nx, ny, nz, code); }

void Sizes(const TGObj *layer, int &nx, int &ny, int &nz) {
  nx = ny = nz = 0;
  if (const auto *a = IsVolume(layer) ? static_cast<const TGArray3D *>(layer) : nullptr) {
    nx = a->GetNX();
    ny = a->GetNY();
    nz = a->GetNZ();
  }
}

const double *Volume(TGObj *layer) {
  TGArray3D *a = As3D(layer);
  return a ? a->GetVolumeData() : nullptr;
}

void SetVolume(TGObj *layer, const double *values) {
  if (TGArray3D *a = As3D(layer))
    a->SetData(values);
}

void Resize(TGObj *layer, int nx, int ny, int nz, std::optional<TLevelMap> codes) {
  TGArray3D *a = As3D(layer);
  if (!a)
    return;
  const TGridBox before = BoxOf(*a);
  std::vector<double> old;
  if (codes && a->GetVolumeData())
    old.assign(a->GetVolumeData(), a->GetVolumeData() + CellCount(before));
  a->Resize(nx, ny, nz);
  if (old.empty())
    return;
  const auto fresh = ResampleNearest(old.data(), before, BoxOf(*a), *codes);
  if (fresh.size() == CellCount(BoxOf(*a)))
    a->SetData(fresh.data());
}

bool CellValue(TGObj *layer, int i, int j, int k, double &value) {
  TGArray3D *a = As3D(layer);
  value = 1e300;
  return a && a->GetCellValue(i, j, k, value);
}

void AddOffset(TGObj *layer, double offset) {
  TGArray3D *a = As3D(layer);
  if (!a || !a->GetVolumeData())
    return;
  a->AddOffset(offset); // shifts the recorded minimum and maximum too
  a->AutoScaleRange();
}


} // namespace VolumeLayer
