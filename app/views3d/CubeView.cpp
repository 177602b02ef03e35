#include "views3d/CubeView.h"

#include "mesh/Geometry3D.h"

#include <algorithm>
#include <cmath>
#include <cstring>

TCubeView::TCubeView()
{
  for (int s = 0; s < CubeSectionSlots; ++s) {
    CubeIdentity(SectionMatrices[s]);
    const double base[4] = {0, 0, 1, 0};
    std::copy(base, base + 4, SectionPlanesLocal[s]);
    std::copy(base, base + 4, SectionPlanes[s]);
  }
  SetAxesScale(1, 1, 1);
  std::memcpy(BoxCornersView, BoxCornersScaled, sizeof BoxCornersView);
  SetCameraDistance(5.0);
  Marker = CubeReadyMarker;
}

template <class Fn> void TCubeView::ForSections(int32_t section, Fn fn)
{
  if (section == -1) {
    for (int s = 0; s < SectionCount; ++s)
      fn(s);
  } else if (section >= 0 && section < CubeSectionSlots) {
    fn(section);
  }
}

// ---- Data ----

void TCubeView::SetData(const double* values, int32_t valueParam, int32_t nx, int32_t ny, int32_t nz,
                        double extentX, double extentY, double extentZ, bool autoRange, double* rangeMin,
                        double* rangeMax, const TArrayDrawSettings* settings, const TCubeMeshSource* meshSource)
{
  FreeData();
  ++DataGeneration;
  Values = values;
  ValueParam = valueParam;
  Nx = std::max(nx, 0), Ny = std::max(ny, 0), Nz = std::max(nz, 0);
  if (Nx != 0 || Ny != 0 || Nz != 0) {
    const size_t total = static_cast<size_t>(Nx) * Ny * Nz;
    if (autoRange || !rangeMin || !rangeMax) {
      const TCubeValueRange range = values ? CubeAutoRange(values, total) : TCubeValueRange{};
      ValueMin = range.min;
      ValueMax = range.max;
      if (rangeMin && rangeMax)
        *rangeMin = range.min, *rangeMax = range.max;
    } else {
      ValueMin = *rangeMin;
      ValueMax = *rangeMax;
    }
    AxisDirX = extentX > 0 ? 1 : -1;
    AxisDirY = extentY > 0 ? 1 : -1;
    AxisDirZ = extentZ > 0 ? 1 : -1;
    const int dirs[3] = {AxisDirX, AxisDirY, AxisDirZ};
    ValueCodes = CubeValueCodes(values, Nx, Ny, Nz, dirs, ValueMin, ValueMax);
    ResampleX = CubeResampleTable(Nx, ResampleCountX, 1);
    ResampleY = CubeResampleTable(Ny, ResampleCountY, Nx);
    ResampleZ = CubeResampleTable(Nz, ResampleCountZ, Nx * Ny);
  }
  auto half = [](double extent) { return std::isfinite(extent) ? std::fabs(extent) / 2 : 0.0; };
  HalfExtentX = half(extentX), HalfExtentY = half(extentY), HalfExtentZ = half(extentZ);
  MeshSource = meshSource;
  DrawLevels.clear();
  DrawSettings = settings ? *settings : TArrayDrawSettings{};
  if (settings && settings->levelCount >= 1 && settings->levels)
    DrawLevels.assign(settings->levels, settings->levels + settings->levelCount);
  DrawSettings.levels = DrawLevels.empty() ? nullptr : DrawLevels.data();
  DrawSettings.levelCount = static_cast<int32_t>(DrawLevels.size());
  MarkSectionsStale();
  ApplyAxesProportion(ProportionFactor);
}

void TCubeView::FreeData()
{
  ValueCodes.clear();
  ResampleX.clear();
  ResampleY.clear();
  ResampleZ.clear();
}

namespace {

// Copies records into their end points (6 per record) and their drawing styles.
template <class Record, class Style, class StyleOf>
int32_t CopyRecords(const Record* records, int32_t count, std::vector<double>& points, std::vector<Style>& styles,
                    StyleOf styleOf)
{
  count = records ? std::max(count, 0) : 0;
  points.resize(static_cast<size_t>(count) * 6);
  styles.resize(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    const Record& r = records[i];
    const double ends[6] = {r.x1, r.y1, r.z1, r.x2, r.y2, r.z2};
    std::copy(ends, ends + 6, &points[6 * static_cast<size_t>(i)]);
    styles[static_cast<size_t>(i)] = styleOf(r);
  }
  return count;
}

} // namespace

