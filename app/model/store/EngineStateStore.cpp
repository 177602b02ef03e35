#include "model/store/EngineStateStore.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstddef>
#include <cstring>
#include <exception>
#include <iterator>
#include <vector>

#include "data/ByteOrder.h"
#include "data/Stream.h"
#include "data/TagStream.h"
#include "model/store/ModelImageError.h"
#include "data/FiniteValue.h"

namespace {

using namespace EngineImage;

enum class TKind : uint8_t {
  I32,
  F64,
  U8,
  ElectrodeBlock, // ids 120..123: count, code potentials, set potentials, rise time
  Materials,      // nested materials image
  ElectrodeArray, // a double* member with ElectrodeCount values
  CellF64,        // a per-cell double array
  CellI32,        // the per-cell material indices
  Tree,           // nested tree limbs image of the record's own nodes
};

struct TField {
  int32_t id;
  TKind kind;
  std::size_t offset;
  const char* name;
};

#define KV_FIELD(id, kind, member) TField{id, TKind::kind, offsetof(THeap, member), #member}

const TField kParamFields[] = {
  KV_FIELD(0, I32, N1),
  KV_FIELD(1, I32, N2),
  KV_FIELD(2, I32, N3),
  KV_FIELD(3, F64, CellSize1),
  KV_FIELD(4, F64, CellSize2),
  KV_FIELD(5, F64, CellSize3),
  KV_FIELD(6, F64, DtGrowth),
  KV_FIELD(7, F64, DtInit),
  KV_FIELD(8, F64, DtSpark),
  KV_FIELD(10, F64, Dw),
  KV_FIELD(11, I32, MaxNwItr),
  KV_FIELD(12, U8, BSep),
  KV_FIELD(13, I32, MinNwItr),
  KV_FIELD(14, I32, TotalIterations),
  KV_FIELD(15, I32, PostStepIterations),
  KV_FIELD(16, I32, StepCount),
  KV_FIELD(17, F64, Dw0),
  KV_FIELD(20, F64, AuxParam21),
  KV_FIELD(23, F64, Eps0),
  KV_FIELD(50, F64, AuxParam8),
  KV_FIELD(51, F64, AuxParam9),
  KV_FIELD(52, F64, AuxParam10),
  KV_FIELD(53, I32, AuxParam14),
  KV_FIELD(54, F64, AuxParam11),
  KV_FIELD(55, F64, AuxParam12),
  KV_FIELD(56, F64, AuxParam13),
  KV_FIELD(57, I32, AuxParam15),
  KV_FIELD(70, F64, AuxParam1),
  KV_FIELD(71, F64, AuxParam2),
  KV_FIELD(72, U8, AuxParam19),
  KV_FIELD(73, F64, AuxParam4),
  KV_FIELD(74, F64, AuxParam6),
  KV_FIELD(75, F64, AuxParam5),
  KV_FIELD(76, F64, AuxParam7),
  KV_FIELD(77, F64, AuxParam16),
  KV_FIELD(78, F64, AuxParam17),
  KV_FIELD(101, F64, LimbEn),
  KV_FIELD(102, F64, LimbMinCond),
  KV_FIELD(103, F64, LimbMaxCond),
  KV_FIELD(107, I32, LimbDimMinLength),
  KV_FIELD(108, I32, LimbDimMinCount),
  KV_FIELD(120, ElectrodeBlock, ElectrodeCount),
  KV_FIELD(130, F64, GenC),
  KV_FIELD(131, F64, GenR1),
  KV_FIELD(132, F64, GenL),
  KV_FIELD(133, F64, GenU),
  KV_FIELD(134, F64, GenCs),
  KV_FIELD(135, F64, GenR0),
  KV_FIELD(136, F64, GenRT),
  KV_FIELD(137, F64, GenR),
  KV_FIELD(138, F64, GenL1),
  KV_FIELD(139, F64, GenL2),
  KV_FIELD(150, F64, AuxParam3),
  KV_FIELD(151, I32, GrowthType),
  KV_FIELD(kParamMaterials, Materials, Materials),
  KV_FIELD(201, I32, DwType),
  KV_FIELD(202, F64, GenNR1),
  KV_FIELD(203, F64, GenNR2),
  KV_FIELD(204, U8, GenIdle),
  KV_FIELD(kParamItrType, I32, ItrType),
};

const TField kStateFields[] = {
  KV_FIELD(0, I32, StepCount),
  KV_FIELD(1, F64, Time),
  KV_FIELD(2, I32, TotalIterations),
  KV_FIELD(3, F64, Dt),
  KV_FIELD(50, F64, MeanCurrent),
  KV_FIELD(51, ElectrodeArray, ElectrodeCurrents),
  KV_FIELD(52, ElectrodeArray, ElectrodeDispCurrents),
  KV_FIELD(53, F64, PositiveCurrent),
  KV_FIELD(54, F64, NegativeCurrent),
  KV_FIELD(55, F64, BoundaryDispCurrent),
  KV_FIELD(56, ElectrodeArray, ElectrodeCharges),
  KV_FIELD(57, ElectrodeArray, ElectrodeFluxCharges),
  KV_FIELD(70, F64, GenUcAccel),
  KV_FIELD(71, F64, GenUcRate),
  KV_FIELD(72, F64, GenUc),
  KV_FIELD(73, F64, GenUl),
  KV_FIELD(74, F64, GenUr),
  KV_FIELD(75, F64, GenI),
  KV_FIELD(76, F64, GapU),
  KV_FIELD(77, F64, GapUPrev),
  KV_FIELD(78, F64, GapC),
  KV_FIELD(79, F64, GapCChange),
  KV_FIELD(80, F64, GapRCircuit),
  KV_FIELD(81, F64, LoadCurrent),
  KV_FIELD(82, F64, GapGCircuit),
  KV_FIELD(83, F64, GenIr),
  KV_FIELD(84, F64, LoadCurrentPrev),
  KV_FIELD(85, F64, GapR),
  KV_FIELD(86, F64, GapG),
  KV_FIELD(87, F64, StrayU),
  KV_FIELD(88, F64, StrayUPrev),
  KV_FIELD(89, F64, GenUl1),
  KV_FIELD(90, F64, GenUl2),
  KV_FIELD(91, F64, CsU),
  KV_FIELD(92, F64, CsUPrev),
  KV_FIELD(93, F64, GapI),
  KV_FIELD(94, F64, GapIPrev),
  KV_FIELD(95, F64, CsI),
  KV_FIELD(96, F64, CsIPrev),
  KV_FIELD(97, F64, GenUnr1),
  KV_FIELD(98, F64, GenUnr2),
  KV_FIELD(100, CellF64, ChargeInit),
  KV_FIELD(102, CellF64, ElectrodeCodes),
  KV_FIELD(103, CellF64, PotentialInit),
  KV_FIELD(104, CellF64, PotentialQ0),
  KV_FIELD(200, CellF64, Potential),
  KV_FIELD(201, CellF64, Charge),
  KV_FIELD(205, CellF64, Ec),
  KV_FIELD(207, CellF64, NodeOfCell),
  KV_FIELD(208, CellF64, CurrentX),
  KV_FIELD(209, CellF64, CurrentY),
  KV_FIELD(210, CellF64, CurrentZ),
  KV_FIELD(211, CellF64, DispCurrentX),
  KV_FIELD(212, CellF64, DispCurrentY),
  KV_FIELD(213, CellF64, DispCurrentZ),
  KV_FIELD(215, CellI32, MaterialOfCell),
  KV_FIELD(kStateNodes, Tree, Nodes),
  KV_FIELD(301, F64, TimeFirstCandidate),
  KV_FIELD(302, F64, TimeFirstGrowth),
  KV_FIELD(303, F64, TimeBreakdown),
};

#undef KV_FIELD

static_assert(std::size(kStateFields) == kStateRecords, "the lattice state image has 60 records");

// --- member access by offset ------------------------------------------------

template <class T>
T* MemberAt(THeap& heap, std::size_t offset)
{
  return reinterpret_cast<T*>(reinterpret_cast<uint8_t*>(&heap) + offset);
}

template <class T>
const T* MemberAt(const THeap& heap, std::size_t offset)
{
  return reinterpret_cast<const T*>(reinterpret_cast<const uint8_t*>(&heap) + offset);
}

// --- little-endian columns --------------------------------------------------

std::vector<uint8_t> DoubleBytes(const double* values, int64_t count)
{
  std::vector<uint8_t> bytes(static_cast<std::size_t>(count) * 8);
  for (int64_t i = 0; i < count; ++i)
    PutDoubleLE(bytes.data() + 8 * i, values[i]);
  return bytes;
}

std::vector<uint8_t> Int32Bytes(const int32_t* values, int64_t count)
{
  std::vector<uint8_t> bytes(static_cast<std::size_t>(count) * 4);
  for (int64_t i = 0; i < count; ++i)
    PutInt32LE(bytes.data() + 4 * i, values[i]);
  return bytes;
}

void DoublesFrom(const uint8_t* bytes, int64_t count, double* out)
{
  for (int64_t i = 0; i < count; ++i)
    out[i] = GetDoubleLE(bytes + 8 * i);
}

void PutBytes(TTagStream& stream, const std::vector<uint8_t>& bytes, int32_t id)
{
  stream.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()), id);
}

