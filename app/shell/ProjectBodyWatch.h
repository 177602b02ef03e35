#pragma once
// The framing check of a project body while it is being decoded.

#include <cstddef>
#include <cstdint>
#include <vector>

// Follows a body as the decoder produces it and refuses it at the first byte
// that cannot belong to one: an image count or record length beyond what is
// left of the announced size, more bytes after the last image that the main
// record and the GIS header announce. So a few hundred coded bytes that claim
// a gigabyte are refused after the first few kilobytes, not after the
// gigabyte. (The whole body is checked again once decoded, ScanProjectBody.)
class TProjectBodyWatch {
public:
  enum TStart {
    Body,      // the bytes are a body
    PlainFile, // the bytes are a whole file: a body only after "%GMF" and the version
  };
  explicit TProjectBodyWatch(TStart start);

  // The size the decoder was told to produce.
  void Expect(int64_t total);
  // False from the first byte that cannot belong to a body on.
  bool Take(const uint8_t* bytes, size_t n);
  int64_t Seen() const { return seen; }

private:
  static constexpr size_t kKeptImages = 2;
  static constexpr size_t kMaxKeptImage = size_t{16} << 20;

  bool TakeByte(uint8_t byte);
  bool EndOfRecord();
  bool EndOfImage();

  int headerLeft;
  std::vector<uint8_t> header;
  bool watching = true;
  bool refused = false;
  int64_t announced = 0;
  int64_t seen = 0;
  int64_t position = 0;
  // The images still to come (the main record and the GIS header, until they name the rest).
  int64_t imagesLeft = 2;
  std::vector<std::vector<uint8_t>> kept;
  std::vector<uint8_t> imageBytes;
  uint8_t field[16] = {};
  int fieldSize = 4;
  int fieldFill = 0;
  int32_t recordsLeft = 0;
  int64_t skip = 0;
};
