// Plane sections through three-dimensional arrays: every pixel of the picture
// whose point of the plane lies inside the array's box gets the array's value
// there, drawn as a colour between two colours and, when wanted, as contour
// bands and lines with labels.
#include "melisco.h"

#include "BitmapSurface.h"
#include "ContourCodes.h"
#include "Geometry3D.h"
#include "MeshOperations.h"
#include "NumericGuards.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

struct Box {
  double half[3];
  bool Contains(const double p[3]) const {
    for (int i = 0; i < 3; ++i) {
      if (!(p[i] > -half[i] && p[i] < half[i])) {
        return false;
      }
    }
    return true;
  }
};

// Trilinear value of a regular array at a point of the box; cell centres sit
// at whole grid coordinates.
struct RegularLookup {
  const double* values;
  int n[3];
  int sign[3];
  double half[3];

  double operator()(const double p[3]) const {
    int i0[3], i1[3];
    double f[3];
    for (int a = 0; a < 3; ++a) {
      const double g = p[a] * sign[a] * n[a] / (2 * half[a]) + n[a] / 2.0 - 0.5;
      const int i = melisco::ClampedTrunc(g, -1, n[a]);
      f[a] = g - i;
      i0[a] = std::max(i, 0);
      i1[a] = std::min(i + 1, n[a] - 1);
    }
    double corner[2][2][2];
    for (int ix = 0; ix < 2; ++ix) {
      for (int iy = 0; iy < 2; ++iy) {
        for (int iz = 0; iz < 2; ++iz) {
          const long x = ix ? i1[0] : i0[0];
          const long y = iy ? i1[1] : i0[1];
          const long z = iz ? i1[2] : i0[2];
          const double v = values[x + n[0] * (y + n[1] * z)];
          if (melisco::IsNoValue(v)) {
            return melisco::kNoValue;
          }
          corner[ix][iy][iz] = v;
        }
      }
    }
    double alongY[2];
    for (int ix = 0; ix < 2; ++ix) {
      double alongZ[2];
      for (int iy = 0; iy < 2; ++iy) {
        alongZ[iy] = (1 - f[2]) * corner[ix][iy][0] + f[2] * corner[ix][iy][1];
      }
      alongY[ix] = (1 - f[1]) * alongZ[0] + f[1] * alongZ[1];
    }
    return (1 - f[0]) * alongY[0] + f[0] * alongY[1];
  }
};

// Value of a layered irregular array; remembers the triangle and prism of the
// last point, since neighbouring pixels mostly fall into the same prism.
struct IrregularLookup {
  const double* values;
  bool perElement;
  const TIrregularMesh* mesh;
  double scale[3];
  double centre[3];
  int triangle = -1;
  int prism = -1;

  IrregularLookup(const double* v, bool element, const TIrregularMesh* m, const double half[3])
      : values(v), perElement(element), mesh(m) {
    scale[0] = (m->maxX - m->minX) / (2 * half[0]);
    scale[1] = (m->minY - m->maxY) / (2 * half[1]);
    scale[2] = (m->minZ - m->maxZ) / (2 * half[2]);
    centre[0] = (m->minX + m->maxX) / 2;
    centre[1] = (m->minY + m->maxY) / 2;
    centre[2] = (m->minZ + m->maxZ) / 2;
  }

  double operator()(const double p[3]) {
    const double x = p[0] * scale[0] + centre[0];
    const double y = p[1] * scale[1] + centre[1];
    const double z = p[2] * scale[2] + centre[2];
    if (triangle >= 0 && PointInMeshTriangle(mesh, triangle, x, y)) {
      if (prism < 0 || !PointInPrismLayer(mesh, prism, x, y, z)) {
        prism = FindPrismLayer(mesh, triangle, x, y, z);
      }
    } else {
      triangle = FindMeshTriangle(mesh, x, y);
      prism = triangle >= 0 ? FindPrismLayer(mesh, triangle, x, y, z) : -1;
    }
    if (triangle < 0 || prism < 0) {
      return melisco::kNoValue;
    }
    if (perElement) {
      return values[prism];
    }
    return InterpolateInPrism(mesh, triangle, prism, x, y, z, values);
  }
};

struct Span {
  int first = 0;
  int count = 0;
  double start = 0;
};

