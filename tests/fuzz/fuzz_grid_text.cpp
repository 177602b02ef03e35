// libFuzzer target for the text imports: grid text (cut into lines and cells)
// and the volume text of a three-dimensional array in its three kinds (the
// first byte picks the kind and the box).
#include <string>
#include <string_view>
#include <vector>

#include "FuzzInputFile.h"
#include "arraybuild/Volume.h"
#include "maps/GridText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size == 0)
    return 0;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  ParseGridText(text);

  std::vector<double> values(5 * 4 * 3, 0.0);
  TVolume volume;
  volume.values = values.data();
  volume.ax = {0, 1, 5};
  volume.ay = {0, 1, 4};
  volume.az = {0, 1, 3};
  const int mode = data[0] % 3;
  TCellBox box;
  box.i1 = -1 + data[0] % 2;
  box.i2 = 4 + (data[0] >> 4) % 4;
  box.j2 = 3;
  box.k2 = 2;
  fuzz::TInputFile file(data + 1, size - 1);
  std::string why;
  ImportVolumeText(volume, box, mode, file.path, why);
  return 0;
}
