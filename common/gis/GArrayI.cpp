#include "gis/GArrayI.h"

#include <cmath>
#include <exception>

#include "data/ByteOrder.h"
#include "gis/GIS.h"
#include "gis/GMeshSource.h"
#include "gis/ProfileSample.h"
#include "gis/VolumeArrayEditors.h"
#include "melisco.h"
#include "mesh/MeshOperations.h"

// --- construction ------------------------------------------------------------

TGArrayI::TGArrayI(TGIS* owner) : TGArray(owner)
{
  Init();
}

TGArrayI::TGArrayI(TGIS* owner, int meshSourceId, int valueLocation, int quantityCode) : TGArray(owner)
{
  Init();
  SetCode(quantityCode);
  SetMeshSource(meshSourceId, valueLocation);
}

void TGArrayI::Init()
{
  SetTypeCode(ObjectTypeArrayI);
  meshSourceId = -1;
  values.clear();
  cellCount = 0;
  valueCount = 0;
  currentSurface = -1;
  reserved = ValuesPerElement;
}

// --- mesh source -------------------------------------------------------------

void TGArrayI::SetMeshSource(int id, int valueLocation)
{
  meshSourceId = id;
  reserved = valueLocation;
  EnsureMeshSource();
  AllocateValues();
}

// The source is looked up by id on every use rather than kept as a pointer, so
// that an array never reads a source that its GIS has deleted since.
TGMeshSource* TGArrayI::GetMesh() const
{
  if (meshSourceId == -1 || GetOwner() == nullptr)
    return nullptr;
  TGObj* object = GetOwner()->FindObjectByIdAndType(meshSourceId, ObjectTypeMeshSource);
  auto* source = dynamic_cast<TGMeshSource*>(object);
  if (source == nullptr)
    meshSourceId = -1;
  return source;
}

bool TGArrayI::EnsureMeshSource() const
{
  return GetMesh() != nullptr;
}

TIrregularMesh* TGArrayI::GetReadyMesh() const
{
  TGMeshSource* source = GetMesh();
  TIrregularMesh* mesh = source ? source->GetIrregularMesh() : nullptr;
  if (mesh == nullptr || mesh->triangleCount <= 0)
    return nullptr;
  BuildMeshCoefficients(mesh, false);
  return mesh->triangleMatrices != nullptr && mesh->prismPlanes != nullptr ? mesh : nullptr;
}

void TGArrayI::AllocateValues()
{
  int count = 0;
  if (TGMeshSource* source = GetMesh())
    if (const TIrregularMesh* mesh = source->GetIrregularMesh())
      count = PerElement() ? mesh->triangleCount : mesh->nodeCount;
  values.assign(static_cast<size_t>(std::max(count, 0)), NoValue);
  cellCount = valueCount = static_cast<std::int32_t>(values.size());
}

void TGArrayI::SetLayer(int s)
{
  TGMeshSource* source = GetMesh();
  const TIrregularMesh* mesh = source ? source->GetIrregularMesh() : nullptr;
  if (mesh != nullptr && s >= 0 && s < 2 * mesh->layerCount)
    currentSurface = s;
}

// --- lookups -----------------------------------------------------------------

bool TGArrayI::ValueAt(long index, double& value) const
{
  if (index < 0 || index >= static_cast<long>(values.size())) {
    value = NoValue;
    return false;
  }
  value = values[static_cast<size_t>(index)];
  return true;
}

int TGArrayI::GetCellCount() const
{
  return valueCount;
}

bool TGArrayI::GetValueAt(double px, double py, double& value) const
{
  value = NoValue;
  const TIrregularMesh* mesh = GetReadyMesh();
  if (mesh == nullptr)
    return false;
  const int t = FindMeshTriangle(mesh, px, py);
  if (t < 0)
    return false;
  return ValueAt(PerElement() ? t : NearestTriangleNode(mesh, t, px, py), value);
}

bool TGArrayI::InterpolateAt(double px, double py, double& value) const
{
  value = NoValue;
  const TIrregularMesh* mesh = GetReadyMesh();
  if (mesh == nullptr)
    return false;
  const int t = FindMeshTriangle(mesh, px, py);
  if (t < 0)
    return false;
  if (PerElement())
    return ValueAt(t, value);
  if (static_cast<long>(values.size()) < mesh->nodeCount)
    return false;
  value = InterpolateInTriangle(mesh, t, px, py, values.data());
  return true;
}

bool TGArrayI::LocatePoint(double px, double py, double /*pz*/, int& a, int& b) const
{
  const TIrregularMesh* mesh = GetReadyMesh();
  a = b = -1;
  if (mesh == nullptr)
    return false;
  a = FindMeshTriangle(mesh, px, py);
  if (a < 0)
    return false;
  if (!PerElement())
    a = b = NearestTriangleNode(mesh, a, px, py);
  return true;
}