// A record of the current group stored as written (never a packed form).
const TTagRecord* PlainRecord(const TTagStream& stream, int32_t id)
{
  const TTagRecord* r = stream.FindEntry(id, 0);
  return r && r->id == id ? r : nullptr;
}

bool PeekInt(const TTagStream& stream, int32_t id, int32_t& value)
{
  const TTagRecord* r = stream.FindEntry(id, 4);
  if (r)
    value = GetInt32LE(r->data.data());
  return r != nullptr;
}

bool LatticeSizeAllowed(int64_t n1, int64_t n2, int64_t n3)
{
  return n1 >= 1 && n2 >= 1 && n3 >= 1 && n1 * n2 <= KORVANE_MAX_CELLS && n1 * n2 * n3 <= KORVANE_MAX_CELLS;
}

int32_t CellCount(const THeap& heap)
{
  return heap.N1 * heap.N2 * heap.N3;
}

// --- tree limbs -------------------------------------------------------------

struct TColumn {
  int32_t id;
  bool wide; // f64 rather than i32
  std::size_t offset;
};

#define KV_COLUMN(id, wide, field) TColumn{id, wide, offsetof(TNode, field)}
const TColumn kTreeColumns[] = {
  KV_COLUMN(2, false, x),           KV_COLUMN(3, false, y),           KV_COLUMN(4, false, z),
  KV_COLUMN(5, false, cell),        KV_COLUMN(6, false, parent),      KV_COLUMN(7, true, invLength),
  KV_COLUMN(8, true, g),            KV_COLUMN(9, true, current),      KV_COLUMN(10, false, generation),
  KV_COLUMN(11, true, pathLength),  KV_COLUMN(12, true, field),       KV_COLUMN(13, true, potential),
  KV_COLUMN(14, true, charge),      KV_COLUMN(15, true, lnL),         KV_COLUMN(16, true, lnR),
  KV_COLUMN(17, true, ec),          KV_COLUMN(18, true, heatDensity), KV_COLUMN(19, true, powerDensity),
  KV_COLUMN(20, true, linearHeat),  KV_COLUMN(21, true, linearPower), KV_COLUMN(22, true, linearCharge),
};
#undef KV_COLUMN
static_assert(std::size(kTreeColumns) + 2 == kTreeRecords, "count, capacity and 21 columns");