void TCubeView::SetSegments(const CubeViewSegment* records, int32_t count)
{
  SegmentCount = CopyRecords(records, count, SegmentsCube, SegmentStyles, [](const CubeViewSegment& r) {
    return CubeSegmentStyle{r.width * r.width, r.colour, r.opacity};
  });
  UpdateScaledPoints();
  UpdateGeometry();
}

void TCubeView::SetBodies(const CubeViewBody* records, int32_t count)
{
  BodyCount = CopyRecords(records, count, BodyCoords, BodyStyles, [](const CubeViewBody& r) {
    return CubeBodyStyle{r.kind, r.radius1, r.radius2, r.opacity, r.colour};
  });
  UpdateScaledPoints();
}

void TCubeView::SetSectionPositions(const CubeSectionPosition* records, int32_t count)
{
  SectionPositions.clear();
  if (records && count > 0)
    SectionPositions.assign(records, records + count);
  for (CubeSectionPosition& p : SectionPositions)
    p.name[sizeof p.name - 1] = 0;
  SectionPositionsChanged();
}

// ---- Axes ----

void TCubeView::UpdateScaledPoints()
{
  const double scales[3] = {AxisScaleX, AxisScaleY, AxisScaleZ};
  auto scale = [&scales](const std::vector<double>& from, std::vector<double>& to) {
    to.resize(from.size());
    for (size_t i = 0; i < from.size(); ++i)
      to[i] = from[i] * scales[i % 3];
  };
  scale(SegmentsCube, SegmentsScaled);
  scale(BodyCoords, BodyCoordsScaled);
}

void TCubeView::SetAxesScale(double sx, double sy, double sz)
{
  auto valid = [](double s) { return s > 0 && s <= 1; };
  AxisScaleX = valid(sx) ? sx : 1;
  AxisScaleY = valid(sy) ? sy : 1;
  AxisScaleZ = valid(sz) ? sz : 1;
  const double scales[3] = {AxisScaleX, AxisScaleY, AxisScaleZ};
  for (int c = 0; c < 8; ++c)
    for (int i = 0; i < 3; ++i)
      BoxCornersScaled[c][i] = CubeBoxCorners[c][i] * scales[i];
  UpdateScaledPoints();
  MarkSectionsStale();
}

void TCubeView::GetAxesScale(double* sx, double* sy, double* sz) const
{
  *sx = AxisScaleX, *sy = AxisScaleY, *sz = AxisScaleZ;
}

void TCubeView::ApplyAxesProportion(double factor)
{
  if (HalfExtentX == 0 || HalfExtentY == 0 || HalfExtentZ == 0 || !std::isfinite(factor))
    return;
  const double m = std::max({HalfExtentX, HalfExtentY, HalfExtentZ});
  ProportionFactor = factor;
  auto power = [factor, m](double h) { return std::exp(factor * std::log(h / m)); };
  SetAxesScale(power(HalfExtentX), power(HalfExtentY), power(HalfExtentZ));
}

void TCubeView::SetAxesProportion(double factor)
{
  ApplyAxesProportion(factor);
  UpdateGeometry();
  Redraw();
}

void TCubeView::UpdateGeometry()
{
  for (int c = 0; c < 8; ++c)
    Matrix3Apply(BoxCornersView[c], Rotation, BoxCornersScaled[c]);
  SegmentsView.resize(SegmentsScaled.size());
  for (size_t i = 0; i + 2 < SegmentsScaled.size(); i += 3)
    Matrix3Apply(&SegmentsView[i], Rotation, &SegmentsScaled[i]);
  for (int s = 0; s < SectionCount; ++s)
    UpdateSectionNormals(s);
}

// ---- Sections ----

void TCubeView::UpdateSectionNormals(int32_t section)
{
  const double up[3] = {0, 0, 1};
  Matrix3Apply(SectionPlanesLocal[section], SectionMatrices[section], up);
  Matrix3Apply(SectionPlanes[section], Rotation, SectionPlanesLocal[section]);
}

