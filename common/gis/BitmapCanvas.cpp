#include "gis/BitmapCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QHash>
#include <QRawFont>

#include "gis/SymbolEncoding.h"

namespace {

// Windows draws a font of n points at n * 96 / 72 pixels of em height.
constexpr int kScreenDpi = 96;
constexpr int kPointsPerInch = 72;
constexpr int kDefaultPointSize = 8;
// Character set of symbol fonts.
constexpr int kSymbolCharset = 2;
// Colours with the high byte set name system colours; they draw as the window
// text colour, black.
constexpr uint32_t kSystemColourFlag = 0xFF000000u;

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

bool IsSymbolFont(const TFontRecord& font)
{
  return font.charset == kSymbolCharset || QString::fromStdString(font.name).compare("Symbol", Qt::CaseInsensitive) == 0;
}

QRgb Combine(QRgb source, QRgb target, TRasterOp op)
{
  switch (op) {
  case RopSrcAnd:
    return qRgb(qRed(source) & qRed(target), qGreen(source) & qGreen(target), qBlue(source) & qBlue(target));
  case RopMergePaint:
    return qRgb((~qRed(source) & 0xFF) | qRed(target), (~qGreen(source) & 0xFF) | qGreen(target),
                (~qBlue(source) & 0xFF) | qBlue(target));
  case RopSrcCopy:
    break;
  }
  return source;
}

} // namespace

TBitmapCanvas::TBitmapCanvas(TMemBitmap* target) : bitmap(target)
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
  // Memory row 0 is the bottom line of the picture: paint on an upright copy.
  image = QImage(bitmap->width, bitmap->height, format);
  for (int row = 0; row < bitmap->height; ++row)
    std::memcpy(image.scanLine(row), bits + static_cast<ptrdiff_t>(bitmap->height - 1 - row) * stride,
                static_cast<size_t>(std::min<qsizetype>(stride, image.bytesPerLine())));
  copied = true;
}

TBitmapCanvas::~TBitmapCanvas()
{
  EndPainting();
  if (!copied)
    return;
  auto* bits = static_cast<uchar*>(bitmap->bits);
  const int stride = RowBytes(*bitmap);
  const size_t line = static_cast<size_t>(bitmap->width) * (bitmap->info.bmiHeader.biBitCount / 8);
  for (int row = 0; row < bitmap->height; ++row)
    std::memcpy(bits + static_cast<ptrdiff_t>(bitmap->height - 1 - row) * stride, image.constScanLine(row), line);
}

QPainter& TBitmapCanvas::Painter()
{
  if (!painter) {
    painter = std::make_unique<QPainter>(&image);
    painter->setFont(font);
  }
  return *painter;
}

void TBitmapCanvas::EndPainting()
{
  painter.reset();
}

void TBitmapCanvas::FillRect(int left, int top, int right, int bottom, const QBrush& brush)
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

void TBitmapCanvas::VerticalLine(int lineX, int y1, int y2, const QColor& color)
{
  if (y2 > y1)
    FillRect(lineX, y1, lineX + 1, y2, QBrush(color));
  else if (y2 < y1)
    FillRect(lineX, y2 + 1, lineX + 1, y1 + 1, QBrush(color));
}

void TBitmapCanvas::HorizontalLine(int x1, int x2, int lineY, const QColor& color)
{
  if (x2 > x1)
    FillRect(x1, lineY, x2, lineY + 1, QBrush(color));
  else if (x2 < x1)
    FillRect(x2 + 1, lineY, x1 + 1, lineY + 1, QBrush(color));
}

void TBitmapCanvas::BitBlt(int x, int y, const QImage& source, TRasterOp op)
{
  if (!IsValid() || source.isNull())
    return;
  EndPainting();
  const QImage src = source.convertToFormat(QImage::Format_RGB32);
  const int fromX = std::max(0, -x), toX = std::min(src.width(), image.width() - x);
  const int fromY = std::max(0, -y), toY = std::min(src.height(), image.height() - y);
  for (int sy = fromY; sy < toY; ++sy) {
    const auto* line = reinterpret_cast<const QRgb*>(src.constScanLine(sy));
    for (int sx = fromX; sx < toX; ++sx)
      image.setPixel(x + sx, y + sy, Combine(line[sx], image.pixel(x + sx, y + sy), op));
  }
}

