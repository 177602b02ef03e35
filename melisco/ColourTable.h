// Colours of the filling looked up by position, and their writing into pixels.
#ifndef MELISCO_COLOURTABLE_H
#define MELISCO_COLOURTABLE_H

#include "ColourScale.h"
#include "PixelWriters.h"

#include <cstdint>
#include <vector>

namespace melisco {

// A picture of many pixels meets each position many times: the colours are
// computed once per position that occurs (there are 65537) and looked up after.
// A small picture computes them directly rather than clear the table.
class ColourTable {
 public:
  ColourTable(const ColourScale& scale, std::size_t pixelCount)
      : scale_(scale), entries_(pixelCount >= kTableWorthPixels ? kWeightOne + 1 : 0, 0) {}

  int Position(double value) const { return scale_.Position(value); }

  uint64_t At(int t) {
    if (entries_.empty()) {
      return scale_.Packed(t);
    }
    uint64_t& entry = entries_[static_cast<std::size_t>(t)];
    if (entry == 0) {
      entry = scale_.Packed(t);
    }
    return entry;
  }

 private:
  static constexpr std::size_t kTableWorthPixels = 1 << 16;

  const ColourScale& scale_;
  std::vector<uint64_t> entries_;
};

// Writes a packed colour: blended into a 24-bit pixel, or unblended with its
// alpha byte into a 32-bit one.
inline void WritePacked(uint8_t* p, int bytesPerPixel, uint64_t packed) {
  const int alpha = static_cast<int>((packed >> 32) & 0x1FFFF);
  const int r = static_cast<int>((packed >> 16) & 0xFF);
  const int g = static_cast<int>((packed >> 8) & 0xFF);
  const int b = static_cast<int>(packed & 0xFF);
  if (bytesPerPixel == 4) {
    WriteBGRA(p, r, g, b, alpha);
  } else {
    BlendBGR(p, r, g, b, alpha);
  }
}

}  // namespace melisco

#endif
