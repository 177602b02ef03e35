#pragma once
// TGArray: a regular grid of double values laid over the object's rectangle,
// nx columns by ny rows of equal cells. Cell (i, j) is value j*nx + i; row 0
// lies at y and column 0 at x. The double 1e300 marks a cell without a value.
//
// The array also keeps how it is drawn (a shared settings block that the
// drawing library reads field by field, with the contour level table) and the
// parameters of its building from scattered known values.
#include <cstdint>
#include <memory>
#include <string>
#include <optional>
#include <utility>
#include <vector>

#include "MeliscoTypes.h"
#include "arraybuild/FillGrid.h"
#include "data/NoValue.h"
#include "gis/ArrayBuildParams.h"
#include "gis/ArrayLabelFont.h"
#include "gis/ContourLevels.h"
#include "gis/GRect.h"

class TArrayBuildProgress;
class TSLine;

// Kinds of arrays that mirror a model array.
enum TModelArrayKind : std::int32_t {
  ModelArrayInput = 50001,
  ModelArrayOutput = 50003,
  ModelArrayInputOnRequest = 50004,
};

// How the values are shown.
enum FillType : std::int32_t {
  FillNone = 0,
  FillTransparencyRamp = 1,
  FillHatching = 2,
  FillOneTransparency = 3,
  FillTwoTransparencies = 4,
};

// Sampling rules of a profile.
enum ProfileMode : std::int32_t {
  ProfileCells = 0,        // the value of the cell under each point
  ProfileCellCentres = 1,  // one sample per crossed cell, at its centre's projection
  ProfileInterpolated = 2, // bilinear between cell centres
};

class TGArray : public TGRect {
public:
  explicit TGArray(TGIS* owner);
  TGArray(TGIS* owner, int columns, int rows, int quantityCode);
  ~TGArray() override;

  // --- map object operations ---
  void Save(TTagStream& stream) const override;
  void Load(TTagStream& stream) override;
  // Replaces the grid size and the values only; drawing and build settings stay.
  void LoadGeometry(TTagStream& stream) override;
  void Draw(double x1, double y1, double x2, double y2, TMemBitmap* target) override;
  void FreeCache() override;
  int GetTreePathLength() const override;
  std::string GetTreePathText(int level) const override;
  bool Edit() override;
  TEditorFrame* CreateEditorFrame(bool fromKeptValues, bool multiple, QWidget* owner) override;
  void ApplyEditorFrame(TEditorFrame* frame) override;
  void FillEditorFrame(TEditorFrame* frame, bool fromKeptValues, bool multiple) override;
  // The values stay with their cells: the grid stretches with the rectangle.
  void SetOrigin(double newX, double newY) override;
  void SetFarCorner(double farX, double farY) override;
  void SetDX(double value) override;
  void SetDY(double value) override;
  void SetRelativeRect(double x1, double y1, double x2, double y2) override;
  // Resamples the values onto the new rectangle, then moves it.
  void SetWorldRect(double X1, double Y1, double X2, double Y2) override;
  bool IsArray() const override { return true; }

  // --- operations of arrays ---
  virtual void UpdateCellSize();
  // The legend bar of the colouring in a rectangle of the bitmap.
  virtual void DrawToRect(TMemBitmap* target, int left, int top, int width, int height, bool horizontal);
  virtual int GetCellCount() const;
  // Fills the cells from the reper values of the GIS for every depth, then
  // takes the data range and the drawing range from the result. False when
  // nothing is known; a cancelled build keeps what it computed.
  virtual bool Build(TArrayBuildProgress& progress);
  virtual bool GetValueAtWorld(double X, double Y, double& value) const;
  virtual bool GetValueAt(double px, double py, double& value) const;
  // Bilinear between cell centres; tells whether the point lies in the grid.
  virtual bool InterpolateAt(double px, double py, double& value) const;
  // InterpolateAt at a world point; false also where the cells around the
  // point hold no value.
  bool InterpolateAtWorld(double X, double Y, double& value) const;
  // Samples the segment between two world points (converted in place to
  // relative ones) at n + 1 points; n becomes the number of samples. False,
  // with both lists empty, when n < 1 or the segment has no length.
  virtual bool GetProfile(double& X1, double& Y1, double& X2, double& Y2, int& n, std::vector<double>& values,
                          std::vector<double>& distances, int mode) const;
  virtual void SetData(const double* source);
  virtual void Fill(double value);
  virtual void Clear();
  virtual void UpdateMinMax();
  // The mean (or, with the averaging flag off, the sum) of the cells inside the
  // object's outline, and the area they cover.
  virtual double GetAreaValue(const TGObj& object, double& area) const;

