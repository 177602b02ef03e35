#include "model/FormModel3D.h"

#include "data/ArrayBuildProgress.h"
#include "gis/ArrayBuilder.h"
#include "gis/GArray.h"
#include "gis/GArrayI.h"
#include "gis/GArrayI3D.h"
#include "gis/GIS.h"
#include "gis/ObjectTypeCode.h"
#include "model/VolumeLayer.h"
#include "model/breakdown/NearestResample.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

int ExpectedDimension(int typeCode) {
  switch (typeCode) {
  case ObjectTypeArray: return 2;
  case ObjectTypeArray3D: return 3;
  case ObjectTypeArrayI: return 32;
  case ObjectTypeArrayI3D: return 23;
  default: return 0;
  }
}

int PlaneOrOwn(int dimension) { return dimension == 12 || dimension == 22 ? 2 : dimension; }

// Truncation toward zero; values no int can hold become INT_MIN, which no
// code or index accepts, so the checks before a run catch them.
std::int32_t ToInt32(double v) {
  if (!(v > static_cast<double>(INT_MIN) - 1.0 && v < static_cast<double>(INT_MAX) + 1.0))
    return INT_MIN;
  return static_cast<std::int32_t>(v);
}

bool IsGridLayer(const TGObj *o) {
  return o && o->IsArray() && (o->GetTypeCode() == ObjectTypeArray || o->GetTypeCode() == ObjectTypeArray3D);
}

bool IsMeshLayer(const TGObj *o) {
  return o && o->IsArray() && (o->GetTypeCode() == ObjectTypeArrayI || o->GetTypeCode() == ObjectTypeArrayI3D);
}

} // namespace

TFModel3D::TFModel3D() {
  nx = 51;
  ny = 51;
  nz = 20;
  depth = 200.0;
}

TFModel3D::~TFModel3D() = default;

// ---- the register and the data ----

bool TFModel3D::PlaneSize(int dimension, int &columns, int &rows) const {
  switch (dimension) {
  case 2: columns = nx; rows = ny; return true;
  case 12: columns = nx; rows = nz; return true;
  case 22: columns = ny; rows = nz; return true;
  default: return false;
  }
}

size_t TFModel3D::ExpectedCount(const TModelArray &a) const {
  int columns = 0, rows = 0;
  if (a.dimension == 3)
    return static_cast<size_t>(nx) * ny * nz;
  if (PlaneSize(a.dimension, columns, rows))
    return static_cast<size_t>(columns) * rows;
  return 0;
}

int TFModel3D::GetArrayValueCount(int id) const {
  const TModelArray *a = arrays.Find(id);
  return a && a->data ? static_cast<int>(ExpectedCount(*a)) : 0;
}

void TFModel3D::CreateArrays() { AllocateOwnStorage(); }

void TFModel3D::AllocateOwnStorage() {
  ownStorage.clear();
  for (int i = 0; i < arrays.Count(); ++i) {
    TModelArray &a = arrays.Item(i);
    if (a.data && !a.ownedStorage)
      continue;
    const size_t n = ExpectedCount(a);
    a.data = nullptr;
    a.ownedStorage = false;
    if (n == 0)
      continue;
    // 8 bytes a value hold both element types, aligned for doubles.
    ownStorage.push_back(std::make_unique<std::uint64_t[]>(n));
    a.data = ownStorage.back().get();
    a.ownedStorage = true;
  }
}

void TFModel3D::FreeArrays() {
  arrays.Clear();
  ownStorage.clear();
}

void TFModel3D::SetSizes(int columns, int rows, int levels) {
  nx = columns;
  ny = rows;
  nz = levels;
  AllocateOwnStorage();
}

void TFModel3D::SetArrayData(int id, const double *data) {
  TModelArray *a = arrays.Find(id);
  if (!a || !a->data || !data)
    return;
  const size_t n = ExpectedCount(*a);
  if (a->elementType == ArrayElementInt32) {
    auto *target = static_cast<std::int32_t *>(a->data);
    for (size_t i = 0; i < n; ++i)
      target[i] = ToInt32(data[i]);
  } else {
    std::memcpy(a->data, data, n * sizeof(double));
  }
}

