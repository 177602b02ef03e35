// Electrodes and inhomogeneities: their stored records, the table rows, the
// stamping into small layers and the rebuilt material table.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "StoreTestSupport.h"
#include "data/ByteOrder.h"
#include "model/store/Electrodes.h"
#include "model/store/Inhomogeneities.h"

using namespace storetest;

namespace {

constexpr double kCell = 1e-3;

// A layer of nx x ny cells per level and nz levels, 1 mm cells.
struct Layer {
  Layer(int nx, int ny, int nz, double fill = 7.0) : values(static_cast<size_t>(nx * ny * nz), fill)
  {
    volume = {nx, ny, nz, kCell, kCell, kCell, values.data()};
  }
  double at(int i, int j, int k) const { return volume.At(i, j, k); }
  int CountOf(double v) const
  {
    int n = 0;
    for (double x : values)
      n += x == v;
    return n;
  }
  std::vector<double> values;
  TCellVolume volume;
};

// The point the stamping tests for cell (i, j, k), in record axis order.
std::array<double, 3> CellPoint(int i, int j, int k)
{
  return {(i + 0.5) * kCell, k * kCell, (j + 0.5) * kCell};
}

TElectrodeRecord Needle(std::array<double, 3> from, std::array<double, 3> to, double d1, double d2, int code)
{
  TElectrodeRecord r;
  std::copy(from.begin(), from.end(), r.start);
  std::copy(to.begin(), to.end(), r.end);
  r.startDiameter = d1;
  r.endDiameter = d2;
  r.code = code;
  return r;
}

// --- electrodes -----------------------------------------------------------------

TEST(ElectrodeStamping, PlatesOnlyWithoutRecords)
{
  Layer layer(4, 3, 5);
  StampElectrodes(layer.volume, {});
  for (int k = 0; k < 5; ++k)
    for (int j = 0; j < 3; ++j)
      for (int i = 0; i < 4; ++i)
        EXPECT_EQ(layer.at(i, j, k), k == 0 ? -2.0 : k == 4 ? -4.0 : -1.0);
}

TEST(ElectrodeStamping, ZeroDiametersMarkOnlyCentresOnTheSegment)
{
  Layer layer(5, 4, 6);
  // Along the levels through the centre of column (2, 1); the tolerance must not
  // widen a radius of zero to the neighbours.
  StampElectrodes(layer.volume, {Needle(CellPoint(2, 1, 1), CellPoint(2, 1, 4), 0, 0, -5)});
  EXPECT_EQ(layer.CountOf(-5), 4);
  for (int k = 1; k <= 4; ++k)
    EXPECT_EQ(layer.at(2, 1, k), -5.0);
  EXPECT_EQ(layer.at(1, 1, 2), -1.0);
  EXPECT_EQ(layer.at(2, 2, 2), -1.0);
}

TEST(ElectrodeStamping, CapsAreSpheresAroundTheEnds)
{
  Layer layer(5, 3, 9);
  // Radius 1.1 cells from level 3 to level 5 in column (2, 1).
  StampElectrodes(layer.volume, {Needle(CellPoint(2, 1, 3), CellPoint(2, 1, 5), 2.2e-3, 2.2e-3, -3)});
  struct Case {
    int i, j, k;
    bool inside;
  };
  const Case cases[] = {
    {2, 1, 6, true},  // one cell beyond the end, inside the cap
    {2, 1, 2, true},  // one cell before the start
    {2, 1, 7, false}, // two cells beyond
    {3, 1, 4, true},  // beside the axis
    {3, 1, 6, false}, // beyond the end and beside: outside the sphere
    {3, 2, 4, false}, // diagonal distance 1.41 cells
  };
  for (const Case& c : cases)
    EXPECT_EQ(layer.at(c.i, c.j, c.k) == -3.0, c.inside) << c.i << "," << c.j << "," << c.k;
}

TEST(ElectrodeStamping, LaterRecordsWinAndPlatesYield)
{
  Layer layer(5, 3, 6);
  StampElectrodes(layer.volume, {Needle(CellPoint(2, 1, 0), CellPoint(2, 1, 3), 0, 0, -3),
                                 Needle(CellPoint(0, 1, 2), CellPoint(4, 1, 2), 0, 0, -7),
                                 Needle(CellPoint(4, 2, 5), CellPoint(4, 2, 5), 1e-4, 0, -9)});
  EXPECT_EQ(layer.at(2, 1, 0), -3.0);  // over the lower plate
  EXPECT_EQ(layer.at(2, 1, 1), -3.0);
  EXPECT_EQ(layer.at(2, 1, 2), -7.0);  // the crossing belongs to the later record
  EXPECT_EQ(layer.at(2, 1, 3), -3.0);
  EXPECT_EQ(layer.at(4, 2, 5), -9.0);  // a point electrode over the upper plate
  EXPECT_EQ(layer.at(3, 2, 5), -4.0);
}

TEST(ElectrodeStamping, EmptyLayerIsLeftAlone)
{
  TCellVolume none;
  StampElectrodes(none, {Needle({0, 0, 0}, {1, 1, 1}, 1, 1, -3)});
  Layer flat(0, 3, 4);
  StampElectrodes(flat.volume, {});
  EXPECT_TRUE(flat.values.empty());
}

TEST(ElectrodeTable, RowsAndRecords)
{
  const double l2 = 0.02;
  TElectrodeRecord r = Needle({0.001, 0.004, 0.003}, {0.0015, 0.02, 0.0025}, 0.0002, 0.0001, -5);
  r.colour = 0x00ff00;
  const TElectrodeRow row = ElectrodeToRow(r, l2);
  EXPECT_EQ(row[0], "0.001");
  EXPECT_EQ(row[1], "0.003");
  EXPECT_EQ(row[2], "0.016");
  EXPECT_EQ(row[6], "0");
  EXPECT_EQ(row[8], "-5");
  EXPECT_EQ(row[9], "65280");
  const TElectrodeRecord back = ElectrodeFromRow(row, l2);
  EXPECT_EQ(back.code, -5);
  EXPECT_EQ(back.colour, 0x00ff00);
  EXPECT_DOUBLE_EQ(back.start[1], 0.004);
  EXPECT_EQ(back.end[1], l2); // z typed as 0: the plane of the last level
  EXPECT_EQ(back.transparency, TElectrodeRecord::Opaque);
  EXPECT_EQ(back.shape, TElectrodeRecord::ShapeCone);

  TElectrodeRow typed = {"0,5", "x", "0.02", "", "1", "2", "3", "4", "-3.5", "red"};
  const TElectrodeRecord read = ElectrodeFromRow(typed, l2);
  EXPECT_EQ(read.start[0], 0.5);
  EXPECT_EQ(read.start[2], 0.0);
  EXPECT_EQ(read.start[1], 0.0); // z typed as L2: level 0
  EXPECT_EQ(read.code, -2);
  EXPECT_EQ(read.colour, 0);

  TElectrodeRow blank{};
  EXPECT_TRUE(ElectrodesFromTable({blank, row}, l2).empty());
  EXPECT_TRUE(ElectrodesFromTable({}, l2).empty());
  EXPECT_EQ(ElectrodesFromTable({row, typed}, l2).size(), 2u);
}

TEST(ElectrodeTable, NoRecordsShowOneBlankRow)
{
  const std::vector<TElectrodeRow> rows = ElectrodeTableRows({}, 0.02);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][0], "");
  EXPECT_EQ(rows[0][9], "255");
  EXPECT_TRUE(ElectrodesFromTable(rows, 0.02).empty());
  EXPECT_EQ(ElectrodeTableRows({TElectrodeRecord{}, TElectrodeRecord{}}, 0.02).size(), 2u);
}