// The pixels of one picture axis that the box's projection covers.
Span PixelSpan(double low, double high, double origin, double s, int limit) {
  Span span;
  span.first = melisco::SafeTrunc(low * s + origin);
  span.count = melisco::SafeTrunc((high - low) * s + 1);
  span.start = low;
  if (span.first < 0) {
    span.first = 0;
    span.start = -origin / s;
  }
  span.count = std::min(span.count, limit - span.first);
  return span;
}

struct Colours {
  int base[3];
  int delta[3];
};

Colours ColoursOf(const TArrayDrawSettings* settings) {
  const COLORREF ends[2] = {settings->fillColor1, settings->fillColor2};
  int c[2][3];
  for (int k = 0; k < 2; ++k) {
    c[k][0] = ends[k] & 0xFF;
    c[k][1] = (ends[k] >> 8) & 0xFF;
    c[k][2] = (ends[k] >> 16) & 0xFF;
    if (settings->fillMix == 1 || settings->fillMix == 2) {
      RGB_HSV(c[k][0], c[k][1], c[k][2], &c[k][0], &c[k][1], &c[k][2]);
    }
  }
  Colours out;
  for (int i = 0; i < 3; ++i) {
    out.base[i] = c[0][i];
    out.delta[i] = c[1][i] - c[0][i];
  }
  return out;
}

double RangeFactor(double min, double max) {
  const double r = max - min;
  const double m = std::max(std::fabs(min), std::fabs(max));
  if (!(m > 0) || !(std::fabs(r) / m > 1e-8)) {
    return 0;
  }
  return 65535.0 / r;
}

// Fills the pixels of the section and, when values is given, stores every
// pixel's value there (1e300 where the plane leaves the box or the array has none).
template <class Lookup>
void RasterSection(const melisco::BitmapSurface& bm, int cx, int cy, double s, const Box& box,
                   const double R[9], double d, const TArrayDrawSettings* settings, bool fill,
                   double* values, Lookup& lookup) {
  double inverse[9];
  Matrix3Invert(R, inverse);
  double uMin = HUGE_VAL, uMax = -HUGE_VAL, vMin = HUGE_VAL, vMax = -HUGE_VAL;
  for (int c = 0; c < 8; ++c) {
    const double corner[3] = {c & 1 ? box.half[0] : -box.half[0], c & 2 ? box.half[1] : -box.half[1],
                              c & 4 ? box.half[2] : -box.half[2]};
    double local[3];
    Matrix3Apply(local, inverse, corner);
    uMin = std::min(uMin, local[0]);
    uMax = std::max(uMax, local[0]);
    vMin = std::min(vMin, local[1]);
    vMax = std::max(vMax, local[1]);
  }
  const Span columns = PixelSpan(uMin, uMax, cx, s, bm.width);
  // Rows run downwards: the span of -v.
  Span rows = PixelSpan(-vMax, -vMin, cy, s, bm.height);
  rows.start = -rows.start;
  if (columns.count <= 0 || rows.count <= 0) {
    return;
  }
  const Colours colours = ColoursOf(settings);
  const double factor = RangeFactor(settings->rangeMin, settings->rangeMax);
  const double step = 1 / s;
  const double du[3] = {R[0] * step, R[3] * step, R[6] * step};
  const double dv[3] = {R[1] * step, R[4] * step, R[7] * step};
  double rowStart[3];
  const double first[3] = {columns.start, rows.start, d};
  Matrix3Apply(rowStart, R, first);
  for (int row = rows.first; row < rows.first + rows.count; ++row) {
    double p[3] = {rowStart[0], rowStart[1], rowStart[2]};
    uint8_t* pixel = bm.Pixel(columns.first, row);
    double* stored = values != nullptr ? values + static_cast<long>(row) * bm.width : nullptr;
    for (int col = columns.first; col < columns.first + columns.count; ++col) {
      const double value = box.Contains(p) ? lookup(p) : melisco::kNoValue;
      if (fill && !melisco::IsNoValue(value)) {
        const double t = (value - settings->rangeMin) * factor;
        const int position = t > 0 ? (t < 65534 ? static_cast<int>(t) : 65534) : 0;
        const int opacity = settings->fillType == 1 ? position : settings->transparency1;
        if (bm.bytesPerPixel == 4) {
          fillColorBGRAx(pixel, colours.base[0], colours.base[1], colours.base[2], colours.delta[0],
                         colours.delta[1], colours.delta[2], position, opacity, settings->fillMix);
        } else {
          fillColorBGRx(pixel, colours.base[0], colours.base[1], colours.base[2], colours.delta[0],
                        colours.delta[1], colours.delta[2], position, opacity, settings->fillMix);
        }
      }
      if (stored != nullptr) {
        stored[col] = value;
      }
      pixel += bm.bytesPerPixel;
      for (int a = 0; a < 3; ++a) {
        p[a] += du[a];
      }
    }
    for (int a = 0; a < 3; ++a) {
      rowStart[a] -= dv[a];
    }
  }
}

