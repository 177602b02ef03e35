#include "gis/ArrayBuilder.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "arraybuild/GridFill.h"
#include "data/NoValue.h"
#include "data/NullArrayBuildProgress.h"
#include "data/SLine.h"
#include "gis/GArray.h"
#include "gis/GIS.h"

namespace {

TNullArrayBuildProgress silentProgress;
TArrayBuildProgress* installedProgress = nullptr;

// Shape kinds that carry reper values: points, marks and repers (1, 2) at their
// origin, outline objects (3) along their outline.
constexpr int ShapeKindPoint = 1;
constexpr int ShapeKindMark = 2;
constexpr int ShapeKindOutline = 3;

struct TCollector {
  TGArray& array;
  TKnownCells& known;
  int count = 0;

  void Note(double value)
  {
    known.minimum = std::min(known.minimum, value);
    known.maximum = std::max(known.maximum, value);
  }

  void Set(double px, double py, double value)
  {
    const int cell = array.CellIndexAt(px, py);
    if (cell < 0)
      return;
    array.GetData()[cell] = value;
    known.mask[static_cast<size_t>(cell)] = 1;
  }

  // The start point's cell, then equal steps no longer than a cell.
  void Segment(double x1, double y1, double x2, double y2, double value)
  {
    Set(x1, y1, value);
    const double across = std::ceil(std::fabs(array.GetNX() * (x2 - x1) / array.GetDX()));
    const double along = std::ceil(std::fabs(array.GetNY() * (y2 - y1) / array.GetDY()));
    double steps = std::max(across, along);
    if (!(steps >= 0) || steps > 1e7) // no extent, or an absurd outline
      steps = steps > 1e7 ? 1e7 : 0;
    const int m = static_cast<int>(steps);
    for (int s = 1; s <= m; ++s)
      Set(x1 + (x2 - x1) * s / m, y1 + (y2 - y1) * s / m, value);
  }

  void Point(const TGObj& object, double value)
  {
    if (array.CellIndexAt(object.GetX(), object.GetY()) < 0)
      return;
    Set(object.GetX(), object.GetY(), value);
    Note(value);
    ++count;
  }

  // The value counts even when the outline misses the grid.
  void Outline(const TGObj& object, double value)
  {
    Note(value);
    TSLine outline;
    object.GetOutline(outline);
    const std::vector<TSPoint>& p = outline.Points();
    const size_t n = p.size();
    for (size_t k = 1; k < n; ++k)
      Segment(p[k - 1].x, p[k - 1].y, p[k].x, p[k].y, value);
    if (outline.Closed() && n > 1)
      Segment(p[n - 1].x, p[n - 1].y, p[0].x, p[0].y, value);
    ++count;
  }

  // A border cell keeps its value; one without a value is known all the
  // same but, as everywhere, stays out of the range.
  void KeepBorderCell(size_t cell)
  {
    known.mask[cell] = 1;
    const double value = array.GetData()[cell];
    if (!IsNoValue(value))
      Note(value);
  }

  // Before the objects, whose values win in their cells.
  void PresentValues()
  {
    const double* data = array.GetData();
    for (size_t cell = 0; cell < known.mask.size(); ++cell)
      if (!IsNoValue(data[cell])) {
        known.mask[cell] = 1;
        Note(data[cell]);
        ++count;
      }
  }

  void FixedBoundary()
  {
    const int nx = array.GetNX(), ny = array.GetNY();
    auto cell = [nx](int i, int j) { return static_cast<size_t>(j) * static_cast<size_t>(nx) + static_cast<size_t>(i); };
    for (int i = 0; i < nx; ++i) {
      KeepBorderCell(cell(i, 0));
      KeepBorderCell(cell(i, ny - 1));
      count += 2;
    }
    for (int j = ny - 2; j >= 1; --j) {
      KeepBorderCell(cell(0, j));
      KeepBorderCell(cell(nx - 1, j));
      count += 2;
    }
  }
};

// Values as they were, for a build that finds nothing known.
struct TArraySnapshot {
  std::vector<double> values;