  // --- grid and values ---
  // Changes the grid size, resampling the values onto the new cells.
  void Resize(int columns, int rows);
  // The cells of the plane (nx * ny values, row after row), read and written
  // in place.
  double* GetData() { return PlaneData(); }
  const double* GetData() const { return PlaneData(); }
  int GetNX() const { return nx; }
  int GetNY() const { return ny; }
  double GetCellWidth() const { return cellWidth; }
  double GetCellHeight() const { return cellHeight; }
  double GetDataMin() const { return dataMin; }
  double GetDataMax() const { return dataMax; }
  void SetLevelNames(const std::vector<std::string>* names);
  const std::vector<std::string>& GetLevelNames() const { return valueNames; }
  void AddOffset(double offset);
  int CellIndexAt(double px, double py) const;
  bool GetCellPosition(double px, double py, double& u, double& v, bool clamp) const;
  bool GetCellIndices(double px, double py, int& i, int& j, bool clamp) const;
  double GetCellWorldWidth() const;
  double GetCellWorldHeight() const;
  double GetCellArea() const;
  void GetCellCentreWorld(int i, int j, double& X, double& Y) const;

  // --- building (gis/ArrayBuilder.h) ---
  // Fills the open cells from the reper values found for lo <= depth < hi;
  // the data range becomes that of the known values. False when the array has
  // no GIS or nothing is known; true also after a cancel, which keeps the
  // cells as far as they were computed.
  bool BuildRange(double lo, double hi, TArrayBuildProgress& progress);
  // Writes the known values into their cells and marks them in the mask; the
  // data range becomes that of the known values. False, with the data range
  // untouched, when no cell is known.
  bool CollectKnownCells(double lo, double hi, TKnownMask& known);

  // --- drawing settings and levels ---
  void SetFillType(int type);
  int GetFillType() const { return settings.fillType; }
  void SetContourColors(COLORREF first, COLORREF second);
  void SetFillColors(COLORREF first, COLORREF second);
  void SetAlpha(int first, int second);
  void ApplyAlpha(int first, int second);
  void SetLevelScheme(int kind, int count, double boldStep, double thinStep, int decimalBoldCount,
                      int decimalThinCount, int logPower, int logThinCount);
  void AutoScaleRange();
  void SetLevelCount(int count);
  void BuildLevels();
  void FreeLevels();
  const TLevelScheme& GetLevelScheme() const { return scheme; }
  void SetAutomaticRange(bool on) { scheme.automaticRange = on; }
  // The settings block as the drawing library reads it (levels included).
  const TArrayDrawSettings& GetDrawSettings() const { return settings; }
  // The label font of the settings block, made from the object's label font
  // record when needed; null when no font file can be had.
  HFONT GetLabelFontHandle();
  const TContourLevel* GetLevels() const { return levels.empty() ? nullptr : levels.data(); }
  int GetLevelCount() const { return static_cast<int>(levels.size()); }
  // Single levels as the level dialog edits them; index outside the table does nothing.
  void SetLevel(int index, const TContourLevel& level);
  void SetRange(double minimum, double maximum);
  void SetSteppedFill(bool on) { settings.steppedFill = on ? 1 : 0; }
  void SetContoursOn(bool on) { settings.contoursOn = on ? 1 : 0; }
  void SetMixModes(int fillMix, int contourMix);
  void SetLabels(bool onThin, bool onBold, int spacing, int firstOffset, double factor, double subtrahend);
  void SetGrid(bool on, COLORREF color);
  void SetClipOutline(std::unique_ptr<TSLine> outline);
  const TSLine* GetClipOutline() const { return clipOutline.get(); }

