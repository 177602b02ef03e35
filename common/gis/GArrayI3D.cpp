#include "gis/GArrayI3D.h"

#include <algorithm>

#include "gis/GIS.h"
#include "gis/GMeshSource.h"
#include "gis/VolumeArrayEditors.h"
#include "mesh/MeshOperations.h"

TGArrayI3D::TGArrayI3D(TGIS* owner) : TGArrayI(owner)
{
  Init();
}

TGArrayI3D::TGArrayI3D(TGIS* owner, int meshSourceId, int valueLocation, int quantityCode) : TGArrayI(owner)
{
  Init();
  SetCode(quantityCode);
  SetMeshSource(meshSourceId, valueLocation);
}

void TGArrayI3D::Init()
{
  SetTypeCode(ObjectTypeArrayI3D);
  currentSurface = 0;
}

void TGArrayI3D::AllocateValues()
{
  int count = 0;
  if (TGMeshSource* source = GetMesh())
    if (const TIrregularMesh* mesh = source->GetIrregularMesh()) {
      if (PerElement())
        count = mesh->prismRanges != nullptr && mesh->triangleCount > 0 ? mesh->prismRanges[mesh->triangleCount] : 0;
      else
        count = mesh->nodeColumns != nullptr && mesh->nodeCount >= 0 ? mesh->nodeColumns[mesh->nodeCount] : 0;
    }
  values.assign(static_cast<size_t>(std::max(count, 0)), NoValue);
  cellCount = valueCount = static_cast<std::int32_t>(values.size());
}

std::string TGArrayI3D::GetName() const
{
  std::string layer;
  TGMeshSource* source = GetMesh();
  const TIrregularMesh* mesh = source ? source->GetIrregularMesh() : nullptr;
  const int index = currentSurface / 2;
  if (mesh != nullptr && mesh->layerNames != nullptr && currentSurface >= 0 && index < mesh->layerCount &&
      mesh->layerNames[index + 1] != nullptr)
    layer = mesh->layerNames[index + 1];
  return name + ", " + layer + (currentSurface % 2 == 0 ? " кровля" : " подошва");
}

int TGArrayI3D::SurfacePrism(const TIrregularMesh& mesh, int t) const
{
  if (mesh.surfacePrisms == nullptr || currentSurface < 0 || currentSurface >= 2 * mesh.layerCount)
    return -1;
  const long entry = 2L * ((currentSurface / 2) * static_cast<long>(mesh.triangleCount) + t) + currentSurface % 2;
  return mesh.surfacePrisms[entry];
}

bool TGArrayI3D::GetSurfaceValueAt(double px, double py, double& value) const
{
  value = NoValue;
  const TIrregularMesh* mesh = GetReadyMesh();
  if (mesh == nullptr)
    return false;
  const int t = FindMeshTriangle(mesh, px, py);
  const int prism = t < 0 ? -1 : SurfacePrism(*mesh, t);
  if (prism < 0)
    return false;
  if (PerElement())
    return ValueAt(prism, value);
  int planeNode = 0, node = 0;
  NearestPrismFaceNode(mesh, t, prism, px, py, currentSurface % 2, &planeNode, &node);
  return ValueAt(node, value);
}

bool TGArrayI3D::InterpolateOnSurface(double px, double py, double& value) const
{
  value = NoValue;
  const TIrregularMesh* mesh = GetReadyMesh();
  if (mesh == nullptr)
    return false;
  const int t = FindMeshTriangle(mesh, px, py);
  const int prism = t < 0 ? -1 : SurfacePrism(*mesh, t);
  if (prism < 0)
    return false;
  if (PerElement())
    return ValueAt(prism, value);
  if (static_cast<long>(values.size()) < mesh->nodeColumns[mesh->nodeCount])
    return false;
  value = InterpolateOnPrismFace(mesh, t, prism, px, py, currentSurface % 2, values.data());
  return true;
}

// Points of the plane go through the GIS's transform like those of every
// other array.
bool TGArrayI3D::GetValueAtWorld(double X, double Y, double& value) const
{
  double u = 0, v = 0;
  WorldToRelative(X, Y, u, v);
  return GetSurfaceValueAt(u, v, value);
}

bool TGArrayI3D::GetValueAt(double px, double py, double& value) const
{
  return GetSurfaceValueAt(px, py, value);
}

bool TGArrayI3D::InterpolateAt(double px, double py, double& value) const
{
  return InterpolateOnSurface(px, py, value);
}

bool TGArrayI3D::LocatePoint(double px, double py, double pz, int& a, int& b) const
{
  a = b = -1;
  const TIrregularMesh* mesh = GetReadyMesh();
  if (mesh == nullptr)
    return false;
  a = FindMeshTriangle(mesh, px, py);
  if (a < 0)
    return false;
  b = FindPrismLayer(mesh, a, px, py, pz);
  if (b < 0)
    return false;
  if (!PerElement()) {
    int planeNode = 0, node = 0;
    NearestPrismNode(mesh, a, b, px, py, pz, &planeNode, &node);
    a = planeNode;
    b = node;
  }
  return true;
}

bool TGArrayI3D::GetValueAtPoint(double px, double py, double pz, double& value) const
{
  value = NoValue;
  const TIrregularMesh* mesh = GetReadyMesh();
  if (mesh == nullptr)
    return false;
  const int t = FindMeshTriangle(mesh, px, py);
  const int prism = t < 0 ? -1 : FindPrismLayer(mesh, t, px, py, pz);
  if (prism < 0)
    return false;
  if (PerElement())
    return ValueAt(prism, value);
  int planeNode = 0, node = 0;
  NearestPrismNode(mesh, t, prism, px, py, pz, &planeNode, &node);
  return ValueAt(node, value);
}

bool TGArrayI3D::InterpolateAtPoint(double px, double py, double pz, double& value) const
{
  value = NoValue;
  const TIrregularMesh* mesh = GetReadyMesh();
  if (mesh == nullptr)
    return false;
  const int t = FindMeshTriangle(mesh, px, py);
  const int prism = t < 0 ? -1 : FindPrismLayer(mesh, t, px, py, pz);
  if (prism < 0)
    return false;
  if (PerElement())
    return ValueAt(prism, value);
  if (static_cast<long>(values.size()) < mesh->nodeColumns[mesh->nodeCount])
    return false;
  value = InterpolateInPrism(mesh, t, prism, px, py, pz, values.data());
  return true;
}

bool TGArrayI3D::Edit()
{
  TVolumeArrayEditorHooks* hooks = GetVolumeArrayEditorHooks();
  if (hooks == nullptr || !hooks->EditArrayI3DData(*this))
    return false;
  NotifyOwnerChanged();
  return true;
}

TEditorFrame* TGArrayI3D::CreateEditorFrame(bool /*fromKeptValues*/, bool multiple, QWidget* owner)
{
  TVolumeArrayEditorHooks* hooks = GetVolumeArrayEditorHooks();
  return hooks ? hooks->CreateArrayI3DFrame(*this, multiple, owner) : nullptr;
}
