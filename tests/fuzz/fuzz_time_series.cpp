// libFuzzer target for the time series of a model window: the list image in
// its tagged and packed forms, with the largest capacity a project may ask for.
#include <new>
#include <stdexcept>
#include <vector>

#include "data/Stream.h"
#include "data/TimeSeries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  TMemoryStream image(std::vector<uint8_t>(data, data + size));
  TTimeSeries list(1000000);
  try {
    list.Load(&image);
    for (int i = 0; i < list.Count(); ++i)
      list.Item(i)->Add(1e9, 1.0); // the run goes on after a load
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception&) {
  }
  return 0;
}
