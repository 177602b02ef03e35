// The software cube renderer: for every pixel of the screen rectangle that the
// box covers, the line of sight is met with each section plane and each tree
// segment; the hits are kept sorted from far to near and blended in that order.
#include "BitmapSurface.h"
#include "ColourScale.h"
#include "PixelWriters.h"
#include "melisco.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr int kMaxPlanes = 10;
constexpr int kMaxHits = 50;
constexpr int32_t kNoValue = 65535;

enum HitKind : int32_t { kArrayValue = 0, kTreeSegment = 1, kPlainSection = 2 };

struct Hit {
  double depth;
  int32_t value;
  int32_t kind;
};

// Hits of one pixel, the farthest first. A dense tree seen end-on can meet
// more than the list holds: then the farthest hit is the one that goes, as it
// is the one most covered by the others.
struct HitList {
  Hit entries[kMaxHits];
  int count = 0;

  void Insert(const Hit& hit) {
    int at = 0;
    while (at < count && entries[at].depth > hit.depth) {
      ++at;
    }
    if (count == kMaxHits) {
      if (at == 0) {
        return;
      }
      std::copy(entries + 1, entries + at, entries);
      entries[at - 1] = hit;
      return;
    }
    std::copy_backward(entries + at, entries + count, entries + count + 1);
    entries[at] = hit;
    ++count;
  }
};

bool Invert3(const double m[9], double r[9]) {
  const double c0 = m[4] * m[8] - m[5] * m[7];
  const double c1 = m[5] * m[6] - m[3] * m[8];
  const double c2 = m[3] * m[7] - m[4] * m[6];
  const double det = m[0] * c0 + m[1] * c1 + m[2] * c2;
  if (!(std::fabs(det) > 1e-300) || !std::isfinite(det)) {
    return false;
  }
  const double k = 1.0 / det;
  r[0] = c0 * k;
  r[1] = (m[2] * m[7] - m[1] * m[8]) * k;
  r[2] = (m[1] * m[5] - m[2] * m[4]) * k;
  r[3] = c1 * k;
  r[4] = (m[0] * m[8] - m[2] * m[6]) * k;
  r[5] = (m[2] * m[3] - m[0] * m[5]) * k;
  r[6] = c2 * k;
  r[7] = (m[1] * m[6] - m[0] * m[7]) * k;
  r[8] = (m[0] * m[4] - m[1] * m[3]) * k;
  return true;
}

// The sample of an axis at a cube coordinate inside the open box. Rounding can
// land exactly on count at the far face, so the index is kept in the table.
int SampleIndex(double q, double half, double gridFactor, int count) {
  const int s = static_cast<int>((q + half) * gridFactor);
  return s < 0 ? 0 : (s >= count ? count - 1 : s);
}

struct Inputs {
  const int32_t* codes;
  const ResampleEntry* tab[3];
  int count[3];
  double half[3];
  bool nearest;
};

// The code at a point of the box, or kNoValue.
int32_t SampleCode(const Inputs& in, const double q[3]) {
  const ResampleEntry* e[3];
  for (int a = 0; a < 3; ++a) {
    const double gridFactor = in.count[a] / (2 * in.half[a]);
    e[a] = &in.tab[a][SampleIndex(q[a], in.half[a], gridFactor, in.count[a])];
  }
  if (in.nearest) {
    int32_t index = 0;
    for (int a = 0; a < 3; ++a) {
      index += e[a]->w0 <= 0.5 ? e[a]->i1 : e[a]->i0;
    }
    return in.codes[index];
  }
  double sum = 0;
  for (int corner = 0; corner < 8; ++corner) {
    int32_t index = 0;
    double weight = 1;
    for (int a = 0; a < 3; ++a) {
      const bool second = (corner >> a) & 1;
      index += second ? e[a]->i1 : e[a]->i0;
      weight *= second ? e[a]->w1 : e[a]->w0;
    }
    const int32_t code = in.codes[index];
    if (code == kNoValue) {
      return kNoValue;
    }
    sum += weight * code;
  }
  const int32_t code = static_cast<int32_t>(sum);
  return code < 0 ? 0 : (code >= kNoValue ? kNoValue - 1 : code);
}

// A plane's cube point as a linear function of the pixel's u and w:
// q = origin + u * perU + w * perW, and its depth likewise.
struct PlaneWalk {
  double origin[3], perU[3], perW[3];
  double depthOrigin, depthPerU, depthPerW;
};

PlaneWalk WalkOf(const double plane[4], double invNy, const double gInv[9]) {
  PlaneWalk p;
  p.depthOrigin = plane[3] * invNy;
  p.depthPerU = -plane[0] * invNy;
  p.depthPerW = -plane[2] * invNy;
  for (int r = 0; r < 3; ++r) {
    const double* g = gInv + 3 * r;
    p.origin[r] = g[1] * p.depthOrigin;
    p.perU[r] = g[0] + g[1] * p.depthPerU;
    p.perW[r] = g[2] + g[1] * p.depthPerW;
  }
  return p;
}

