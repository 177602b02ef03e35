#include "model/store/Electrodes.h"

#include <algorithm>
#include <cstdint>

#include "data/Geometry3D.h"
#include "data/TextConversion.h"

namespace {

constexpr double kConeTolerance = 1e-6;

bool InsideElectrode(const double p[3], const double segment[6], double r1, double r2)
{
  const double* d = segment + 3;
  if (d[0] == 0 && d[1] == 0 && d[2] == 0) {
    // No axis to measure along: both caps sit on one point.
    const double r = std::max(r1, r2);
    const double w[3] = {p[0] - segment[0], p[1] - segment[1], p[2] - segment[2]};
    return w[0] * w[0] + w[1] * w[1] + w[2] * w[2] <= r * r;
  }
  return PointInConeSegment(p, segment, r1, r2, kConeTolerance);
}

int32_t IntegerOr(const std::string& text, int32_t fallback)
{
  try {
    return StrToIntStrict(text);
  } catch (...) {
    return fallback;
  }
}

} // namespace

void StampElectrodes(const TCellVolume& layer, const std::vector<TElectrodeRecord>& records)
{
  if (layer.Empty())
    return;
  const long long levelSize = static_cast<long long>(layer.nx) * layer.ny;
  std::fill_n(layer.data, layer.Count(), -1.0);
  std::fill_n(layer.data, levelSize, kLowerPlateCode);
  std::fill_n(layer.data + (layer.nz - 1) * levelSize, levelSize, kUpperPlateCode);
  for (const TElectrodeRecord& r : records) {
    const double segment[6] = {r.start[0], r.start[1], r.start[2],
                               r.end[0] - r.start[0], r.end[1] - r.start[1], r.end[2] - r.start[2]};
    const double r1 = r.startDiameter / 2, r2 = r.endDiameter / 2;
    const double code = r.code;
    for (int k = 0; k < layer.nz; ++k)
      for (int i = 0; i < layer.nx; ++i)
        for (int j = 0; j < layer.ny; ++j) {
          double p[3];
          layer.Point(i, j, k, p);
          if (InsideElectrode(p, segment, r1, r2))
            layer.At(i, j, k) = code;
        }
  }
}

TElectrodeRow ElectrodeToRow(const TElectrodeRecord& r, double l2)
{
  return {FloatToStrGeneral(r.start[0]), FloatToStrGeneral(r.start[2]), FloatToStrGeneral(l2 - r.start[1]),
          FloatToStrGeneral(r.startDiameter), FloatToStrGeneral(r.end[0]), FloatToStrGeneral(r.end[2]),
          FloatToStrGeneral(l2 - r.end[1]), FloatToStrGeneral(r.endDiameter), std::to_string(r.code),
          std::to_string(r.colour)};
}

TElectrodeRecord ElectrodeFromRow(const TElectrodeRow& row, double l2)
{
  TElectrodeRecord r;
  r.code = IntegerOr(row[8], -2);
  r.start[0] = StrToFloatAny(row[0]);
  r.start[1] = l2 - StrToFloatAny(row[2]);
  r.start[2] = StrToFloatAny(row[1]);
  r.end[0] = StrToFloatAny(row[4]);
  r.end[1] = l2 - StrToFloatAny(row[6]);
  r.end[2] = StrToFloatAny(row[5]);
  r.startDiameter = StrToFloatAny(row[3]);
  r.endDiameter = StrToFloatAny(row[7]);
  r.colour = IntegerOr(row[9], 0);
  r.transparency = TElectrodeRecord::Opaque;
  r.shape = TElectrodeRecord::ShapeCone;
  return r;
}

TElectrodeRow BlankElectrodeRow()
{
  TElectrodeRow row{};
  row[9] = "255";
  return row;
}

std::vector<TElectrodeRow> ElectrodeTableRows(const std::vector<TElectrodeRecord>& records, double l2)
{
  std::vector<TElectrodeRow> rows;
  for (const TElectrodeRecord& r : records)
    rows.push_back(ElectrodeToRow(r, l2));
  if (rows.empty())
    rows.push_back(BlankElectrodeRow());
  return rows;
}

std::vector<TElectrodeRecord> ElectrodesFromTable(const std::vector<TElectrodeRow>& rows, double l2)
{
  std::vector<TElectrodeRecord> records;
  if (rows.empty() || rows.front()[0].empty())
    return records;
  for (const TElectrodeRow& row : rows)
    records.push_back(ElectrodeFromRow(row, l2));
  return records;
}
