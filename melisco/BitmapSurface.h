// Pixel addressing of a TMemBitmap for the drawing functions: bytes per pixel
// from the header, rows of width * bytes + padding, picture row 0 at the top
// whatever the orientation of the memory.
#ifndef MELISCO_BITMAPSURFACE_H
#define MELISCO_BITMAPSURFACE_H

#include "MeliscoTypes.h"

#include <cstddef>
#include <cstdint>

namespace melisco {

struct BitmapSurface {
  uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
  int bytesPerPixel = 0;
  std::ptrdiff_t stride = 0;
  bool bottomUp = false;

  // A bitmap without pixels, or of a depth that the library doesn't draw, is an
  // empty picture.
  bool Empty() const { return bits == nullptr || width <= 0 || height <= 0 || bytesPerPixel < 3; }

  uint8_t* Row(int y) const {
    const int memoryRow = bottomUp ? height - 1 - y : y;
    return bits + static_cast<std::ptrdiff_t>(memoryRow) * stride;
  }
  uint8_t* Pixel(int x, int y) const { return Row(y) + static_cast<std::ptrdiff_t>(x) * bytesPerPixel; }

  static BitmapSurface Of(const TMemBitmap* bm) {
    BitmapSurface s;
    if (bm == nullptr || bm->dib == nullptr || bm->bits == nullptr) {
      return s;
    }
    const int bpp = bm->info.bmiHeader.biBitCount / 8;
    if (bpp != 3 && bpp != 4) {
      return s;
    }
    s.bits = static_cast<uint8_t*>(bm->bits);
    s.width = bm->width;
    s.height = bm->height;
    s.bytesPerPixel = bpp;
    s.stride = static_cast<std::ptrdiff_t>(bm->width) * bpp + bm->rowPadding;
    s.bottomUp = bm->bottomUp != 0;
    return s;
  }
};

}  // namespace melisco

#endif