bool InsideBox(const double q[3], const double half[3]) {
  for (int a = 0; a < 3; ++a) {
    if (!(q[a] > -half[a] && q[a] < half[a])) {
      return false;
    }
  }
  return true;
}

void Render(TMemBitmap* bm, double viewScale, double negViewScale, double pixelSize, const int32_t* codes,
            const ResampleEntry* tabX, const ResampleEntry* tabY, const ResampleEntry* tabZ, int centreX,
            int centreY, double ax, double ay, double az, int countX, int countY, int countZ,
            const double corners[8][3], const double G[9], const double planes[][4], int planeCount,
            const double segments[][6], int segmentCount, const SegmentStyle* styles, double* scratch1,
            double* scratch2, COLORREF colourMin, COLORREF colourMax, int colourMode, int fillMode,
            int opacity, const COLORREF sectionColour[], const int32_t sectionOpacity[], bool nearest) {
  const melisco::BitmapSurface surface = melisco::BitmapSurface::Of(bm);
  if (surface.Empty() || corners == nullptr || G == nullptr || !std::isfinite(viewScale) ||
      !std::isfinite(negViewScale) || viewScale == 0 || negViewScale == 0 || !(pixelSize > 0) ||
      !std::isfinite(pixelSize)) {
    return;
  }
  double gInv[9];
  if (!Invert3(G, gInv)) {
    return;
  }
  const bool hasArray = codes != nullptr && tabX != nullptr && tabY != nullptr && tabZ != nullptr &&
                        countX > 0 && countY > 0 && countZ > 0;
  const Inputs in{codes, {tabX, tabY, tabZ}, {countX, countY, countZ}, {ax, ay, az}, nearest};
  if (!(ax > 0 && ay > 0 && az > 0)) {
    return;
  }
  planeCount = planes == nullptr ? 0 : std::clamp(planeCount, 0, kMaxPlanes);
  if (segments == nullptr || styles == nullptr || scratch1 == nullptr || scratch2 == nullptr) {
    segmentCount = 0;
  }

  // The screen rectangle that the box covers, cut to the bitmap.
  double xMin = 1e300, xMax = -1e300, yMin = 1e300, yMax = -1e300;
  for (int c = 0; c < 8; ++c) {
    const double x = corners[c][0] * viewScale + centreX;
    const double y = corners[c][2] * negViewScale + centreY;
    xMin = std::min(xMin, x);
    xMax = std::max(xMax, x);
    yMin = std::min(yMin, y);
    yMax = std::max(yMax, y);
  }
  if (!(xMax >= 0 && yMax >= 0 && xMin < surface.width && yMin < surface.height)) {
    return;
  }
  const int firstColumn = std::max(0, static_cast<int>(xMin));
  const int lastColumn = std::min(surface.width - 1, static_cast<int>(xMax));
  const int firstRow = std::max(0, static_cast<int>(yMin));
  const int lastRow = std::min(surface.height - 1, static_cast<int>(yMax));

  double invNy[kMaxPlanes] = {};
  PlaneWalk walks[kMaxPlanes];
  for (int i = 0; i < planeCount; ++i) {
    invNy[i] = planes[i][1] == 0 ? 0 : 1.0 / planes[i][1];
    walks[i] = WalkOf(planes[i], invNy[i], gInv);
  }

  const melisco::ColourScale scale(0, 1, colourMin, colourMax, colourMode, 0, 0, 0);

  // Per segment: its screen direction, squared length and depth change, and
  // its screen box widened by the drawn radius.
  for (int j = 0; j < segmentCount; ++j) {
    const double* s = segments[j];
    double* a = scratch1 + 4 * j;
    double* b = scratch2 + 4 * j;
    a[0] = s[3] - s[0];
    a[1] = s[5] - s[2];
    const double length2 = a[0] * a[0] + a[1] * a[1];
    a[2] = length2 > 0 ? 1.0 / length2 : 0;
    a[3] = s[4] - s[1];
    const double width2 = std::max(styles[j].width2, 0.0);
    const double widen = std::max(width2, std::sqrt(width2) * pixelSize);
    b[0] = std::min(s[0], s[3]) - widen;
    b[1] = std::min(s[2], s[5]) - widen;
    b[2] = std::max(s[0], s[3]) + widen;
    b[3] = std::max(s[2], s[5]) + widen;
  }
  const double invPixel2 = 1.0 / (pixelSize * pixelSize);

  for (int row = firstRow; row <= lastRow; ++row) {
    const double w = (centreY - row) * pixelSize;
    double u = (firstColumn - centreX) * pixelSize;
    double q[kMaxPlanes][3];
    double depth[kMaxPlanes];
    for (int i = 0; i < planeCount; ++i) {
      const PlaneWalk& p = walks[i];
      for (int a = 0; a < 3; ++a) {
        q[i][a] = p.origin[a] + u * p.perU[a] + w * p.perW[a];
      }
      depth[i] = p.depthOrigin + u * p.depthPerU + w * p.depthPerW;
    }
    uint8_t* pixel = surface.Pixel(firstColumn, row);
    for (int column = firstColumn; column <= lastColumn;
         ++column, u += pixelSize, pixel += surface.bytesPerPixel) {
      HitList hits;
      for (int i = 0; i < planeCount; ++i) {
        const double* qi = q[i];
        if (invNy[i] != 0 && InsideBox(qi, in.half)) {
          if (sectionOpacity != nullptr && sectionColour != nullptr && sectionOpacity[i] > 0) {
            hits.Insert({depth[i], i, kPlainSection});
          } else if (hasArray) {
            const int32_t code = SampleCode(in, qi);
            if (code != kNoValue) {
              hits.Insert({depth[i], code, kArrayValue});
            }
          }
        }
        for (int a = 0; a < 3; ++a) {
          q[i][a] += pixelSize * walks[i].perU[a];
        }
        depth[i] += pixelSize * walks[i].depthPerU;
      }
      for (int j = 0; j < segmentCount; ++j) {
        const double* b = scratch2 + 4 * j;
        if (u < b[0] || u > b[2] || w < b[1] || w > b[3]) {
          continue;
        }
        const double* s = segments[j];
        const double* a = scratch1 + 4 * j;
        const double t = ((u - s[0]) * a[0] + (w - s[2]) * a[1]) * a[2];
        if (t < 0 || t > 1) {
          continue;
        }
        const double du = u - (s[0] + t * a[0]);
        const double dw = w - (s[2] + t * a[1]);
        if ((du * du + dw * dw) * invPixel2 < styles[j].width2) {
          hits.Insert({s[1] + t * a[3], j, kTreeSegment});
        }
      }
      for (int k = 0; k < hits.count; ++k) {
        const Hit& h = hits.entries[k];
        if (h.kind == kArrayValue) {
          melisco::FillBlend(pixel, scale.base[0], scale.base[1], scale.base[2], scale.delta[0], scale.delta[1],
                             scale.delta[2], h.value, fillMode == 2 ? h.value : opacity, colourMode);
        } else {
          const COLORREF c = h.kind == kTreeSegment ? styles[h.value].colour : sectionColour[h.value];
          const int alpha = h.kind == kTreeSegment ? styles[h.value].opacity : sectionOpacity[h.value];
          melisco::BlendBGR(pixel, melisco::ChannelOf(c, 0), melisco::ChannelOf(c, 8), melisco::ChannelOf(c, 16),
                            alpha);
        }
      }
    }
  }
}

}  // namespace