void TBitmapCanvas::StretchBlt(int x, int y, int width, int height, const QImage& source, int sx, int sy, int sw,
                               int sh)
{
  if (!IsValid() || source.isNull() || width == 0 || height == 0 || sw <= 0 || sh <= 0)
    return;
  QImage part = source.copy(sx, sy, sw, sh);
  if (width < 0 || height < 0)
    part = part.mirrored(width < 0, height < 0);
  const QRect target(width < 0 ? x + width : x, height < 0 ? y + height : y, std::abs(width), std::abs(height));
  QPainter& p = Painter();
  p.setRenderHint(QPainter::SmoothPixmapTransform, false);
  p.drawImage(target, part);
}

QFont TBitmapCanvas::FontOf(const TFontRecord& record)
{
  QFont qfont(QString::fromStdString(record.name));
  const int points = record.size != 0 ? std::abs(record.size) : kDefaultPointSize;
  qfont.setPixelSize(std::max(1, (points * kScreenDpi + kPointsPerInch / 2) / kPointsPerInch));
  qfont.setBold((record.style & TFontRecord::Bold) != 0);
  qfont.setItalic((record.style & TFontRecord::Italic) != 0);
  qfont.setUnderline((record.style & TFontRecord::Underline) != 0);
  qfont.setStrikeOut((record.style & TFontRecord::StrikeOut) != 0);
  // Whole pixels in the font's colour, as the device context drew them.
  qfont.setStyleStrategy(QFont::NoAntialias);
  return qfont;
}

QColor TBitmapCanvas::ColorOf(const TFontRecord& record)
{
  const auto value = static_cast<uint32_t>(record.color);
  if (value & kSystemColourFlag)
    return QColor(0, 0, 0);
  return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QColor TBitmapCanvas::ColorOf(COLORREF color)
{
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

QString TBitmapCanvas::TextOf(const TFontRecord& record, const std::string& text)
{
  return QString::fromStdString(IsSymbolFont(record) ? SymbolTextToUtf8(text) : text);
}

std::string TBitmapCanvas::StoredTextOf(const TFontRecord& record, const QString& shown)
{
  const std::string utf8 = shown.toStdString();
  return IsSymbolFont(record) ? SymbolTextFromUtf8(utf8) : utf8;
}

bool TBitmapCanvas::IsSymbolFont(const TFontRecord& record)
{
  return ::IsSymbolFont(record);
}

void TBitmapCanvas::SelectFont(const TFontRecord& record)
{
  fontRecord = record;
  font = FontOf(record);
  if (painter)
    painter->setFont(font);
}

bool TBitmapCanvas::HasGlyphs(const QFont& font, const QString& text)
{
  const QRawFont raw = QRawFont::fromFont(font);
  if (!raw.isValid())
    return false;
  for (const char32_t c : text.toUcs4())
    if (!raw.supportsCharacter(c))
      return false;
  return true;
}

// A family named "Symbol" may be a font of another encoding whose own glyphs
// lack the mapped characters (the URW fonts' "Standard Symbols PS" has no
// U+2666), and a symbol font borrows no glyphs from others: the text would
// vanish. The first family that has every character draws it instead.
QFont TBitmapCanvas::CoveringFont(const QFont& font, const QString& text)
{
  if (text.isEmpty() || HasGlyphs(font, text))
    return font;
  static QHash<QString, QString> chosen;
  const QString key = font.family() + QLatin1Char('\n') + text;
  auto found = chosen.constFind(key);
  if (found == chosen.constEnd()) {
    QString family;
    for (const QString& candidate : QFontDatabase::families()) {
      QFont trial(font);
      trial.setFamilies({candidate});
      if (HasGlyphs(trial, text)) {
        family = candidate;
        break;
      }
    }
    found = chosen.insert(key, family);
  }
  if (found->isEmpty())
    return font;
  QFont covering(font);
  covering.setFamilies({*found});
  return covering;
}

QFont TBitmapCanvas::FontFor(const QString& shown) const
{
  return IsSymbolFont(fontRecord) ? CoveringFont(font, shown) : font;
}

QSize TBitmapCanvas::TextExtent(const std::string& text)
{
  const QString shown = TextOf(fontRecord, text);
  const QFontMetrics metrics(FontFor(shown));
  return QSize(metrics.horizontalAdvance(shown), metrics.height());
}

void TBitmapCanvas::TextOut(int x, int y, const std::string& text, TTextAlign align)
{
  if (!IsValid() || text.empty())
    return;
  const QString shown = TextOf(fontRecord, text);
  const QFont used = FontFor(shown);
  const QFontMetrics metrics(used);
  const int left = align == TextAlignCenterTop ? x - metrics.horizontalAdvance(shown) / 2 : x;
  QPainter& p = Painter();
  p.setFont(used);
  p.setPen(ColorOf(fontRecord));
  p.drawText(QPoint(left, y + metrics.ascent()), shown);
}