  explicit TArraySnapshot(TGArray& array)
  {
    const double* data = array.GetData();
    if (data != nullptr)
      values.assign(data, data + static_cast<size_t>(array.GetNX()) * array.GetNY());
  }
  void Restore(TGArray& array) const
  {
    if (!values.empty() && array.GetData() != nullptr)
      std::copy(values.begin(), values.end(), array.GetData());
  }
};

} // namespace

TArrayBuildProgress& GetArrayBuildProgress()
{
  return installedProgress != nullptr ? *installedProgress : silentProgress;
}

void SetArrayBuildProgress(TArrayBuildProgress* progress)
{
  installedProgress = progress;
}

bool CollectKnownCells(TGArray& array, double lo, double hi, TKnownCells& known)
{
  const int nx = array.GetNX(), ny = array.GetNY();
  TGIS* gis = array.GetOwner();
  if (gis == nullptr || nx <= 0 || ny <= 0 || array.GetData() == nullptr)
    return false;
  known = TKnownCells{};
  known.mask.assign(static_cast<size_t>(nx) * ny, 0);
  TCollector collector{array, known};
  if (array.BuildParams().presentValuesKnown)
    collector.PresentValues();
  for (int n = 0; n < gis->GetObjectCount(); ++n) {
    const TGObj* object = gis->GetObject(n);
    if (object == nullptr)
      continue;
    const int kind = object->GetShapeKind();
    if (kind != ShapeKindPoint && kind != ShapeKindMark && kind != ShapeKindOutline)
      continue;
    double value = 0;
    if (!object->FindReperValue(value, array.GetCode(), lo, hi))
      continue;
    if (kind == ShapeKindOutline)
      collector.Outline(*object, value);
    else
      collector.Point(*object, value);
  }
  if (array.BuildParams().fixedBoundary)
    collector.FixedBoundary();
  return collector.count > 0;
}

TFillGrid MakeFillGrid(TGArray& array)
{
  TFillGrid grid;
  grid.values = array.GetData();
  grid.nx = array.GetNX();
  grid.ny = array.GetNY();
  grid.cellWidth = array.GetCellWidth();
  grid.cellHeight = array.GetCellHeight();
  grid.columnX.resize(static_cast<size_t>(std::max(grid.nx, 0)));
  grid.rowY.resize(static_cast<size_t>(std::max(grid.ny, 0)));
  double X = 0, Y = 0;
  for (int i = 0; i < grid.nx; ++i) {
    array.GetCellCentreWorld(i, 0, X, Y);
    grid.columnX[static_cast<size_t>(i)] = X;
  }
  for (int j = 0; j < grid.ny; ++j) {
    array.GetCellCentreWorld(0, j, X, Y);
    grid.rowY[static_cast<size_t>(j)] = Y;
  }
  grid.worldX = array.GetWorldX();
  grid.worldY = array.GetWorldY();
  grid.worldWidth = array.GetWorldWidth();
  grid.worldHeight = array.GetWorldHeight();
  array.GetWorldBounds(grid.boundsX1, grid.boundsY1, grid.boundsX2, grid.boundsY2);
  return grid;
}

TRangeBuild BuildArrayRange(TGArray& array, double lo, double hi, TArrayBuildProgress& progress, TKnownCells& known)
{
  if (array.GetOwner() == nullptr || array.GetData() == nullptr)
    return TRangeBuild::NothingKnown;
  const TArraySnapshot before(array);
  if (!CollectKnownCells(array, lo, hi, known)) {
    before.Restore(array);
    return TRangeBuild::NothingKnown;
  }
  TFillGrid grid = MakeFillGrid(array);
  if (FillOpenCells(grid, known.mask, array.BuildParams(), progress))
    return TRangeBuild::Built;
  return TRangeBuild::Cancelled;
}

bool BuildArray(TGArray& array, TArrayBuildProgress& progress)
{
  return array.Build(progress);
}