// The nodes of a tree image, checked and ready to go into a korvane array.
struct TStagedTree {
  int32_t count = 0;
  int32_t capacity = 0;
  std::vector<TNode> nodes;
};

// strict: every record must be there with exactly the size its count gives
// (side files); otherwise missing or short columns leave their defaults.
int32_t WrapModulo(int32_t i, int32_t n)
{
  const int32_t r = i % n;
  return r < 0 ? r + n : r;
}

TStagedTree StageTree(const TTagStream& stream, const TTree& current, const TTreeLattice& lattice, bool strict)
{
  const int32_t cells = lattice.n1 * lattice.n2 * lattice.n3;
  TStagedTree t;
  t.count = current.count;
  t.capacity = current.capacity;
  const TTagRecord* countRecord = PlainRecord(stream, 0);
  const TTagRecord* capacityRecord = PlainRecord(stream, 1);
  if (strict && (!countRecord || countRecord->data.size() != 4 || !capacityRecord || capacityRecord->data.size() != 4))
    throw EModelImageError("дерево разряда: нет числа или емкости узлов");
  PeekInt(stream, 0, t.count);
  PeekInt(stream, 1, t.capacity);
  if (t.count < 0 || t.count > cells)
    throw EModelImageError("дерево разряда: неверное число узлов " + std::to_string(t.count));
  // The capacity is only room: more than the engine would ever have asked for is not kept.
  const int32_t roomLimit = cells + kTreeGrowth;
  if (t.capacity < t.count)
    t.capacity = t.count;
  if (t.capacity > roomLimit)
    t.capacity = roomLimit;

  t.nodes.assign(static_cast<std::size_t>(t.count), TNode{});
  for (TNode& n : t.nodes)
    n.parent = -1;
  for (const TColumn& c : kTreeColumns) {
    const int64_t need = int64_t{t.count} * (c.wide ? 8 : 4);
    const TTagRecord* r = PlainRecord(stream, c.id);
    if (strict && (!r || static_cast<int64_t>(r->data.size()) != need))
      throw EModelImageError("дерево разряда: запись " + std::to_string(c.id) + " отсутствует или неполна");
    if (!r || static_cast<int64_t>(r->data.size()) < need)
      continue;
    for (int32_t i = 0; i < t.count; ++i) {
      auto* field = reinterpret_cast<uint8_t*>(&t.nodes[i]) + c.offset;
      if (c.wide) {
        const double v = GetDoubleLE(r->data.data() + 8 * static_cast<std::size_t>(i));
        std::memcpy(field, &v, 8);
      } else {
        const int32_t v = GetInt32LE(r->data.data() + 4 * static_cast<std::size_t>(i));
        std::memcpy(field, &v, 4);
      }
    }
  }
  // The engine walks parents towards the roots, indexes cells and steps from a
  // node's position to its neighbours: a parent must come earlier (no cycles),
  // the position must lie in the lattice (axes 1 and 3 any number of periods
  // away, within reach of integer arithmetic) and name the node's cell, and a
  // generation cannot exceed the node's index.
  for (int32_t i = 0; i < t.count; ++i) {
    const TNode& n = t.nodes[i];
    const std::string node = "дерево разряда: узел " + std::to_string(i);
    if (n.parent < -1 || n.parent >= i)
      throw EModelImageError(node + " с неверным родителем");
    if (n.cell < 0 || n.cell >= cells)
      throw EModelImageError(node + " вне решетки");
    if (n.y < 0 || n.y >= lattice.n2 || std::abs(n.x) > kMaxNodeOffset || std::abs(n.z) > kMaxNodeOffset ||
        n.cell != WrapModulo(n.x, lattice.n1) + lattice.n1 * (WrapModulo(n.z, lattice.n3) + lattice.n3 * n.y))
      throw EModelImageError(node + " с неверным положением");
    if (n.generation < 0 || n.generation > i)
      throw EModelImageError(node + " с неверным поколением");
  }
  return t;
}