  // --- other fields ---
  const std::string& GetUnitText() const { return unitText; }
  void SetUnitText(const std::string& text) { unitText = text; }
  bool IsReadOnly() const { return readOnly; }
  void SetReadOnly(bool value) { readOnly = value; }
  std::int32_t GetModelArrayKind() const { return modelArrayKind; }
  void SetModelArrayKind(std::int32_t kind) { modelArrayKind = kind; }
  // Values that are codes (electrodes, materials) are never blended: moving
  // the rectangle gives each cell the value of the old cell under its centre.
  // Not stored; the model marks its layers.
  bool HoldsCodes() const { return holdsCodes; }
  void SetHoldsCodes(bool value) { holdsCodes = value; }
  TArrayBuildParams& BuildParams() { return buildParams; }
  const TArrayBuildParams& BuildParams() const { return buildParams; }
  const std::vector<std::uint8_t>& GetOpaqueBlock() const { return opaqueBlock; }
  void SetOpaqueBlock(std::vector<std::uint8_t> block) { opaqueBlock = std::move(block); }

  // Layers of the drawing (x1..y2 as in Draw).
  void DrawValues(double x1, double y1, double x2, double y2, TMemBitmap* target);
  void DrawHatching(double x1, double y1, double x2, double y2, TMemBitmap* target);

protected:
  // Records the settings block points at: the level table and the label font.
  void SyncLevelPointer();
  void DrawGridLines(double x1, double y1, double x2, double y2, TMemBitmap* target) const;
  void DrawLayers(double x1, double y1, double x2, double y2, TMemBitmap* target);
  // The fill paints colours over the value range (rather than hatching or nothing).
  bool HasColourFill() const;
  // Contours and their labels from pixelValues, which the filling wrote.
  void DrawPixelContours(TMemBitmap* target);
  void ResampleOnto(double rx1, double ry1, double rx2, double ry2);
  void SetRecordedMinMax(double minimum, double maximum);
  // Where the plane's cells live: the array's own values, or a level of a volume.
  virtual double* PlaneData() { return values.empty() ? nullptr : values.data(); }
  virtual const double* PlaneData() const { return values.empty() ? nullptr : values.data(); }
  bool EndsFollowRamp() const;

  std::vector<double> values;
  std::int32_t cellCount = 0;
  double inverseCellWidth = 0;
  double inverseCellHeight = 0;
  std::unique_ptr<TSLine> clipOutline;
  std::vector<std::uint8_t> clipMask;
  std::vector<double> pixelValues;
  std::vector<std::string> valueNames;
  std::string unitText;
  bool readOnly = false;
  std::int32_t reserved = 1;
  std::int32_t nx = 0;
  std::int32_t ny = 0;
  double cellWidth = 0;
  double cellHeight = 0;
  double dataMin = 0;
  double dataMax = 0;
  TLevelScheme scheme;
  TArrayDrawSettings settings{};
  std::vector<TContourLevel> levels;
  // The ends the transparencies were last spread between (not stored).
  std::optional<std::pair<int, int>> rampAlpha;
  TArrayBuildParams buildParams;
  std::int32_t modelArrayKind = ModelArrayInput;
  bool holdsCodes = false;
  std::vector<std::uint8_t> opaqueBlock;
  TArrayLabelFont labelFontHandle;

private:
  void Init();
  // The grid size and values of the array group; damaged ones leave an empty grid.
  void ReadGridRecords(TTagStream& stream);
  void ReadLevelTable(TTagStream& stream);
  void WriteLevelTable(TTagStream& stream) const;
};