TEST(ElectrodeRecordBytes, LayoutAndShortRecords)
{
  TElectrodeRecord r = Needle({1, 2, 3}, {4, 5, 6}, 7, 8, -9);
  r.colour = 10;
  r.transparency = 11;
  r.shape = 12;
  const std::vector<uint8_t> block = EncodeElectrodeRecords({r, r});
  ASSERT_EQ(block.size(), 160u);
  EXPECT_EQ(GetDoubleLE(block.data() + 8), 2.0);
  EXPECT_EQ(GetDoubleLE(block.data() + 56), 8.0);
  EXPECT_EQ(GetInt32LE(block.data() + 64), -9);
  EXPECT_EQ(GetInt32LE(block.data() + 76), 12);
  EXPECT_EQ(GetDoubleLE(block.data() + 80), 1.0);
  EXPECT_EQ(DecodeElectrodeRecords(block, 80), (std::vector<TElectrodeRecord>{r, r}));

  // Records of 72 bytes predate transparency and shape.
  std::vector<uint8_t> older;
  for (int i = 0; i < 2; ++i)
    older.insert(older.end(), block.begin(), block.begin() + 72);
  const std::vector<TElectrodeRecord> read = DecodeElectrodeRecords(older, 72);
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[1].code, -9);
  EXPECT_EQ(read[1].colour, 10);
  EXPECT_EQ(read[1].transparency, TElectrodeRecord::Opaque);
  EXPECT_EQ(read[1].shape, TElectrodeRecord::ShapeCone);
  EXPECT_TRUE(DecodeElectrodeRecords(block, 0).empty());
  EXPECT_TRUE(DecodeElectrodeRecords(block, -80).empty());
  EXPECT_EQ(DecodeElectrodeRecords(std::vector<uint8_t>(block.begin(), block.begin() + 100), 80).size(), 1u);
}