void ApplyTree(TStagedTree& staged, TTree& tree)
{
  if (!TTreeSetSize(&tree, staged.capacity) && staged.capacity > 0)
    throw EModelImageError("дерево разряда: нет памяти для узлов");
  tree.count = staged.count;
  if (staged.count > 0)
    std::memcpy(tree.nodes, staged.nodes.data(), staged.nodes.size() * sizeof(TNode));
}

// --- materials ----------------------------------------------------------------

const std::size_t kMaterialColumns[] = {
  offsetof(TMaterial, Ec),       offsetof(TMaterial, Eps),       offsetof(TMaterial, Sigma),
  offsetof(TMaterial, GrowthA),  offsetof(TMaterial, G0),        offsetof(TMaterial, Alpha),
  offsetof(TMaterial, Beta),     offsetof(TMaterial, EcTarget),  offsetof(TMaterial, EcAmplitude),
  offsetof(TMaterial, EcWidth),
};
const char* const kMaterialColumnNames[] = {"Ec", "Eps", "Sigma", "GrowthA", "G0", "Alpha",
                                            "Beta", "EcTarget", "EcAmplitude", "EcWidth"};
static_assert(std::size(kMaterialColumnNames) == std::size(kMaterialColumns));
static_assert(std::size(kMaterialColumns) + 1 == kMaterialRecords, "count and ten columns");

std::vector<TMaterial> StageMaterials(const TTagStream& stream, int32_t currentCount)
{
  int32_t count = currentCount;
  PeekInt(stream, 0, count);
  if (count < 1 || count > kMaxMaterials)
    throw EModelImageError("неверное число материалов " + std::to_string(count));
  std::vector<TMaterial> table(static_cast<std::size_t>(count), TMaterial{});
  auto readColumn = [&](int32_t id, std::size_t offset) {
    const TTagRecord* r = stream.FindEntry(id, int64_t{count} * 8);
    if (!r)
      return;
    for (int32_t m = 0; m < count; ++m) {
      const double v = GetDoubleLE(r->data.data() + 8 * static_cast<std::size_t>(m));
      RequireFinite(v, "материал " + std::to_string(m) + ", " + kMaterialColumnNames[id - 1]);
      std::memcpy(reinterpret_cast<uint8_t*>(&table[m]) + offset, &v, 8);
    }
  };
  readColumn(1, kMaterialColumns[0]);
  readColumn(2, kMaterialColumns[1]);
  // A zero permittivity keeps the inverse as allocated (zero here); the engine
  // replaces an unusable inverse at its next reset.
  for (TMaterial& m : table)
    if (m.Eps != 0.0)
      m.InvEps = 1.0 / m.Eps;
  for (int32_t c = 2; c < static_cast<int32_t>(std::size(kMaterialColumns)); ++c)
    readColumn(c + 1, kMaterialColumns[c]);
  return table;
}

