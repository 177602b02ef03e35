// The settings image of the cube view: one tag-stream image of its own, every
// record in group 0 with the next automatic id, except the second record, whose
// explicit id 2 leaves id 1 unused. A reader keeps a field whose record is
// missing, short or out of its range, so a damaged image cannot put the view
// into a state that its drawing or its commands do not expect.
#include "views3d/CubeView.h"

#include "data/TagStream.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int32_t IsoLevelRecordSize = static_cast<int32_t>(sizeof(CubeIsoLevel));

bool Finite(const double* v, size_t n)
{
  return std::all_of(v, v + n, [](double x) { return std::isfinite(x); });
}

// Reads a buffer of doubles and takes it only when every value is finite.
template <size_t N> void ReadDoubles(TTagStream& tags, double (&field)[N], int32_t id = -1)
{
  double read[N];
  if (tags.ReadBuffer(read, static_cast<int32_t>(sizeof read), id) && Finite(read, N))
    std::memcpy(field, read, sizeof read);
}

void ReadDoubleTable(TTagStream& tags, double* field, size_t count)
{
  std::vector<double> read(count);
  if (tags.ReadBuffer(read.data(), static_cast<int32_t>(count * sizeof(double))) && Finite(read.data(), count))
    std::copy(read.begin(), read.end(), field);
}

void ReadInRange(TTagStream& tags, int32_t& field, int32_t low, int32_t high)
{
  int32_t v = field;
  if (tags.Read(v) && v >= low && v <= high)
    field = v;
}

void ReadBool(TTagStream& tags, bool& field)
{
  tags.Read(field);
}

void ReadReal(TTagStream& tags, double& field, double low, double high)
{
  double v = field;
  if (tags.Read(v) && v >= low && v <= high) // false for NaN
    field = v;
}

void ReadOpacities(TTagStream& tags, int32_t (&field)[CubeSectionSlots])
{
  int32_t read[CubeSectionSlots];
  if (!tags.ReadBuffer(read, static_cast<int32_t>(sizeof read)))
    return;
  for (int i = 0; i < CubeSectionSlots; ++i)
    field[i] = std::clamp(read[i], 0, 0x10000);
}

void WriteDoubles(TTagStream& tags, const double* v, size_t n, int32_t id = -1)
{
  tags.WriteBuffer(v, static_cast<int32_t>(n * sizeof(double)), id);
}

} // namespace

void TCubeView::Save(TStream* stream) const
{
  TTagStream tags(stream, TagStreamWrite);
  tags.SetGroup(0);
  WriteDoubles(tags, Rotation, 9);
  WriteDoubles(tags, &SectionPlanes[0][0], CubeSectionSlots * 4, 2);
  WriteDoubles(tags, &SectionMatrices[0][0], CubeSectionSlots * 9);
  tags.WriteInt(SectionCount);
  tags.WriteInt(CurrentSection);
  WriteDoubles(tags, &BoxCornersView[0][0], 24);
  tags.WriteInt(0);
  tags.WriteInt(0);
  tags.WriteInt(static_cast<int32_t>(ColourMin));
  tags.WriteInt(static_cast<int32_t>(ColourMax));
  tags.WriteInt(ColourScale);
  tags.WriteInt(FillMode);
  tags.WriteBool(DiscreteFill);
  tags.WriteInt(FillOpacity);
  tags.WriteBool(Continuous);
  tags.WriteInt(MouseAction);
  tags.WriteDouble(AxisScaleX);
  tags.WriteDouble(AxisScaleY);
  tags.WriteDouble(AxisScaleZ);
  tags.WriteInt(Interpolation);
  tags.WriteDouble(Zoom);
  tags.WriteDouble(ShiftX);
  tags.WriteDouble(ShiftY);
  tags.WriteBuffer(SectionOpacity, static_cast<int32_t>(sizeof SectionOpacity));
  int32_t colours[CubeSectionSlots];
  for (int i = 0; i < CubeSectionSlots; ++i)
    colours[i] = static_cast<int32_t>(SectionColour[i]);
  tags.WriteBuffer(colours, static_cast<int32_t>(sizeof colours));
  tags.WriteBool(UseGL);
  tags.WriteBool(GLIntoBitmap);
  tags.WriteBool(true);
  tags.WriteInt(GridMode);
  tags.WriteInt(Horizon);
  tags.WriteBool(Lighting);
  tags.WriteDouble(0.0);
  tags.WriteDouble(FovY);
  tags.WriteDouble(NearPlane);
  tags.WriteDouble(FarPlane);
  tags.WriteDouble(CameraDistance);
  WriteDoubles(tags, LightPosition, 4);
  tags.WriteDouble(1.0);
  tags.WriteInt(TwoSidedLight);
  tags.WriteDouble(AmbientLight);
  tags.WriteDouble(DiffuseLight);
  tags.WriteDouble(SpecularLight);
  tags.WriteDouble(ProportionFactor);
  tags.WriteInt(MotionMode);
  tags.WriteBool(Smoothing);
  tags.WriteBool(ShowIsosurfaces);
  std::vector<uint8_t> levels(IsoLevels.size() * IsoLevelRecordSize);
  for (size_t i = 0; i < IsoLevels.size(); ++i) {
    uint8_t* at = levels.data() + i * IsoLevelRecordSize;
    std::memcpy(at, &IsoLevels[i].level, 8);
    std::memcpy(at + 8, &IsoLevels[i].frontColour, 4);
    std::memcpy(at + 12, &IsoLevels[i].backColour, 4);
  }
  tags.WriteBlock(levels.data(), static_cast<int32_t>(levels.size()));
  tags.WriteInt(IsoLevelRecordSize);
  tags.WriteBool(LightMovesWithObject);
  tags.WriteDouble(Shininess);
  tags.Commit();
}

