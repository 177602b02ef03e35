// The stream record of a regular array: group 402 after the map object's records.
#include <climits>
#include <cstdint>

#include "data/ByteOrder.h"
#include "data/FiniteValue.h"
#include "data/SLine.h"
#include "gis/ArrayNumeric.h"
#include "gis/GArray.h"

namespace {

constexpr int LevelRecordSize = 24;

void PutLevel(std::uint8_t* at, const TContourLevel& level)
{
  PutDoubleLE(at, level.value);
  PutInt32LE(at + 8, static_cast<std::int32_t>(level.lineColor));
  PutInt32LE(at + 12, level.lineKind);
  PutInt32LE(at + 16, static_cast<std::int32_t>(level.fillColor));
  PutInt32LE(at + 20, level.transparency);
}

TContourLevel GetLevel(const std::uint8_t* at)
{
  TContourLevel level;
  level.value = GetDoubleLE(at);
  level.lineColor = static_cast<COLORREF>(GetInt32LE(at + 8));
  level.lineKind = GetInt32LE(at + 12);
  level.fillColor = static_cast<COLORREF>(GetInt32LE(at + 16));
  level.transparency = GetInt32LE(at + 20);
  return level;
}

void ReadColor(TTagStream& stream, COLORREF& color)
{
  std::int32_t value = static_cast<std::int32_t>(color);
  stream.Read(value);
  color = static_cast<COLORREF>(value);
}

// The settings block is packed on 4-byte boundaries, so its doubles may not be
// bound to a reference: they go through a copy.
double ReadPacked(TTagStream& stream, double current)
{
  stream.Read(current);
  return current;
}

void ReadFlag(TTagStream& stream, std::uint8_t& flag)
{
  bool value = flag != 0;
  stream.Read(value);
  flag = value ? 1 : 0;
}

// The grid size and values (records 0 to 4). A values block that does not
// match the stored size empties the grid rather than failing the load.
struct TGridRecords {
  std::int32_t nx = 0;
  std::int32_t ny = 0;
  std::vector<double> values;
  bool valid = false;
};

TGridRecords ReadGrid(TTagStream& stream, std::int32_t nx, std::int32_t ny, double& dataMax, double& dataMin)
{
  TGridRecords grid;
  stream.Read(nx);
  stream.Read(ny);
  std::vector<std::uint8_t> bytes;
  const bool present = stream.ReadBlock(bytes);
  stream.Read(dataMax);
  stream.Read(dataMin);
  const std::int64_t cells = static_cast<std::int64_t>(nx) * ny;
  if (!present || nx < 0 || ny < 0 || cells > INT32_MAX / 8 ||
      static_cast<std::int64_t>(bytes.size()) != cells * 8) {
    dataMax = dataMin = 0;
    return grid;
  }
  grid.nx = nx;
  grid.ny = ny;
  grid.values.resize(static_cast<size_t>(cells));
  for (size_t c = 0; c < grid.values.size(); ++c)
    grid.values[c] = GetDoubleLE(bytes.data() + 8 * c);
  grid.valid = true;
  return grid;
}

} // namespace

void TGArray::WriteLevelTable(TTagStream& stream) const
{
  std::vector<std::uint8_t> bytes(levels.size() * LevelRecordSize);
  for (size_t k = 0; k < levels.size(); ++k)
    PutLevel(bytes.data() + k * LevelRecordSize, levels[k]);
  stream.WriteArray(GetLevelCount(), bytes.data(), LevelRecordSize);
}

void TGArray::ReadLevelTable(TTagStream& stream)
{
  std::int32_t count = 0;
  std::vector<std::uint8_t> bytes;
  if (!stream.ReadArray(count, bytes, LevelRecordSize))
    return;
  levels.clear();
  for (std::int32_t k = 0; k < count; ++k)
    levels.push_back(GetLevel(bytes.data() + static_cast<size_t>(k) * LevelRecordSize));
  SyncLevelPointer();
}

void TGArray::ReadGridRecords(TTagStream& stream)
{
  TGridRecords grid = ReadGrid(stream, nx, ny, dataMax, dataMin);
  RequireFiniteCells(grid.values.data(), grid.values.size(), name);
  nx = grid.nx;
  ny = grid.ny;
  values.swap(grid.values);
  cellCount = nx * ny;
}

