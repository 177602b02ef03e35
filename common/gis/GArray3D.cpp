#include "gis/GArray3D.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "data/FiniteValue.h"
#include "data/ArrayBuildProgress.h"
#include "data/ByteOrder.h"
#include "gis/ArrayNumeric.h"
#include "gis/GIS.h"
#include "gis/ProfileSample.h"
#include "gis/VolumeArrayEditors.h"

namespace {

int CheckedVolumeSize(int columns, int rows, int levels)
{
  const std::int64_t count = static_cast<std::int64_t>(columns) * rows * levels;
  if (count > INT32_MAX / 8)
    throw std::length_error("array volume too large");
  return static_cast<int>(count);
}

// Swaps the plane view for the whole volume for the time of a call to the
// regular array's code, which then works on every value.
class TWholeVolume {
public:
  TWholeVolume(std::vector<double>& plane, std::vector<double>& volume) : plane(plane), volume(volume)
  {
    plane.swap(volume);
  }
  ~TWholeVolume() { plane.swap(volume); }
  TWholeVolume(const TWholeVolume&) = delete;
  TWholeVolume& operator=(const TWholeVolume&) = delete;

private:
  std::vector<double>& plane;
  std::vector<double>& volume;
};

} // namespace

// --- construction ------------------------------------------------------------

TGArray3D::TGArray3D(TGIS* owner) : TGArray(owner)
{
  Init();
}

TGArray3D::TGArray3D(TGIS* owner, int columns, int rows, int levels, int quantityCode) : TGArray(owner)
{
  Init();
  SetCode(quantityCode);
  Resize(columns, rows, levels);
}

void TGArray3D::Init()
{
  SetTypeCode(ObjectTypeArray3D);
  SetKindNames("Массив 3D", "Массивы 3D");
  dz = 1.0;
  UpdateCellSize();
}

// --- plane view --------------------------------------------------------------

TVolume TGArray3D::View() const
{
  TVolume view;
  view.values = volume.empty() ? nullptr : const_cast<double*>(volume.data());
  view.ax = {x, dx, nx};
  view.ay = {y, dy, ny};
  view.az = {z, dz, nz};
  return view;
}

void TGArray3D::ShowLevel()
{
  const size_t plane = static_cast<size_t>(nx) * static_cast<size_t>(ny);
  if (volume.empty() || nz <= 0 || plane == 0 || volume.size() < plane * static_cast<size_t>(nz)) {
    values.clear();
  } else {
    const auto first = volume.begin() + static_cast<std::ptrdiff_t>(plane * static_cast<size_t>(level));
    values.assign(first, first + static_cast<std::ptrdiff_t>(plane));
  }
  cellCount = nx * ny;
  levelStale = false;
}

void TGArray3D::ShowLevelIfStale() const
{
  if (levelStale)
    const_cast<TGArray3D*>(this)->ShowLevel();
}

double* TGArray3D::PlaneData()
{
  levelStale = true; // may be written through
  return const_cast<double*>(std::as_const(*this).PlaneData());
}

const double* TGArray3D::PlaneData() const
{
  const size_t plane = static_cast<size_t>(nx) * static_cast<size_t>(ny);
  if (plane == 0 || volume.size() < plane * static_cast<size_t>(level + 1))
    return nullptr;
  return volume.data() + plane * static_cast<size_t>(level);
}

double* TGArray3D::GetVolumeData()
{
  levelStale = true;
  return volume.empty() ? nullptr : volume.data();
}

void TGArray3D::SetLevel(int k)
{
  if (k < 0 || k >= nz)
    return;
  level = k;
  ShowLevel();
}

// --- geometry ----------------------------------------------------------------

void TGArray3D::UpdateCellSize()
{
  TGArray::UpdateCellSize();
  levelDepth = nz != 0 ? dz / nz : 0;
  levelsPerDepthUnit = dz != 0 ? nz / dz : 0;
}

void TGArray3D::SetDZ(double value)
{
  TGArray::SetDZ(value);
  UpdateCellSize();
}

