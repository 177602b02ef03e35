#pragma once
// A raster picture of a map object, kept as the bytes it is stored in (a BMP
// file image) so that a project re-saves it byte for byte; the pixels are
// decoded only when the picture is first drawn or measured.
#include <cstdint>
#include <memory>
#include <vector>

#include <QImage>

#include "data/TagStream.h"

class TBitmap : public TStreamPicture {
public:
  TBitmap() = default;
  explicit TBitmap(std::vector<std::uint8_t> bmpFile);
  // A picture encoded as a BMP file image; null for a null image.
  static std::unique_ptr<TBitmap> FromImage(const QImage& image);

  void SaveToStream(TStream& stream) const override;
  // Takes the rest of the stream as the picture's bytes.
  void LoadFromStream(TStream& stream) override;

  const std::vector<std::uint8_t>& Bytes() const { return bytes; }
  // The decoded pixels in 32-bit RGB; a null image when the bytes are no picture.
  const QImage& Image() const;
  bool IsEmpty() const { return Image().isNull(); }
  int Width() const { return Image().width(); }
  int Height() const { return Image().height(); }

private:
  std::vector<std::uint8_t> bytes;
  mutable QImage decoded;
  mutable bool decodeTried = false;
};
