// The per-pixel writers, inline for the drawing loops: integer arithmetic
// only. Transparencies are clamped to 0..0x10000, which keeps every blend
// between the old pixel and the target colour.
#ifndef MELISCO_PIXELWRITERS_H
#define MELISCO_PIXELWRITERS_H

#include "ColourSpace.h"

#include <cstdint>

namespace melisco {

inline uint8_t BlendChannel(int old, int target, int alpha) {
  return static_cast<uint8_t>(old + (((static_cast<int64_t>(target) - old) * alpha) >> 16));
}

inline void BlendBGR(uint8_t* p, int r, int g, int b, int alpha) {
  alpha = ClampWeight(alpha);
  p[0] = BlendChannel(p[0], b, alpha);
  p[1] = BlendChannel(p[1], g, alpha);
  p[2] = BlendChannel(p[2], r, alpha);
}

inline uint8_t AlphaByte(int alpha) {
  alpha = ClampWeight(alpha);
  return alpha == kWeightOne ? 255 : static_cast<uint8_t>(alpha >> 8);
}

inline void WriteBGRA(uint8_t* p, int r, int g, int b, int alpha) {
  p[0] = static_cast<uint8_t>(b);
  p[1] = static_cast<uint8_t>(g);
  p[2] = static_cast<uint8_t>(r);
  p[3] = AlphaByte(alpha);
}

// alpha0 + t * alphaDelta in 16.16; the product in 64 bits (a full-range delta
// times a weight above one half does not fit 32 bits), the result clamped.
inline int RampAlpha(int t, int alpha0, int alphaDelta) {
  t = ClampWeight(t);
  const int64_t alpha = t == kWeightOne
                            ? static_cast<int64_t>(alpha0) + alphaDelta
                            : static_cast<int64_t>(alpha0) + ((static_cast<int64_t>(t) * alphaDelta) >> 16);
  return alpha < 0 ? 0 : (alpha > kWeightOne ? kWeightOne : static_cast<int>(alpha));
}

// Colour of base + t * delta; the three results are red, green, blue.
inline void MixedColour(int c0, int c1, int c2, int d0, int d1, int d2, int t, int mode, int* r,
                        int* g, int* b) {
  MixChannels(&c0, &c1, &c2, d0, d1, d2, t, mode);
  *r = c0;
  *g = c1;
  *b = c2;
}

inline void FillBlend(uint8_t* p, int c0, int c1, int c2, int d0, int d1, int d2, int t, int alpha,
                      int mode) {
  int r, g, b;
  MixedColour(c0, c1, c2, d0, d1, d2, t, mode, &r, &g, &b);
  BlendBGR(p, r, g, b, alpha);
}

inline void FillOpaque32(uint8_t* p, int c0, int c1, int c2, int d0, int d1, int d2, int t,
                         int alpha, int mode) {
  int r, g, b;
  MixedColour(c0, c1, c2, d0, d1, d2, t, mode, &r, &g, &b);
  WriteBGRA(p, r, g, b, alpha);
}

}  // namespace melisco

#endif
