#pragma once
// TGArrayI: values on a plane triangulation, one per mesh node or one per
// triangle (type 406). The mesh belongs to a mesh source object of the same
// GIS, found by its object id; the array keeps only its values.
//
// Coordinates of the lookups are relative to the GIS, like the mesh's nodes.
#include <vector>

#include "gis/GArray.h"

class TGMeshSource;

// Where the values sit: 0 one per node, anything else one per element.
enum TValueLocation : std::int32_t {
  ValuesAtNodes = 0,
  ValuesPerElement = 2,
};

class TGArrayI : public TGArray {
public:
  explicit TGArrayI(TGIS* owner);
  TGArrayI(TGIS* owner, int meshSourceId, int valueLocation, int quantityCode);

  // --- map object operations ---
  void Save(TTagStream& stream) const override;
  void Load(TTagStream& stream) override;
  void AfterLoad() override;
  void LoadGeometry(TTagStream& stream) override;
  void Draw(double x1, double y1, double x2, double y2, TMemBitmap* target) override;
  bool Edit() override;
  TEditorFrame* CreateEditorFrame(bool fromKeptValues, bool multiple, QWidget* owner) override;
  void ApplyEditorFrame(TEditorFrame* frame) override;
  void FillEditorFrame(TEditorFrame* frame, bool fromKeptValues, bool multiple) override;

  // --- array operations ---
  int GetCellCount() const override;
  bool GetValueAt(double px, double py, double& value) const override;
  bool InterpolateAt(double px, double py, double& value) const override;
  bool GetProfile(double& X1, double& Y1, double& X2, double& Y2, int& n, std::vector<double>& values,
                  std::vector<double>& distances, int mode) const override;
  // Not supported on a mesh: 0 over an area of 1.
  double GetAreaValue(const TGObj& object, double& area) const override;
  // Values for the current source and value location, all 1e300.
  virtual void AllocateValues();

  // --- mesh source ---
  void SetMeshSource(int id, int valueLocation);
  // True when the source is found; a failed search forgets the id for good.
  bool EnsureMeshSource() const;
  TGMeshSource* GetMesh() const;
  // The mesh with its coefficient arrays built; null without a source.
  TIrregularMesh* GetReadyMesh() const;
  int GetMeshSourceId() const { return meshSourceId; }
  int GetValueLocation() const { return reserved; }
  int GetValueCount() const { return valueCount; }
  int GetLayer() const { return currentSurface; }
  // The stored value at a node or element index (1e300 outside the values).
  bool StoredValue(long index, double& value) const { return ValueAt(index, value); }
  bool KeepsValuesPerElement() const { return PerElement(); }
  // Accepted when a mesh is held and 0 <= s < 2 * layer count.
  void SetLayer(int s);

  // --- points in three dimensions (a plane array ignores z) ---
  // The element (triangle, or triangle and prism) holding the point, or with
  // node values its nearest plane node and node; true when found.
  virtual bool LocatePoint(double px, double py, double pz, int& a, int& b) const;
  virtual bool GetValueAtPoint(double px, double py, double pz, double& value) const;
  virtual bool InterpolateAtPoint(double px, double py, double pz, double& value) const;
  // Samples the world segment P1-P2 (converted in place to relative points) at
  // n + 1 points; distances are world distances from P1. False, outputs empty,
  // for a segment without length or n < 1.
  bool GetProfile(double& X1, double& Y1, double& Z1, double& X2, double& Y2, double& Z2, int& n,
                  std::vector<double>& values, std::vector<double>& distances, int mode) const;

protected:
  bool PerElement() const { return reserved != ValuesAtNodes; }
  bool ValueAt(long index, double& value) const;
  // The value a plane profile samples in modes 0 and 1.
  virtual bool ProfileValueAt(double px, double py, double& value) const { return GetValueAt(px, py, value); }
  // The height of the node a sample of a profile in three dimensions snaps to.
  virtual double SnappedHeight(const TIrregularMesh& /*mesh*/, int /*node*/, double pz) const { return pz; }
  // The node a plane profile sample snaps to (mode 1), or -1.
  int LocateForProfile(double px, double py) const;
  void DrawValues(double x1, double y1, double x2, double y2, TMemBitmap* target);

  mutable std::int32_t meshSourceId = -1;
  std::int32_t valueCount = 0;
  std::int32_t currentSurface = -1;

private:
  void Init();
  void ReadValues(TTagStream& stream);
};
