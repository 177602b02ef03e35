// Colour filling of a map bitmap from a regular grid (bilinear interpolation).
#include "melisco.h"

#include "BitmapSurface.h"
#include "ColourScale.h"
#include "ColourTable.h"
#include "ContourCodes.h"
#include "PixelWriters.h"

#include <algorithm>
#include <vector>

namespace {

// Where one pixel column (or row) samples the grid: two grid indices with the
// weights (1 - f) and f; valid = false where the pixel lies off the grid.
struct Sample {
  int i0 = 0;
  int i1 = 0;
  double w0 = 0.0;
  double f = 0.0;
  bool valid = false;
};

// g(c) = origin + step * (c + 1) - 0.5 in grid units; indices multiplied by
// `stride` (1 for columns, nx for rows).
std::vector<Sample> SampleTable(int pixels, double origin, double step, int cells, int stride) {
  std::vector<Sample> table(static_cast<std::size_t>(pixels));
  for (int c = 0; c < pixels; ++c) {
    const double g = origin + step * (c + 1) - 0.5;
    // Written so that NaN (a zero extent) falls outside as well.
    if (!(g > -0.500001 && g < cells - 0.499999)) {
      continue;
    }
    const int i = g < 0 ? -1 : static_cast<int>(g);
    Sample& s = table[static_cast<std::size_t>(c)];
    s.f = g - i;
    s.w0 = 1 - s.f;
    s.i0 = std::max(i, 0) * stride;
    s.i1 = std::min(i + 1, cells - 1) * stride;
    s.valid = true;
  }
  return table;
}

struct RowJob {
  const double* line0;
  const double* line1;
  double wy0;
  double fy;
  const uint8_t* mask;  // null: every pixel
  double* stored;       // null: values not kept
  uint8_t* pixels;      // null: no colours
};

// One row of pixels; the template takes the tests of a row out of the loop.
template <bool kMask, bool kStore, bool kFill>
void FillRow(const RowJob& job, const std::vector<Sample>& columns, melisco::ColourTable* colours,
             int bytesPerPixel) {
  const int width = static_cast<int>(columns.size());
  for (int c = 0; c < width; ++c) {
    const Sample& col = columns[static_cast<std::size_t>(c)];
    double value = melisco::kNoValue;
    if (col.valid && (!kMask || job.mask[c] != 0)) {
      const double v00 = job.line0[col.i0], v10 = job.line0[col.i1];
      const double v01 = job.line1[col.i0], v11 = job.line1[col.i1];
      if (v00 != melisco::kNoValue && v10 != melisco::kNoValue && v01 != melisco::kNoValue &&
          v11 != melisco::kNoValue) {
        value = (v00 * col.w0 + v10 * col.f) * job.wy0 + (v01 * col.w0 + v11 * col.f) * job.fy;
        if constexpr (kFill) {
          melisco::WritePacked(job.pixels + static_cast<std::ptrdiff_t>(c) * bytesPerPixel,
                               bytesPerPixel, colours->At(colours->Position(value)));
        }
      }
    }
    if constexpr (kStore) {
      job.stored[c] = value;
    }
  }
}

template <bool kMask>
void FillRowFor(const RowJob& job, const std::vector<Sample>& columns,
                melisco::ColourTable* colours, int bytesPerPixel) {
  if (job.stored != nullptr) {
    job.pixels != nullptr ? FillRow<kMask, true, true>(job, columns, colours, bytesPerPixel)
                          : FillRow<kMask, true, false>(job, columns, colours, bytesPerPixel);
  } else if (job.pixels != nullptr) {
    FillRow<kMask, false, true>(job, columns, colours, bytesPerPixel);
  }
}

}  // namespace

extern "C" void DrawFilling(TMemBitmap* bm, const double* values, int nx, int ny, double x, double y,
                            double w, double h, const uint8_t* mask, double vx0, double vy0,
                            double vx1, double vy1, int fillType, bool fill, double min, double max,
                            COLORREF c1, COLORREF c2, int mixMode, int opacity1, int opacity2,
                            bool storeValues, double* pixelValues) {
  const melisco::BitmapSurface s = melisco::BitmapSurface::Of(bm);
  if (s.Empty()) {
    return;
  }
  double* stored = storeValues ? pixelValues : nullptr;
  const std::size_t pixelCount = static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.height);
  if (values == nullptr || nx <= 0 || ny <= 0) {
    if (stored != nullptr) {
      std::fill(stored, stored + pixelCount, melisco::kNoValue);
    }
    return;
  }
  const melisco::ColourScale scale(min, max, c1, c2, mixMode, fillType, opacity1, opacity2);
  melisco::ColourTable colours(scale, pixelCount);
  const double sx = (vx1 - vx0) * nx / (s.width * w);
  const double sy = (vy1 - vy0) * ny / (s.height * h);
  const std::vector<Sample> columns = SampleTable(s.width, (vx0 - x) / w * nx, sx, nx, 1);
  const std::vector<Sample> rows = SampleTable(s.height, (vy0 - y) / h * ny, sy, ny, nx);

  for (int r = 0; r < s.height; ++r) {
    const Sample& row = rows[static_cast<std::size_t>(r)];
    double* storedRow = stored != nullptr ? stored + static_cast<std::size_t>(r) * s.width : nullptr;
    if (!row.valid) {
      if (storedRow != nullptr) {
        std::fill(storedRow, storedRow + s.width, melisco::kNoValue);
      }
      continue;
    }
    const RowJob job{values + row.i0,
                     values + row.i1,
                     row.w0,
                     row.f,
                     mask != nullptr ? mask + static_cast<std::size_t>(r) * s.width : nullptr,
                     storedRow,
                     fill ? s.Row(r) : nullptr};
    if (job.mask != nullptr) {
      FillRowFor<true>(job, columns, &colours, s.bytesPerPixel);
    } else {
      FillRowFor<false>(job, columns, &colours, s.bytesPerPixel);
    }
  }
}
