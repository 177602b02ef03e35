#include "gis/GArray.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "data/SLine.h"
#include "gis/ArrayEditors.h"
#include "gis/ArrayNumeric.h"
#include "gis/GIS.h"
#include "gis/ProfileSample.h"

namespace {

// A walk along an outline segment never takes more steps than this: an absurd
// outline (from a damaged file) must not stall the probe.
constexpr std::int64_t MaxOutlineSteps = 10'000'000;

int CheckedCellCount(int columns, int rows)
{
  const std::int64_t count = static_cast<std::int64_t>(columns) * rows;
  if (count > INT32_MAX / 8)
    throw std::length_error("array grid too large");
  return static_cast<int>(count);
}

} // namespace

// --- construction ------------------------------------------------------------

TGArray::TGArray(TGIS* owner) : TGRect(owner)
{
  Init();
}

TGArray::TGArray(TGIS* owner, int columns, int rows, int quantityCode) : TGRect(owner)
{
  Init();
  SetCode(quantityCode);
  Resize(columns, rows);
}

TGArray::~TGArray() = default;

void TGArray::Init()
{
  SetTypeCode(ObjectTypeArray);
  SetKindNames("Массив", "Массивы");
  settings.fillType = FillTransparencyRamp;
  settings.levels = nullptr;
  settings.levelCount = 0;
  settings.fillColor1 = 0xFF0000;
  settings.fillColor2 = 0x0000FF;
  settings.contourColor1 = 0;
  settings.contourColor2 = 0;
  settings.transparency1 = 0x8888;
  settings.transparency2 = 0x8888;
  settings.rangeMin = 0.0;
  settings.rangeMax = 0.0;
  settings.steppedFill = 0;
  settings.fillMix = 2;
  settings.contoursOn = 1;
  settings.contourMix = 0;
  settings.labelThin = 1;
  settings.labelBold = 1;
  settings.labelSpacing = 137;
  settings.labelStart = 70;
  settings.labelFactor = 1.0;
  settings.labelSubtrahend = 0.0;
  settings.labelFont = nullptr;
  settings.gridOn = 0;
  settings.gridColor = 0x008000;
  SetLevelScheme(LevelSchemeCount, 10, 100.0, 10.0, 2, 4, 1, 2);
  averagingFlag = 1;
}

// --- geometry ----------------------------------------------------------------

void TGArray::UpdateCellSize()
{
  cellWidth = nx != 0 ? dx / nx : 0;
  inverseCellWidth = dx != 0 ? nx / dx : 0;
  cellHeight = ny != 0 ? dy / ny : 0;
  inverseCellHeight = dy != 0 ? ny / dy : 0;
}

void TGArray::SetOrigin(double newX, double newY)
{
  TGRect::SetOrigin(newX, newY);
  UpdateCellSize();
}

void TGArray::SetFarCorner(double farX, double farY)
{
  TGRect::SetFarCorner(farX, farY);
  UpdateCellSize();
}

void TGArray::SetDX(double value)
{
  TGRect::SetDX(value);
  UpdateCellSize();
}

void TGArray::SetDY(double value)
{
  TGRect::SetDY(value);
  UpdateCellSize();
}

void TGArray::SetRelativeRect(double x1, double y1, double x2, double y2)
{
  TGRect::SetRelativeRect(x1, y1, x2, y2);
  UpdateCellSize();
}

void TGArray::SetWorldRect(double X1, double Y1, double X2, double Y2)
{
  if (!values.empty() && nx != 0 && ny != 0) {
    double rx1 = X1, ry1 = Y1, rx2 = X2, ry2 = Y2;
    WorldToRelative(rx1, ry1);
    WorldToRelative(rx2, ry2);
    ResampleOnto(rx1, ry1, rx2, ry2);
  }
  SetWorldXY(X1, Y1);
  SetWorldWidth(X2 - X1);
  SetWorldHeight(Y2 - Y1);
  UpdateCellSize();
}