void TCubeView::MarkSectionsStale()
{
  for (int s = 0; s < SectionCount; ++s)
    SectionStale[s] = true;
}

void TCubeView::SetSectionCount(int32_t n)
{
  if (n < 0 || n >= CubeSectionSlots)
    return;
  if (n < SectionCount) {
    SectionCount = n;
    if (CurrentSection >= n)
      CurrentSection = n - 1;
  } else {
    for (int s = SectionCount; s < n; ++s) {
      UpdateSectionNormals(s);
      SectionStale[s] = true;
    }
    SectionCount = n;
  }
  Redraw();
}

void TCubeView::SetCurrentSection(int32_t i)
{
  CurrentSection = SectionInUse(i) ? i : -1;
}

int32_t TCubeView::HorizonCount() const
{
  const TIrregularMesh* mesh = MeshSource ? MeshSource->Mesh() : nullptr;
  return mesh ? mesh->layerCount : 0;
}

void TCubeView::SetHorizon(int32_t h)
{
  Horizon = (h >= 0 && MeshSource && h < HorizonCount()) ? h : -1;
  Redraw();
}

void TCubeView::GetSectionPlane(double matrix[9], double* shift) const
{
  const int s = SectionInUse(CurrentSection) ? CurrentSection : 0;
  std::copy(SectionMatrices[s], SectionMatrices[s] + 9, matrix);
  *shift = SectionPlanes[s][3];
}

void TCubeView::RotateSections(int32_t section, const double r[9], int how)
{
  ForSections(section, [&](int s) {
    double m[9];
    double* matrix = SectionMatrices[s];
    if (how == 1) {
      Matrix3Multiply(m, r, matrix);
    } else if (how == 2) {
      Matrix3Multiply(m, matrix, r);
    } else {
      double inverse[9], a[9], b[9];
      Matrix3Invert(Rotation, inverse);
      Matrix3Multiply(a, inverse, r);
      Matrix3Multiply(b, a, Rotation);
      Matrix3Multiply(m, b, matrix);
    }
    std::copy(m, m + 9, matrix);
    SectionStale[s] = true;
    UpdateSectionNormals(s);
  });
}

void TCubeView::RotateSectionsX(int32_t section, double a, int how)
{
  double r[9];
  CubeRotationX(a, r);
  RotateSections(section, r, how);
}

void TCubeView::RotateSectionsZ(int32_t section, double a, int how)
{
  double r[9];
  CubeRotationZ(a, r);
  RotateSections(section, r, how);
}

void TCubeView::SetSectionAngles(int32_t section, double theta, double phi)
{
  double rx[9], rz[9];
  CubeRotationX(theta, rx);
  CubeRotationZ(phi, rz);
  ForSections(section, [&](int s) {
    Matrix3Multiply(SectionMatrices[s], rz, rx);
    SectionStale[s] = true;
  });
  UpdateGeometry();
}

void TCubeView::GetSectionAngles(int32_t section, double* theta, double* phi, double* shift) const
{
  if (section < 0 || section >= CubeSectionSlots) {
    *theta = *phi = *shift = 0;
    return;
  }
  const double* m = SectionMatrices[section];
  *theta = std::atan2(m[7], m[8]);
  *phi = std::atan2(m[3], m[0]);
  *shift = SectionPlanes[section][3];
}

void TCubeView::SetSectionOrientation(int32_t section, double theta, double phi, double shift)
{
  SetSectionAngles(section, theta, phi);
  ForSections(section, [&](int s) { SectionPlanesLocal[s][3] = SectionPlanes[s][3] = shift; });
}

void TCubeView::ApplySectionPosition(int32_t index)
{
  if (!SectionInUse(CurrentSection) || index < 0 || index >= static_cast<int32_t>(SectionPositions.size()))
    return;
  const CubeSectionPosition& p = SectionPositions[static_cast<size_t>(index)];
  std::copy(p.matrix, p.matrix + 9, SectionMatrices[CurrentSection]);
  SectionPlanesLocal[CurrentSection][3] = SectionPlanes[CurrentSection][3] = p.shift;
  SectionStale[CurrentSection] = true;
  UpdateGeometry();
  Redraw();
}

