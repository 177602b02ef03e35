// Drawing of a regular array into a view's bitmap: grid lines, the colour
// filling with contours and labels (computed by the drawing library), hatching
// and the legend bar.
#include <cmath>
#include <cstdint>

#include "data/PolygonScan.h"
#include "data/SLine.h"
#include "gis/ArrayNumeric.h"
#include "gis/BitmapCanvas.h"
#include "gis/GArray.h"
#include "melisco.h"

namespace {

constexpr int HatchBrushCount = 8;

// Pixels per relative unit of a view; 0 for a view of no width, whose scale
// would be infinite.
double ViewScale(int pixels, double from, double to)
{
  const double scale = pixels / (to - from);
  return std::isfinite(scale) ? scale : 0;
}

QBrush HatchBrush(int index, const QColor& color)
{
  static constexpr Qt::BrushStyle Styles[HatchBrushCount] = {
      Qt::NoBrush,      Qt::HorPattern,   Qt::VerPattern,      Qt::FDiagPattern,
      Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern, Qt::SolidPattern};
  return QBrush(color, Styles[index]);
}

} // namespace

void TGArray::Draw(double x1, double y1, double x2, double y2, TMemBitmap* target)
{
  if (target == nullptr)
    return;
  if (settings.gridOn)
    DrawGridLines(x1, y1, x2, y2, target);
  if (settings.rangeMin == 0 && settings.rangeMax == 0)
    settings.rangeMax = 1.0;
  DrawLayers(x1, y1, x2, y2, target);
}

void TGArray::DrawLayers(double x1, double y1, double x2, double y2, TMemBitmap* target)
{
  if (HasColourFill() || settings.contoursOn)
    DrawValues(x1, y1, x2, y2, target);
  if (settings.fillType == FillHatching)
    DrawHatching(x1, y1, x2, y2, target);
}

HFONT TGArray::GetLabelFontHandle()
{
  settings.labelFont = labelFontHandle.Handle(GetLabelFont());
  return settings.labelFont;
}

void TGArray::FreeCache()
{
  pixelValues.clear();
  pixelValues.shrink_to_fit();
}

// The far border lands one pixel short of the plain scale, so that it stays
// inside the array's own cells.
void TGArray::DrawGridLines(double x1, double y1, double x2, double y2, TMemBitmap* target) const
{
  TBitmapCanvas canvas(target);
  if (!canvas.IsValid())
    return;
  const double viewX = ViewScale(target->width, x1, x2);
  const double viewY = ViewScale(target->height, y1, y2);
  if (viewX == 0 || viewY == 0)
    return;
  const double sx = viewX - 1 / (x + dx - x1);
  const double sy = viewY - 1 / (y + dy - y1);
  if (!std::isfinite(sx) || !std::isfinite(sy))
    return;
  const QColor color = TBitmapCanvas::ColorOf(settings.gridColor);
  const int top = arraynum::PixelTrunc((y - y1) * sy);
  const int bottom = arraynum::PixelTrunc((y + dy - y1) * sy);
  for (int i = 0; i <= nx; ++i)
    canvas.VerticalLine(arraynum::PixelTrunc((i * cellWidth + x - x1) * sx), top, bottom, color);
  const int left = arraynum::PixelTrunc((x - x1) * sx);
  const int right = arraynum::PixelTrunc((x + dx - x1) * sx);
  for (int j = 0; j <= ny; ++j)
    canvas.HorizontalLine(left, right, arraynum::PixelTrunc((j * cellHeight + y - y1) * sy), color);
}