// --- inhomogeneities ------------------------------------------------------------

TInhomogeneityRecord Region(std::array<double, 3> centre, std::array<double, 3> half, int shape, int material,
                            double charge)
{
  TInhomogeneityRecord r;
  for (int a = 0; a < 3; ++a) {
    r.lower[a] = centre[a] - half[a];
    r.upper[a] = centre[a] + half[a];
  }
  r.shape = shape;
  r.material = material;
  r.charge = charge;
  return r;
}

TEST(InhomogeneityStamping, EllipsoidSparesTheCornersOfItsBox)
{
  Layer materials(5, 5, 5), charges(5, 5, 5);
  const std::array<double, 3> centre = CellPoint(2, 2, 2);
  const std::array<double, 3> half = {1.5 * kCell, 1.5 * kCell, 1.5 * kCell};
  StampInhomogeneities(materials.volume, charges.volume, {Region(centre, half, 0, 1, 0.5)}, -0.25);
  EXPECT_EQ(materials.CountOf(1), 27);
  EXPECT_EQ(materials.CountOf(0), 125 - 27);
  EXPECT_EQ(charges.CountOf(0.5), 27);
  EXPECT_EQ(charges.CountOf(-0.25), 125 - 27);

  StampInhomogeneities(materials.volume, charges.volume, {Region(centre, half, 1, 2, 0.5)}, 0.0);
  EXPECT_EQ(materials.at(2, 2, 2), 2.0); // the centre cell
  EXPECT_EQ(materials.at(1, 2, 2), 2.0);
  for (int i : {1, 3})
    for (int j : {1, 3})
      for (int k : {1, 3})
        EXPECT_EQ(materials.at(i, j, k), 0.0) << i << j << k;
  EXPECT_EQ(materials.CountOf(2), 27 - 8); // all but the eight corners
}

TEST(InhomogeneityStamping, LaterRecordsWinInBothLayers)
{
  Layer materials(6, 3, 4), charges(6, 3, 4);
  const std::array<double, 3> half = {1.5 * kCell, 10 * kCell, 10 * kCell};
  StampInhomogeneities(materials.volume, charges.volume,
                       {Region(CellPoint(1, 1, 1), half, 0, 1, 1.0), Region(CellPoint(3, 1, 1), half, 0, 2, 2.0)},
                       0.0);
  EXPECT_EQ(materials.at(0, 0, 0), 1.0);
  EXPECT_EQ(materials.at(2, 0, 0), 2.0); // in both boxes
  EXPECT_EQ(charges.at(2, 0, 0), 2.0);
  EXPECT_EQ(materials.at(5, 2, 3), 0.0);
  EXPECT_EQ(charges.at(5, 2, 3), 0.0);
}

TEST(InhomogeneityStamping, LayersOfDifferentSizesEachKeepTheirOwnBounds)
{
  Layer materials(4, 4, 4), charges(2, 2, 2);
  StampInhomogeneities(materials.volume, charges.volume,
                       {Region(CellPoint(1, 1, 1), {5 * kCell, 5 * kCell, 5 * kCell}, 0, 1, 3.0)}, 0.0);
  EXPECT_EQ(materials.CountOf(1), 64);
  EXPECT_EQ(charges.CountOf(3), 8);
}

class InhomogeneityTableTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    heap.reset(THeapNew());
    ASSERT_TRUE(heap);
    ASSERT_TRUE(THeapSetLatticeSize(heap.get(), 8, 9, 10));
    heap->Materials[0].Sigma = 1e-12;
    heap->Materials[0].Ec = 3e7;
  }
  static TInhomogeneityRow Row(const std::string& eps, const std::string& sigma = "0.5")
  {
    return {"0.004", "0.005", "0.002", "0.002", "0.002", "0.002", eps, sigma, "1e-3", "1", "255", "32768"};
  }
  HeapPtr heap;
};

TEST_F(InhomogeneityTableTest, PermittivityIsClampedAndMaterialsCopyTheDielectric)
{
  const TInhomogeneityTable table =
    InhomogeneitiesFromTable({Row("0.5"), Row("2000000"), Row("1000000"), Row("7,5", "x")}, LatticeLengthsOf(*heap));
  ASSERT_EQ(table.records.size(), 4u);
  EXPECT_EQ(table.permittivity, (std::vector<double>{1.0, 1.0, 1e6, 7.5}));
  EXPECT_EQ(table.conductivity[3], 0.0);
  ASSERT_TRUE(RebuildMaterialTable(*heap, table, 0));
  ASSERT_EQ(heap->MaterialCount, 5);
  for (int m = 1; m <= 4; ++m) {
    const TMaterial &a = heap->Materials[0], &b = heap->Materials[m];
    EXPECT_EQ(b.Ec, a.Ec);
    EXPECT_EQ(b.G0, a.G0);
    EXPECT_EQ(b.EcWidth, a.EcWidth);
    EXPECT_EQ(b.Eps, table.permittivity[m - 1]);
    EXPECT_EQ(b.InvEps, 1.0 / b.Eps);
    EXPECT_EQ(b.Sigma, table.conductivity[m - 1]);
    EXPECT_EQ(table.records[m - 1].material, m);
  }
  EXPECT_EQ(heap->Materials[0].Sigma, 1e-12);
}

TEST_F(InhomogeneityTableTest, RowsGiveCornersAndQuarterSizesForMissingOnes)
{
  const TLatticeLengths lengths = LatticeLengthsOf(*heap);
  EXPECT_DOUBLE_EQ(lengths.l2, 8 * heap->CellSize2);
  TInhomogeneityRow row = Row("3");
  row[3] = "0";
  row[5] = "-1";
  row[9] = "z";
  row[10] = "";
  row[11] = "";
  const TInhomogeneityRecord r = InhomogeneitiesFromTable({row}, lengths).records.at(0);
  EXPECT_DOUBLE_EQ(r.upper[0] - r.lower[0], lengths.l1 / 4);
  EXPECT_DOUBLE_EQ(r.upper[1] - r.lower[1], lengths.l2 / 4);
  EXPECT_DOUBLE_EQ(r.upper[2] - r.lower[2], 0.002);
  EXPECT_DOUBLE_EQ((r.lower[1] + r.upper[1]) / 2, lengths.l2 - 0.002);
  EXPECT_DOUBLE_EQ((r.lower[2] + r.upper[2]) / 2, 0.005);
  EXPECT_EQ(r.shape, 0);
  EXPECT_EQ(r.colour, 255);
  EXPECT_EQ(r.transparency, 65536);
  EXPECT_EQ(r.charge, 1e-3);

  TInhomogeneityRow blank{};
  EXPECT_TRUE(InhomogeneitiesFromTable({blank, Row("2")}, lengths).records.empty());
  const TMaterial* before = heap->Materials;
  EXPECT_TRUE(RebuildMaterialTable(*heap, {}, 0));
  EXPECT_EQ(heap->Materials, before);
  EXPECT_EQ(heap->MaterialCount, 1);
}