bool TGArrayI::GetValueAtPoint(double px, double py, double /*pz*/, double& value) const
{
  return GetValueAt(px, py, value);
}

bool TGArrayI::InterpolateAtPoint(double px, double py, double /*pz*/, double& value) const
{
  return InterpolateAt(px, py, value);
}

double TGArrayI::GetAreaValue(const TGObj& /*object*/, double& area) const
{
  area = 1.0;
  return 0.0;
}

// --- profiles ----------------------------------------------------------------

int TGArrayI::LocateForProfile(double px, double py) const
{
  const TIrregularMesh* mesh = GetReadyMesh();
  if (mesh == nullptr || PerElement())
    return -1;
  const int t = FindMeshTriangleLinear(mesh, px, py);
  return t < 0 ? -1 : NearestTriangleNode(mesh, t, px, py);
}

bool TGArrayI::GetProfile(double& X1, double& Y1, double& X2, double& Y2, int& n, std::vector<double>& samples,
                          std::vector<double>& distances, int mode) const
{
  samples.clear();
  distances.clear();
  if (n < 1)
    return false;
  WorldToRelative(X1, Y1);
  WorldToRelative(X2, Y2);
  const double sx2 = GetScaleX() * GetScaleX();
  const double sy2 = GetScaleY() * GetScaleY();
  const double lx = X2 - X1, ly = Y2 - Y1;
  const double stepX = lx / n, stepY = ly / n;
  if (stepX == 0 && stepY == 0)
    return false;
  const double length2 = lx * lx + ly * ly;
  const TIrregularMesh* mesh = GetReadyMesh();
  int previousNode = -1;
  for (int k = 0; k <= n; ++k) {
    const double px = X1 + k * stepX, py = Y1 + k * stepY;
    double qx = px, qy = py, value = NoValue;
    bool replace = false;
    if (mode == ProfileCellCentres) {
      const int node = LocateForProfile(px, py);
      if (node >= 0 && mesh != nullptr) {
        const double t = ((mesh->nodeXY[2 * node] - X1) * lx + (mesh->nodeXY[2 * node + 1] - Y1) * ly) / length2;
        qx = X1 + t * lx;
        qy = Y1 + t * ly;
        replace = node == previousNode && !samples.empty();
      }
      previousNode = node;
      ProfileValueAt(qx, qy, value);
    } else if (mode == ProfileInterpolated) {
      InterpolateAt(qx, qy, value);
    } else {
      ProfileValueAt(qx, qy, value);
    }
    const double distance = std::sqrt((X1 - qx) * (X1 - qx) * sx2 + (Y1 - qy) * (Y1 - qy) * sy2);
    AddProfileSample(samples, distances, value, distance, replace);
  }
  n = static_cast<int>(samples.size());
  return true;
}

bool TGArrayI::GetProfile(double& X1, double& Y1, double& Z1, double& X2, double& Y2, double& Z2, int& n,
                          std::vector<double>& samples, std::vector<double>& distances, int mode) const
{
  samples.clear();
  distances.clear();
  if (n < 1)
    return false;
  WorldToRelative(X1, Y1);
  WorldToRelative(X2, Y2);
  WorldToRelativeZ(Z1);
  WorldToRelativeZ(Z2);
  const TProfileLine line(X1, Y1, Z1, X2, Y2, Z2, n, GetScaleX(), GetScaleY(), GetScaleZ());
  if (line.Degenerate())
    return false;
  const TIrregularMesh* mesh = GetReadyMesh();
  int previousA = -1, previousB = -1;
  for (int k = 0; k <= n; ++k) {
    double px, py, pz;
    line.PointAt(k, px, py, pz);
    double qx = px, qy = py, qz = pz, value = NoValue;
    bool replace = false;
    if (mode == ProfileInterpolated) {
      InterpolateAtPoint(px, py, pz, value);
    } else {
      int a = -1, b = -1;
      if (mode == ProfileCellCentres && !PerElement() && mesh != nullptr && LocatePoint(px, py, pz, a, b)) {
        const double nx = mesh->nodeXY[2 * a], ny = mesh->nodeXY[2 * a + 1];
        const double nz = SnappedHeight(*mesh, b, pz);
        line.Project(nx, ny, nz, qx, qy, qz);
        replace = a == previousA && b == previousB && !samples.empty();
      }
      previousA = a;
      previousB = b;
      GetValueAtPoint(qx, qy, qz, value);
    }
    AddProfileSample(samples, distances, value, line.DistanceTo(qx, qy, qz), replace);
  }
  n = static_cast<int>(samples.size());
  return true;
}

