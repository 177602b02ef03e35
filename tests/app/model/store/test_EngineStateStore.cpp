// The engine's images: parameters with materials, the tree columns and the
// lattice state, their framing, their defaults for missing records and the
// checks that keep a bad image away from the allocators.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "StoreTestSupport.h"
#include "model/store/EngineStateStore.h"
#include "model/store/ModelImageError.h"

using namespace storetest;

namespace {

// Distinct values in every stored member, so a swapped id shows.
void FillParams(THeap& h)
{
  ASSERT_TRUE(THeapSetLatticeSize(&h, 5, 6, 7));
  int k = 1;
  auto next = [&k] { return 0.125 * (k++) + 1.0 / 3.0; };
  for (double* d : {&h.CellSize1, &h.CellSize2, &h.CellSize3, &h.DtGrowth, &h.DtInit, &h.DtSpark, &h.Dw, &h.Dw0,
                    &h.AuxParam21, &h.Eps0, &h.AuxParam8, &h.AuxParam9, &h.AuxParam10, &h.AuxParam11,
                    &h.AuxParam12, &h.AuxParam13, &h.AuxParam1, &h.AuxParam2, &h.AuxParam4, &h.AuxParam6,
                    &h.AuxParam5, &h.AuxParam7, &h.AuxParam16, &h.AuxParam17, &h.LimbEn, &h.LimbMinCond,
                    &h.LimbMaxCond, &h.GenC, &h.GenR1, &h.GenL, &h.GenU, &h.GenCs, &h.GenR0, &h.GenRT, &h.GenR,
                    &h.GenL1, &h.GenL2, &h.AuxParam3, &h.GenNR1, &h.GenNR2})
    *d = next();
  int i = 3;
  for (int32_t* v : {&h.MaxNwItr, &h.MinNwItr, &h.TotalIterations, &h.PostStepIterations, &h.StepCount,
                     &h.AuxParam14, &h.AuxParam15, &h.LimbDimMinLength, &h.LimbDimMinCount, &h.GrowthType,
                     &h.DwType})
    *v = i++;
  h.ItrType = 0;
  h.BSep = 1;
  h.AuxParam19 = 7;
  h.GenIdle = 1;
  const double pots[3] = {3.5, -1.25, 9.0};
  THeapSetElectrodesPot(&h, pots, 3, 2e-8);
  TMaterialDelete(h.Materials);
  h.Materials = TMaterialNew(2);
  h.MaterialCount = 2;
  for (int m = 0; m < 2; ++m) {
    double* f = &h.Materials[m].Ec;
    for (int j = 0; j < 11; ++j)
      f[j] = 10.0 * m + j + 0.5;
  }
  for (int e = 0; e < 3; ++e)
    h.ElectrodeCharges[e] = h.ElectrodeCurrents[e] = 99.0;
}

class ParamImage : public ::testing::Test {
protected:
  void SetUp() override
  {
    from.reset(THeapNew());
    to.reset(THeapNew());
    ASSERT_TRUE(from && to);
    FillParams(*from);
  }
  HeapPtr from, to;
};

TEST_F(ParamImage, RestoresEveryStoredMember)
{
  ReadParams(ParamsOf(*from), *to);
  const THeap &a = *from, &b = *to;
  EXPECT_EQ(b.N1, 5);
  EXPECT_EQ(b.N2, 6);
  EXPECT_EQ(b.N3, 7);
  EXPECT_EQ(b.N1Last, 4);
  EXPECT_EQ(b.N2Last, 5);
  EXPECT_EQ(b.N3Last, 6);
  // Every stored byte of the parameter block but the pointers and the state
  // that is not part of the image.
  for (auto member : {&THeap::CellSize1, &THeap::CellSize2, &THeap::CellSize3, &THeap::DtGrowth, &THeap::DtInit,
                      &THeap::DtSpark, &THeap::Dw, &THeap::Dw0, &THeap::AuxParam21, &THeap::Eps0, &THeap::AuxParam8,
                      &THeap::AuxParam9, &THeap::AuxParam10, &THeap::AuxParam11, &THeap::AuxParam12,
                      &THeap::AuxParam13, &THeap::AuxParam1, &THeap::AuxParam2, &THeap::AuxParam4, &THeap::AuxParam6,
                      &THeap::AuxParam5, &THeap::AuxParam7, &THeap::AuxParam16, &THeap::AuxParam17, &THeap::LimbEn,
                      &THeap::LimbMinCond, &THeap::LimbMaxCond, &THeap::GenC, &THeap::GenR1, &THeap::GenL,
                      &THeap::GenU, &THeap::GenCs, &THeap::GenR0, &THeap::GenRT, &THeap::GenR, &THeap::GenL1,
                      &THeap::GenL2, &THeap::AuxParam3, &THeap::GenNR1, &THeap::GenNR2, &THeap::Tau})
    EXPECT_EQ(b.*member, a.*member);
  for (auto member : {&THeap::MaxNwItr, &THeap::MinNwItr, &THeap::TotalIterations, &THeap::PostStepIterations,
                      &THeap::StepCount, &THeap::AuxParam14, &THeap::AuxParam15, &THeap::LimbDimMinLength,
                      &THeap::LimbDimMinCount, &THeap::GrowthType, &THeap::DwType, &THeap::ItrType,
                      &THeap::ElectrodeCount})
    EXPECT_EQ(b.*member, a.*member);
  EXPECT_EQ(b.BSep, 1);
  EXPECT_EQ(b.AuxParam19, 7);
  EXPECT_EQ(b.GenIdle, 1);
  EXPECT_EQ(b.CodeCount, 6);
  EXPECT_EQ(b.CodePotentialBase, b.CodePotentials + 7);
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(b.CodePotentials[i], a.CodePotentials[i]);
  for (int e = 0; e < 3; ++e) {
    EXPECT_EQ(b.ElectrodePots[e], a.ElectrodePots[e]);
    EXPECT_EQ(b.ElectrodeCharges[e], 0.0);
    EXPECT_EQ(b.ElectrodeFluxCharges[e], 0.0);
    EXPECT_EQ(b.ElectrodeCurrents[e], 0.0);
    EXPECT_EQ(b.ElectrodeDispCurrents[e], 0.0);
  }
  ASSERT_EQ(b.MaterialCount, 2);
  for (int m = 0; m < 2; ++m) {
    const TMaterial &x = a.Materials[m], &y = b.Materials[m];
    for (auto f : {&TMaterial::Ec, &TMaterial::Eps, &TMaterial::Sigma, &TMaterial::GrowthA, &TMaterial::G0,
                   &TMaterial::Alpha, &TMaterial::Beta, &TMaterial::EcTarget, &TMaterial::EcAmplitude,
                   &TMaterial::EcWidth})
      EXPECT_EQ(y.*f, x.*f);
    EXPECT_EQ(y.InvEps, 1.0 / x.Eps);
  }
}

TEST_F(ParamImage, HasTheTableRecordsAndTheSchemeRecord)
{
  const std::vector<TTagRecord> records = RecordsOf(ParamsOf(*from));
  const int32_t ids[] = {0,   1,   2,   3,   4,   5,   6,   7,   8,   10,  11,  12,  13,  14,  15,  16,
                         17,  20,  23,  50,  51,  52,  53,  54,  55,  56,  57,  70,  71,  72,  73,  74,
                         75,  76,  77,  78,  101, 102, 103, 107, 108, 120, 121, 122, 123, 130, 131, 132,
                         133, 134, 135, 136, 137, 138, 139, 150, 151, 200, 201, 202, 203, 204, 205};
  ASSERT_EQ(records.size(), std::size(ids));
  for (size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(records[i].id, ids[i]);
    EXPECT_EQ(records[i].group, 0);
  }
  EXPECT_EQ(records[11].data.size(), 1u);  // BSep is one byte
  EXPECT_EQ(records[42].data.size(), 48u); // six code potentials
  EXPECT_EQ(records[43].data.size(), 24u); // three set potentials
  EXPECT_EQ(RecordsOf(records[57].data).size(), 11u);
}

TEST_F(ParamImage, MissingRecordsTakeTheirDefaults)
{
  // Steps derived from the growth step.
  ReadParams(WithoutIds(ParamsOf(*from), {7, 8}), *to);
  EXPECT_EQ(to->DtInit, 10.0 * from->DtGrowth);
  EXPECT_EQ(to->DtSpark, 0.1 * from->DtGrowth);

  // Electrode potentials from their even codes.
  from->CodePotentials[5] = 11.0; // code -2, electrode 0
  from->CodePotentials[3] = 22.0; // code -4, electrode 1
  from->CodePotentials[1] = 33.0; // code -6, electrode 2
  HeapPtr other(THeapNew());
  ReadParams(WithoutIds(ParamsOf(*from), {122}), *other);
  EXPECT_EQ(other->ElectrodePots[0], 11.0);
  EXPECT_EQ(other->ElectrodePots[1], 22.0);
  EXPECT_EQ(other->ElectrodePots[2], 33.0);

  // The time scheme of an image from before it was stored keeps the record's value.
  HeapPtr older(THeapNew());
  ASSERT_EQ(older->ItrType, 1);
  ReadParams(WithoutIds(ParamsOf(*from), {EngineImage::kParamItrType}), *older);
  EXPECT_EQ(older->ItrType, 1);
}

TEST_F(ParamImage, ZeroPermittivityLeavesItsInverse)
{
  from->Materials[1].Eps = 0.0;
  ReadParams(ParamsOf(*from), *to);
  EXPECT_EQ(to->Materials[1].Eps, 0.0);
  EXPECT_TRUE(std::isfinite(to->Materials[1].InvEps));
  EXPECT_EQ(to->Materials[0].InvEps, 1.0 / from->Materials[0].Eps);
}

// Counts and sizes that would reach an allocator or an index unchecked.
TEST_F(ParamImage, RejectsSizesAndCountsBeyondTheEngineBeforeChangingIt)
{
  struct Case {
    const char* what;
    int32_t id;
    int32_t value;
    bool inMaterials;
  };
  const Case cases[] = {
    {"axis 1 of 0 cells", 0, 0, false},
    {"negative axis", 1, -4, false},
    {"more cells than the lattice holds", 2, 40000, false},
    {"one electrode", 120, 1, false},
    {"negative electrode count", 120, -7, false},
    {"huge electrode count", 120, 0x7fffffff, false},
    {"no material", 0, 0, true},
    {"huge material count", 0, 0x40000000, true},
  };
  const std::vector<uint8_t> good = ParamsOf(*from);
  for (const Case& c : cases) {
    std::vector<TTagRecord> records = RecordsOf(good);
    TTagRecord* target = FindRecord(records, c.inMaterials ? EngineImage::kParamMaterials : c.id);
    ASSERT_NE(target, nullptr) << c.what;
    if (c.inMaterials) {
      std::vector<TTagRecord> inner = RecordsOf(target->data);
      PutInt32LE(FindRecord(inner, c.id)->data.data(), c.value);
      target->data = ImageOf(inner);
    } else {
      PutInt32LE(target->data.data(), c.value);
    }
    HeapPtr fresh(THeapNew());
    const uint64_t before = Fingerprint(*fresh);
    EXPECT_THROW(ReadParams(ImageOf(records), *fresh), EModelImageError) << c.what;
    EXPECT_EQ(Fingerprint(*fresh), before) << c.what;
  }
}

// --- tree limbs ---------------------------------------------------------------

// Trees live on a 5 x 4 x 5 lattice (100 cells) in these tests.
const TTreeLattice kTreeLattice{5, 4, 5};

int WrappedCell(int x, int y, int z)
{
  auto wrap = [](int i, int n) { return ((i % n) + n) % n; };
  return wrap(x, 5) + 5 * (wrap(z, 5) + 5 * y);
}

// A chain of nodes, some beyond the periodic sides, each on its own cell.
TTree MakeTree(int count, int capacity)
{
  TTree t;
  TTreeNew(&t);
  TTreeSetSize(&t, capacity);
  t.count = count;
  for (int i = 0; i < count; ++i) {
    TNode& n = t.nodes[i];
    std::memset(&n, 0, sizeof n);
    n.x = i - 2;
    n.y = i % 4;
    n.z = 2 * i;
    n.cell = WrappedCell(n.x, n.y, n.z);
    n.parent = i - 1;
    n.generation = i;
    double* f = &n.g;
    f[0] = 1.5 + i;
    f[1] = 2.5 + i;
    f[2] = 3.5 + i;
    double* tail = &n.pathLength;
    for (int j = 0; j < 12; ++j)
      tail[j] = i * 100.0 + j;
    n.branchCurrent = 77.0;
  }
  return t;
}

std::vector<uint8_t> TreeImage(const TTree& t)
{
  return WriteImage([&](TTagStream& s) { WriteTreeLimbs(s, t); });
}

void ReadTree(const std::vector<uint8_t>& image, TTree& t)
{
  TMemoryStream stream(image);
  TTagStream tags(&stream, TagStreamRead);
  ReadTreeLimbs(tags, t, kTreeLattice);
}

TEST(TreeLimbs, ColumnsRoundTripWithoutTheBranchCurrent)
{
  TTree a = MakeTree(5, 8), b;
  TTreeNew(&b);
  const std::vector<uint8_t> image = TreeImage(a);
  const std::vector<TTagRecord> records = RecordsOf(image);
  ASSERT_EQ(records.size(), 23u);
  for (int id = 0; id < 23; ++id)
    EXPECT_EQ(records[id].id, id);
  EXPECT_EQ(records[2].data.size(), 20u);
  EXPECT_EQ(records[7].data.size(), 40u);
  EXPECT_EQ(records[10].data.size(), 20u);
  EXPECT_EQ(GetInt32LE(records[6].data.data() + 4), 0); // node 1's parent, node 0 first
  EXPECT_EQ(GetInt32LE(records[2].data.data()), -2);

  ReadTree(image, b);
  ASSERT_EQ(b.count, 5);
  EXPECT_EQ(b.capacity, 8);
  for (int i = 0; i < 5; ++i) {
    TNode expected = a.nodes[i];
    expected.branchCurrent = 0.0;
    EXPECT_EQ(std::memcmp(&b.nodes[i], &expected, sizeof(TNode)), 0) << "node " << i;
  }
  TTreeDelete(&a);
  TTreeDelete(&b);
}

TEST(TreeLimbs, CapacityBelowTheCountAndTheEmptyTree)
{
  TTree a = MakeTree(4, 4), b;
  TTreeNew(&b);
  std::vector<TTagRecord> records = RecordsOf(TreeImage(a));
  PutInt32LE(records[1].data.data(), 2);
  ReadTree(ImageOf(records), b);
  EXPECT_EQ(b.count, 4);
  EXPECT_EQ(b.capacity, 4);

  TTree empty = MakeTree(0, 30);
  const std::vector<uint8_t> image = TreeImage(empty);
  const std::vector<TTagRecord> emptyRecords = RecordsOf(image);
  ASSERT_EQ(emptyRecords.size(), 23u);
  for (int id = 2; id < 23; ++id)
    EXPECT_TRUE(emptyRecords[id].data.empty());
  ReadTree(image, b);
  EXPECT_EQ(b.count, 0);
  EXPECT_EQ(b.capacity, 30);
  for (TTree* t : {&a, &b, &empty})
    TTreeDelete(t);
}

TEST(TreeLimbs, RejectsNodesTheEngineCouldNotWalk)
{
  struct Case {
    const char* what;
    int32_t id;  // record to alter
    int32_t at;  // element
    int32_t value;
  };
  const Case cases[] = {
    {"count above the cells", 0, 0, 101},
    {"negative count", 0, 0, -1},
    {"parent beyond the nodes", 6, 2, 9},
    {"parent of itself", 6, 3, 3},
    {"later parent (a cycle)", 6, 1, 2},
    {"parent below -1", 6, 1, -2},
    {"cell beyond the lattice", 5, 4, 100},
    {"negative cell", 5, 0, -1},
    {"cell that is not the node's position", 5, 1, 0},
    {"axis-2 position below the lattice", 3, 2, -1},
    {"axis-2 position above the lattice", 3, 2, 4},
    {"axis-1 position out of integer reach", 2, 3, 0x7fffffff},
    {"axis-3 position out of integer reach", 4, 3, -0x7fffffff},
    {"generation beyond the index", 10, 2, 3},
    {"negative generation", 10, 0, -1},
  };
  TTree a = MakeTree(5, 5);
  const std::vector<uint8_t> good = TreeImage(a);
  for (const Case& c : cases) {
    std::vector<TTagRecord> records = RecordsOf(good);
    PutInt32LE(records[c.id].data.data() + 4 * c.at, c.value);
    TTree b = MakeTree(2, 3);
    const TNode* keep = b.nodes;
    EXPECT_THROW(ReadTree(ImageOf(records), b), EModelImageError) << c.what;
    EXPECT_EQ(b.nodes, keep) << c.what;
    EXPECT_EQ(b.count, 2) << c.what;
    TTreeDelete(&b);
  }
  // An absurd capacity is only room: it is cut to what the lattice can use.
  std::vector<TTagRecord> records = RecordsOf(good);
  PutInt32LE(records[1].data.data(), 0x7ffffff0);
  TTree b;
  TTreeNew(&b);
  ReadTree(ImageOf(records), b);
  EXPECT_EQ(b.count, 5);
  EXPECT_EQ(b.capacity, 100 + EngineImage::kTreeGrowth);
  TTreeDelete(&a);
  TTreeDelete(&b);
}

// --- lattice state image ------------------------------------------------------

TEST(LatticeStateImage, HasTheSixtyRecordsWithTheirSizes)
{
  HeapPtr h = NeedleModel(4, 5, 3);
  ASSERT_TRUE(h);
  ASSERT_GT(RunToBreakdown(*h, 50), 0);
  const int cells = Cells(*h);
  const int n = h->ElectrodeCount;
  const std::vector<TTagRecord> records = RecordsOf(WriteImage([&](TTagStream& s) { WriteHeapState(s, *h); }));
  struct Expect {
    int32_t id;
    int64_t size;
  };
  std::vector<Expect> table = {{0, 4}, {1, 8}, {2, 4}, {3, 8}, {50, 8}, {51, 8 * n}, {52, 8 * n},
                               {53, 8}, {54, 8}, {55, 8}, {56, 8 * n}, {57, 8 * n}};
  for (int id = 70; id <= 98; ++id)
    table.push_back({id, 8});
  for (int id : {100, 102, 103, 104, 200, 201, 205, 207, 208, 209, 210, 211, 212, 213})
    table.push_back({id, 8 * cells});
  table.push_back({215, 4 * cells});
  table.push_back({300, -1});
  for (int id : {301, 302, 303})
    table.push_back({id, 8});
  ASSERT_EQ(table.size(), 60u);
  ASSERT_EQ(records.size(), 60u);
  for (size_t i = 0; i < table.size(); ++i) {
    EXPECT_EQ(records[i].id, table[i].id);
    EXPECT_EQ(records[i].group, 0);
    if (table[i].size >= 0) {
      EXPECT_EQ(static_cast<int64_t>(records[i].data.size()), table[i].size) << "record " << table[i].id;
    }
  }
  const std::vector<TTagRecord> tree = RecordsOf(records[56].data);
  ASSERT_EQ(tree.size(), 23u);
  EXPECT_EQ(GetInt32LE(tree[0].data.data()), h->Nodes.count);
  EXPECT_EQ(static_cast<int>(tree[22].data.size()), 8 * h->Nodes.count);
  // The scalars are the record's own values.
  EXPECT_EQ(GetInt32LE(records[0].data.data()), h->StepCount);
  EXPECT_EQ(GetDoubleLE(records[1].data.data()), h->Time);
  EXPECT_EQ(GetDoubleLE(records[59].data.data()), h->TimeBreakdown);
}

} // namespace
