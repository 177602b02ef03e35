#pragma once
// TGArray3D: a regular three-dimensional grid, nx x ny cells in plan as in
// TGArray and nz levels in depth; level k spans the depths z + k dz/nz to
// z + (k + 1) dz/nz.
//
// The whole volume is the array's data; the TGArray part shows one level, the
// current one, so that drawing, plane lookups and profiles work level by
// level. GetData is that level itself, inside the volume: a value written
// through it is in the volume, and one written through GetVolumeData is seen
// through it. (The regular array's drawing reads a copy of the level, taken
// afresh before every use.)
#include <string>
#include <vector>

#include "arraybuild/Volume.h"
#include "gis/GArray.h"

class TArrayBuildProgress;

class TGArray3D : public TGArray {
public:
  explicit TGArray3D(TGIS* owner);
  TGArray3D(TGIS* owner, int columns, int rows, int levels, int quantityCode);

  // --- map object operations ---
  void Save(TTagStream& stream) const override;
  void Load(TTagStream& stream) override;
  void LoadGeometry(TTagStream& stream) override;
  void Draw(double x1, double y1, double x2, double y2, TMemBitmap* target) override;
  bool Edit() override;
  TEditorFrame* CreateEditorFrame(bool fromKeptValues, bool multiple, QWidget* owner) override;
  void ApplyEditorFrame(TEditorFrame* frame) override;
  void FillEditorFrame(TEditorFrame* frame, bool fromKeptValues, bool multiple) override;
  void SetDZ(double value) override;
  void SetWorldRect(double X1, double Y1, double X2, double Y2) override;
  std::string GetName() const override;

  // --- array operations ---
  void UpdateCellSize() override;
  void DrawToRect(TMemBitmap* target, int left, int top, int width, int height, bool horizontal) override;
  int GetCellCount() const override;
  bool GetValueAt(double px, double py, double& value) const override;
  bool InterpolateAt(double px, double py, double& value) const override;
  bool GetProfile(double& X1, double& Y1, double& X2, double& Y2, int& n, std::vector<double>& values,
                  std::vector<double>& distances, int mode) const override;
  // Copies nx * ny * nz values into the volume.
  void SetData(const double* source) override;
  void Fill(double value) override;
  void Clear() override;
  // Over the whole volume.
  void UpdateMinMax() override;
  // Adds the offset to every value of the volume and to the data range.
  void AddOffset(double offset);
  double GetAreaValue(const TGObj& object, double& area) const override;

  // Builds level by level from the reper values of each level's depth range
  // (measured in world depth from the array's top); levels without values are
  // filled by the level fill mode. A cancel ends each level's method early
  // and keeps what was computed. False when no level was built.
  bool Build(TArrayBuildProgress& progress) override;

  // --- volume ---
  // Resamples the old volume onto the new cells; without one, zeros.
  void Resize(int columns, int rows, int levels);
  double* GetVolumeData();
  const double* GetVolumeData() const { return volume.empty() ? nullptr : volume.data(); }
  int GetNZ() const { return nz; }
  int GetLevel() const { return level; }
  // Ignores k outside 0..nz-1.
  void SetLevel(int k);
  int GetLevelFillMode() const { return levelFillMode; }
  void SetLevelFillMode(int mode) { levelFillMode = mode; }
  double GetLevelDepth() const { return levelDepth; }
  double GetLevelsPerDepthUnit() const { return levelsPerDepthUnit; }

  bool GetCellPosition(double u, double v, double w, double& fi, double& fj, double& fk, bool clamp) const;
  bool GetCellIndex(double u, double v, double w, int& i, int& j, int& k, bool clamp) const;
  void GetCellCentre(int i, int j, int k, double& u, double& v, double& w) const;
  bool GetCellValue(int i, int j, int k, double& value) const;
  bool GetVolumeValueAt(double u, double v, double w, double& value) const;
  // Trilinear; tells whether the point lies in the grid.
  bool InterpolateAt(double u, double v, double w, double& value) const;
  double GetLevelThickness() const;
  void FillVolume(double value);
  // Samples the world segment P1-P2 (converted in place to relative points) at
  // n + 1 points; positions are world distances from P1. False, outputs empty
  // and n unchanged, for a segment without length or n < 1.
  bool GetProfile(double& X1, double& Y1, double& Z1, double& X2, double& Y2, double& Z2, int& n,
                  std::vector<double>& values, std::vector<double>& positions, int mode) const;

  // Text transfer of a box of cells (kinds as in arraybuild/Volume.h). The
  // import changes nothing when the file cannot be read or is not what the kind
  // says, and `why` tells the user.
  bool ExportText(int i1, int j1, int k1, int i2, int j2, int k2, int mode, const std::string& fileName) const;
  bool ImportText(int i1, int j1, int k1, int i2, int j2, int k2, int mode, const std::string& fileName,
                  std::string& why);

protected:
  double* PlaneData() override;
  const double* PlaneData() const override;

private:
  void Init();
  TVolume View() const;
  // The volume over world axes, for the text transfer.
  TVolume WorldView() const;
  // The plane view follows the volume.
  void ShowLevel();
  void ShowLevelIfStale() const;
  bool ReadVolumeGrid(TTagStream& stream);
  void BuildLevelRange(int k, double thickness, TArrayBuildProgress& progress, std::vector<bool>& built);

  std::vector<double> volume;
  std::int32_t level = 0;
  double levelsPerDepthUnit = 0;
  std::int32_t nz = 0;
  double levelDepth = 0;
  std::int32_t levelFillMode = LevelFillFromAboveIndex;
  // Set when the volume was handed out for writing: the plane view is
  // refreshed before it is next read.
  mutable bool levelStale = false;
};