TMaterial* AllocateMaterials(const std::vector<TMaterial>& table)
{
  TMaterial* block = TMaterialNew(static_cast<int>(table.size()));
  if (!block)
    throw EModelImageError("нет памяти для таблицы материалов");
  std::memcpy(block, table.data(), table.size() * sizeof(TMaterial));
  return block;
}

// --- engine parameters --------------------------------------------------------

void WriteScalar(TTagStream& stream, const THeap& heap, const TField& f)
{
  switch (f.kind) {
  case TKind::I32:
    stream.WriteInt(*MemberAt<int32_t>(heap, f.offset), f.id);
    break;
  case TKind::F64:
    stream.WriteDouble(*MemberAt<double>(heap, f.offset), f.id);
    break;
  case TKind::U8:
    stream.WriteBuffer(MemberAt<uint8_t>(heap, f.offset), 1, f.id);
    break;
  default:
    break;
  }
}

void ReadScalar(TTagStream& stream, THeap& heap, const TField& f)
{
  switch (f.kind) {
  case TKind::I32:
    stream.Read(*MemberAt<int32_t>(heap, f.offset), f.id);
    break;
  case TKind::F64:
    stream.Read(*MemberAt<double>(heap, f.offset), f.id);
    break;
  case TKind::U8:
    stream.Read(*MemberAt<uint8_t>(heap, f.offset), f.id);
    break;
  default:
    break;
  }
}

void WriteElectrodeBlock(TTagStream& stream, const THeap& heap)
{
  const int32_t n = heap.ElectrodeCount;
  stream.WriteInt(n, 120);
  PutBytes(stream, DoubleBytes(heap.CodePotentials, heap.CodePotentials ? int64_t{2} * n : 0), 121);
  PutBytes(stream, DoubleBytes(heap.ElectrodePots, heap.ElectrodePots ? n : 0), 122);
  stream.WriteDouble(heap.Tau, 123);
}

// The six per-electrode arrays, allocated before anything of the record changes.
struct TElectrodeArrays {
  double* codePotentials = nullptr;
  double* arrays[5] = {}; // pots, charges, flux charges, currents, displacement currents

  ~TElectrodeArrays()
  {
    DoubleDelete(codePotentials);
    for (double* a : arrays)
      DoubleDelete(a);
  }
  void Allocate(int32_t n)
  {
    codePotentials = DoubleNew(2 * n);
    for (double*& a : arrays)
      a = DoubleNew(n);
    bool ok = codePotentials != nullptr;
    for (double* a : arrays)
      ok = ok && a != nullptr;
    if (!ok)
      throw EModelImageError("нет памяти для массивов электродов");
  }
};

void ApplyElectrodeBlock(TTagStream& stream, THeap& heap, TElectrodeArrays& fresh)
{
  const int32_t old = heap.ElectrodeCount;
  stream.Read(heap.ElectrodeCount, 120);
  const int32_t n = heap.ElectrodeCount;
  // Stored codes are exactly 2n doubles; an older table of the same size stands in
  // for a missing record, anything else starts from zero.
  if (const TTagRecord* r = stream.FindEntry(121, int64_t{16} * n))
    DoublesFrom(r->data.data(), int64_t{2} * n, fresh.codePotentials);
  else if (old == n && heap.CodePotentials)
    std::memcpy(fresh.codePotentials, heap.CodePotentials, sizeof(double) * 2 * static_cast<std::size_t>(n));
  else
    std::fill_n(fresh.codePotentials, 2 * static_cast<std::size_t>(n), 0.0);
  stream.Read(heap.Tau, 123);

  heap.CodeCount = 2 * n;
  DoubleDelete(heap.CodePotentials);
  DoubleDelete(heap.ElectrodePots);
  DoubleDelete(heap.ElectrodeCharges);
  DoubleDelete(heap.ElectrodeFluxCharges);
  DoubleDelete(heap.ElectrodeCurrents);
  DoubleDelete(heap.ElectrodeDispCurrents);
  heap.CodePotentials = fresh.codePotentials;
  heap.ElectrodePots = fresh.arrays[0];
  heap.ElectrodeCharges = fresh.arrays[1];
  heap.ElectrodeFluxCharges = fresh.arrays[2];
  heap.ElectrodeCurrents = fresh.arrays[3];
  heap.ElectrodeDispCurrents = fresh.arrays[4];
  fresh.codePotentials = nullptr;
  for (double*& a : fresh.arrays)
    a = nullptr;
  heap.CodePotentialBase = heap.CodePotentials + (2 * n + 1);

  for (int32_t i = 0; i < n; ++i)
    heap.ElectrodePots[i] = heap.CodePotentialBase[-(2 * i + 2)];
  if (const TTagRecord* r = stream.FindEntry(122, int64_t{8} * n))
    DoublesFrom(r->data.data(), n, heap.ElectrodePots);
  for (double* a : {heap.ElectrodeCurrents, heap.ElectrodeDispCurrents, heap.ElectrodeCharges,
                    heap.ElectrodeFluxCharges})
    std::fill_n(a, n, 0.0);
}