void TFModel3D::GetArrayData(int id, double **out) {
  if (!out)
    return;
  *out = nullptr;
  const TModelArray *a = arrays.Find(id);
  if (!a || !a->data)
    return;
  const size_t n = ExpectedCount(*a);
  if (n == 0)
    return;
  auto *copy = static_cast<double *>(std::malloc(n * sizeof(double)));
  if (!copy)
    return;
  if (a->elementType == ArrayElementInt32) {
    const auto *source = static_cast<const std::int32_t *>(a->data);
    for (size_t i = 0; i < n; ++i)
      copy[i] = source[i];
  } else {
    std::memcpy(copy, a->data, n * sizeof(double));
  }
  *out = copy;
}

// ---- the layers ----

TGObj *TFModel3D::FindLayer(int id) const { return gis ? gis->FindArrayByCode(id) : nullptr; }

bool TFModel3D::LayerCellValue(int code, int i, int j, int k, double &value) const {
  return VolumeLayer::CellValue(FindLayer(code), i, j, k, value);
}

void TFModel3D::SyncArrayLayers() {
  if (!gis)
    return;
  RemoveStaleLayers();
  for (int i = 0; i < arrays.Count(); ++i) {
    const TModelArray &a = arrays.Item(i);
    TGObj *layer = FindLayer(a.id);
    if (!layer) {
      layer = CreateLayer(a, i + 1);
      if (layer)
        FillLayerFromModel(layer, a.id);
    } else {
      MatchLayerSize(layer, a);
    }
    if (IsGridLayer(layer) || IsMeshLayer(layer))
      DescribeLayer(static_cast<TGArray *>(layer), a);
  }
  LoadInputArrays(state == StateSetup);
}

void TFModel3D::RemoveStaleLayers() {
  // Restarts after every deletion: deleting may have shifted the list.
  bool deleted = true;
  while (deleted) {
    deleted = false;
    std::vector<int> seen;
    for (int index = gis->GetObjectCount() - 1; index >= 0; --index) {
      TGObj *o = gis->GetObject(index);
      if (!o || !o->IsArray())
        continue;
      const int code = o->GetCode();
      const int own = PlaneOrOwn(arrays.GetDimension(code));
      if (own != ExpectedDimension(o->GetTypeCode()) ||
          std::find(seen.begin(), seen.end(), code) != seen.end()) {
        gis->DeleteObjectById(this, o->GetId(), true);
        deleted = true;
        break;
      }
      seen.push_back(code);
    }
  }
}

TGObj *TFModel3D::CreateLayer(const TModelArray &a, int position) {
  double x1 = 0, y1 = 0, x2 = 1, y2 = 1;
  gis->GetWorldExtent(x1, y1, x2, y2);
  std::unique_ptr<TGArray> layer;
  int columns = 0, rows = 0;
  if (a.dimension == 3) {
    layer.reset(VolumeLayer::Create(gis, nx, ny, nz, a.id));
  } else if (PlaneSize(a.dimension, columns, rows)) {
    layer = std::make_unique<TGArray>(gis, columns, rows, a.id);
  } else if (a.dimension == 32 || a.dimension == 23) {
    // Triangulated layers take their grid from the mesh source.
    if (a.dimension == 32)
      layer = std::make_unique<TGArrayI>(gis, a.meshSourceId, a.valueLocation, a.id);
    else
      layer = std::make_unique<TGArrayI3D>(gis, a.meshSourceId, a.valueLocation, a.id);
    TGArray *raw = layer.get();
    gis->AddObject(this, std::move(layer), false, position);
    return raw;
  }
  if (!layer)
    return nullptr;
  TGArray *raw = layer.get();
  gis->AddObjectAt(this, std::move(layer), x1, y1, false, position);
  raw->SetWorldWidth(x2 - x1);
  raw->SetWorldHeight(y2 - y1);
  if (a.dimension == 3) {
    // The plan stays at the extent's corner: moving the x origin to 0 would
    // shift the layer off a model area that does not start there.
    raw->SetWorldDepth(depth);
  }
  return raw;
}