// The old grid is read before the rectangle changes.
void TGArray::ResampleOnto(double rx1, double ry1, double rx2, double ry2)
{
  std::vector<double> fresh(values.size());
  for (int j = 0; j < ny; ++j)
    for (int i = 0; i < nx; ++i) {
      const double px = rx1 + (i + 0.5) * (rx2 - rx1) / nx, py = ry1 + (j + 0.5) * (ry2 - ry1) / ny;
      double& cell = fresh[static_cast<size_t>(j) * nx + i];
      if (holdsCodes) {
        int oi = 0, oj = 0;
        GetCellIndices(px, py, oi, oj, true);
        cell = values[static_cast<size_t>(std::clamp(oj, 0, ny - 1)) * nx + std::clamp(oi, 0, nx - 1)];
      } else {
        InterpolateAt(px, py, cell);
      }
    }
  values.swap(fresh);
}

int TGArray::GetCellCount() const
{
  return nx * ny;
}

bool TGArray::GetCellPosition(double px, double py, double& u, double& v, bool clamp) const
{
  u = (px - x) * inverseCellWidth;
  v = (py - y) * inverseCellHeight;
  bool inside = true;
  if (u < 0) {
    inside = false;
    if (clamp)
      u = 0;
  } else if (u >= nx) {
    inside = false;
    if (clamp)
      u = nx - 1e-10;
  } else if (std::isnan(u)) {
    inside = false;
  }
  if (v < 0) {
    inside = false;
    if (clamp)
      v = 0;
  } else if (v >= ny) {
    inside = false;
    if (clamp)
      v = ny - 1e-10;
  } else if (std::isnan(v)) {
    inside = false;
  }
  return inside;
}

bool TGArray::GetCellIndices(double px, double py, int& i, int& j, bool clamp) const
{
  double u, v;
  const bool inside = GetCellPosition(px, py, u, v, clamp);
  i = arraynum::Trunc(u);
  j = arraynum::Trunc(v);
  return inside;
}

int TGArray::CellIndexAt(double px, double py) const
{
  const int i = arraynum::Trunc((px - x) * inverseCellWidth);
  if (i < 0 || i >= nx)
    return -1;
  const int j = arraynum::Trunc((py - y) * inverseCellHeight);
  if (j < 0 || j >= ny)
    return -1;
  return j * nx + i;
}

double TGArray::GetCellWorldWidth() const
{
  return nx != 0 ? std::fabs(GetWorldWidth()) / nx : 0;
}

double TGArray::GetCellWorldHeight() const
{
  return ny != 0 ? std::fabs(GetWorldHeight()) / ny : 0;
}

double TGArray::GetCellArea() const
{
  return GetCellWorldWidth() * GetCellWorldHeight();
}

void TGArray::GetCellCentreWorld(int i, int j, double& X, double& Y) const
{
  i = std::clamp(i, 0, std::max(nx - 1, 0));
  j = std::clamp(j, 0, std::max(ny - 1, 0));
  RelativeToWorld((i + 0.5) * cellWidth + x, (j + 0.5) * cellHeight + y, X, Y);
}

// --- values ------------------------------------------------------------------

void TGArray::Resize(int columns, int rows)
{
  columns = std::max(columns, 0);
  rows = std::max(rows, 0);
  if (columns == nx && rows == ny)
    return;
  const int count = CheckedCellCount(columns, rows);
  std::vector<double> fresh(static_cast<size_t>(count), 0.0);
  if (!values.empty() && nx > 0 && ny > 0) {
    for (int j = 0; j < rows; ++j)
      for (int i = 0; i < columns; ++i)
        InterpolateAt(x + (i + 0.5) * dx / columns, y + (j + 0.5) * dy / rows,
                      fresh[static_cast<size_t>(j) * columns + i]);
  }
  values.swap(fresh);
  nx = columns;
  ny = rows;
  cellCount = count;
  UpdateCellSize();
}

bool TGArray::GetValueAt(double px, double py, double& value) const
{
  value = NoValue;
  const int index = CellIndexAt(px, py);
  if (index < 0 || values.empty())
    return false;
  value = values[static_cast<size_t>(index)];
  return true;
}

bool TGArray::GetValueAtWorld(double X, double Y, double& value) const
{
  double u, v;
  WorldToRelative(X, Y, u, v);
  return GetValueAt(u, v, value);
}

bool TGArray::InterpolateAtWorld(double X, double Y, double& value) const
{
  double u, v;
  WorldToRelative(X, Y, u, v);
  return InterpolateAt(u, v, value) && !IsNoValue(value);
}