void TGArray::DrawValues(double x1, double y1, double x2, double y2, TMemBitmap* target)
{
  const int width = target->width, height = target->height;
  if (width <= 0 || height <= 0 || dx == 0 || dy == 0 || values.empty())
    return;
  // A view of no width or height shows no cell.
  if (ViewScale(width, x1, x2) == 0 || ViewScale(height, y1, y2) == 0)
    return;
  const bool colourFill = HasColourFill();
  const bool contoursNeeded = settings.contoursOn || (colourFill && settings.steppedFill);
  const bool smooth = colourFill && !settings.steppedFill;
  const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);

  bool useMask = false;
  if (clipOutline && clipOutline->Count() > 2) {
    std::unique_ptr<TSLine> visible = clipOutline->ClipToRect(x1, y1, x2, y2);
    visible->Transform(x1, ViewScale(width, x1, x2), y1, ViewScale(height, y1, y2));
    if (visible->Count() > 2) {
      std::vector<PolyPoint> corners;
      corners.reserve(static_cast<size_t>(visible->Count()));
      for (const TSPoint& p : visible->Points())
        corners.push_back({arraynum::PixelTrunc(p.x), arraynum::PixelTrunc(p.y)});
      clipMask.assign(pixels, 0);
      FillPolygonMask(clipMask.data(), width, height, corners.data(), static_cast<int>(corners.size()), 1,
                      PolyEvenOdd);
      useMask = true;
    }
  }
  if (!useMask) {
    clipMask.clear();
    clipMask.shrink_to_fit();
  }
  if (contoursNeeded) {
    pixelValues.resize(pixels);
  } else {
    FreeCache();
  }

  DrawFilling(target, values.data(), nx, ny, x, y, dx, dy, useMask ? clipMask.data() : nullptr, x1, y1, x2, y2,
              settings.fillType, smooth, settings.rangeMin, settings.rangeMax, settings.fillColor1,
              settings.fillColor2, settings.fillMix, settings.transparency1, settings.transparency2, contoursNeeded,
              contoursNeeded ? pixelValues.data() : nullptr);
  if (contoursNeeded)
    DrawPixelContours(target);
}

bool TGArray::HasColourFill() const
{
  const int fillType = settings.fillType;
  return fillType == FillTransparencyRamp || fillType == FillOneTransparency || fillType == FillTwoTransparencies;
}

// The contour lines and their labels over the values the filling left per pixel.
void TGArray::DrawPixelContours(TMemBitmap* target)
{
  GetLabelFontHandle();
  double* labelLevels = nullptr;
  std::int32_t* labelColours = nullptr;
  std::uint32_t* labelKinds = nullptr;
  std::int32_t* labelPositions = nullptr;
  int labelCount = 0;
  DrawContours(target, pixelValues.data(), GetLevels(), GetLevelCount(), settings.labelFactor,
               settings.labelSubtrahend, &labelLevels, &labelColours, &labelKinds, &labelPositions, &labelCount,
               settings.labelFont, settings.contoursOn != 0, settings.steppedFill && settings.fillType != FillNone,
               settings.labelThin != 0, settings.labelBold != 0, settings.labelSpacing, settings.labelStart);
  DrawContourLabels(target->memDC, labelCount, labelLevels, labelKinds, labelColours, labelPositions,
                    settings.labelFont);
  FreeContoursData(&labelPositions, &labelLevels, &labelColours, &labelKinds);
}

