// libFuzzer target for the lattice side file and the engine state: the packed
// file as the model reads it beside a project (first byte even), or the
// unpacked state image taken over by a record (first byte odd).
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "FuzzInputFile.h"
#include "data/Stream.h"
#include "data/TagStream.h"
#include "model/store/EngineStateStore.h"
#include "model/store/LatticeSideFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size == 0)
    return 0;
  // One record for the whole run: mapping a fresh one per input would cost
  // more than the reading itself. A refused image leaves it as it was.
  static THeap* const heap = [] {
    THeap* h = THeapNew();
    THeapSetLatticeSize(h, 5, 6, 5);
    return h;
  }();
  const TLatticeStateCheck check{3, 0.25};
  std::string why;
  try {
    if (data[0] % 2 == 0) {
      fuzz::TInputFile file(data + 1, size - 1);
      LoadLatticeSideFile(file.path, *heap, check, &why);
    } else {
      TMemoryStream image(std::vector<uint8_t>(data + 1, data + size));
      TTagStream records(&image, TagStreamRead);
      ReadHeapState(records, *heap, &why, &check);
    }
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception&) {
  }
  return 0;
}