int TGArray3D::GetCellCount() const
{
  return nx * ny * nz;
}

void TGArray3D::Resize(int columns, int rows, int levels)
{
  columns = std::max(columns, 0);
  rows = std::max(rows, 0);
  levels = std::max(levels, 0);
  if (columns == nx && rows == ny && levels == nz)
    return;
  const int count = CheckedVolumeSize(columns, rows, levels);
  std::vector<double> fresh(static_cast<size_t>(count), 0.0);
  if (!volume.empty() && nx > 0 && ny > 0 && nz > 0) {
    size_t c = 0;
    for (int k = 0; k < levels; ++k)
      for (int j = 0; j < rows; ++j)
        for (int i = 0; i < columns; ++i)
          InterpolateAt(x + (i + 0.5) * dx / columns, y + (j + 0.5) * dy / rows, z + (k + 0.5) * dz / levels,
                        fresh[c++]);
  }
  volume.swap(fresh);
  nx = columns;
  ny = rows;
  nz = levels;
  level = 0;
  UpdateCellSize();
  ShowLevel();
}

// The plane resampling of the regular array, once per level.
void TGArray3D::SetWorldRect(double X1, double Y1, double X2, double Y2)
{
  ShowLevelIfStale();
  const size_t plane = static_cast<size_t>(nx) * static_cast<size_t>(ny);
  if (!volume.empty() && plane > 0) {
    double rx1 = X1, ry1 = Y1, rx2 = X2, ry2 = Y2;
    WorldToRelative(rx1, ry1);
    WorldToRelative(rx2, ry2);
    for (int k = 0; k < nz; ++k) {
      const auto first = volume.begin() + static_cast<std::ptrdiff_t>(plane * static_cast<size_t>(k));
      values.assign(first, first + static_cast<std::ptrdiff_t>(plane));
      ResampleOnto(rx1, ry1, rx2, ry2);
      std::copy(values.begin(), values.end(), first);
    }
  }
  SetWorldXY(X1, Y1);
  SetWorldWidth(X2 - X1);
  SetWorldHeight(Y2 - Y1);
  UpdateCellSize();
  ShowLevel();
}

bool TGArray3D::GetCellPosition(double u, double v, double w, double& fi, double& fj, double& fk, bool clamp) const
{
  bool inside = TGArray::GetCellPosition(u, v, fi, fj, clamp);
  fk = (w - z) * levelsPerDepthUnit;
  if (!(fk >= 0 && fk < nz))
    inside = false;
  if (clamp) {
    if (fk < 0)
      fk = 0;
    else if (fk >= nz)
      fk = nz - 1e-10;
  }
  return inside;
}

bool TGArray3D::GetCellIndex(double u, double v, double w, int& i, int& j, int& k, bool clamp) const
{
  double fi = 0, fj = 0, fk = 0;
  const bool inside = GetCellPosition(u, v, w, fi, fj, fk, clamp);
  i = arraynum::Trunc(fi);
  j = arraynum::Trunc(fj);
  k = arraynum::Trunc(fk);
  return inside;
}

void TGArray3D::GetCellCentre(int i, int j, int k, double& u, double& v, double& w) const
{
  i = std::clamp(i, 0, std::max(nx - 1, 0));
  j = std::clamp(j, 0, std::max(ny - 1, 0));
  k = std::clamp(k, 0, std::max(nz - 1, 0));
  u = (i + 0.5) * cellWidth + x;
  v = (j + 0.5) * cellHeight + y;
  w = z + (k + 0.5) * levelDepth;
}

bool TGArray3D::GetCellValue(int i, int j, int k, double& value) const
{
  const TVolume view = View();
  if (view.values == nullptr || !view.Contains(i, j, k)) {
    value = NoValue;
    return false;
  }
  value = view.values[view.Index(i, j, k)];
  return true;
}

bool TGArray3D::GetVolumeValueAt(double u, double v, double w, double& value) const
{
  int i = 0, j = 0, k = 0;
  if (!GetCellIndex(u, v, w, i, j, k, false)) {
    value = NoValue;
    return false;
  }
  return GetCellValue(i, j, k, value);
}