void TFModel3D::MatchLayerSize(TGObj *layer, const TModelArray &a) {
  if (IsMeshLayer(layer)) {
    // Taking the source again reallocates the values: only a changed source
    // may cost the layer its data.
    auto *mesh = static_cast<TGArrayI *>(layer);
    // A layer that lost its source (-1) looks for it again only once it exists.
    const bool sourceThere = gis->FindObjectByIdAndType(a.meshSourceId, ObjectTypeMeshSource) != nullptr;
    const bool otherSource =
        mesh->GetMeshSourceId() != a.meshSourceId && (sourceThere || mesh->GetMeshSourceId() != -1);
    if (otherSource || mesh->GetValueLocation() != a.valueLocation) {
      mesh->SetMeshSource(a.meshSourceId, a.valueLocation);
      gis->SetModified(true);
    }
    return;
  }
  const std::optional<TLevelMap> codes = CodeLevels(a.id);
  if (VolumeLayer::IsVolume(layer)) {
    int lx = 0, ly = 0, lz = 0;
    VolumeLayer::Sizes(layer, lx, ly, lz);
    if (lx != nx || ly != ny || lz != nz) {
      VolumeLayer::Resize(layer, nx, ny, nz, codes);
      gis->SetModified(true);
    }
    return;
  }
  int columns = 0, rows = 0;
  if (layer->GetTypeCode() != ObjectTypeArray || !PlaneSize(a.dimension, columns, rows))
    return;
  auto *plane = static_cast<TGArray *>(layer);
  if (plane->GetNX() == columns && plane->GetNY() == rows)
    return;
  if (codes && plane->GetData()) {
    const TGridBox before{plane->GetNX(), plane->GetNY(), 1, plane->GetX(), plane->GetY(), plane->GetDX(),
                          plane->GetDY()};
    const std::vector<double> old(plane->GetData(), plane->GetData() + plane->GetNX() * plane->GetNY());
    plane->Resize(columns, rows);
    const TGridBox after{columns, rows, 1, plane->GetX(), plane->GetY(), plane->GetDX(), plane->GetDY()};
    const auto fresh = ResampleNearest(old.data(), before, after);
    if (!fresh.empty())
      plane->SetData(fresh.data());
  } else {
    plane->Resize(columns, rows);
  }
  gis->SetModified(true);
}

void TFModel3D::DescribeLayer(TGArray *layer, const TModelArray &a) const {
  layer->SetName(a.name);
  layer->SetCode(a.id);
  layer->SetUnitText(axes.Find(a.quantityCode).unit);
  layer->averagingFlag = a.quantityFlag;
  layer->SetReadOnly(arrays.IsReadOnly(a.id));
  const TQuantityLevelItem *levels = arrayLevels.Find(a.id);
  layer->SetLevelNames(levels ? &levels->names : nullptr);
  layer->SetModelArrayKind(a.kind);
  layer->SetHoldsCodes(IsCodeLayer(a.id));
}

void TFModel3D::FillLayerFromModel(TGObj *layer, int id) {
  double *values = nullptr;
  GetArrayData(id, &values);
  if (!values)
    return;
  if (VolumeLayer::IsVolume(layer)) {
    int lx = 0, ly = 0, lz = 0;
    VolumeLayer::Sizes(layer, lx, ly, lz);
    if (static_cast<long long>(lx) * ly * lz == GetArrayValueCount(id))
      VolumeLayer::SetVolume(layer, values);
  } else if (layer->GetTypeCode() == ObjectTypeArray) {
    auto *plane = static_cast<TGArray *>(layer);
    if (plane->GetNX() * plane->GetNY() == GetArrayValueCount(id))
      plane->SetData(values);
  }
  std::free(values);
}

void TFModel3D::LoadInputArrays(bool alsoOnRequest) {
  if (!gis)
    return;
  for (int index = 0; index < gis->GetObjectCount(); ++index) {
    TGObj *o = gis->GetObject(index);
    if (!IsGridLayer(o))
      continue;
    const int kind = static_cast<TGArray *>(o)->GetModelArrayKind();
    if (kind == ArrayKindInput || (alsoOnRequest && kind == ArrayKindInputOnRequest))
      LoadLayer(o);
  }
}