// Every double the engine computes with, before anything of the record changes.
void RequireFiniteParams(const TTagStream& stream, int32_t electrodes)
{
  for (const TField& f : kParamFields)
    if (f.kind == TKind::F64)
      if (const TTagRecord* r = stream.FindEntry(f.id, 8); r && r->id == f.id)
        RequireFinite(GetDoubleLE(r->data.data()), f.name);
  const std::pair<int32_t, int64_t> electrodeTables[] = {{121, int64_t{2} * electrodes}, {122, electrodes}, {123, 1}};
  for (const auto& [id, count] : electrodeTables)
    if (const TTagRecord* r = stream.FindEntry(id, 8 * count); r && r->id == id)
      for (int64_t i = 0; i < count; ++i)
        RequireFinite(GetDoubleLE(r->data.data() + 8 * i),
                      id == 121 ? "CodePotentials" : id == 122 ? "ElectrodePots" : "Tau");
}

// --- lattice state --------------------------------------------------------------

int64_t ExpectedStateSize(const TField& f, int32_t cells, int32_t electrodes)
{
  switch (f.kind) {
  case TKind::I32:
    return 4;
  case TKind::F64:
    return 8;
  case TKind::ElectrodeArray:
    return int64_t{8} * electrodes;
  case TKind::CellF64:
    return int64_t{8} * cells;
  case TKind::CellI32:
    return int64_t{4} * cells;
  default:
    return -1;
  }
}

void WriteStateField(TTagStream& stream, const THeap& heap, const TField& f, int32_t cells)
{
  switch (f.kind) {
  case TKind::ElectrodeArray: {
    const double* a = *MemberAt<double* const>(heap, f.offset);
    PutBytes(stream, DoubleBytes(a, a ? heap.ElectrodeCount : 0), f.id);
    break;
  }
  case TKind::CellF64:
    PutBytes(stream, DoubleBytes(MemberAt<double>(heap, f.offset), cells), f.id);
    break;
  case TKind::CellI32:
    PutBytes(stream, Int32Bytes(MemberAt<int32_t>(heap, f.offset), cells), f.id);
    break;
  case TKind::Tree: {
    TTagStream* child = stream.BeginChild();
    WriteTreeLimbs(*child, heap.Nodes);
    stream.EndChild(f.id);
    break;
  }
  default:
    WriteScalar(stream, heap, f);
    break;
  }
}

std::string RecordName(int32_t id)
{
  return "запись " + std::to_string(id);
}

// Every record present with its exact size; the cell contents that the engine
// uses as indices inside their ranges. Raises EModelImageError with the reason.
TStagedTree CheckState(TTagStream& stream, const THeap& heap, const TLatticeStateCheck* check)
{
  const int32_t cells = CellCount(heap);
  for (const TField& f : kStateFields) {
    if (f.kind == TKind::Tree)
      continue;
    const TTagRecord* r = PlainRecord(stream, f.id);
    if (!r)
      throw EModelImageError("нет записи " + std::to_string(f.id));
    if (static_cast<int64_t>(r->data.size()) != ExpectedStateSize(f, cells, heap.ElectrodeCount))
      throw EModelImageError(RecordName(f.id) + " неверного размера");
  }
  if (!PlainRecord(stream, kStateNodes))
    throw EModelImageError("нет записи " + std::to_string(kStateNodes));
  TTagStream* child = stream.OpenChild(kStateNodes);
  TStagedTree tree;
  try {
    tree = StageTree(*child, heap.Nodes, TTreeLattice{heap.N1, heap.N2, heap.N3}, true);
  } catch (...) {
    stream.CloseChild();
    throw;
  }
  stream.CloseChild();

  const std::vector<uint8_t>& materials = PlainRecord(stream, 215)->data;
  for (int32_t c = 0; c < cells; ++c) {
    const int32_t m = GetInt32LE(materials.data() + 4 * static_cast<std::size_t>(c));
    if (m < 0 || m >= heap.MaterialCount)
      throw EModelImageError("материал ячейки " + std::to_string(c) + " вне таблицы материалов");
  }
  const std::vector<uint8_t>& nodeOfCell = PlainRecord(stream, 207)->data;
  for (int32_t c = 0; c < cells; ++c) {
    const double v = GetDoubleLE(nodeOfCell.data() + 8 * static_cast<std::size_t>(c));
    if (v != -1.0 && !(v >= 0.0 && v < tree.count && v == std::floor(v)))
      throw EModelImageError("ячейка " + std::to_string(c) + " ссылается на несуществующий узел");
  }

  if (check) {
    const int32_t steps = GetInt32LE(PlainRecord(stream, 0)->data.data());
    const double time = GetDoubleLE(PlainRecord(stream, 1)->data.data());
    if (steps != check->stepCount)
      throw EModelImageError("число шагов " + std::to_string(steps) + " не совпадает с проектом (" +
                             std::to_string(check->stepCount) + ")");
    // Repeated discharges restart the engine's clock, so it may lag the model's,
    // never lead it.
    const double slack = std::fabs(check->modelTime) * 1e-9;
    if (!(time >= 0.0) || !(time <= check->modelTime + slack))
      throw EModelImageError("время расчета не совпадает с проектом");
  }
  return tree;
}