bool TGArray3D::InterpolateAt(double u, double v, double w, double& value) const
{
  return InterpolateVolume(View(), u, v, w, value);
}

double TGArray3D::GetLevelThickness() const
{
  return nz != 0 ? std::fabs(GetWorldDepth()) / nz : 0;
}

// --- values ------------------------------------------------------------------

void TGArray3D::SetData(const double* source)
{
  if (volume.empty() || source == nullptr)
    return;
  std::copy(source, source + volume.size(), volume.begin());
  ShowLevel();
  UpdateMinMax();
  AutoScaleRange();
}

void TGArray3D::Fill(double value)
{
  if (volume.empty())
    return;
  {
    TWholeVolume whole(values, volume);
    TGArray::Fill(value);
  }
  ShowLevel();
}

void TGArray3D::Clear()
{
  Fill(0.0);
}

void TGArray3D::FillVolume(double value)
{
  std::fill(volume.begin(), volume.end(), value);
  ShowLevel();
}

void TGArray3D::UpdateMinMax()
{
  if (volume.empty())
    return;
  TWholeVolume whole(values, volume);
  TGArray::UpdateMinMax();
}

void TGArray3D::AddOffset(double offset)
{
  {
    TWholeVolume whole(values, volume);
    TGArray::AddOffset(offset);
  }
  ShowLevel();
}

// --- reads through the plane view ---------------------------------------------

// Whole-picture reads take the level afresh: a caller may keep the volume's
// pointer and write through it between two refreshes of its views.
void TGArray3D::Draw(double x1, double y1, double x2, double y2, TMemBitmap* target)
{
  ShowLevel();
  TGArray::Draw(x1, y1, x2, y2, target);
}

void TGArray3D::DrawToRect(TMemBitmap* target, int left, int top, int width, int height, bool horizontal)
{
  ShowLevel();
  TGArray::DrawToRect(target, left, top, width, height, horizontal);
}

bool TGArray3D::GetValueAt(double px, double py, double& value) const
{
  value = NoValue;
  const int index = CellIndexAt(px, py);
  const size_t plane = static_cast<size_t>(nx) * static_cast<size_t>(ny);
  const size_t at = plane * static_cast<size_t>(level) + static_cast<size_t>(index);
  if (index < 0 || at >= volume.size())
    return false;
  value = volume[at];
  return true;
}

bool TGArray3D::InterpolateAt(double px, double py, double& value) const
{
  ShowLevelIfStale();
  return TGArray::InterpolateAt(px, py, value);
}

bool TGArray3D::GetProfile(double& X1, double& Y1, double& X2, double& Y2, int& n, std::vector<double>& samples,
                           std::vector<double>& distances, int mode) const
{
  const_cast<TGArray3D*>(this)->ShowLevel();
  return TGArray::GetProfile(X1, Y1, X2, Y2, n, samples, distances, mode);
}

double TGArray3D::GetAreaValue(const TGObj& object, double& area) const
{
  const_cast<TGArray3D*>(this)->ShowLevel();
  return TGArray::GetAreaValue(object, area);
}

std::string TGArray3D::GetName() const
{
  return name + ", " + std::to_string(level);
}

// --- profile -----------------------------------------------------------------