void TCubeView::SetSectionColour(int32_t section, COLORREF colour)
{
  if (SectionInUse(section))
    SectionColour[section] = colour & 0xFFFFFF;
}

void TCubeView::SetSectionTransparency(int32_t section, double percent)
{
  if (!SectionInUse(section) || std::isnan(percent))
    return;
  const double opacity = std::clamp((1 - 0.01 * percent) * 65536, 0.0, 65536.0);
  SectionOpacity[section] = static_cast<int32_t>(opacity);
}

double TCubeView::GetSectionTransparency(int32_t section) const
{
  return SectionInUse(section) ? 100 - 100.0 * SectionOpacity[section] / 65536 : 0;
}

// ---- Rotation ----

void TCubeView::RotateZ(double a)
{
  double r[9], m[9];
  CubeRotationZ(a, r);
  Matrix3Multiply(m, Rotation, r);
  std::copy(m, m + 9, Rotation);
  UpdateGeometry();
}

void TCubeView::RotateX(double a)
{
  double r[9], m[9];
  CubeRotationX(a, r);
  Matrix3Multiply(m, r, Rotation);
  std::copy(m, m + 9, Rotation);
  UpdateGeometry();
}

void TCubeView::SetRotationAngles(double theta, double phi)
{
  double rx[9], rz[9];
  CubeRotationX(theta, rx);
  CubeRotationZ(phi, rz);
  Matrix3Multiply(Rotation, rx, rz);
  UpdateGeometry();
}

void TCubeView::GetRotationAngles(double* theta, double* phi) const
{
  *theta = std::atan2(-Rotation[5], Rotation[8]);
  *phi = std::atan2(-Rotation[1], Rotation[0]);
}

// ---- Settings ----

void TCubeView::SetColourScale(int32_t scale)
{
  ColourScale = scale;
  Redraw();
}

void TCubeView::SetColours(COLORREF min, COLORREF max)
{
  ColourMin = min, ColourMax = max;
  Redraw();
}

void TCubeView::GetColours(COLORREF* min, COLORREF* max) const
{
  *min = ColourMin, *max = ColourMax;
}

void TCubeView::SetFillMode(int32_t mode)
{
  FillMode = mode;
  Redraw();
}

void TCubeView::SetFillOpacity(double a)
{
  if (std::isnan(a))
    return;
  a = std::clamp(a, 0.0, 1.0);
  FillOpacity = static_cast<int32_t>(65536 * a);
  Redraw();
}

void TCubeView::SetInterpolation(int32_t i)
{
  Interpolation = i;
  Redraw();
}

void TCubeView::SetZoom(double z)
{
  if (!(z >= 0.2 && z <= 20))
    return;
  ShiftX *= z / Zoom;
  ShiftY *= z / Zoom;
  Zoom = z;
  MarkSectionsStale();
  Redraw();
}

void TCubeView::SetCameraDistance(double r)
{
  const TCubeCamera camera = CubeCamera(r, Zoom);
  CameraDistance = camera.distance;
  FovY = camera.fovY;
  NearPlane = camera.nearPlane;
  FarPlane = camera.farPlane;
}

// ---- Motion ----

void TCubeView::UpdateViewScale(int width, int height)
{
  const int halfW = width / 2, halfH = height / 2;
  ViewScale = std::max(std::min(halfW, halfH), 1) * Zoom * 0.56;
  NegViewScale = -ViewScale;
  PixelSize = 1 / ViewScale;
  CentreX = static_cast<int32_t>(std::clamp(halfW + ShiftX, -1e9, 1e9));
  CentreY = static_cast<int32_t>(std::clamp(halfH + ShiftY, -1e9, 1e9));
}

void TCubeView::FrameMouseDown(int x, int y)
{
  LastMouseX = CurMouseX = x;
  LastMouseY = CurMouseY = y;
  MousePressed = true;
  if (Continuous)
    SetMotionTimer(true);
}

void TCubeView::FrameMouseMove(bool leftButton, int x, int y)
{
  if (!leftButton || !MousePressed)
    return;
  if (Continuous) {
    CurMouseX = x, CurMouseY = y;
    return;
  }
  const double dx = (x - LastMouseX) * PixelSize, dy = (y - LastMouseY) * PixelSize;
  LastMouseX = x, LastMouseY = y;
  Motion(dx, dy);
}