void TGArray::Save(TTagStream& stream) const
{
  TGRect::Save(stream);
  stream.SetGroup(TagGroup::Array);
  stream.WriteInt(nx);
  stream.WriteInt(ny);
  std::vector<std::uint8_t> bytes(values.size() * 8);
  for (size_t c = 0; c < values.size(); ++c)
    PutDoubleLE(bytes.data() + 8 * c, values[c]);
  stream.WriteBlock(bytes.data(), static_cast<std::int32_t>(bytes.size()));
  stream.WriteDouble(dataMax);
  stream.WriteDouble(dataMin);
  WriteLevelTable(stream);
  stream.WriteInt(static_cast<std::int32_t>(settings.fillColor2));
  stream.WriteInt(static_cast<std::int32_t>(settings.contourColor2));
  stream.WriteInt(static_cast<std::int32_t>(settings.gridColor));
  stream.WriteBool(settings.contoursOn != 0);
  stream.WriteBool(settings.gridOn != 0);
  stream.WriteInt(settings.fillType);
  stream.WriteInt(buildParams.fillMethod);
  stream.WriteDouble(buildParams.gaussA);
  stream.WriteDouble(buildParams.gaussB);
  stream.WriteDouble(buildParams.laplaceThirdDerivativeWeight);
  stream.WriteBool(scheme.automaticRange);
  stream.WriteInt(static_cast<std::int32_t>(settings.fillColor1));
  stream.WriteInt(settings.transparency1);
  stream.WriteBool(settings.steppedFill != 0);
  stream.WriteInt(scheme.kind);
  stream.WriteDouble(scheme.thinStep);
  stream.WriteDouble(scheme.boldStep);
  stream.WriteDouble(scheme.decimalThinCount);
  stream.WriteDouble(scheme.decimalBoldCount);
  stream.WriteInt(settings.contourMix);
  stream.WriteInt(settings.fillMix);
  stream.WriteInt(scheme.requestedCount);
  stream.WriteInt(static_cast<std::int32_t>(settings.contourColor1));
  stream.WriteBool(settings.labelThin != 0);
  stream.WriteInt(settings.labelSpacing);
  stream.WriteBool(settings.labelBold != 0);
  stream.WriteDouble(settings.rangeMin);
  stream.WriteDouble(settings.rangeMax);
  stream.WriteInt(settings.transparency2);
  stream.WriteDouble(settings.labelFactor);
  stream.WriteDouble(settings.labelSubtrahend);
  stream.WriteInt(settings.labelStart);
  stream.WriteBool(buildParams.fixedBoundary);
  if (clipOutline) {
    clipOutline->Save(*stream.BeginBlock());
    stream.EndBlock();
  } else {
    stream.WriteBlock(nullptr, 0);
  }
  stream.WriteBlock(opaqueBlock.data(), static_cast<std::int32_t>(opaqueBlock.size()));
  stream.WriteStrings(valueNames);
  stream.WriteInt(modelArrayKind);
  stream.WriteString(unitText);
  stream.WriteInt(reserved);
  stream.WriteDouble(scheme.logThinCount);
  stream.WriteDouble(scheme.logPower);
}

void TGArray::Load(TTagStream& stream)
{
  TGRect::Load(stream);
  stream.SetGroup(TagGroup::Array);
  ReadGridRecords(stream);
  ReadLevelTable(stream);
  ReadColor(stream, settings.fillColor2);
  ReadColor(stream, settings.contourColor2);
  ReadColor(stream, settings.gridColor);
  ReadFlag(stream, settings.contoursOn);
  ReadFlag(stream, settings.gridOn);
  stream.Read(settings.fillType);
  stream.Read(buildParams.fillMethod);
  stream.Read(buildParams.gaussA);
  stream.Read(buildParams.gaussB);
  stream.Read(buildParams.laplaceThirdDerivativeWeight);
  stream.Read(scheme.automaticRange);
  ReadColor(stream, settings.fillColor1);
  stream.Read(settings.transparency1);
  ReadFlag(stream, settings.steppedFill);
  stream.Read(scheme.kind);
  stream.Read(scheme.thinStep);
  stream.Read(scheme.boldStep);
  stream.Read(scheme.decimalThinCount);
  stream.Read(scheme.decimalBoldCount);
  stream.Read(settings.contourMix);
  stream.Read(settings.fillMix);
  stream.Read(scheme.requestedCount);
  ReadColor(stream, settings.contourColor1);
  ReadFlag(stream, settings.labelThin);
  stream.Read(settings.labelSpacing);
  ReadFlag(stream, settings.labelBold);
  settings.rangeMin = ReadPacked(stream, settings.rangeMin);
  settings.rangeMax = ReadPacked(stream, settings.rangeMax);
  stream.Read(settings.transparency2);
  settings.labelFactor = ReadPacked(stream, settings.labelFactor);
  settings.labelSubtrahend = ReadPacked(stream, settings.labelSubtrahend);
  stream.Read(settings.labelStart);
  stream.Read(buildParams.fixedBoundary);
  clipOutline.reset();
  if (TMemoryStream* block = stream.OpenBlock(); block != nullptr && block->GetSize() > 0) {
    auto outline = std::make_unique<TSLine>();
    try {
      outline->Load(*block);
      clipOutline = std::move(outline);
    } catch (const EStreamError&) {
      // A damaged outline is dropped: the array is drawn without a clip.
    }
  }
  stream.CloseBlock();
  stream.ReadBlock(opaqueBlock);
  stream.ReadStrings(valueNames);
  stream.Read(modelArrayKind);
  stream.Read(unitText);
  stream.Read(reserved);
  stream.Read(scheme.logThinCount);
  stream.Read(scheme.logPower);

  labelFontHandle.Release();
  settings.labelFont = nullptr;
  if (settings.rangeMin == 0 && settings.rangeMax == 0) {
    settings.rangeMin = dataMin;
    settings.rangeMax = dataMax;
  }
  if (levels.empty())
    SetLevelScheme(scheme.kind, scheme.requestedCount, scheme.boldStep, scheme.thinStep,
                   arraynum::Trunc(scheme.decimalBoldCount), arraynum::Trunc(scheme.decimalThinCount),
                   arraynum::Trunc(scheme.logPower), arraynum::Trunc(scheme.logThinCount));
  SyncLevelPointer();
  UpdateCellSize();
}

void TGArray::LoadGeometry(TTagStream& stream)
{
  TGRect::LoadGeometry(stream);
  stream.SetGroup(TagGroup::Array);
  ReadGridRecords(stream);
  UpdateCellSize();
}
