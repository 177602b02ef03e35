#include "gis/Bitmap.h"

#include <QBuffer>

#include "data/Stream.h"

TBitmap::TBitmap(std::vector<std::uint8_t> bmpFile) : bytes(std::move(bmpFile)) {}

std::unique_ptr<TBitmap> TBitmap::FromImage(const QImage& image)
{
  if (image.isNull())
    return nullptr;
  QByteArray encoded;
  QBuffer buffer(&encoded);
  buffer.open(QIODevice::WriteOnly);
  // Pictures are stored without alpha, like the class library's bitmaps.
  if (!image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP"))
    return nullptr;
  return std::make_unique<TBitmap>(std::vector<std::uint8_t>(encoded.begin(), encoded.end()));
}

void TBitmap::SaveToStream(TStream& stream) const
{
  if (!bytes.empty())
    stream.WriteExact(bytes.data(), bytes.size());
}

void TBitmap::LoadFromStream(TStream& stream)
{
  bytes.assign(static_cast<size_t>(stream.Remaining()), 0);
  if (!bytes.empty())
    stream.ReadExact(bytes.data(), bytes.size());
  decoded = QImage();
  decodeTried = false;
}

const QImage& TBitmap::Image() const
{
  if (!decodeTried) {
    decodeTried = true;
    QImage image;
    if (!bytes.empty() &&
        image.loadFromData(bytes.data(), static_cast<int>(bytes.size()), "BMP"))
      decoded = image.convertToFormat(QImage::Format_RGB32);
  }
  return decoded;
}