bool TGArray::InterpolateAt(double px, double py, double& value) const
{
  double u, v;
  const bool inside = GetCellPosition(px, py, u, v, false);
  value = NoValue;
  if (values.empty() || nx <= 0 || ny <= 0)
    return inside;
  const double shiftedX = px - cellWidth / 2;
  const double shiftedY = py - cellHeight / 2;
  int i, j;
  GetCellIndices(shiftedX, shiftedY, i, j, false);
  double fx = (shiftedX - x - i * cellWidth) * inverseCellWidth;
  double fy = (shiftedY - y - j * cellHeight) * inverseCellHeight;
  // An axis of one cell has no second centre to lean on: its only cell holds
  // the value everywhere along it.
  auto clampAxis = [](int& index, double& fraction, int cells) {
    if (cells == 1) {
      index = 0;
      fraction = 0;
      return;
    }
    if (index < 0) {
      index = 0;
      fraction = 0;
    } else if (index >= cells - 1) {
      index = cells - 2;
      fraction = 1;
    }
  };
  clampAxis(i, fx, nx);
  clampAxis(j, fy, ny);
  const int i2 = nx > 1 ? i + 1 : i;
  const int j2 = ny > 1 ? j + 1 : j;
  auto at = [&](int ci, int cj) { return values[static_cast<size_t>(cj) * nx + ci]; };
  const double v00 = at(i, j), v10 = at(i2, j), v01 = at(i, j2), v11 = at(i2, j2);
  if (IsNoValue(v00) || IsNoValue(v10) || IsNoValue(v01) || IsNoValue(v11))
    return inside;
  value = (1 - fy) * ((1 - fx) * v00 + fx * v10) + fy * ((1 - fx) * v01 + fx * v11);
  return inside;
}

bool TGArray::GetProfile(double& X1, double& Y1, double& X2, double& Y2, int& n, std::vector<double>& samples,
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
  const double stepX = (X2 - X1) / n;
  const double stepY = (Y2 - Y1) / n;
  if (stepX == 0 && stepY == 0)
    return false;
  const double lineX = X2 - X1, lineY = Y2 - Y1;
  const double lineLength2 = lineX * lineX + lineY * lineY;
  samples.reserve(static_cast<size_t>(n) + 1);
  distances.reserve(static_cast<size_t>(n) + 1);
  int previousCell = -1;
  for (int k = 0; k <= n; ++k) {
    const double px = X1 + k * stepX;
    const double py = Y1 + k * stepY;
    double qx = px, qy = py, value = NoValue;
    bool replace = false;
    if (mode == ProfileCellCentres) {
      const int cell = CellIndexAt(px, py);
      if (cell >= 0) {
        const double cx = (cell % nx + 0.5) * cellWidth + x;
        const double cy = (cell / nx + 0.5) * cellHeight + y;
        const double t = ((cx - X1) * lineX + (cy - Y1) * lineY) / lineLength2;
        qx = X1 + t * lineX;
        qy = Y1 + t * lineY;
        replace = cell == previousCell && !samples.empty();
      }
      previousCell = cell;
      GetValueAt(qx, qy, value);
    } else if (mode == ProfileInterpolated) {
      InterpolateAt(qx, qy, value);
    } else {
      GetValueAt(qx, qy, value);
    }
    const double distance = std::sqrt((X1 - qx) * (X1 - qx) * sx2 + (Y1 - qy) * (Y1 - qy) * sy2);
    AddProfileSample(samples, distances, value, distance, replace);
  }
  n = static_cast<int>(samples.size());
  return true;
}

void TGArray::SetRecordedMinMax(double minimum, double maximum)
{
  dataMin = minimum;
  dataMax = maximum;
}

void TGArray::UpdateMinMax()
{
  if (values.empty())
    return;
  double minimum = NoValue, maximum = NoValueNegative;
  for (double v : values) {
    if (IsNoValue(v))
      continue;
    minimum = std::min(minimum, v);
    maximum = std::max(maximum, v);
  }
  if (minimum == NoValue)
    minimum = maximum = 0;
  SetRecordedMinMax(minimum, maximum);
}

void TGArray::SetData(const double* source)
{
  if (values.empty() || source == nullptr)
    return;
  std::copy(source, source + values.size(), values.begin());
  UpdateMinMax();
  AutoScaleRange();
}

