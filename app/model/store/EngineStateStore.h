#pragma once
// The engine's state as tagged-stream images: the discharge tree column by
// column, the material table, the set-up and result values of the record (with
// the materials nested), and the lattice state that a calculation under way
// keeps in the side file. All records are in the stream's current group with the
// fixed ids below; every array that goes into the record comes from korvane's
// allocator, because the engine frees and reallocates it itself later.
//
// Readers check every size and count that reaches an allocator or an index
// before they change the record: a bad image raises EModelImageError (project
// images) or makes the lattice-state read answer false with the reason, and the
// record stays as it was.
//
// Not stored: the sweep direction counter (SweepOrder) and the engine's random
// generator. A continued run therefore follows the uninterrupted one exactly
// only where neither matters: sweeps that write their results aside (BSep) and
// deterministic growth; otherwise it goes on from the same state by a
// different, equally valid path.
#include <cstdint>
#include <string>

#include "korvane.h"

class TTagStream;

namespace EngineImage {
// Node records that the engine adds to its node array at a time.
inline constexpr int32_t kTreeGrowth = 100;
// How far a node may lie from the lattice along the periodic axes.
inline constexpr int32_t kMaxNodeOffset = 1 << 28;
// Upper bounds of stored counts (each electrode and material could own a cell).
inline constexpr int32_t kMaxElectrodes = KORVANE_MAX_CELLS;
inline constexpr int32_t kMaxMaterials = KORVANE_MAX_CELLS;
// Ids of the tree limbs image: count, capacity, then one column per node field.
inline constexpr int32_t kTreeRecords = 23;
// Ids of the materials image: count, then one column per stored field.
inline constexpr int32_t kMaterialRecords = 11;
// Engine parameter image: the materials child, and the time scheme, which
// older images lack (the record then keeps its value).
inline constexpr int32_t kParamMaterials = 200;
inline constexpr int32_t kParamItrType = 205;
// Lattice state image: the engine's own node list, and the number of records.
inline constexpr int32_t kStateNodes = 300;
inline constexpr int32_t kStateRecords = 60;
} // namespace EngineImage

// Tree limbs image (ids 0 to 22). branchCurrent is not stored; reading sets it 0.
void WriteTreeLimbs(TTagStream& stream, const TTree& tree);
// The lattice a tree lives on: it bounds the node count, the cells and the
// positions of the nodes.
struct TTreeLattice {
  int32_t n1 = 1;
  int32_t n2 = 1;
  int32_t n3 = 1;
};
inline TTreeLattice TreeLatticeOf(const THeap& heap)
{
  return {heap.N1, heap.N2, heap.N3};
}
// Reads into a tree whose node array belongs to korvane. Parents must be -1 or
// an earlier node, cells and positions in the lattice and in agreement, so the
// engine can walk the tree. Missing column records leave zeros (parents -1).
// Raises EModelImageError and leaves the tree as it was.
void ReadTreeLimbs(TTagStream& stream, TTree& tree, const TTreeLattice& lattice);

void WriteMaterials(TTagStream& stream, const TMaterial* materials, int32_t count);
// Replaces the table (TMaterialDelete / TMaterialNew); InvEps := 1/Eps where Eps
// is not 0. A count outside 1..kMaxMaterials raises EModelImageError.
void ReadMaterials(TTagStream& stream, TMaterial*& materials, int32_t& count);

// Engine parameter image with the materials image nested under id 200.
void WriteHeapParams(TTagStream& stream, const THeap& heap);
// Reads every value in place (absent ones keep theirs), reallocates the
// per-electrode arrays and the material table. Sizes outside the lattice
// limits, fewer than 2 electrodes or no material raise EModelImageError before
// anything changes.
void ReadHeapParams(TTagStream& stream, THeap& heap);

// Lattice state image (60 records). The record's N1..N3 and ElectrodeCount
// must already be those of the saved state (ReadHeapParams restores them).
void WriteHeapState(TTagStream& stream, const THeap& heap);
// What a side file must agree with: the engine's step count as the project
// restored it and the model time of the project (the engine's time never runs
// ahead of the model's; repeated discharges restart it at 0).
struct TLatticeStateCheck {
  int32_t stepCount = 0;
  double modelTime = 0.0;
};
// Takes the image over only when every record is there with its exact size,
// the tree and the cell indices fit the lattice and, when check is given, the
// step count and time agree; then calls THeapLoadPrepaire. Otherwise false with
// the reason in why, and nothing of the record changes.
bool ReadHeapState(TTagStream& stream, THeap& heap, std::string* why = nullptr,
                   const TLatticeStateCheck* check = nullptr);

// File forms. Saving writes under a temporary name and moves the file into
// place only when complete; both answer false (with the reason) on any failure.
bool SaveHeapState(const std::string& path, const THeap& heap, std::string* why = nullptr);
bool LoadHeapState(const std::string& path, THeap& heap, std::string* why = nullptr,
                   const TLatticeStateCheck* check = nullptr);