void ApplyState(TTagStream& stream, THeap& heap, TStagedTree& tree)
{
  const int32_t cells = CellCount(heap);
  for (const TField& f : kStateFields) {
    const TTagRecord* r = PlainRecord(stream, f.id);
    switch (f.kind) {
    case TKind::I32: {
      const int32_t v = GetInt32LE(r->data.data());
      std::memcpy(MemberAt<int32_t>(heap, f.offset), &v, 4);
      break;
    }
    case TKind::F64:
      *MemberAt<double>(heap, f.offset) = GetDoubleLE(r->data.data());
      break;
    case TKind::ElectrodeArray:
      DoublesFrom(r->data.data(), heap.ElectrodeCount, *MemberAt<double*>(heap, f.offset));
      break;
    case TKind::CellF64:
      DoublesFrom(r->data.data(), cells, MemberAt<double>(heap, f.offset));
      break;
    case TKind::CellI32: {
      int32_t* a = MemberAt<int32_t>(heap, f.offset);
      for (int32_t c = 0; c < cells; ++c)
        a[c] = GetInt32LE(r->data.data() + 4 * static_cast<std::size_t>(c));
      break;
    }
    case TKind::Tree:
      ApplyTree(tree, heap.Nodes);
      break;
    default:
      break;
    }
  }
}

} // namespace

// --- public operations ----------------------------------------------------------

void WriteTreeLimbs(TTagStream& stream, const TTree& tree)
{
  const int32_t count = tree.nodes ? std::max(tree.count, 0) : 0;
  stream.WriteInt(tree.count, 0);
  stream.WriteInt(tree.capacity, 1);
  std::vector<int32_t> words(static_cast<std::size_t>(count));
  std::vector<double> wides(static_cast<std::size_t>(count));
  for (const TColumn& c : kTreeColumns) {
    for (int32_t i = 0; i < count; ++i) {
      const auto* field = reinterpret_cast<const uint8_t*>(&tree.nodes[i]) + c.offset;
      if (c.wide)
        std::memcpy(&wides[i], field, 8);
      else
        std::memcpy(&words[i], field, 4);
    }
    PutBytes(stream, c.wide ? DoubleBytes(wides.data(), count) : Int32Bytes(words.data(), count), c.id);
  }
}

void ReadTreeLimbs(TTagStream& stream, TTree& tree, const TTreeLattice& lattice)
{
  if (!LatticeSizeAllowed(lattice.n1, lattice.n2, lattice.n3))
    throw EModelImageError("неверный размер решетки");
  TStagedTree staged = StageTree(stream, tree, lattice, false);
  ApplyTree(staged, tree);
}

void WriteMaterials(TTagStream& stream, const TMaterial* materials, int32_t count)
{
  const int32_t n = materials ? std::max(count, 0) : 0;
  stream.WriteInt(count, 0);
  std::vector<double> column(static_cast<std::size_t>(n));
  for (int32_t c = 0; c < static_cast<int32_t>(std::size(kMaterialColumns)); ++c) {
    for (int32_t m = 0; m < n; ++m)
      std::memcpy(&column[m], reinterpret_cast<const uint8_t*>(&materials[m]) + kMaterialColumns[c], 8);
    PutBytes(stream, DoubleBytes(column.data(), n), c + 1);
  }
}

