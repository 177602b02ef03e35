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
class ColourTable {
 public:
  explicit ColourTable(const ColourScale& scale) : scale_(scale), entries_(kWeightOne + 1, 0) {}

  int Position(double value) const { return scale_.Position(value); }

  uint64_t At(int t) {
    uint64_t& entry = entries_[static_cast<std::size_t>(t)];
    if (entry == 0) {
      entry = scale_.Packed(t);
    }
    return entry;
  }

 private:
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
