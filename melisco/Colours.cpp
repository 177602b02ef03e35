// Colour conversion between RGB and the integer HSV space, and colour mixing.
#include "melisco.h"

#include "ColourSpace.h"

namespace {

COLORREF PackColour(int r, int g, int b) {
  auto channel = [](int c) { return static_cast<uint32_t>(c < 0 ? 0 : (c > 255 ? 255 : c)); };
  return (channel(b) << 16) | (channel(g) << 8) | channel(r);
}

}  // namespace

extern "C" {

void RGB_HSV(int r, int g, int b, int* h, int* s, int* v) {
  melisco::RgbToHsv(r, g, b, h, s, v);
}

void HSV_RGB(int h, int s, int v, int* r, int* g, int* b) {
  melisco::HsvToRgb(h, s, v, r, g, b);
}

COLORREF MixColor(COLORREF c1, COLORREF c2, int t, int mode) {
  using melisco::ChannelOf;
  // Positions beyond the ends would push channels past a byte: the ends hold.
  t = melisco::ClampWeight(t);
  const int r1 = ChannelOf(c1, 0), g1 = ChannelOf(c1, 8), b1 = ChannelOf(c1, 16);
  const int r2 = ChannelOf(c2, 0), g2 = ChannelOf(c2, 8), b2 = ChannelOf(c2, 16);
  if (mode == 0) {
    return PackColour(r1 + (((r2 - r1) * t) >> 16), g1 + (((g2 - g1) * t) >> 16),
                      b1 + (((b2 - b1) * t) >> 16));
  }
  if (mode != 1 && mode != 2) {
    return 0;
  }
  int h1, s1, v1, h2, s2, v2;
  melisco::RgbToHsv(r1, g1, b1, &h1, &s1, &v1);
  melisco::RgbToHsv(r2, g2, b2, &h2, &s2, &v2);
  if (mode == 1 && h2 < h1) {
    h2 += melisco::kHueTurn;
  } else if (mode == 2 && h1 < h2) {
    h1 += melisco::kHueTurn;
  }
  const int h = h1 + (((h2 - h1) * t) >> 16);
  const int s = s1 + (((s2 - s1) * t) >> 16);
  const int v = v1 + (((v2 - v1) * t) >> 16);
  int r, g, b;
  melisco::HsvToRgb(h, s, v, &r, &g, &b);
  return PackColour(r, g, b);
}

void MixColorRGB(int* c0, int* c1, int* c2, int d0, int d1, int d2, int t, int mode) {
  melisco::MixChannels(c0, c1, c2, d0, d1, d2, t, mode);
}

}  // extern "C"