void ReadMaterials(TTagStream& stream, TMaterial*& materials, int32_t& count)
{
  const std::vector<TMaterial> table = StageMaterials(stream, count);
  TMaterial* block = AllocateMaterials(table);
  TMaterialDelete(materials);
  materials = block;
  count = static_cast<int32_t>(table.size());
}

void WriteHeapParams(TTagStream& stream, const THeap& heap)
{
  for (const TField& f : kParamFields) {
    if (f.kind == TKind::ElectrodeBlock) {
      WriteElectrodeBlock(stream, heap);
    } else if (f.kind == TKind::Materials) {
      TTagStream* child = stream.BeginChild();
      WriteMaterials(*child, heap.Materials, heap.MaterialCount);
      stream.EndChild(f.id);
    } else {
      WriteScalar(stream, heap, f);
    }
  }
}

void ReadHeapParams(TTagStream& stream, THeap& heap)
{
  // Everything that reaches an allocator or an index is checked first.
  int32_t n1 = heap.N1, n2 = heap.N2, n3 = heap.N3, electrodes = heap.ElectrodeCount;
  PeekInt(stream, 0, n1);
  PeekInt(stream, 1, n2);
  PeekInt(stream, 2, n3);
  PeekInt(stream, 120, electrodes);
  if (!LatticeSizeAllowed(n1, n2, n3))
    throw EModelImageError("неверный размер решетки " + std::to_string(n1) + "x" + std::to_string(n2) + "x" +
                           std::to_string(n3));
  if (electrodes < 2 || electrodes > kMaxElectrodes)
    throw EModelImageError("неверное число электродов " + std::to_string(electrodes));
  RequireFiniteParams(stream, electrodes);
  std::vector<TMaterial> materials;
  {
    TTagStream* child = stream.OpenChild(kParamMaterials);
    try {
      materials = StageMaterials(*child, heap.MaterialCount);
    } catch (...) {
      stream.CloseChild();
      throw;
    }
    stream.CloseChild();
  }
  TElectrodeArrays fresh;
  fresh.Allocate(electrodes);
  TMaterial* materialBlock = AllocateMaterials(materials);

  for (const TField& f : kParamFields) {
    if (f.id == 7)
      heap.DtInit = 10.0 * heap.DtGrowth;
    if (f.id == 8)
      heap.DtSpark = 0.1 * heap.DtGrowth;
    if (f.kind == TKind::ElectrodeBlock) {
      ApplyElectrodeBlock(stream, heap, fresh);
    } else if (f.kind == TKind::Materials) {
      TMaterialDelete(heap.Materials);
      heap.Materials = materialBlock;
      heap.MaterialCount = static_cast<int32_t>(materials.size());
    } else {
      ReadScalar(stream, heap, f);
    }
    if (f.id == 2) {
      heap.N1Last = heap.N1 - 1;
      heap.N2Last = heap.N2 - 1;
      heap.N3Last = heap.N3 - 1;
    }
  }
}

void WriteHeapState(TTagStream& stream, const THeap& heap)
{
  const int32_t cells = CellCount(heap);
  for (const TField& f : kStateFields)
    WriteStateField(stream, heap, f, cells);
}

bool ReadHeapState(TTagStream& stream, THeap& heap, std::string* why, const TLatticeStateCheck* check)
{
  try {
    if (!LatticeSizeAllowed(heap.N1, heap.N2, heap.N3))
      throw EModelImageError("неверный размер решетки");
    TStagedTree tree = CheckState(stream, heap, check);
    ApplyState(stream, heap, tree);
  } catch (const std::exception& e) {
    if (why)
      *why = e.what();
    return false;
  }
  // The engine checks the restored record once more and rebuilds what is derived.
  if (!THeapLoadPrepaire(&heap)) {
    if (why)
      *why = "состояние расчета не согласовано с параметрами модели";
    return false;
  }
  return true;
}

bool SaveHeapState(const std::string& path, const THeap& heap, std::string* why)
{
  try {
    TSaveFileStream file(path);
    {
      TTagStream image(&file, TagStreamWrite);
      WriteHeapState(image, heap);
      if (!image.Commit())
        throw EStreamError("запись не удалась");
    }
    if (!file.Commit())
      throw EStreamError("запись не удалась");
    return true;
  } catch (const std::exception& e) {
    if (why)
      *why = e.what();
    return false;
  }
}

bool LoadHeapState(const std::string& path, THeap& heap, std::string* why, const TLatticeStateCheck* check)
{
  try {
    TFileStream file(path, TFileMode::Read);
    TTagStream image(&file, TagStreamRead);
    return ReadHeapState(image, heap, why, check);
  } catch (const std::exception& e) {
    if (why)
      *why = e.what();
    return false;
  }
}