template <class Lookup>
void DrawSectionWith(TMemBitmap* bm, int cx, int cy, double s, const Box& box, const double R[9],
                     double d, const TArrayDrawSettings* settings, Lookup& lookup) {
  const melisco::BitmapSurface surface = melisco::BitmapSurface::Of(bm);
  if (surface.Empty() || settings == nullptr || !(s > 0)) {
    return;
  }
  const bool bandTypes = settings->fillType == 1 || settings->fillType == 3;
  const bool contours = settings->contoursOn != 0 || (bandTypes && settings->steppedFill != 0);
  const bool fill = bandTypes && settings->steppedFill == 0;
  double* buffer = nullptr;
  const long pixels = static_cast<long>(surface.width) * surface.height;
  if (contours) {
    buffer = static_cast<double*>(std::malloc(sizeof(double) * pixels));
    if (buffer != nullptr) {
      const double noValue = melisco::kNoValue;
      int32_t words[2];
      std::memcpy(words, &noValue, sizeof noValue);
      FillIntPairs(buffer, words[0], words[1], static_cast<int>(pixels));
    }
  }
  RasterSection(surface, cx, cy, s, box, R, d, settings, fill, buffer, lookup);
  if (buffer == nullptr) {
    return;
  }
  double* levels = nullptr;
  int32_t* colours = nullptr;
  uint32_t* kinds = nullptr;
  int32_t* labels = nullptr;
  int labelInts = 0;
  DrawContours(bm, buffer, settings->levels, settings->levelCount, settings->labelFactor,
               settings->labelSubtrahend, &levels, &colours, &kinds, &labels, &labelInts,
               settings->labelFont, settings->contoursOn != 0,
               settings->steppedFill != 0 && settings->fillType != 0, settings->labelThin != 0,
               settings->labelBold != 0, settings->labelSpacing, settings->labelStart);
  std::free(buffer);
  DrawContourLabels(bm->memDC, labelInts, levels, kinds, colours, labels, settings->labelFont);
  FreeContoursData(&labels, &levels, &colours, &kinds);
}

}  // namespace

extern "C" {

void* FillIntPairs(void* dst, int32_t a, int32_t b, int n) {
  int32_t* p = static_cast<int32_t*>(dst);
  for (int i = 0; i < n; ++i) {
    p[2 * i] = a;
    p[2 * i + 1] = b;
  }
  return dst;
}

bool PointInPrismLayer(const TIrregularMesh* mesh, int prism, double x, double y, double z) {
  const double* planes = mesh->prismPlanes + 6 * static_cast<long>(prism);
  const double roof = planes[0] * x + planes[1] * y + planes[2];
  const double sole = planes[3] * x + planes[4] * y + planes[5];
  return roof > sole && sole <= z && z <= roof;
}

void DrawSection(TMemBitmap* bm, int cx, int cy, double s, const double* values, int nx, int ny, int nz,
                 int signX, int signY, int signZ, double halfX, double halfY, double halfZ,
                 const double R[9], double d, const TArrayDrawSettings* settings) {
  if (values == nullptr || nx <= 0 || ny <= 0 || nz <= 0) {
    return;
  }
  const Box box{{halfX, halfY, halfZ}};
  RegularLookup lookup{values, {nx, ny, nz}, {signX, signY, signZ}, {halfX, halfY, halfZ}};
  DrawSectionWith(bm, cx, cy, s, box, R, d, settings, lookup);
}

void DrawSection_IA(TMemBitmap* bm, int cx, int cy, double s, const double* values, int perElement,
                    TIrregularMesh* mesh, double halfX, double halfY, double halfZ, const double R[9],
                    double d, const TArrayDrawSettings* settings) {
  if (values == nullptr || mesh == nullptr) {
    return;
  }
  BuildMeshCoefficients(mesh, false);
  const Box box{{halfX, halfY, halfZ}};
  IrregularLookup lookup(values, perElement != 0, mesh, box.half);
  DrawSectionWith(bm, cx, cy, s, box, R, d, settings, lookup);
}

}  // extern "C"