void TCubeView::FrameMouseUp()
{
  if (Continuous)
    SetMotionTimer(false);
  MousePressed = false;
}

void TCubeView::MotionTimerStep()
{
  const double dx = (CurMouseX - LastMouseX) * PixelSize, dy = (CurMouseY - LastMouseY) * PixelSize;
  if (dx != 0 || dy != 0)
    Motion(dx, dy);
}

void TCubeView::FrameMouseWheel(int delta)
{
  WheelStep(delta / 180.0);
}

void TCubeView::WheelStep(double d)
{
  MoveOrZoom(d, d);
}

void TCubeView::KeyDown(TCubeKey key, bool shiftHeld)
{
  const double step = PixelSize * (shiftHeld ? 10 : 1);
  switch (key) {
  case TCubeKey::Left: Motion(-step, 0); return;
  case TCubeKey::Right: Motion(step, 0); return;
  case TCubeKey::Up: Motion(0, -step); return;
  case TCubeKey::Down: Motion(0, step); return;
  case TCubeKey::Digit0: CurrentSection = -1; return;
  case TCubeKey::A: MouseAction = 0, MotionMode = 1; return;
  case TCubeKey::Q: MouseAction = 0, MotionMode = 0; return;
  case TCubeKey::S: MouseAction = 1, MotionMode = 1; return;
  case TCubeKey::W: MouseAction = 1, MotionMode = 2; return;
  case TCubeKey::X: MouseAction = 1, MotionMode = 0; return;
  case TCubeKey::Z: MouseAction = 0, MotionMode = 2; return;
  case TCubeKey::Other: return;
  default: {
    const int index = static_cast<int>(key) - static_cast<int>(TCubeKey::Digit1);
    if (index >= 0 && index < 9 && index < SectionCount)
      CurrentSection = index;
  }
  }
}

void TCubeView::Motion(double dx, double dy)
{
  if (MouseAction == 0)
    Rotate(dx, dy);
  else if (MouseAction == 1)
    MoveOrZoom(dx, dy);
}

void TCubeView::Rotate(double dx, double dy)
{
  if (MotionMode == 0) {
    RotateZ(dx);
    RotateX(dy);
  } else if (MotionMode == 1) {
    RotateSectionsZ(CurrentSection, dx, 1);
    RotateSectionsX(CurrentSection, dy, 2);
  } else if (MotionMode == 2) {
    RotateZ(dx);
    RotateX(dy);
    RotateSectionsZ(CurrentSection, -dx, 1);
    RotateSectionsX(CurrentSection, -dy, 0);
  }
  Redraw();
}

void TCubeView::MoveOrZoom(double dx, double dy)
{
  const double d = std::fabs(dy) > std::fabs(dx) ? dy : dx;
  if (MotionMode == 0) {
    SetZoom(Zoom * std::pow(1.05, 0.5 * d / PixelSize));
  } else if (MotionMode == 1) {
    ForSections(CurrentSection, [&](int s) {
      SectionPlanesLocal[s][3] += d;
      SectionPlanes[s][3] += d;
      SectionStale[s] = true;
    });
    Redraw();
  } else if (MotionMode == 2) {
    ShiftX += dx / PixelSize;
    ShiftY += dy / PixelSize;
    Redraw();
  }
}

// ---- Picking ----

void TCubeView::PickRay(double origin[3], double direction[3]) const
{
  origin[0] = (LastMouseX - CentreX) / ViewScale;
  origin[1] = 0;
  origin[2] = (LastMouseY - CentreY) / NegViewScale;
  direction[0] = 0, direction[1] = 1, direction[2] = 0;
}

int32_t TCubeView::PickSegment() const
{
  double origin[3], direction[3];
  PickRay(origin, direction);
  return CubePickSegment(origin, direction, SegmentsView);
}

std::vector<std::array<double, 3>> TCubeView::PickSectionPoints() const
{
  double origin[3], direction[3];
  PickRay(origin, direction);
  const double scales[3] = {AxisScaleX, AxisScaleY, AxisScaleZ};
  return CubePickSectionPoints(origin, direction, SectionPlanes, SectionCount, Rotation, scales);
}
