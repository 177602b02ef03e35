// Band classification of a value raster and the thinning of its boundary lines.
#include "ContourCodes.h"
#include "melisco.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace melisco {
namespace {

// Band of v: the number of internal levels 1 .. n - 1 that lie above v
// (binary search: the levels run downward).
int32_t SearchBand(double v, const double* internalLevels, int levelCount) {
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

bool RunsDownward(const double* internalLevels, int levelCount) {
  for (int j = 2; j < levelCount; ++j) {
    if (!(internalLevels[j] <= internalLevels[j - 1])) {
      return false;
    }
  }
  return true;
}

// Neighbouring pixels mostly share a band: with levels in order, the band of
// the previous pixel is confirmed by two comparisons, which gives the band
// that the search would find. Tables out of order always take the search.
class BandFinder {
 public:
  BandFinder(const double* internalLevels, int levelCount)
      : levels_(internalLevels), n_(levelCount), ordered_(RunsDownward(internalLevels, levelCount)) {}

  int32_t operator()(double v) {
    if (ordered_ && (last_ == 0 || v < levels_[last_]) &&
        (last_ + 1 >= n_ || !(v < levels_[last_ + 1]))) {
      return last_;
    }
    last_ = SearchBand(v, levels_, n_);
    return last_;
  }

 private:
  const double* levels_;
  int n_;
  bool ordered_;
  int32_t last_ = 0;
};

void BandRow(int32_t* codes, const double* values, int width, BandFinder& band) {
  for (int x = 0; x < width; ++x) {
    const double v = values[x];
    codes[x] = IsNoValue(v) ? kNoCode : band(v);
  }
}

// Codes row y from its bands and those of the row below (null for the last).
void CodeRow(int32_t* row, const int32_t* below, int width, bool lines, bool bands) {
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
    if ((b == d && r == d) || !lines) {
      row[x] = bands ? d + kBandBase : kNoCode;
    } else {
      row[x] = std::min({d, b, r}) + 1;
    }
  }
}

}  // namespace

void ClassifyContourBands(int32_t* codes, const double* pixelValues, int width, int height,
                          const double* internalLevels, int levelCount, bool lines, bool bands) {
  if (width <= 0 || height <= 0) {
    return;
  }
  BandFinder band(internalLevels, levelCount);
  BandRow(codes, pixelValues, width, band);
  // Row y is coded once the bands of row y + 1 exist; both stay in the cache.
  for (int y = 0; y < height; ++y) {
    int32_t* row = codes + static_cast<std::ptrdiff_t>(y) * width;
    int32_t* below = nullptr;
    if (y + 1 < height) {
      below = row + width;
      BandRow(below, pixelValues + static_cast<std::ptrdiff_t>(y + 1) * width, width, band);
    }
    CodeRow(row, below, width, lines, bands);
  }
}

}  // namespace melisco

using melisco::ReplacementOfLine;

namespace {

struct LineThinning {
  int32_t levelCount;
  bool bands;
  int width;

  bool IsLine(int32_t c) const { return c >= 0 && c < levelCount; }

  // Pass 1 on row y: a line pixel inside a plus of its own code gives way. The
  // neighbours are judged as the grid was: `above` and `current` hold the
  // original rows y - 1 and y, `below` is not changed yet.
  int Plus(int32_t* row, const int32_t* above, const int32_t* current, const int32_t* below) const {
    int changed = 0;
    for (int x = 1; x + 1 < width; ++x) {
      const int32_t c = current[x];
      if (IsLine(c) && current[x - 1] == c && current[x + 1] == c && above[x] == c &&
          below[x] == c) {
        row[x] = ReplacementOfLine(c, bands);
        ++changed;
      }
    }
    return changed;
  }

  // Pass 2 on row y, in place: a line pixel with its code beside it both
  // horizontally and vertically gives way.
  int Corner(int32_t* row) const {
    const int32_t* up = row - width;
    const int32_t* down = row + width;
    int changed = 0;
    for (int x = 1; x + 1 < width; ++x) {
      const int32_t c = row[x];
      if (IsLine(c) && (row[x - 1] == c || row[x + 1] == c) && (up[x] == c || down[x] == c)) {
        row[x] = ReplacementOfLine(c, bands);
        ++changed;
      }
    }
    return changed;
  }
};

}  // namespace

extern "C" int contourFilter(int32_t* codes, int levelCount, int width, int height, bool bands) {
  if (codes == nullptr || width < 3 || height < 3) {
    return 0;
  }
  const LineThinning thinning{levelCount, bands, width};
  auto rowAt = [codes, width](int y) { return codes + static_cast<std::ptrdiff_t>(y) * width; };
  std::vector<int32_t> above(rowAt(0), rowAt(0) + width);
  std::vector<int32_t> current(static_cast<std::size_t>(width));
  int changed = 0;
  // Pass 2 on a row needs pass 1 done on the row below and nothing more, so
  // the passes run one row apart; the result is that of two whole passes.
  for (int y = 1; y + 1 < height; ++y) {
    int32_t* row = rowAt(y);
    std::copy(row, row + width, current.begin());
    changed += thinning.Plus(row, above.data(), current.data(), row + width);
    above.swap(current);
    if (y > 1) {
      changed += thinning.Corner(rowAt(y - 1));
    }
  }
  changed += thinning.Corner(rowAt(height - 2));
  return changed;
}