void TGArray::Fill(double value)
{
  if (values.empty())
    return;
  std::fill(values.begin(), values.end(), value);
  SetRecordedMinMax(value, value);
  AutoScaleRange();
}

void TGArray::Clear()
{
  Fill(0.0);
}

void TGArray::AddOffset(double offset)
{
  for (double& v : values)
    v += offset;
  dataMin += offset;
  dataMax += offset;
}

void TGArray::SetLevelNames(const std::vector<std::string>* names)
{
  valueNames.clear();
  if (names != nullptr && !names->empty())
    valueNames = *names;
  else
    valueNames.push_back(name);
}

// Cells on the outline and the cells it encloses; the outside is found in one
// pass from the grid's border, row by row.
double TGArray::GetAreaValue(const TGObj& object, double& area) const
{
  area = 0;
  if (values.empty() || nx <= 0 || ny <= 0)
    return 0;
  TSLine outline;
  object.GetOutline(outline);
  std::vector<std::uint8_t> onOutline(values.size(), 0);
  auto mark = [&](double px, double py) {
    const int cell = CellIndexAt(px, py);
    if (cell >= 0)
      onOutline[static_cast<size_t>(cell)] = 1;
  };
  const double stepLength = 0.4 * std::min(std::fabs(cellWidth), std::fabs(cellHeight));
  auto walk = [&](const TSPoint& a, const TSPoint& b) {
    mark(a.x, a.y);
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    const std::int64_t steps =
        std::min<std::int64_t>(arraynum::ClampedTrunc(length / stepLength, 0, INT32_MAX), MaxOutlineSteps);
    for (std::int64_t k = 1; k <= steps; ++k) {
      const double t = static_cast<double>(k) / static_cast<double>(steps);
      mark(a.x + t * (b.x - a.x), a.y + t * (b.y - a.y));
    }
  };
  const auto& points = outline.Points();
  for (size_t k = 1; k < points.size(); ++k)
    walk(points[k - 1], points[k]);
  if (outline.Closed() && !points.empty())
    walk(points.back(), points.front());

  std::vector<std::uint8_t> outside(values.size(), 0);
  double sum = 0;
  int inside = 0, withValue = 0;
  for (int j = 0; j < ny; ++j) {
    for (int i = 0; i < nx; ++i) {
      const size_t c = static_cast<size_t>(j) * nx + i;
      if (!onOutline[c]) {
        const bool border = i == 0 || j == 0 || i == nx - 1 || j == ny - 1;
        outside[c] = border || outside[c - nx] || outside[c - 1];
      }
      if (outside[c])
        continue;
      ++inside;
      // A cell without a value covers area but has nothing to add.
      if (!IsNoValue(values[c])) {
        sum += values[c];
        ++withValue;
      }
    }
  }
  area = inside * GetCellArea();
  if (averagingFlag == 1)
    return withValue != 0 ? sum / withValue : 0;
  return sum;
}

// --- object browser and editors -------------------------------------------------

int TGArray::GetTreePathLength() const
{
  return valueNames.empty() ? 2 : static_cast<int>(valueNames.size()) + 1;
}

std::string TGArray::GetTreePathText(int level) const
{
  if (level == 0)
    return GetTypePluralName();
  if (level < 1)
    return std::string();
  return level - 1 < static_cast<int>(valueNames.size()) ? valueNames[static_cast<size_t>(level - 1)] : name;
}

bool TGArray::Edit()
{
  TArrayEditorHooks* hooks = GetArrayEditorHooks();
  if (hooks == nullptr || !hooks->EditArrayData(*this))
    return false;
  NotifyOwnerChanged();
  return true;
}

TEditorFrame* TGArray::CreateEditorFrame(bool /*fromKeptValues*/, bool multiple, QWidget* owner)
{
  TArrayEditorHooks* hooks = GetArrayEditorHooks();
  return hooks ? hooks->CreateArrayFrame(*this, multiple, owner) : nullptr;
}

void TGArray::ApplyEditorFrame(TEditorFrame* frame)
{
  ApplyOwnFrame<TArrayFrame>(frame, *this);
}

void TGArray::FillEditorFrame(TEditorFrame* frame, bool /*fromKeptValues*/, bool multiple)
{
  FillOwnFrame<TArrayFrame>(frame, *this, multiple);
}
