#pragma once
// A decompression bomb in the coder's own bit format: a packed image (int32
// size, then -lh5- blocks) that claims `size` bytes and gives them from a few
// hundred coded bytes. Every block takes one code for every symbol (so each
// symbol costs no bits at all): 65,535 matches of 256 bytes at distance 1,
// which repeat the zero bytes the window starts with.
#include <cstdint>
#include <vector>

namespace lzhbomb {

class TBitWriter {
public:
  void Put(uint32_t value, int bits)
  {
    for (int i = bits - 1; i >= 0; --i) {
      acc = static_cast<uint8_t>((acc << 1) | ((value >> i) & 1u));
      if (++filled == 8) {
        bytes.push_back(acc);
        acc = 0;
        filled = 0;
      }
    }
  }
  std::vector<uint8_t> Finish()
  {
    while (filled != 0)
      Put(0, 1);
    return bytes;
  }

private:
  std::vector<uint8_t> bytes;
  uint8_t acc = 0;
  int filled = 0;
};

inline std::vector<uint8_t> PackedZeros(int32_t size)
{
  constexpr int64_t kMatch = 256;
  constexpr int64_t kBlockSymbols = 0xFFFF;
  constexpr uint32_t kLongestMatchCode = 256 + 253; // length code of a 256-byte match
  int64_t symbols = (int64_t{size} + kMatch - 1) / kMatch;
  TBitWriter bits;
  while (symbols > 0) {
    const int64_t count = symbols < kBlockSymbols ? symbols : kBlockSymbols;
    bits.Put(static_cast<uint32_t>(count), 16);
    bits.Put(0, 5); // code-length codes: none, one code for all
    bits.Put(0, 5);
    bits.Put(0, 9); // characters and lengths: none, one code for all
    bits.Put(kLongestMatchCode, 9);
    bits.Put(0, 4); // positions: none, one code for all (distance 1)
    bits.Put(0, 4);
    symbols -= count;
  }
  std::vector<uint8_t> image{static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8),
                             static_cast<uint8_t>(size >> 16), static_cast<uint8_t>(size >> 24)};
  const std::vector<uint8_t> coded = bits.Finish();
  image.insert(image.end(), coded.begin(), coded.end());
  return image;
}

// A compressed project file ("%GMZ", version 10) whose body is such a bomb.
inline std::vector<uint8_t> CompressedProjectBomb(int32_t size = int32_t{1} << 30)
{
  std::vector<uint8_t> file{'%', 'G', 'M', 'Z', 10, 0, 0, 0};
  const std::vector<uint8_t> image = PackedZeros(size);
  file.insert(file.end(), image.begin(), image.end());
  return file;
}

} // namespace lzhbomb
