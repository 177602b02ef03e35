#pragma once
// The lattice side file: the engine's lattice state image, packed under the
// signature "%MDFPK", beside the project (its base name + ".hex"). It is written
// while a calculation runs or is paused, and read back to continue it.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "korvane.h"
#include "data/Stream.h"
#include "model/store/EngineStateStore.h"

inline constexpr const char* kLatticeSideSignature = "%MDFPK";

std::string LatticeSideFileName(const std::string& projectBase);

// A new, empty temporary file named "gfm..." in the system's temporary folder,
// or in the current folder when that fails; "" when neither takes it.
std::string MakeGfmTempFile();
using TTempFileMaker = std::function<std::string()>;

// The largest unpacked image a side file of this record's lattice can hold:
// a bigger size field marks a damaged file.
int64_t LatticeStateImageLimit(const THeap& heap);

// A side file written whole beside its place and put there only by Commit: a
// project writer commits it once the project file itself is in place, so that
// the two always belong together. Destroyed uncommitted, it is removed.
class TPendingSideFile {
public:
  TPendingSideFile() = default;
  ~TPendingSideFile();
  TPendingSideFile(const TPendingSideFile&) = delete;
  TPendingSideFile& operator=(const TPendingSideFile&) = delete;

  // Writes the state into an unnamed temporary file (its name from tempFile, or
  // MakeGfmTempFile) and packs it beside sidePath. False with the reason.
  bool Write(const std::string& sidePath, const THeap& heap, std::string* why = nullptr,
             const TTempFileMaker& tempFile = {});
  // Puts the written file in place; false with the reason when refused.
  bool Commit(std::string* why = nullptr);
  bool IsPending() const;
  // Leaves the written file beside its place, as a program killed before the
  // commit would (a reader may still recover it, see RecoverLatticeSideFile).
  void Abandon();

private:
  std::string target;
  std::unique_ptr<TSiblingTempFile> packed;
};

// Writes and commits at once: the side file is replaced only when complete.
// False with the reason on any failure; no temporary file is left behind.
bool SaveLatticeSideFile(const std::string& sidePath, const THeap& heap, std::string* why = nullptr,
                         const TTempFileMaker& tempFile = {});

// Unpacks in memory (the signature, the size field and the coded data are all
// checked) and takes the state over only when it is complete and agrees with
// the project (see ReadHeapState). False with the reason otherwise; the record
// then stays as it was.
bool LoadLatticeSideFile(const std::string& sidePath, THeap& heap, const TLatticeStateCheck& check,
                         std::string* why = nullptr);

// The side file of a save killed after its project file was in place: the
// newest whole side file left beside sidePath that agrees with the project is
// read and moved into place, so the pair is whole again. False when none is.
bool RecoverLatticeSideFile(const std::string& sidePath, THeap& heap, const TLatticeStateCheck& check);
