#pragma once
// TGArrayI3D: values on a layered prism mesh, the triangulation extruded
// through stacked layers (type 407); one value per three-dimensional node or
// one per prism. Each layer has a roof ("кровля") and a sole ("подошва"); the
// current surface s (layer s div 2, the roof when s is even) is what the plane
// operations, the drawing and the name refer to.
#include "gis/GArrayI.h"

class TGArrayI3D : public TGArrayI {
public:
  explicit TGArrayI3D(TGIS* owner);
  TGArrayI3D(TGIS* owner, int meshSourceId, int valueLocation, int quantityCode);

  std::string GetName() const override;
  bool GetValueAtWorld(double X, double Y, double& value) const override;
  bool GetValueAt(double px, double py, double& value) const override;
  bool InterpolateAt(double px, double py, double& value) const override;
  bool Edit() override;
  TEditorFrame* CreateEditorFrame(bool fromKeptValues, bool multiple, QWidget* owner) override;
  void AllocateValues() override;

  // On the current surface.
  bool GetSurfaceValueAt(double px, double py, double& value) const;
  bool InterpolateOnSurface(double px, double py, double& value) const;

  bool LocatePoint(double px, double py, double pz, int& a, int& b) const override;
  // In the prism that holds the point.
  bool GetValueAtPoint(double px, double py, double pz, double& value) const override;
  bool InterpolateAtPoint(double px, double py, double pz, double& value) const override;

protected:
  double SnappedHeight(const TIrregularMesh& mesh, int node, double pz) const override
  {
    return mesh.nodeZ != nullptr ? mesh.nodeZ[node] : pz;
  }

private:
  void Init();
  // The prism of the current surface above triangle t, or -1.
  int SurfacePrism(const TIrregularMesh& mesh, int t) const;
};
