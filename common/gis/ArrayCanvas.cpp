#include "gis/ArrayCanvas.h"

#include <algorithm>
#include <cstring>

namespace {

QImage::Format FormatOf(int bitCount)
{
  if (bitCount == 24)
    return QImage::Format_BGR888;
  if (bitCount == 32)
    return QImage::Format_RGB32;
  return QImage::Format_Invalid;
}

int RowBytes(const TMemBitmap& bm)
{
  return bm.width * (bm.info.bmiHeader.biBitCount / 8) + bm.rowPadding;
}

} // namespace

TArrayCanvas::TArrayCanvas(TMemBitmap* target) : bitmap(target)
{
  if (!bitmap || !bitmap->bits || bitmap->width <= 0 || bitmap->height <= 0)
    return;
  const QImage::Format format = FormatOf(bitmap->info.bmiHeader.biBitCount);
  if (format == QImage::Format_Invalid)
    return;
  auto* bits = static_cast<uchar*>(bitmap->bits);
  const int stride = RowBytes(*bitmap);
  if (!bitmap->bottomUp) {
    image = QImage(bits, bitmap->width, bitmap->height, stride, format);
    return;
  }
  image = QImage(bitmap->width, bitmap->height, format);
  const size_t rowBytes = static_cast<size_t>(std::min<qsizetype>(stride, image.bytesPerLine()));
  for (int row = 0; row < bitmap->height; ++row)
    std::memcpy(image.scanLine(row), bits + static_cast<ptrdiff_t>(bitmap->height - 1 - row) * stride, rowBytes);
  copied = true;
}

TArrayCanvas::~TArrayCanvas()
{
  painter.reset();
  if (!copied)
    return;
  auto* bits = static_cast<uchar*>(bitmap->bits);
  const int stride = RowBytes(*bitmap);
  const size_t rowBytes = static_cast<size_t>(std::min<qsizetype>(stride, image.bytesPerLine()));
  for (int row = 0; row < bitmap->height; ++row)
    std::memcpy(bits + static_cast<ptrdiff_t>(bitmap->height - 1 - row) * stride, image.constScanLine(row), rowBytes);
}

QPainter& TArrayCanvas::Painter()
{
  if (!painter)
    painter = std::make_unique<QPainter>(&image);
  return *painter;
}

QColor TArrayCanvas::ColorOf(COLORREF color)
{
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

void TArrayCanvas::FillRect(int left, int top, int right, int bottom, const QBrush& brush)
{
  if (!IsValid() || brush.style() == Qt::NoBrush)
    return;
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, image.width());
  bottom = std::min(bottom, image.height());
  if (right <= left || bottom <= top)
    return;
  Painter().fillRect(QRect(left, top, right - left, bottom - top), brush);
}

void TArrayCanvas::VerticalLine(int lineX, int y1, int y2, const QColor& color)
{
  if (y2 > y1)
    FillRect(lineX, y1, lineX + 1, y2, QBrush(color));
  else if (y2 < y1)
    FillRect(lineX, y2 + 1, lineX + 1, y1 + 1, QBrush(color));
}

void TArrayCanvas::HorizontalLine(int x1, int x2, int lineY, const QColor& color)
{
  if (x2 > x1)
    FillRect(x1, lineY, x2, lineY + 1, QBrush(color));
  else if (x2 < x1)
    FillRect(x2 + 1, lineY, x1 + 1, lineY + 1, QBrush(color));
}