extern "C" {

MELISCO_API void CubuiqeDrawSection(
    TMemBitmap* bm, double viewScale, double negViewScale, double pixelSize, const int32_t* codes,
    const ResampleEntry* tabX, const ResampleEntry* tabY, const ResampleEntry* tabZ, int centreX, int centreY,
    double ax, double ay, double az, int countX, int countY, int countZ, const double corners[8][3],
    const double G[9], const double planes[][4], int planeCount, const double segments[][6], int segmentCount,
    const SegmentStyle* styles, double* scratch1, double* scratch2, COLORREF colourMin, COLORREF colourMax,
    int colourMode, int fillMode, int opacity, const COLORREF sectionColour[], const int32_t sectionOpacity[]) {
  Render(bm, viewScale, negViewScale, pixelSize, codes, tabX, tabY, tabZ, centreX, centreY, ax, ay, az, countX,
         countY, countZ, corners, G, planes, planeCount, segments, segmentCount, styles, scratch1, scratch2,
         colourMin, colourMax, colourMode, fillMode, opacity, sectionColour, sectionOpacity, false);
}

MELISCO_API void CubuiqeDrawSectionX(
    TMemBitmap* bm, double viewScale, double negViewScale, double pixelSize, const int32_t* codes,
    const ResampleEntry* tabX, const ResampleEntry* tabY, const ResampleEntry* tabZ, int centreX, int centreY,
    double ax, double ay, double az, int countX, int countY, int countZ, const double corners[8][3],
    const double G[9], const double planes[][4], int planeCount, const double segments[][6], int segmentCount,
    const SegmentStyle* styles, double* scratch1, double* scratch2, COLORREF colourMin, COLORREF colourMax,
    int colourMode, int fillMode, int opacity, const COLORREF sectionColour[], const int32_t sectionOpacity[]) {
  Render(bm, viewScale, negViewScale, pixelSize, codes, tabX, tabY, tabZ, centreX, centreY, ax, ay, az, countX,
         countY, countZ, corners, G, planes, planeCount, segments, segmentCount, styles, scratch1, scratch2,
         colourMin, colourMax, colourMode, fillMode, opacity, sectionColour, sectionOpacity, true);
}
}