// Eight density classes over the drawing range, in the second fill colour.
void TGArray::DrawHatching(double x1, double y1, double x2, double y2, TMemBitmap* target)
{
  if (target->width <= 0 || target->height <= 0 || dx == 0 || dy == 0 || values.empty())
    return;
  TBitmapCanvas canvas(target);
  if (!canvas.IsValid())
    return;
  const QColor color = TBitmapCanvas::ColorOf(settings.fillColor2);
  const double minimum = settings.rangeMin, maximum = settings.rangeMax;
  const double largest = std::max(std::fabs(maximum), std::fabs(minimum));
  const double relative = largest != 0 ? std::fabs(maximum - minimum) / largest : 0;
  const double perClass = relative <= 1e-8 ? 0 : 7 / (maximum - minimum);
  const double sx = ViewScale(target->width, x1, x2);
  const double sy = ViewScale(target->height, y1, y2);
  if (sx == 0 || sy == 0)
    return;
  int i1, j1, i2, j2;
  GetCellIndices(x1, y1, i1, j1, true);
  GetCellIndices(x2, y2, i2, j2, true);
  auto pixelX = [&](int i) { return arraynum::PixelTrunc((i * cellWidth + x - x1) * sx); };
  auto pixelY = [&](int j) { return arraynum::PixelTrunc((j * cellHeight + y - y1) * sy); };
  for (int j = j1; j <= j2; ++j) {
    for (int i = i1; i <= i2; ++i) {
      const double value = values[static_cast<size_t>(j) * nx + i];
      const int brush = IsNoValue(value) ? 0 : arraynum::ClampedTrunc((value - minimum) * perClass, 0, 7);
      canvas.FillRect(pixelX(i), pixelY(j), pixelX(i + 1) + 1, pixelY(j + 1) + 1, HatchBrush(brush, color));
    }
  }
}

// The bar borrows the array's own drawing: for the time of the call the array
// is a one-row (or one-column) grid of evenly spread values laid over the
// rectangle in pixels, and everything it borrowed is put back exactly. The clip
// outline is set aside meanwhile: it belongs to the map, not to the bar.
void TGArray::DrawToRect(TMemBitmap* target, int left, int top, int width, int height, bool horizontal)
{
  if (target == nullptr)
    return;
  if (settings.rangeMin == 0 && settings.rangeMax == 0)
    settings.rangeMax = 1.0;
  const int length = (horizontal ? width : height) - 8;
  const int cross = (horizontal ? height : width) - 8;
  if (length <= 0 || cross <= 0)
    return;

  const TArrayDrawSettings keptSettings = settings;
  const double keptX = x, keptY = y, keptDX = dx, keptDY = dy;
  const std::int32_t keptNX = nx, keptNY = ny, keptCount = cellCount;
  std::vector<double> keptValues;
  keptValues.swap(values);
  std::unique_ptr<TSLine> keptOutline = std::move(clipOutline);

  settings.contoursOn = 1;
  settings.labelThin = 1;
  settings.labelBold = 1;
  settings.labelSpacing = 10000;
  settings.labelStart = cross / 2 - 8;
  x = left + 4;
  y = top + 4;
  dx = width - 8;
  dy = height - 8;
  nx = horizontal ? length : 1;
  ny = horizontal ? 1 : length;
  cellCount = nx * ny;
  UpdateCellSize();

  const double minimum = settings.rangeMin, maximum = settings.rangeMax;
  values.resize(static_cast<size_t>(length));
  if (scheme.kind == LevelSchemeLog) {
    // A zero end has no logarithm; it stands three decades below the other end,
    // as in the logarithmic levels.
    auto logOf = [](double magnitude, double other) {
      return magnitude > 0 ? std::log(magnitude) : std::log(std::fabs(other)) - 3 * std::log(10.0);
    };
    const double lnMin = logOf(std::fabs(minimum), maximum);
    const double lnMax = logOf(std::fabs(maximum), minimum);
    for (int k = 0; k < length; ++k)
      values[static_cast<size_t>(k)] = minimum >= 0 ? std::exp(k * (lnMax - lnMin) / length + lnMin)
                                                    : -std::exp(k * (lnMin - lnMax) / length + lnMax);
  } else {
    for (int k = 0; k < length; ++k)
      values[static_cast<size_t>(k)] = minimum + (maximum - minimum) * k / length;
  }

  DrawLayers(0, 0, target->width, target->height, target);

  values.swap(keptValues);
  clipOutline = std::move(keptOutline);
  const HFONT font = settings.labelFont;
  settings = keptSettings;
  settings.labelFont = font;
  x = keptX;
  y = keptY;
  dx = keptDX;
  dy = keptDY;
  nx = keptNX;
  ny = keptNY;
  cellCount = keptCount;
  UpdateCellSize();
}
