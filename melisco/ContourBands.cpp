// Band classification of a value raster and the thinning of its boundary lines.
#include "ContourCodes.h"
#include "melisco.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace melisco {
namespace {

// Band of v: the number of internal levels 1 .. n - 1 that lie above v.
int32_t BandOf(double v, const double* internalLevels, int levelCount) {
  int lo = 1;
  int hi = levelCount;  // first index whose level is <= v lies in [lo, hi]
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    if (v < internalLevels[mid]) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return lo - 1;
}

}  // namespace

void ClassifyContourBands(int32_t* codes, const double* pixelValues, int width, int height,
                          const double* internalLevels, int levelCount, bool lines, bool bands) {
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  for (std::size_t i = 0; i < count; ++i) {
    const double v = pixelValues[i];
    codes[i] = IsNoValue(v) ? kNoCode : BandOf(v, internalLevels, levelCount);
  }
  // In place: the right and lower neighbours still hold their bands when a
  // pixel is coded.
  for (int y = 0; y < height; ++y) {
    int32_t* row = codes + static_cast<std::ptrdiff_t>(y) * width;
    const int32_t* below = y + 1 < height ? row + width : nullptr;
    for (int x = 0; x < width; ++x) {
      const int32_t d = row[x];
      if (d < 0) {
        continue;
      }
      int32_t b = below != nullptr ? below[x] : d;
      if (b < 0) {
        b = d;
      }
      const int32_t r = x + 1 < width ? row[x + 1] : d;
      const int32_t interior = bands ? d + kBandBase : kNoCode;
      if ((b == d && r == d) || !lines) {
        row[x] = interior;
      } else {
        row[x] = std::min({d, b, r}) + 1;
      }
    }
  }
}

}  // namespace melisco

using melisco::ReplacementOfLine;

extern "C" int contourFilter(int32_t* codes, int levelCount, int width, int height, bool bands) {
  if (codes == nullptr || width < 3 || height < 3) {
    return 0;
  }
  auto isLine = [levelCount](int32_t c) { return c >= 0 && c < levelCount; };
  int changed = 0;
  // Pass 1 judges every pixel by the grid as it was: keep the original of the
  // row above and of the current row while the current row changes.
  std::vector<int32_t> above(codes, codes + width);
  std::vector<int32_t> current(static_cast<std::size_t>(width));
  for (int y = 1; y + 1 < height; ++y) {
    int32_t* row = codes + static_cast<std::ptrdiff_t>(y) * width;
    const int32_t* below = row + width;  // not changed yet
    std::memcpy(current.data(), row, sizeof(int32_t) * static_cast<std::size_t>(width));
    for (int x = 1; x + 1 < width; ++x) {
      const int32_t c = current[x];
      if (isLine(c) && current[x - 1] == c && current[x + 1] == c && above[x] == c &&
          below[x] == c) {
        row[x] = ReplacementOfLine(c, bands);
        ++changed;
      }
    }
    above.swap(current);
  }
  // Pass 2 works in place, so earlier decisions of this pass count.
  for (int y = 1; y + 1 < height; ++y) {
    int32_t* row = codes + static_cast<std::ptrdiff_t>(y) * width;
    const int32_t* up = row - width;
    const int32_t* down = row + width;
    for (int x = 1; x + 1 < width; ++x) {
      const int32_t c = row[x];
      if (isLine(c) && (row[x - 1] == c || row[x + 1] == c) && (up[x] == c || down[x] == c)) {
        row[x] = ReplacementOfLine(c, bands);
        ++changed;
      }
    }
  }
  return changed;
}