// --- drawing -----------------------------------------------------------------

void TGArrayI::Draw(double x1, double y1, double x2, double y2, TMemBitmap* target)
{
  if (target == nullptr)
    return;
  if (settings.rangeMin == 0 && settings.rangeMax == 0) {
    settings.rangeMin = 0;
    settings.rangeMax = 1;
  }
  const bool colourFill = HasColourFill();
  if (!colourFill && !settings.contoursOn)
    return;
  DrawValues(x1, y1, x2, y2, target);
}

void TGArrayI::DrawValues(double x1, double y1, double x2, double y2, TMemBitmap* target)
{
  const int width = target->width, height = target->height;
  if (width <= 0 || height <= 0 || dx == 0 || dy == 0)
    return;
  TIrregularMesh* mesh = GetReadyMesh();
  if (mesh == nullptr || values.empty())
    return;
  const bool colourFill = HasColourFill();
  const bool contoursNeeded = settings.contoursOn || (colourFill && settings.steppedFill);
  const bool smooth = colourFill && !settings.steppedFill;
  const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
  pixelValues.assign(pixels, NoValue);
  try {
    for (int t = 0; t < mesh->triangleCount; ++t)
      DrawTriFilling(target, values.data(), mesh, reserved, t, currentSurface, x1, y1, x2, y2, &settings, smooth,
                     contoursNeeded, pixelValues.data());
  } catch (const std::exception&) {
    // The triangles drawn so far stay; the contours follow what was written.
  }
  if (contoursNeeded)
    DrawPixelContours(target);
}

// --- persistence -------------------------------------------------------------

void TGArrayI::Save(TTagStream& stream) const
{
  stream.SetGroup(TagGroup::TriangulatedArray);
  stream.WriteInt(valueCount);
  stream.WriteInt(meshSourceId);
  stream.WriteInt(currentSurface);
  TGArray::Save(stream);
}

// The regular array's reader takes nx * ny values; the mesh values are read
// again with their own count.
void TGArrayI::ReadValues(TTagStream& stream)
{
  stream.SetGroup(TagGroup::Array);
  std::vector<std::uint8_t> bytes;
  const bool present = stream.ReadBlock(bytes, 2);
  if (!present || valueCount < 0 || static_cast<std::int64_t>(bytes.size()) != static_cast<std::int64_t>(valueCount) * 8) {
    values.clear();
    valueCount = 0;
  } else {
    values.resize(static_cast<size_t>(valueCount));
    for (size_t c = 0; c < values.size(); ++c)
      values[c] = GetDoubleLE(bytes.data() + 8 * c);
  }
  double maximum = dataMax, minimum = dataMin;
  stream.Read(maximum, 3);
  stream.Read(minimum, 4);
  dataMax = maximum;
  dataMin = minimum;
}

void TGArrayI::Load(TTagStream& stream)
{
  stream.SetGroup(TagGroup::TriangulatedArray);
  stream.Read(valueCount);
  std::int32_t id = meshSourceId;
  stream.Read(id);
  meshSourceId = id;
  stream.Read(currentSurface);
  const std::int32_t keptNX = nx, keptNY = ny;
  TGArray::Load(stream);
  nx = keptNX;
  ny = keptNY;
  ReadValues(stream);
  cellCount = valueCount;
}

void TGArrayI::AfterLoad()
{
  TGArray::AfterLoad();
  EnsureMeshSource();
}

void TGArrayI::LoadGeometry(TTagStream& /*stream*/) {}

// --- editors -----------------------------------------------------------------

bool TGArrayI::Edit()
{
  TVolumeArrayEditorHooks* hooks = GetVolumeArrayEditorHooks();
  if (hooks == nullptr || !hooks->EditArrayIData(*this))
    return false;
  NotifyOwnerChanged();
  return true;
}

TEditorFrame* TGArrayI::CreateEditorFrame(bool /*fromKeptValues*/, bool multiple, QWidget* owner)
{
  TVolumeArrayEditorHooks* hooks = GetVolumeArrayEditorHooks();
  return hooks ? hooks->CreateArrayIFrame(*this, multiple, owner) : nullptr;
}

void TGArrayI::ApplyEditorFrame(TEditorFrame* frame)
{
  ApplyOwnFrame<TArrayIFrame>(frame, *this);
}

void TGArrayI::FillEditorFrame(TEditorFrame* frame, bool /*fromKeptValues*/, bool multiple)
{
  FillOwnFrame<TArrayIFrame>(frame, *this, multiple);
}
