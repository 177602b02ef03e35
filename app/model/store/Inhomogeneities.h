#pragma once
// The inhomogeneity list stamped into the material and initial charge layers,
// the rows of the inhomogeneity table (texts of its twelve columns) converted to
// and from records, and the engine's material table rebuilt from the rows.
#include <array>
#include <string>
#include <vector>

#include "korvane.h"
#include "model/store/CellVolume.h"
#include "model/store/InhomogeneityRecord.h"

inline constexpr int kMaterialLayerCode = 10007;
inline constexpr int kChargeLayerCode = 10000;
inline constexpr double kMinPermittivity = 1.0;
inline constexpr double kMaxPermittivity = 1e6;

// Inside test of a record for a point in record axis order: the ellipsoid
// (shape 1) or the box (any other shape) between its corners.
bool InsideInhomogeneity(const TInhomogeneityRecord& record, const double p[3]);

// Materials: every cell 0, then each record's material index over its cells.
// Charges: every cell the background density, then each record's density.
// Later records win. An empty layer is left alone.
void StampInhomogeneities(const TCellVolume& materials, const TCellVolume& charges,
                          const std::vector<TInhomogeneityRecord>& records, double backgroundCharge);

// Columns: centre x (axis 1), y (axis 3), z = l2 - axis 2; sizes along axes 1,
// 3 and 2; permittivity; conductivity; charge density; shape; colour;
// transparency.
using TInhomogeneityRow = std::array<std::string, 12>;
TInhomogeneityRow InhomogeneityToRow(const TInhomogeneityRecord& record, const TMaterial& material, double l2);

// The lengths of the lattice that stand in for sizes that are not positive
// (a quarter of each): L1 = N1 * CellSize1, L2 = (N2 - 1) * CellSize2,
// L3 = N3 * CellSize3.
struct TLatticeLengths {
  double l1 = 0;
  double l2 = 0;
  double l3 = 0;
};
TLatticeLengths LatticeLengthsOf(const THeap& heap);

// What the table gives: the records (record k uses material k + 1) and the
// permittivity (clamped to 1..1e6, 1 outside) and conductivity of each.
struct TInhomogeneityTable {
  std::vector<TInhomogeneityRecord> records;
  std::vector<double> permittivity;
  std::vector<double> conductivity;
};
// Empty when there is no row or the first cell of the first row is empty.
TInhomogeneityTable InhomogeneitiesFromTable(const std::vector<TInhomogeneityRow>& rows,
                                             const TLatticeLengths& lengths);
// The rows the table shows for a list: only records whose material lies in
// 1 .. MaterialCount - 1.
std::vector<TInhomogeneityRow> InhomogeneityRows(const std::vector<TInhomogeneityRecord>& records, const THeap& heap);

// The rows the table shows: the listed records, or a single blank row (colour
// "255", shape "1", transparency "65536") when none is listed.
std::vector<TInhomogeneityRow> InhomogeneityTableRows(const std::vector<TInhomogeneityRecord>& records,
                                                      const THeap& heap);
TInhomogeneityRow BlankInhomogeneityRow();
// What the shape and transparency cells show: "эллипсоид" for shape 1, else
// "кубик" in double quotes (an unreadable shape counts as 0); the
// transparency t (65536 when unreadable) as 100 - t div 655 and "%".
std::string InhomogeneityShapeText(const std::string& cell);
std::string TransparencyText(const std::string& cell);

// Whether the model may replace the engine's material table: never while a run
// is under way or paused (states 1 and 2), when the engine uses it.
bool MaterialTableEditable(int calcState);
// Material 0 stays; materials 1..n become copies of it with each row's
// permittivity, its inverse and conductivity. Nothing happens (false) in a
// state that is not editable, or when the new table cannot be allocated; an
// empty table leaves the materials as they are (true).
bool RebuildMaterialTable(THeap& heap, const TInhomogeneityTable& table, int calcState);
