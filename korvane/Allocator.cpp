// The engine heap. Small blocks come from the C heap, large ones straight from
// anonymous mappings, so that a request the machine cannot serve fails with
// null instead of aborting (sanitizer allocators abort on a huge malloc). Each
// block carries a header with its size, which lets the engine check a restored
// array against the length the record claims.
#include "Allocator.h"

#include <sys/mman.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "Engine.h"

#if defined(__SANITIZE_ADDRESS__)
#define KORVANE_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KORVANE_LEAK_CHECKED 1
#endif
#endif
#ifdef KORVANE_LEAK_CHECKED
#include <sanitizer/lsan_interface.h>
#endif

namespace korvane {
namespace {

// Blocks from here on are mapped rather than taken from the C heap.
constexpr std::size_t kMappedThreshold = std::size_t{1} << 20;
// Beyond this no request is even attempted: it cannot be meant.
constexpr std::size_t kLargestBlock = std::size_t{1} << 40;
constexpr std::uint32_t kHeapMagic = 0x4b4f5256u;  // "KORV"
constexpr std::uint32_t kKindMalloc = 1;
constexpr std::uint32_t kKindMapped = 2;

// 16 bytes keep the payload aligned for doubles and the node records.
struct alignas(16) BlockHeader {
  std::size_t bytes;
  std::uint32_t magic;
  std::uint32_t kind;
};
static_assert(sizeof(BlockHeader) == 16, "the block header keeps 16-byte alignment");

std::atomic<bool> failRecordMapping{false};

BlockHeader* HeaderOf(const void* block) {
  return reinterpret_cast<BlockHeader*>(const_cast<char*>(static_cast<const char*>(block)) -
                                        sizeof(BlockHeader));
}

void* MapPages(std::size_t bytes) {
  void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return p == MAP_FAILED ? nullptr : p;
}

}  // namespace

void* EngineAlloc(std::size_t bytes) {
  if (bytes > kLargestBlock) return nullptr;
  const std::size_t total = bytes + sizeof(BlockHeader);
  BlockHeader* header;
  std::uint32_t kind;
  if (total >= kMappedThreshold) {
    header = static_cast<BlockHeader*>(MapPages(total));
    kind = kKindMapped;
  } else {
    header = static_cast<BlockHeader*>(std::malloc(total));
    kind = kKindMalloc;
  }
  if (!header) return nullptr;
  header->bytes = bytes;
  header->magic = kHeapMagic;
  header->kind = kind;
  return header + 1;
}

void EngineFree(void* block) {
  if (!block) return;
  BlockHeader* header = HeaderOf(block);
  if (header->magic != kHeapMagic) return;  // not ours: leaking beats corrupting the heap
  header->magic = 0;
  if (header->kind == kKindMapped)
    munmap(header, header->bytes + sizeof(BlockHeader));
  else
    std::free(header);
}

void* EngineRealloc(void* block, std::size_t bytes) {
  if (!block) return EngineAlloc(bytes);
  void* fresh = EngineAlloc(bytes);
  if (!fresh) return nullptr;  // the old block stays valid, as with realloc
  const std::size_t old = HeaderOf(block)->bytes;
  std::memcpy(fresh, block, old < bytes ? old : bytes);
  EngineFree(block);
  return fresh;
}

std::size_t EngineBlockSize(const void* block) {
  if (!block) return 0;
  const BlockHeader* header = HeaderOf(block);
  return header->magic == kHeapMagic ? header->bytes : 0;
}

double* NewZeroDoubles(int count) {
  if (count < 0) return nullptr;
  const std::size_t bytes = static_cast<std::size_t>(count) * sizeof(double);
  void* block = EngineAlloc(bytes);
  if (block) std::memset(block, 0, bytes);
  return static_cast<double*>(block);
}

// The leak checker does not look into anonymous mappings, so the small arrays
// that only the record points to would be reported as leaked: the record is
// shown to it as a region that holds live pointers.
THeap* MapRecord() {
  if (failRecordMapping.load(std::memory_order_relaxed)) return nullptr;
  auto* heap = static_cast<THeap*>(MapPages(sizeof(THeap)));
#ifdef KORVANE_LEAK_CHECKED
  if (heap) __lsan_register_root_region(heap, sizeof(THeap));
#endif
  return heap;
}

void UnmapRecord(THeap* heap) {
  if (!heap) return;
#ifdef KORVANE_LEAK_CHECKED
  __lsan_unregister_root_region(heap, sizeof(THeap));
  // Under the address checker the record's addresses stay reserved and
  // inaccessible: the next record would otherwise be mapped at the same place,
  // and a reader that kept the old pointer would read it unnoticed instead of
  // faulting. Only address space is kept, no pages.
  if (mmap(heap, sizeof(THeap), PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED | MAP_NORESERVE, -1, 0) !=
      MAP_FAILED)
    return;
#endif
  munmap(heap, sizeof(THeap));
}

void FailRecordMappingForTesting(bool fail) { failRecordMapping.store(fail, std::memory_order_relaxed); }

}  // namespace korvane

extern "C" {

KORVANE_API TMaterial* TMaterialNew(int n) {
  if (n < 0) return nullptr;
  return static_cast<TMaterial*>(korvane::EngineAlloc(static_cast<std::size_t>(n) * sizeof(TMaterial)));
}

KORVANE_API double* DoubleNew(int n) {
  if (n < 0) return nullptr;
  return static_cast<double*>(korvane::EngineAlloc(static_cast<std::size_t>(n) * sizeof(double)));
}

// One body under two names: a block goes back to the heap whatever it holds.
KORVANE_API int TMaterialDelete(void* block) {
  korvane::EngineFree(block);
  return 0;
}

KORVANE_API int DoubleDelete(void* block) __attribute__((alias("TMaterialDelete")));

}  // extern "C"
