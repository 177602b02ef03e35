// The colour scale of the fillings: two end colours mixed in RGB or HSV over a
// value range, with the opacity ramp of the fill type.
#ifndef MELISCO_COLOURSCALE_H
#define MELISCO_COLOURSCALE_H

#include "ColourSpace.h"
#include "MeliscoTypes.h"
#include "PixelWriters.h"

#include <cmath>
#include <cstdint>

namespace melisco {

struct ColourScale {
  int base[3] = {0, 0, 0};   // R, G, B (H, S, V in the HSV modes) at the minimum
  int delta[3] = {0, 0, 0};  // towards the maximum
  int mode = 0;
  double min = 0.0;
  double factor = 0.0;  // 16.16 positions per value unit; 0 for a degenerate range
  int alpha0 = 0;
  int alphaDelta = 0;

  ColourScale(double rangeMin, double rangeMax, COLORREF c1, COLORREF c2, int mixMode, int fillType,
              int opacity1, int opacity2)
      : mode(mixMode), min(rangeMin) {
    int a[3] = {ChannelOf(c1, 0), ChannelOf(c1, 8), ChannelOf(c1, 16)};
    int b[3] = {ChannelOf(c2, 0), ChannelOf(c2, 8), ChannelOf(c2, 16)};
    if (mixMode == 1 || mixMode == 2) {
      RgbToHsv(a[0], a[1], a[2], &a[0], &a[1], &a[2]);
      RgbToHsv(b[0], b[1], b[2], &b[0], &b[1], &b[2]);
    }
    for (int i = 0; i < 3; ++i) {
      base[i] = a[i];
      delta[i] = b[i] - a[i];
    }
    const double m = std::fmax(std::fabs(rangeMin), std::fabs(rangeMax));
    if (m != 0.0 && std::fabs(rangeMax - rangeMin) / m > 1e-8) {
      factor = 65536.0 / (rangeMax - rangeMin);
    }
    if (fillType == 1) {
      alpha0 = 0;
      alphaDelta = kWeightOne;
    } else if (fillType == 3) {
      alpha0 = opacity1;
      alphaDelta = 0;
    } else {
      alpha0 = opacity1;
      alphaDelta = static_cast<int>(static_cast<long long>(opacity2) - opacity1);
    }
  }

  // The 16.16 position of a value, clamped to the range; NaN sits at the minimum.
  int Position(double value) const {
    const double t = (value - min) * factor;
    if (!(t > 0.0)) {
      return 0;
    }
    if (t >= 65536.0) {
      return kWeightOne;
    }
    return static_cast<int>(t);
  }

  // Colour and transparency at position t, packed: blue, green, red in the low
  // three bytes, the combined alpha (0..0x10000) from bit 32, bit 63 set.
  uint64_t Packed(int t) const {
    int r, g, b;
    MixedColour(base[0], base[1], base[2], delta[0], delta[1], delta[2], t, mode, &r, &g, &b);
    const uint64_t alpha = static_cast<uint64_t>(RampAlpha(t, alpha0, alphaDelta));
    return (uint64_t{1} << 63) | (alpha << 32) | (static_cast<uint64_t>(r & 0xFF) << 16) |
           (static_cast<uint64_t>(g & 0xFF) << 8) | static_cast<uint64_t>(b & 0xFF);
  }
};

}  // namespace melisco

#endif
