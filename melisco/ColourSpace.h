// Integer colour arithmetic shared by the colour functions and the pixel
// writers: 16.16 weights, the HSV space of hue 0..383, saturation 0..256 and
// value 0..255. Products are formed in 64 bits so that no input overflows.
#ifndef MELISCO_COLOURSPACE_H
#define MELISCO_COLOURSPACE_H

#include <cstdint>

namespace melisco {

constexpr int kWeightOne = 0x10000;
constexpr int kHueTurn = 384;

inline int ClampWeight(int t) {
  return t < 0 ? 0 : (t > kWeightOne ? kWeightOne : t);
}

// x scaled by a 16.16 weight, with an arithmetic shift so that falling ramps
// keep their sign.
inline int ScaleByWeight(int x, int t) {
  if (t == kWeightOne) {
    return x;
  }
  return static_cast<int>((static_cast<int64_t>(x) * t) >> 16);
}

inline void HsvToRgb(int h, int s, int v, int* r, int* g, int* b) {
  if (s == 0) {
    *r = *g = *b = v;
    return;
  }
  int64_t hue = h;
  if (hue < 0) {
    hue = kHueTurn - ((-hue) % kHueTurn);
  }
  if (hue >= kHueTurn) {
    hue %= kHueTurn;
  }
  const int64_t sextant = hue >> 6;
  const int64_t f = hue - 64 * sextant;
  const int64_t s64 = s;
  const int64_t v64 = v;
  const int q = static_cast<int>(((256 - ((f * s64) >> 6)) * v64) >> 8);
  const int u = static_cast<int>((v64 * (256 - (((64 - f) * s64) >> 6))) >> 8);
  const int p = static_cast<int>(((256 - s64) * v64) >> 8);
  switch (sextant) {
    case 0: *r = v; *g = u; *b = p; break;
    case 1: *r = q; *g = v; *b = p; break;
    case 2: *r = p; *g = v; *b = u; break;
    case 3: *r = p; *g = q; *b = v; break;
    case 4: *r = u; *g = p; *b = v; break;
    default: *r = v; *g = p; *b = q; break;
  }
}

inline void RgbToHsv(int r, int g, int b, int* h, int* s, int* v) {
  const int mx = r > g ? (r > b ? r : b) : (g > b ? g : b);
  const int mn = r < g ? (r < b ? r : b) : (g < b ? g : b);
  *v = mx;
  if (mx == 0) {
    *s = 0;
    *h = 0;
    return;
  }
  *s = static_cast<int>((static_cast<int64_t>(mx - mn) * 256) / mx);
  if (*s == 0) {
    *h = 0;
    return;
  }
  const int64_t d = static_cast<int64_t>(mx) - mn;
  const int rr = static_cast<int>(((static_cast<int64_t>(mx) - r) * 64) / d);
  const int gg = static_cast<int>(((static_cast<int64_t>(mx) - g) * 64) / d);
  const int bb = static_cast<int>(((static_cast<int64_t>(mx) - b) * 64) / d);
  if (r == mx) {
    *h = g == mn ? 320 + bb : 64 - gg;
  } else if (g == mx) {
    *h = b == mn ? 64 + rr : 192 - bb;
  } else {
    *h = g == mn ? 320 - rr : 192 + gg;
  }
}

// Advances a colour held in three integers by the deltas scaled by t; in the
// HSV modes the integers hold H, S, V on entry and R, G, B on return.
inline void MixChannels(int* c0, int* c1, int* c2, int d0, int d1, int d2, int t, int mode) {
  if (mode < 0 || mode > 2) {
    return;
  }
  t = ClampWeight(t);
  if (mode == 1 && d0 < 0) {
    d0 += kHueTurn;
  } else if (mode == 2 && d0 > 0) {
    d0 -= kHueTurn;
  }
  *c0 += ScaleByWeight(d0, t);
  *c1 += ScaleByWeight(d1, t);
  *c2 += ScaleByWeight(d2, t);
  if (mode != 0) {
    HsvToRgb(*c0, *c1, *c2, c0, c1, c2);
  }
}

inline int ChannelOf(uint32_t colour, int shift) {
  return static_cast<int>((colour >> shift) & 0xFF);
}

}  // namespace melisco

#endif