// A layer whose grid differs from its model array (resized by hand, or read
// from another project) must never be copied past its end.
void TFModel3D::LoadLayer(TGObj *layer) {
  const int code = layer->GetCode();
  const long long expected = GetArrayValueCount(code);
  if (VolumeLayer::IsVolume(layer)) {
    int lx = 0, ly = 0, lz = 0;
    VolumeLayer::Sizes(layer, lx, ly, lz);
    const double *volume = VolumeLayer::Volume(layer);
    if (volume && static_cast<long long>(lx) * ly * lz == expected)
      SetArrayData(code, volume);
  } else {
    auto *plane = static_cast<TGArray *>(layer);
    if (plane->GetData() && static_cast<long long>(plane->GetNX()) * plane->GetNY() == expected)
      SetArrayData(code, plane->GetData());
  }
}

void TFModel3D::UpdateArrayLayers() {
  if (!gis)
    return;
  const int count = gis->GetObjectCount();
  for (int index = 0; index < count && index < gis->GetObjectCount(); ++index) {
    TGObj *o = gis->GetObject(index);
    if (IsGridLayer(o))
      FillLayerFromModel(o, o->GetCode());
  }
  gis->SetModified(true);
}

// Volumes first, then plane layers, each pass in the progress window of its
// own: a cancel ends the pass after the layer in hand, whose values have
// reached the model, and the next pass starts afresh.
void TFModel3D::BuildInputArrays(int mode) {
  if (!gis)
    return;
  BuildInputLayers(ObjectTypeArray3D, mode);
  BuildInputLayers(ObjectTypeArray, mode);
  modified = true;
}

void TFModel3D::BuildInputLayers(int typeCode, int mode) {
  TArrayBuildProgress &progress = GetArrayBuildProgress();
  progress.SetStepCount(gis->CountObjectsOfType(typeCode));
  progress.Show();
  // Hidden again however the pass ends, a failing build included.
  struct THideAtEnd {
    TArrayBuildProgress &window;
    ~THideAtEnd() { window.Hide(); }
  } hideAtEnd{progress};
  int step = 0;
  for (int index = 0; index < gis->GetObjectCount(); ++index) {
    TGObj *o = gis->GetObject(index);
    if (!o || !o->IsArray() || o->GetTypeCode() != typeCode)
      continue;
    auto *layer = static_cast<TGArray *>(o);
    const int kind = layer->GetModelArrayKind();
    if (kind != ArrayKindInput && kind != ArrayKindInputOnRequest)
      continue;
    progress.SetStep(step);
    progress.SetName(layer->GetName());
    progress.SetProgress(0);
    bool &present = layer->BuildParams().presentValuesKnown;
    const bool kept = present;
    if (mode == 1 || mode == 2)
      present = mode == 2;
    layer->Build(progress);
    present = kept;
    LoadLayer(layer);
    if (progress.Cancelled())
      break;
    ++step;
  }
}

void TFModel3D::UpdateModelFromLayers() {
  LoadInputArrays(false);
  AfterInputsLoaded();
  UpdateArrayLayers();
  modified = true;
}

// ---- the model area ----

void TFModel3D::GetArea(double *x1, double *y1, double *x2, double *y2) const {
  if (!gis || !x1 || !y1 || !x2 || !y2)
    return;
  TGObj *area = gis->GetObjectOfType(0, ObjectTypeArray3D);
  if (!area)
    area = gis->GetObjectOfType(0, ObjectTypeArray);
  if (!area)
    area = gis->GetObjectOfType(0, ObjectTypeMap);
  if (area)
    area->GetWorldBounds(*x1, *y1, *x2, *y2);
}

// Every area change, this one and the model-area frame's, goes through the
// GIS's fitting, in which layers of codes keep whole codes (DescribeLayer
// marks them).
void TFModel3D::SetArea(double x1, double y1, double x2, double y2) {
  if (!gis)
    return;
  gis->FitArraysToRect(x1, y1, x2, y2);
  gis->NotifyChanged();
}
