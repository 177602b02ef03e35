#pragma once
// Small engine models and image helpers shared by the store tests.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "data/ByteOrder.h"
#include "data/Stream.h"
#include "data/TagStream.h"
#include "korvane.h"
#include "model/store/EngineStateStore.h"

namespace storetest {

struct HeapDeleter {
  void operator()(THeap* h) const { THeapDelete(h); }
};
using HeapPtr = std::unique_ptr<THeap, HeapDeleter>;

inline int Cell(const THeap& h, int i1, int i2, int i3) { return i1 + h.N1 * (i3 + h.N3 * i2); }
inline int Cells(const THeap& h) { return h.N1 * h.N2 * h.N3; }

// A needle (one odd-coded cell above the lower plate) in a small lattice, with
// the settings under which a restored run steps on bit for bit: sweeps that
// write their results aside and growth without chance.
inline HeapPtr NeedleModel(int n1 = 7, int n2 = 8, int n3 = 7)
{
  HeapPtr h(THeapNew());
  if (!h)
    return h;
  THeapSetLatticeSize(h.get(), n1, n2, n3);
  h->ElectrodeCodes[Cell(*h, n1 / 2, 1, n3 / 2)] = -3;
  h->BSep = 1;
  h->GrowthType = 1;
  return h;
}

// Resets, initialises and steps until breakdown (or the step limit); the
// number of steps taken.
inline int RunToBreakdown(THeap& h, int limit = 3000)
{
  KorvaneSetRandomSeed(1, 4242);
  THeapReset(&h);
  THeapInitCalc(&h);
  int steps = 0;
  while (steps < limit && !h.Flags) {
    THeapGoTimeStep(&h);
    ++steps;
  }
  KorvaneSetRandomSeed(0, 0);
  return steps;
}

// The records of an image, and an image rebuilt from records (so tests can
// drop or alter single records).
inline std::vector<TTagRecord> RecordsOf(const std::vector<uint8_t>& image)
{
  TMemoryStream stream(image);
  TTagStream tags(&stream, TagStreamRead);
  return tags.Records();
}

inline std::vector<uint8_t> ImageOf(const std::vector<TTagRecord>& records)
{
  TByteWriter w;
  w.Int32(static_cast<int32_t>(records.size()));
  for (const TTagRecord& r : records) {
    w.Int32(r.id);
    w.Int32(r.group);
    w.Int32(static_cast<int32_t>(r.data.size()));
    w.Int32(static_cast<int32_t>(r.data.size()));
    w.Bytes(r.data.data(), r.data.size());
  }
  return w.Take();
}

inline std::vector<uint8_t> WithoutIds(const std::vector<uint8_t>& image, std::initializer_list<int32_t> ids)
{
  std::vector<TTagRecord> kept;
  for (const TTagRecord& r : RecordsOf(image)) {
    bool drop = false;
    for (int32_t id : ids)
      drop = drop || r.id == id;
    if (!drop)
      kept.push_back(r);
  }
  return ImageOf(kept);
}

inline TTagRecord* FindRecord(std::vector<TTagRecord>& records, int32_t id)
{
  for (TTagRecord& r : records)
    if (r.id == id)
      return &r;
  return nullptr;
}

// Writes through a callback into a memory image.
template <class F>
std::vector<uint8_t> WriteImage(F&& write)
{
  TMemoryStream stream;
  {
    TTagStream tags(&stream, TagStreamWrite);
    write(tags);
  }
  return stream.Bytes();
}

// The engine's parameter image, and back.
inline std::vector<uint8_t> ParamsOf(const THeap& h)
{
  return WriteImage([&](TTagStream& s) { WriteHeapParams(s, h); });
}

inline void ReadParams(const std::vector<uint8_t>& image, THeap& h)
{
  TMemoryStream stream(image);
  TTagStream tags(&stream, TagStreamRead);
  ReadHeapParams(tags, h);
}

inline std::vector<uint8_t> ReadFile(const std::string& path)
{
  TFileStream f(path, TFileMode::Read);
  std::vector<uint8_t> bytes(static_cast<size_t>(f.GetSize()));
  if (!bytes.empty())
    f.ReadExact(bytes.data(), bytes.size());
  return bytes;
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
  TFileStream f(path, TFileMode::Create);
  if (!bytes.empty())
    f.WriteExact(bytes.data(), bytes.size());
  f.Close();
}

// A folder of its own per test, removed afterwards.
class TempFolder {
public:
  TempFolder()
  {
    std::string pattern = (std::filesystem::temp_directory_path() / "modelstoreXXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& Path() const { return path_; }

private:
  std::filesystem::path path_;
};

// A fingerprint of what a load may change: the lattice arrays in use, the
// parameter and state block and the node list.
inline uint64_t Fingerprint(const THeap& h)
{
  uint64_t hash = 1469598103934665603ull;
  auto mix = [&](const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    for (size_t i = 0; i < n; ++i)
      hash = (hash ^ b[i]) * 1099511628211ull;
  };
  const size_t cells = static_cast<size_t>(Cells(h));
  for (const double* a : {h.Potential, h.PotentialInit, h.PotentialQ0, h.Charge, h.ChargeInit, h.NodeOfCell, h.Ec,
                          h.ElectrodeCodes, h.CurrentX, h.DispCurrentZ})
    mix(a, cells * sizeof(double));
  mix(h.MaterialOfCell, cells * sizeof(int32_t));
  mix(&h.Nodes, sizeof(THeap) - offsetof(THeap, Nodes));
  if (h.Nodes.nodes && h.Nodes.count > 0)
    mix(h.Nodes.nodes, static_cast<size_t>(h.Nodes.count) * sizeof(TNode));
  return hash;
}

} // namespace storetest