bool TGArray3D::GetProfile(double& X1, double& Y1, double& Z1, double& X2, double& Y2, double& Z2, int& n,
                           std::vector<double>& samples, std::vector<double>& positions, int mode) const
{
  samples.clear();
  positions.clear();
  if (n < 1)
    return false;
  WorldToRelative(X1, Y1);
  WorldToRelative(X2, Y2);
  WorldToRelativeZ(Z1);
  WorldToRelativeZ(Z2);
  const TProfileLine line(X1, Y1, Z1, X2, Y2, Z2, n, GetScaleX(), GetScaleY(), GetScaleZ());
  if (line.Degenerate())
    return false;
  samples.reserve(static_cast<size_t>(n) + 1);
  positions.reserve(static_cast<size_t>(n) + 1);
  long previousCell = -1;
  const TVolume view = View();
  for (int s = 0; s <= n; ++s) {
    double px, py, pz;
    line.PointAt(s, px, py, pz);
    double qx = px, qy = py, qz = pz, value = NoValue;
    bool replace = false;
    if (mode == ProfileCellCentres) {
      int i = 0, j = 0, k = 0;
      long cell = -1;
      if (GetCellIndex(px, py, pz, i, j, k, false) && view.Contains(i, j, k)) {
        cell = view.Index(i, j, k);
        double cx = 0, cy = 0, cz = 0;
        GetCellCentre(i, j, k, cx, cy, cz);
        line.Project(cx, cy, cz, qx, qy, qz);
        replace = cell == previousCell && !samples.empty();
        GetCellValue(i, j, k, value);
      } else {
        GetVolumeValueAt(px, py, pz, value);
      }
      previousCell = cell;
    } else if (mode == ProfileInterpolated) {
      InterpolateAt(px, py, pz, value);
    } else {
      GetVolumeValueAt(px, py, pz, value);
    }
    AddProfileSample(samples, positions, value, line.DistanceTo(qx, qy, qz), replace);
  }
  n = static_cast<int>(samples.size());
  return true;
}

// --- text transfer -----------------------------------------------------------

// Files carry world coordinates, the ones users can place and read: the
// relative ones mean nothing outside the project.
TVolume TGArray3D::WorldView() const
{
  TVolume view = View();
  view.ax = {GetWorldX(), GetWorldWidth(), nx};
  view.ay = {GetWorldY(), GetWorldHeight(), ny};
  view.az = {GetWorldZ(), GetLevelThickness() * nz, nz};
  return view;
}

bool TGArray3D::ExportText(int i1, int j1, int k1, int i2, int j2, int k2, int mode, const std::string& fileName) const
{
  return ExportVolumeText(WorldView(), {i1, j1, k1, i2, j2, k2}, mode, fileName);
}

bool TGArray3D::ImportText(int i1, int j1, int k1, int i2, int j2, int k2, int mode, const std::string& fileName,
                           std::string& why)
{
  TVolume view = WorldView();
  const bool done = ImportVolumeText(view, {i1, j1, k1, i2, j2, k2}, mode, fileName, why);
  ShowLevel();
  return done;
}

// --- building ----------------------------------------------------------------

// Level k holds the world depths from the array's top down to k and k + 1
// levels below it; the last level reaches a little further, so that values at
// the full depth are taken.
void TGArray3D::BuildLevelRange(int k, double thickness, TArrayBuildProgress& progress, std::vector<bool>& built)
{
  const double top = GetWorldZ();
  const double sign = GetWorldDepth() < 0 ? -1.0 : 1.0;
  const double farFactor = k == nz - 1 ? k + 1.000001 : k + 1.0;
  double lo = top + sign * k * thickness;
  double hi = top + sign * farFactor * thickness;
  if (lo > hi)
    std::swap(lo, hi);
  progress.SetSubStep(k);
  // The build works on the plane, which is level k for its time.
  const int shown = level;
  level = k;
  built[static_cast<size_t>(k)] = BuildRange(lo, hi, progress);
  level = shown;
}

bool TGArray3D::Build(TArrayBuildProgress& progress)
{
  if (volume.empty() || nx <= 0 || ny <= 0 || nz <= 0)
    return false;
  ShowLevelIfStale();
  const double thickness = GetLevelThickness();
  progress.SetSubStepCount(nz);
  std::vector<bool> built(static_cast<size_t>(nz), false);
  for (int k = 0; k < nz; ++k)
    BuildLevelRange(k, thickness, progress, built);
  TVolume view = View();
  FillFailedLevels(view, built, levelFillMode);
  UpdateMinMax();
  AutoScaleRange();
  ShowLevel();
  return std::find(built.begin(), built.end(), true) != built.end();
}

// --- persistence -------------------------------------------------------------

