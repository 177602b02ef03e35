// Colour filling of a map bitmap from a regular grid (bilinear interpolation).
#include "melisco.h"

#include "BitmapSurface.h"
#include "ColourScale.h"
#include "ContourCodes.h"
#include "PixelWriters.h"

#include <algorithm>
#include <vector>

namespace {

// Where one pixel column (or row) samples the grid: two grid indices and the
// weight of the second; valid = false where the pixel lies off the grid.
struct Sample {
  int i0 = 0;
  int i1 = 0;
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
    s.i0 = std::max(i, 0) * stride;
    s.i1 = std::min(i + 1, cells - 1) * stride;
    s.valid = true;
  }
  return table;
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
  const double sx = (vx1 - vx0) * nx / (s.width * w);
  const double sy = (vy1 - vy0) * ny / (s.height * h);
  const std::vector<Sample> columns = SampleTable(s.width, (vx0 - x) / w * nx, sx, nx, 1);
  const std::vector<Sample> rows = SampleTable(s.height, (vy0 - y) / h * ny, sy, ny, nx);
  const int bpp = s.bytesPerPixel;

  for (int r = 0; r < s.height; ++r) {
    const Sample& row = rows[static_cast<std::size_t>(r)];
    const uint8_t* maskRow = mask != nullptr ? mask + static_cast<std::size_t>(r) * s.width : nullptr;
    double* storedRow = stored != nullptr ? stored + static_cast<std::size_t>(r) * s.width : nullptr;
    if (!row.valid) {
      if (storedRow != nullptr) {
        std::fill(storedRow, storedRow + s.width, melisco::kNoValue);
      }
      continue;
    }
    const double* line0 = values + row.i0;
    const double* line1 = values + row.i1;
    const double fy = row.f;
    uint8_t* p = s.Row(r);
    for (int c = 0; c < s.width; ++c, p += bpp) {
      const Sample& col = columns[static_cast<std::size_t>(c)];
      double value = melisco::kNoValue;
      if (col.valid && (maskRow == nullptr || maskRow[c] != 0)) {
        const double v00 = line0[col.i0], v10 = line0[col.i1];
        const double v01 = line1[col.i0], v11 = line1[col.i1];
        if (v00 != melisco::kNoValue && v10 != melisco::kNoValue && v01 != melisco::kNoValue &&
            v11 != melisco::kNoValue) {
          const double fx = col.f;
          value = (v00 * (1 - fx) + v10 * fx) * (1 - fy) + (v01 * (1 - fx) + v11 * fx) * fy;
          if (fill) {
            const int t = scale.Position(value);
            const int alpha = melisco::RampAlpha(t, scale.alpha0, scale.alphaDelta);
            if (bpp == 4) {
              melisco::FillOpaque32(p, scale.base[0], scale.base[1], scale.base[2], scale.delta[0],
                                    scale.delta[1], scale.delta[2], t, alpha, scale.mode);
            } else {
              melisco::FillBlend(p, scale.base[0], scale.base[1], scale.base[2], scale.delta[0],
                                 scale.delta[1], scale.delta[2], t, alpha, scale.mode);
            }
          }
        }
      }
      if (storedRow != nullptr) {
        storedRow[c] = value;
      }
    }
  }
}
