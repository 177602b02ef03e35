// libFuzzer target for GIS object images: the full load and the update of an
// open GIS (which keeps known objects and reads only their geometry).
#include <new>
#include <stdexcept>
#include <vector>

#include "FuzzGis.h"
#include "data/Stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  const std::vector<uint8_t> bytes(data, data + size);
  TGIS gis;
  fuzz::RegisterEveryType(gis);
  try {
    TMemoryStream image(bytes);
    gis.LoadObjects(image);
    TMemoryStream again(bytes);
    gis.UpdateObjects(again);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception&) {
    // a damaged image may be refused
  }
  return 0;
}
