#include "model/store/Inhomogeneities.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "data/TextConversion.h"

namespace {

int32_t IntegerOr(const std::string& text, int32_t fallback)
{
  try {
    return StrToIntStrict(text);
  } catch (...) {
    return fallback;
  }
}

std::string Short(double value)
{
  return FloatToStrSep(value, ffGeneral, 6, 0);
}

double ClampedPermittivity(double eps)
{
  return eps >= kMinPermittivity && eps <= kMaxPermittivity ? eps : 1.0;
}

template <class ValueOf>
void Stamp(const TCellVolume& layer, const std::vector<TInhomogeneityRecord>& records, double background,
           ValueOf valueOf)
{
  if (layer.Empty())
    return;
  std::fill_n(layer.data, layer.Count(), background);
  for (const TInhomogeneityRecord& r : records) {
    const double value = valueOf(r);
    for (int k = 0; k < layer.nz; ++k)
      for (int i = 0; i < layer.nx; ++i)
        for (int j = 0; j < layer.ny; ++j) {
          double p[3];
          layer.Point(i, j, k, p);
          if (InsideInhomogeneity(r, p))
            layer.At(i, j, k) = value;
        }
  }
}

} // namespace

bool InsideInhomogeneity(const TInhomogeneityRecord& r, const double p[3])
{
  double u[3];
  for (int a = 0; a < 3; ++a) {
    const double c = (r.lower[a] + r.upper[a]) / 2;
    const double h = (r.upper[a] - r.lower[a]) / 2;
    u[a] = (p[a] - c) / h;
  }
  if (r.shape == TInhomogeneityRecord::ShapeEllipsoid)
    return u[0] * u[0] + u[1] * u[1] + u[2] * u[2] <= 1;
  return std::fabs(u[0]) <= 1 && std::fabs(u[1]) <= 1 && std::fabs(u[2]) <= 1;
}

void StampInhomogeneities(const TCellVolume& materials, const TCellVolume& charges,
                          const std::vector<TInhomogeneityRecord>& records, double backgroundCharge)
{
  // Each layer is walked with its own size, so layers that disagree never
  // index past each other.
  Stamp(materials, records, 0.0, [](const TInhomogeneityRecord& r) { return static_cast<double>(r.material); });
  Stamp(charges, records, backgroundCharge, [](const TInhomogeneityRecord& r) { return r.charge; });
}

TInhomogeneityRow InhomogeneityToRow(const TInhomogeneityRecord& r, const TMaterial& material, double l2)
{
  double centre[3], size[3];
  for (int a = 0; a < 3; ++a) {
    centre[a] = (r.lower[a] + r.upper[a]) / 2;
    size[a] = r.upper[a] - r.lower[a];
  }
  return {Short(centre[0]),
          Short(centre[2]),
          Short(l2 - centre[1]),
          Short(size[0]),
          Short(size[2]),
          Short(size[1]),
          FloatToStrGeneral(material.Eps),
          FloatToStrGeneral(material.Sigma),
          FloatToStrGeneral(r.charge),
          std::to_string(r.shape),
          std::to_string(r.colour),
          std::to_string(r.transparency)};
}

TLatticeLengths LatticeLengthsOf(const THeap& heap)
{
  return {heap.N1 * heap.CellSize1, (heap.N2 - 1) * heap.CellSize2, heap.N3 * heap.CellSize3};
}

TInhomogeneityTable InhomogeneitiesFromTable(const std::vector<TInhomogeneityRow>& rows,
                                             const TLatticeLengths& lengths)
{
  TInhomogeneityTable table;
  if (rows.empty() || rows.front()[0].empty())
    return table;
  for (size_t k = 0; k < rows.size(); ++k) {
    const TInhomogeneityRow& row = rows[k];
    const double centre[3] = {StrToFloatAny(row[0]), lengths.l2 - StrToFloatAny(row[2]), StrToFloatAny(row[1])};
    double size[3] = {StrToFloatAny(row[3]), StrToFloatAny(row[5]), StrToFloatAny(row[4])};
    const double axis[3] = {lengths.l1, lengths.l2, lengths.l3};
    TInhomogeneityRecord r;
    for (int a = 0; a < 3; ++a) {
      if (!(size[a] > 0))
        size[a] = axis[a] / 4;
      r.lower[a] = centre[a] - size[a] / 2;
      r.upper[a] = centre[a] + size[a] / 2;
    }
    r.material = static_cast<int32_t>(k + 1);
    r.charge = StrToFloatAny(row[8]);
    r.colour = IntegerOr(row[10], 255);
    r.shape = IntegerOr(row[9], 0);
    r.transparency = IntegerOr(row[11], 65536);
    table.records.push_back(r);
    table.permittivity.push_back(ClampedPermittivity(StrToFloatAny(row[6])));
    table.conductivity.push_back(StrToFloatAny(row[7]));
  }
  return table;
}

std::vector<TInhomogeneityRow> InhomogeneityRows(const std::vector<TInhomogeneityRecord>& records, const THeap& heap)
{
  std::vector<TInhomogeneityRow> rows;
  const double l2 = (heap.N2 - 1) * heap.CellSize2;
  for (const TInhomogeneityRecord& r : records)
    if (heap.Materials && r.material >= 1 && r.material < heap.MaterialCount)
      rows.push_back(InhomogeneityToRow(r, heap.Materials[r.material], l2));
  return rows;
}

TInhomogeneityRow BlankInhomogeneityRow()
{
  TInhomogeneityRow row{};
  row[9] = "1";
  row[10] = "255";
  row[11] = "65536";
  return row;
}

std::vector<TInhomogeneityRow> InhomogeneityTableRows(const std::vector<TInhomogeneityRecord>& records,
                                                      const THeap& heap)
{
  std::vector<TInhomogeneityRow> rows = InhomogeneityRows(records, heap);
  if (rows.empty())
    rows.push_back(BlankInhomogeneityRow());
  return rows;
}

std::string InhomogeneityShapeText(const std::string& cell)
{
  return IntegerOr(cell, 0) == TInhomogeneityRecord::ShapeEllipsoid ? "эллипсоид" : "\"кубик\"";
}

std::string TransparencyText(const std::string& cell)
{
  return std::to_string(100 - IntegerOr(cell, 65536) / 655) + "%";
}

bool MaterialTableEditable(int calcState)
{
  return calcState == 0 || calcState == 3 || calcState == 4;
}

bool RebuildMaterialTable(THeap& heap, const TInhomogeneityTable& table, int calcState)
{
  if (!MaterialTableEditable(calcState) || !heap.Materials || heap.MaterialCount < 1)
    return false;
  const size_t count = table.records.size();
  if (count == 0)
    return true;
  if (table.permittivity.size() != count || table.conductivity.size() != count)
    return false;
  TMaterial* fresh = TMaterialNew(static_cast<int>(count + 1));
  if (!fresh)
    return false;
  const TMaterial dielectric = heap.Materials[0];
  for (size_t m = 0; m <= count; ++m)
    fresh[m] = dielectric;
  for (size_t k = 0; k < count; ++k) {
    TMaterial& m = fresh[k + 1];
    m.Eps = ClampedPermittivity(table.permittivity[k]);
    m.InvEps = 1.0 / m.Eps;
    m.Sigma = table.conductivity[k];
  }
  TMaterialDelete(heap.Materials);
  heap.Materials = fresh;
  heap.MaterialCount = static_cast<int32_t>(count + 1);
  return true;
}
