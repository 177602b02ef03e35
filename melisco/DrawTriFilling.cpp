// Colour filling of one triangle of an irregular mesh, or of one face of the
// prism above it (linear interpolation, or one value per element).
#include "melisco.h"

#include "BitmapSurface.h"
#include "ColourScale.h"
#include "ColourTable.h"
#include "ContourCodes.h"
#include "NumericGuards.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

struct Corner {
  double x;
  double y;
  double value;
};

// The three corners of the triangle (or face) with their values; false when
// there is nothing to draw: no such triangle, no prism in the layer, or a
// corner without value.
bool CornersOf(const TIrregularMesh* mesh, const double* values, int valueMode, int t, int layer,
               Corner corners[3]) {
  if (t < 0 || t >= mesh->triangleCount) {
    return false;
  }
  const int32_t* nodes = mesh->triangles + 3 * static_cast<long>(t);
  const int32_t* valueIndices = nodes;
  int element = t;
  if (layer >= 0) {
    if (layer >= 2 * mesh->layerCount || mesh->surfacePrisms == nullptr) {
      return false;
    }
    const long entry = 2 * (static_cast<long>(layer / 2) * mesh->triangleCount + t) + layer % 2;
    element = mesh->surfacePrisms[entry];
    if (element < 0) {
      return false;
    }
    valueIndices = mesh->prismNodes + 6 * static_cast<long>(element) + 3 * (layer % 2);
  }
  for (int k = 0; k < 3; ++k) {
    corners[k].x = mesh->nodeXY[2 * nodes[k]];
    corners[k].y = mesh->nodeXY[2 * nodes[k] + 1];
    if (!std::isfinite(corners[k].x) || !std::isfinite(corners[k].y)) {
      return false;
    }
    corners[k].value = valueMode == 0 ? values[valueIndices[k]] : values[element];
    if (melisco::IsNoValue(corners[k].value)) {
      return false;
    }
  }
  return true;
}

// x where the horizontal line at y crosses the line through a and b.
double CrossingX(const Corner& a, const Corner& b, double y) {
  return a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y);
}

// Pixel indices [first, last] covered by the interval between two coordinates,
// clamped to the picture; first > last when none is.
std::pair<int, int> PixelRange(double from, double to, double origin, double pixelSize, int count) {
  int a = melisco::ClampedTrunc((from - origin) / pixelSize, -1, count);
  int b = melisco::ClampedTrunc((to - origin) / pixelSize, -1, count);
  if (a > b) {
    std::swap(a, b);
  }
  return {std::max(a, 0), std::min(b, count - 1)};
}

}  // namespace

extern "C" void DrawTriFilling(TMemBitmap* bm, const double* values, TIrregularMesh* mesh,
                               int valueMode, int triangle, int layer, double vx0, double vy0,
                               double vx1, double vy1, const TArrayDrawSettings* settings, bool fill,
                               bool /*contours*/, double* pixelValues) {
  const melisco::BitmapSurface s = melisco::BitmapSurface::Of(bm);
  if (s.Empty() || values == nullptr || mesh == nullptr || settings == nullptr) {
    return;
  }
  Corner c[3];
  if (!CornersOf(mesh, values, valueMode, triangle, layer, c)) {
    return;
  }
  std::sort(c, c + 3, [](const Corner& a, const Corner& b) { return a.y < b.y; });
  const double det = (c[1].x - c[0].x) * (c[2].y - c[0].y) - (c[2].x - c[0].x) * (c[1].y - c[0].y);
  if (!(det != 0.0) || !(det == det)) {
    return;  // no area: nothing inside
  }
  const double dv1 = c[1].value - c[0].value;
  const double dv2 = c[2].value - c[0].value;
  const double a = (dv1 * (c[2].y - c[0].y) - dv2 * (c[1].y - c[0].y)) / det;
  const double b = ((c[1].x - c[0].x) * dv2 - (c[2].x - c[0].x) * dv1) / det;
  const double cc = c[0].value - a * c[0].x - b * c[0].y;

  const double px = (vx1 - vx0) / s.width;
  const double py = (vy1 - vy0) / s.height;
  if (!(px != 0.0 && py != 0.0) || !(px == px && py == py)) {
    return;
  }
  const melisco::ColourScale scale(settings->rangeMin, settings->rangeMax, settings->fillColor1,
                                   settings->fillColor2, settings->fillMix, settings->fillType,
                                   settings->transparency1, settings->transparency2);
  const int bpp = s.bytesPerPixel;
  const auto [firstRow, lastRow] = PixelRange(c[0].y, c[2].y, vy0, py, s.height);
  for (int r = firstRow; r <= lastRow; ++r) {
    const double yc = vy0 + (r + 0.5) * py;
    const double xLong = CrossingX(c[0], c[2], yc);
    const bool upperHalf = (yc < c[1].y && c[1].y != c[0].y) || c[2].y == c[1].y;
    const double xHalf = upperHalf ? CrossingX(c[0], c[1], yc) : CrossingX(c[1], c[2], yc);
    const auto [firstColumn, lastColumn] =
        PixelRange(std::min(xLong, xHalf), std::max(xLong, xHalf), vx0, px, s.width);
    double* stored = pixelValues != nullptr ? pixelValues + static_cast<std::size_t>(r) * s.width : nullptr;
    uint8_t* row = s.Row(r);
    for (int col = firstColumn; col <= lastColumn; ++col) {
      // A pixel on an edge belongs to the first triangle drawn over it.
      if (stored != nullptr && stored[col] != melisco::kNoValue) {
        continue;
      }
      const double value = valueMode == 0 ? a * (vx0 + (col + 0.5) * px) + b * yc + cc : c[0].value;
      if (fill) {
        melisco::WritePacked(row + static_cast<std::ptrdiff_t>(col) * bpp, bpp,
                             scale.Packed(scale.Position(value)));
      }
      if (stored != nullptr) {
        stored[col] = value;
      }
    }
  }
}
