// Small helpers of the melisco tests: bitmaps of a given size filled with one
// colour, and pixel reads in picture coordinates.
#ifndef TESTS_MELISCO_MELISCOTESTSUPPORT_H
#define TESTS_MELISCO_MELISCOTESTSUPPORT_H

#include "melisco.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace meliscotest {

inline constexpr const char* kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb&) const = default;
};

class Bitmap {
 public:
  Bitmap(int width, int height, int bitCount = 24, bool bottomUp = false) {
    InitBitmap(&bm_);
    CheckBitmapEx(width, height, bottomUp, &bm_, nullptr, bitCount, BI_RGB, DIB_RGB_COLORS);
  }
  ~Bitmap() { DeleteBitmap(&bm_); }
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;

  TMemBitmap* get() { return &bm_; }
  int BytesPerPixel() const { return bm_.info.bmiHeader.biBitCount / 8; }
  std::ptrdiff_t Stride() const { return static_cast<std::ptrdiff_t>(bm_.width) * BytesPerPixel() + bm_.rowPadding; }

  uint8_t* At(int x, int y) {
    const int row = bm_.bottomUp ? bm_.height - 1 - y : y;
    return static_cast<uint8_t*>(bm_.bits) + row * Stride() + x * BytesPerPixel();
  }
  Rgb Pixel(int x, int y) {
    const uint8_t* p = At(x, y);
    return {p[2], p[1], p[0]};
  }
  void Fill(int r, int g, int b, int a = 0) {
    for (int y = 0; y < bm_.height; ++y) {
      for (int x = 0; x < bm_.width; ++x) {
        uint8_t* p = At(x, y);
        p[0] = static_cast<uint8_t>(b);
        p[1] = static_cast<uint8_t>(g);
        p[2] = static_cast<uint8_t>(r);
        if (BytesPerPixel() == 4) {
          p[3] = static_cast<uint8_t>(a);
        }
      }
    }
  }

 private:
  TMemBitmap bm_{};
};

inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kBlack{0, 0, 0};

}  // namespace meliscotest

#endif