TEST_F(InhomogeneityTableTest, TableOfARunIsNeverReplaced)
{
  const TInhomogeneityTable table = InhomogeneitiesFromTable({Row("3")}, LatticeLengthsOf(*heap));
  for (int state : {1, 2}) {
    const TMaterial* before = heap->Materials;
    EXPECT_FALSE(RebuildMaterialTable(*heap, table, state));
    EXPECT_EQ(heap->Materials, before);
    EXPECT_EQ(heap->MaterialCount, 1);
  }
  for (int state : {0, 3, 4})
    EXPECT_TRUE(RebuildMaterialTable(*heap, table, state)) << state;
  EXPECT_EQ(heap->MaterialCount, 2);
}

TEST_F(InhomogeneityTableTest, ListsOnlyRecordsWithAMaterialOfTheTable)
{
  const TInhomogeneityTable table = InhomogeneitiesFromTable({Row("3"), Row("4")}, LatticeLengthsOf(*heap));
  ASSERT_TRUE(RebuildMaterialTable(*heap, table, 0));
  std::vector<TInhomogeneityRecord> records = table.records;
  records.push_back(records[0]);
  records.back().material = 0;
  records.push_back(records[0]);
  records.back().material = 3;
  const std::vector<TInhomogeneityRow> rows = InhomogeneityRows(records, *heap);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][6], "3");
  EXPECT_EQ(rows[1][6], "4");
  EXPECT_EQ(rows[0][0], "0.004");
  EXPECT_EQ(rows[0][2], "0.002");
  EXPECT_EQ(rows[0][7], "0.5");
  EXPECT_EQ(rows[0][11], "32768");
}

TEST_F(InhomogeneityTableTest, BlankRowAndCellTexts)
{
  const std::vector<TInhomogeneityRow> rows = InhomogeneityTableRows({}, *heap);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][0], "");
  EXPECT_EQ(rows[0][9], "1");
  EXPECT_EQ(rows[0][10], "255");
  EXPECT_EQ(rows[0][11], "65536");
  struct Case {
    const char* cell;
    const char* text;
  };
  const Case transparency[] = {{"65536", "0%"}, {"6554", "90%"}, {"32768", "50%"}, {"", "0%"}, {"0", "100%"}};
  for (const Case& c : transparency)
    EXPECT_EQ(TransparencyText(c.cell), c.text) << c.cell;
  EXPECT_EQ(InhomogeneityShapeText("1"), "эллипсоид");
  EXPECT_EQ(InhomogeneityShapeText("0"), "\"кубик\"");
  EXPECT_EQ(InhomogeneityShapeText("?"), "\"кубик\"");
}

TEST(InhomogeneityRecordBytes, LayoutSpareBytesAndShortRecords)
{
  TInhomogeneityRecord r = Region({1, 2, 3}, {0.5, 0.5, 0.5}, 1, 4, 2.5);
  r.colour = 99;
  r.transparency = 6554;
  r.spare[10] = 0xAB;
  const std::vector<uint8_t> block = EncodeInhomogeneityRecords({r});
  ASSERT_EQ(block.size(), 144u);
  EXPECT_EQ(GetDoubleLE(block.data() + 24), 1.5);
  EXPECT_EQ(GetInt32LE(block.data() + 48), 1);
  EXPECT_EQ(GetInt32LE(block.data() + 52), 4);
  EXPECT_EQ(GetDoubleLE(block.data() + 56), 2.5);
  EXPECT_EQ(block[74], 0xAB);
  EXPECT_EQ(GetInt32LE(block.data() + 136), 99);
  EXPECT_EQ(GetInt32LE(block.data() + 140), 6554);
  EXPECT_EQ(DecodeInhomogeneityRecords(block, 144), std::vector<TInhomogeneityRecord>{r});
  EXPECT_EQ(EncodeInhomogeneityRecords(DecodeInhomogeneityRecords(block, 144)), block);

  const std::vector<TInhomogeneityRecord> older =
    DecodeInhomogeneityRecords(std::vector<uint8_t>(block.begin(), block.begin() + 64), 64);
  ASSERT_EQ(older.size(), 1u);
  EXPECT_EQ(older[0].charge, 2.5);
  EXPECT_EQ(older[0].transparency, TInhomogeneityRecord::Opaque);
  EXPECT_EQ(older[0].colour, 0);
}

} // namespace