void TGArray3D::Save(TTagStream& stream) const
{
  stream.SetGroup(TagGroup::Array3D);
  stream.WriteInt(nz);
  stream.WriteInt(level);
  stream.WriteInt(levelFillMode);
  auto* self = const_cast<TGArray3D*>(this);
  TWholeVolume whole(self->values, self->volume);
  TGArray::Save(stream);
}

// The regular array's reader takes only nx * ny values; the volume's block is
// read again here with the level count.
bool TGArray3D::ReadVolumeGrid(TTagStream& stream)
{
  stream.SetGroup(TagGroup::Array);
  std::int32_t columns = 0, rows = 0;
  stream.Read(columns, 0);
  stream.Read(rows, 1);
  std::vector<std::uint8_t> bytes;
  const bool present = stream.ReadBlock(bytes, 2);
  double maximum = 0, minimum = 0;
  stream.Read(maximum, 3);
  stream.Read(minimum, 4);
  const std::int64_t cells = static_cast<std::int64_t>(columns) * rows * nz;
  if (!present || columns < 0 || rows < 0 || nz < 0 || cells <= 0 || cells > INT32_MAX / 8 ||
      static_cast<std::int64_t>(bytes.size()) != cells * 8)
    return false;
  volume.resize(static_cast<size_t>(cells));
  for (size_t c = 0; c < volume.size(); ++c)
    volume[c] = GetDoubleLE(bytes.data() + 8 * c);
  RequireFiniteCells(volume.data(), volume.size(), name);
  nx = columns;
  ny = rows;
  dataMax = maximum;
  dataMin = minimum;
  return true;
}

void TGArray3D::Load(TTagStream& stream)
{
  stream.SetGroup(TagGroup::Array3D);
  stream.Read(nz);
  stream.Read(level);
  stream.Read(levelFillMode);
  // nz is not checked yet (the volume grid below does that): compare in 64 bits
  // so a damaged count cannot overflow.
  level = static_cast<int>(std::max<long long>(0, std::min<long long>(level, static_cast<long long>(nz) - 1)));
  TGArray::Load(stream);
  if (!ReadVolumeGrid(stream)) {
    volume.clear();
    nx = ny = nz = 0;
    level = 0;
  } else if (settings.rangeMin == 0 && settings.rangeMax == 0) {
    settings.rangeMin = dataMin;
    settings.rangeMax = dataMax;
  }
  level = std::max(level, 0);
  UpdateCellSize();
  ShowLevel();
}

void TGArray3D::LoadGeometry(TTagStream& stream)
{
  stream.SetGroup(TagGroup::Array3D);
  stream.Read(nz);
  TGArray::LoadGeometry(stream);
  if (!ReadVolumeGrid(stream)) {
    volume.clear();
    nx = ny = nz = 0;
  }
  level = std::clamp(level, 0, std::max(nz - 1, 0));
  UpdateCellSize();
  ShowLevel();
}

// --- editors -----------------------------------------------------------------

bool TGArray3D::Edit()
{
  TVolumeArrayEditorHooks* hooks = GetVolumeArrayEditorHooks();
  if (hooks == nullptr)
    return false;
  const bool accepted = hooks->EditArray3DData(*this);
  ShowLevel();
  if (!accepted)
    return false;
  NotifyOwnerChanged();
  return true;
}

TEditorFrame* TGArray3D::CreateEditorFrame(bool /*fromKeptValues*/, bool multiple, QWidget* owner)
{
  TVolumeArrayEditorHooks* hooks = GetVolumeArrayEditorHooks();
  return hooks ? hooks->CreateArray3DFrame(*this, multiple, owner) : nullptr;
}

void TGArray3D::ApplyEditorFrame(TEditorFrame* frame)
{
  ApplyOwnFrame<TArray3DFrame>(frame, *this);
}

void TGArray3D::FillEditorFrame(TEditorFrame* frame, bool /*fromKeptValues*/, bool multiple)
{
  FillOwnFrame<TArray3DFrame>(frame, *this, multiple);
}