void TCubeView::Load(TStream* stream)
{
  TTagStream tags(stream, TagStreamRead);
  tags.SetGroup(0);
  ReadDoubles(tags, Rotation);
  double planes[CubeSectionSlots * 4];
  if (tags.ReadBuffer(planes, static_cast<int32_t>(sizeof planes), 2) && Finite(planes, std::size(planes)))
    for (int s = 0; s < CubeSectionSlots; ++s)
      SectionPlanes[s][3] = SectionPlanesLocal[s][3] = planes[4 * s + 3];
  ReadDoubleTable(tags, &SectionMatrices[0][0], CubeSectionSlots * 9);
  ReadInRange(tags, SectionCount, 0, CubeMaxSections);
  int32_t current = CurrentSection;
  tags.Read(current);
  CurrentSection = SectionInUse(current) ? current : -1;
  ReadDoubleTable(tags, &BoxCornersView[0][0], 24);
  int32_t ignored = 0;
  tags.Read(ignored);
  tags.Read(ignored);
  int32_t colour = 0;
  if (tags.Read(colour))
    ColourMin = static_cast<COLORREF>(colour) & 0xFFFFFF;
  if (tags.Read(colour))
    ColourMax = static_cast<COLORREF>(colour) & 0xFFFFFF;
  ReadInRange(tags, ColourScale, 0, 2);
  ReadInRange(tags, FillMode, 1, 2);
  ReadBool(tags, DiscreteFill);
  ReadInRange(tags, FillOpacity, 0, 0x10000);
  ReadBool(tags, Continuous);
  ReadInRange(tags, MouseAction, 0, 3);
  double scales[3] = {AxisScaleX, AxisScaleY, AxisScaleZ};
  for (double& s : scales) {
    double v = s;
    if (tags.Read(v) && v > 0 && v <= 1)
      s = v;
  }
  ReadInRange(tags, Interpolation, 0, 1);
  ReadReal(tags, Zoom, 0.2, 20);
  ReadReal(tags, ShiftX, -1e7, 1e7);
  ReadReal(tags, ShiftY, -1e7, 1e7);
  ReadOpacities(tags, SectionOpacity);
  int32_t colours[CubeSectionSlots];
  if (tags.ReadBuffer(colours, static_cast<int32_t>(sizeof colours)))
    for (int i = 0; i < CubeSectionSlots; ++i)
      SectionColour[i] = static_cast<COLORREF>(colours[i]) & 0xFFFFFF;
  ReadBool(tags, UseGL);
  ReadBool(tags, GLIntoBitmap);
  bool discarded = true;
  tags.Read(discarded);
  ReadInRange(tags, GridMode, 0, 4);
  ReadInRange(tags, Horizon, -1, INT32_MAX);
  ReadBool(tags, Lighting);
  double unused = 0;
  tags.Read(unused);
  ReadReal(tags, FovY, 0, CubeMaxFovY);
  ReadReal(tags, NearPlane, -1e6, 1e6);
  ReadReal(tags, FarPlane, -1e6, 1e6);
  ReadReal(tags, CameraDistance, CubeMinCameraDistance, 1e6);
  ReadDoubles(tags, LightPosition);
  tags.Read(unused);
  ReadInRange(tags, TwoSidedLight, 0, 1);
  ReadReal(tags, AmbientLight, 0, 1);
  ReadReal(tags, DiffuseLight, 0, 1);
  ReadReal(tags, SpecularLight, 0, 1);
  ReadReal(tags, ProportionFactor, 0, 1);
  ReadInRange(tags, MotionMode, 0, 2);
  ReadBool(tags, Smoothing);
  ReadBool(tags, ShowIsosurfaces);
  std::vector<uint8_t> levels;
  const bool haveLevels = tags.ReadBlock(levels) && !levels.empty();
  int32_t recordSize = IsoLevelRecordSize;
  tags.Read(recordSize);
  IsoLevels.clear();
  // Each stored level fills the start of a 16-byte slot; a size of 0 or above
  // the slot would divide by zero or overrun it, so such a table is dropped.
  if (haveLevels && recordSize > 0 && recordSize <= IsoLevelRecordSize) {
    const size_t count = levels.size() / static_cast<size_t>(recordSize);
    IsoLevels.resize(count);
    for (size_t i = 0; i < count; ++i) {
      uint8_t slot[IsoLevelRecordSize] = {};
      std::memcpy(slot, levels.data() + i * static_cast<size_t>(recordSize), static_cast<size_t>(recordSize));
      std::memcpy(&IsoLevels[i].level, slot, 8);
      std::memcpy(&IsoLevels[i].frontColour, slot + 8, 4);
      std::memcpy(&IsoLevels[i].backColour, slot + 12, 4);
    }
  }
  ReadBool(tags, LightMovesWithObject);
  ReadReal(tags, Shininess, 0, 128);

  // The OpenGL picture turns by the angles of the rotation, so only a rotation of
  // that form is kept.
  double theta = 0, phi = 0;
  GetRotationAngles(&theta, &phi);
  SetRotationAngles(theta, phi);
  DoneGL();
  SetCameraDistance(CameraDistance);
  for (int s = 0; s < SectionCount; ++s)
    UpdateSectionNormals(s);
  SetAxesScale(scales[0], scales[1], scales[2]);
  SetSegments(nullptr, 0);
  UpdateGeometry();
}
