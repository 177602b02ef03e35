#pragma once
// The model's records in a project image and its lattice side file.
//
// Block 1300 holds the model window's times, intervals, state, stop and
// autosave settings, parameters and output series; block 1321 the breakdown
// model's engine parameters (materials nested), the tree snapshot, the repeat
// counters and the electrode and inhomogeneity records. A model saved while a
// calculation runs or is paused also keeps the engine's lattice in the side
// file, from which a loaded project continues the run.
//
// The model window copies its fields into the plain records below and back,
// so this code needs neither the window nor Qt. The order of use:
// - saving: WriteModelWindowBlock, then WriteBreakdownModelBlock, then
//   SaveSideFileForState with the calculation state (on failure the window
//   shows kSideFileWriteError under "Ошибка"; the project is still written);
// - loading: ReadModelWindowBlock (then the series capacity, the worker's
//   calculation time, its first-cycle flag cleared for states 1 and 2 and set
//   otherwise, the stop-reached flag cleared), ReadBreakdownModelBlock (the
//   electrode table's records when it found none to take), nx, ny, nz from the
//   engine, RecomputeStructureStatistics, the side-file-loaded flag cleared,
//   then LoadSideFileForState: Restored sets that flag and pauses a state-1
//   model; Failed stops the model and shows the message.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "korvane.h"
#include "model/store/ElectrodeRecord.h"
#include "model/store/InhomogeneityRecord.h"
#include "model/store/LatticeSideFile.h"

class TStream;
class TTagStream;
class TTimeSeries;

namespace ModelBlock {
inline constexpr int32_t WindowGroup = 1300;
inline constexpr int32_t BreakdownGroup = 1321;
} // namespace ModelBlock

// The calculation states that keep a lattice in the side file.
inline bool CalcStateKeepsLattice(int state)
{
  return state == 1 || state == 2;
}

// Block 1300, ids 0 to 22 in this order (id 0 the parameters, id 8 the series).
struct TModelWindowState {
  double time = 0;
  double timeStep = 0.01;
  int32_t stepCount = 0;
  double outputInterval = 0;
  double lastOutputTime = 0;
  int32_t state = 0;
  double calculationTime = 0; // the worker's, seconds
  double startTime = 0;
  int32_t seriesCapacity = 500;
  double refreshInterval = 0;
  double lastRefreshTime = 0;
  int32_t stopMode = 0;
  double stopTime = 0;
  double runDuration = 0;
  double runStartTime = 0;
  int32_t saveFlags = 0;
  double saveTimeInterval = 0;
  double lastSaveTime = 0;
  int32_t stageCount = 0;
  int32_t saveStageCount = 1;
  int32_t stageCountAtLastSave = 0;

  bool operator==(const TModelWindowState&) const = default;
};

// The model's numbered parameters in their raw block (TModelParams::Write and
// ::Read); without a writer the block holds the count 0.
using TParamsWriter = std::function<void(TStream& block)>;
using TParamsReader = std::function<void(TStream* block)>;

// Selects group 1300 and writes the block.
void WriteModelWindowBlock(TTagStream& stream, const TModelWindowState& state, const TTimeSeries* series,
                           const TParamsWriter& writeParams = {});
// The most points per series a project may ask for: every output series
// reserves room for that many at once, so a damaged count must not reach it.
inline constexpr int32_t kMaxSeriesCapacity = 1000000;

// Selects group 1300 and reads the block: a missing or short record leaves its
// field, but a missing calculation time reads as 0, and a series capacity above
// kMaxSeriesCapacity is not taken. The series list is cleared
// and loaded from its block. The caller then applies the series capacity and
// sets the worker's first-cycle flag unless the state keeps a lattice.
void ReadModelWindowBlock(TTagStream& stream, TModelWindowState& state, TTimeSeries* series,
                          const TParamsReader& readParams = {});

// Block 1321 apart from the engine and the tree snapshot.
struct TBreakdownModelState {
  int32_t repeatLimit = 10;
  int32_t repeatCount = 0;
  std::vector<TElectrodeRecord> electrodes;
  std::vector<TInhomogeneityRecord> inhomogeneities;
};

// Selects group 1321 and writes it: engine parameters and tree snapshot as
// child containers, the counters, the records with their sizes.
void WriteBreakdownModelBlock(TTagStream& stream, const THeap& engine, const TTree& snapshot,
                              const TBreakdownModelState& state);

// What reading block 1321 found besides the values it stored in place.
struct TBreakdownBlockRead {
  // The project stored electrode records (block present, size positive); when
  // false, or when the model does not take stored electrodes, the model takes
  // the electrode table's current records instead.
  bool storedElectrodes = false;
};
// Selects group 1321 and reads: the engine parameters (checked first, see
// ReadHeapParams), the tree snapshot into a tree of korvane's, the counters
// (missing ones keep their values), the electrode records when
// takeStoredElectrodes is set and the project has them, and the inhomogeneity
// records (none when the project has none). Raises EModelImageError for an
// image the engine cannot take.
TBreakdownBlockRead ReadBreakdownModelBlock(TTagStream& stream, THeap& engine, TTree& snapshot,
                                            TBreakdownModelState& state, bool takeStoredElectrodes);

// The structure statistics of the engine record recomputed from the snapshot
// with the record's cell sizes, and the applied voltage.
void RecomputeStructureStatistics(THeap& engine, TTree& snapshot);

// Saving in a state that keeps a lattice: the side file beside the project.
// True without writing in any other state. On failure the caller shows
// kSideFileWriteError; the project itself is still written.
inline constexpr const char* kSideFileWriteError = "Ошибка записи в файл.\n";
// With pending, the file is only written beside its place, for the caller to
// commit once the project file is in place.
bool SaveSideFileForState(int calcState, const std::string& projectBase, const THeap& engine,
                          std::string* why = nullptr, const TTempFileMaker& tempFile = {},
                          TPendingSideFile* pending = nullptr);

// Loading: what the model does with its calculation state afterwards.
enum class TSideFileOutcome {
  NotNeeded, // the loaded state keeps no lattice
  Restored,  // the run continues: pause it (state 1) or keep it paused
  Failed,    // the run cannot continue: stop it and show the message
};
struct TSideFileLoad {
  TSideFileOutcome outcome = TSideFileOutcome::NotNeeded;
  std::string message; // for Failed: what the user is told
};
// Reads the side file of a loaded project whose state keeps a lattice. The
// engine must hold the project's parameters already; the step count they
// restored and the model time must agree with the file.
TSideFileLoad LoadSideFileForState(int calcState, const std::string& projectBase, THeap& engine, double modelTime);
