#include "gis/GPoint.h"

#include <cmath>

#include "gis/BitmapCanvas.h"

namespace {

// The name label starts this many pixels below the symbol or icon.
constexpr int kLabelGap = 3;

TFontRecord FontRecord(const char* name, int size, int color)
{
  TFontRecord font;
  font.name = name;
  font.size = size;
  font.color = color;
  return font;
}

// Pixel positions are computed in floating point and truncated toward zero
// where they are used.
int Pixel(double value)
{
  return static_cast<int>(std::trunc(value));
}

} // namespace

TGPoint::TGPoint(TGIS* owner) : TGObj(owner), symbolFont(FontRecord("Symbol", 10, 0))
{
  SetTypeCode(ObjectTypePoint);
  SetShapeKind(ShapePoint);
  SetKindNames("Точка", "Точки");
}

TGPoint::~TGPoint() = default;

void TGPoint::SetSymbolDefaults(const std::string& text, const TFontRecord& font)
{
  symbol = text;
  symbolFont = font;
}

void TGPoint::SetIcon(std::unique_ptr<TBitmap> picture, std::unique_ptr<TBitmap> mask)
{
  icon = std::move(picture);
  iconMask = std::move(mask);
}

void TGPoint::DeleteIcon()
{
  icon.reset();
  iconMask.reset();
}

void TGPoint::Save(TTagStream& stream) const
{
  TGObj::Save(stream);
  stream.SetGroup(TagGroup::Point);
  stream.WriteString(symbol);
  stream.WriteFont(symbolFont);
  stream.WriteBitmap(icon.get());
  stream.WriteBitmap(iconMask.get());
  stream.WriteInt(horizontalAlignment);
  stream.WriteInt(verticalAlignment);
}

void TGPoint::Load(TTagStream& stream)
{
  TGObj::Load(stream);
  stream.SetGroup(TagGroup::Point);
  stream.Read(symbol);
  stream.ReadFont(symbolFont);
  stream.ReadBitmap(icon);
  stream.ReadBitmap(iconMask);
  stream.Read(horizontalAlignment);
  stream.Read(verticalAlignment);
}

std::string TGPoint::GetKindName() const
{
  return "Точка";
}

double TGPoint::RelativeDistanceTo(double u, double v, double& nearestU, double& nearestV) const
{
  nearestU = x;
  nearestV = y;
  return std::hypot(u - x, v - y);
}

double TGPoint::RelativeHandleDistanceTo(double u, double v, double& nearestU, double& nearestV, int& handle) const
{
  handle = 0;
  return RelativeDistanceTo(u, v, nearestU, nearestV);
}

void TGPoint::Draw(double x1, double y1, double x2, double y2, TMemBitmap* target)
{
  TBitmapCanvas canvas(target);
  if (!canvas.IsValid())
    return;
  const double px = (x - x1) / (x2 - x1) * canvas.Width();
  const double py = (y - y1) / (y2 - y1) * canvas.Height();
  const double halfH = 0.5 * horizontalAlignment;
  const double halfV = 0.5 * verticalAlignment;
  double labelOffset = 0;
  if (icon && iconMask) {
    const double w = icon->Width(), h = icon->Height();
    const int left = Pixel(px - w * halfH), top = Pixel(py - h * halfV);
    canvas.BitBlt(left, top, iconMask->Image(), RopMergePaint);
    canvas.BitBlt(left, top, icon->Image(), RopSrcAnd);
    labelOffset = h * (1 - halfV);
  }
  if (!symbol.empty()) {
    canvas.SelectFont(symbolFont);
    const QSize extent = canvas.TextExtent(symbol);
    canvas.TextOut(Pixel(px - extent.width() * halfH), Pixel(py - extent.height() * halfV), symbol);
    labelOffset = (1 - halfV) * extent.height();
  }
  if (GetShowName()) {
    canvas.SelectFont(GetLabelFont());
    canvas.TextOut(Pixel(px), Pixel(py + labelOffset + kLabelGap), name, TextAlignCenterTop);
  }
}
