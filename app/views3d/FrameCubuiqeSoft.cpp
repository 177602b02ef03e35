// The cube frame's picture without OpenGL: an orthographic view along +y, the
// box's hidden edges dotted behind the sections and tree segments that the
// drawing library ray casts, and the visible edges solid over them.
#include "views3d/FrameCubuiqe.h"

#include "melisco.h"

#include <QPainter>
#include <QPen>

#include <cstddef>
#include <cstring>

// The frame's records are handed to the drawing library as they are.
static_assert(sizeof(TCubeResample) == sizeof(ResampleEntry) && offsetof(TCubeResample, i0) == offsetof(ResampleEntry, i0) &&
              offsetof(TCubeResample, i1) == offsetof(ResampleEntry, i1) &&
              offsetof(TCubeResample, w0) == offsetof(ResampleEntry, w0) &&
              offsetof(TCubeResample, t) == offsetof(ResampleEntry, w1));
static_assert(sizeof(CubeSegmentStyle) == sizeof(SegmentStyle) &&
              offsetof(CubeSegmentStyle, width2) == offsetof(SegmentStyle, width2) &&
              offsetof(CubeSegmentStyle, colour) == offsetof(SegmentStyle, colour) &&
              offsetof(CubeSegmentStyle, opacity) == offsetof(SegmentStyle, opacity));

void TFmCubuiqe::DrawSoftware()
{
  if (!Bitmap.bits)
    return;
  const size_t rowBytes = static_cast<size_t>(Bitmap.width) * 3 + static_cast<size_t>(Bitmap.rowPadding);
  std::memset(Bitmap.bits, 0xFF, rowBytes * static_cast<size_t>(Bitmap.height));
  if (Marker != CubeReadyMarker)
    return;
  DrawBoxEdgesSoft(false);
  RenderSoft();
  DrawBoxEdgesSoft(true);
}

void TFmCubuiqe::DrawBoxEdgesSoft(bool visiblePass)
{
  if (!Bitmap.bits || Bitmap.width <= 0 || Bitmap.height <= 0)
    return;
  // The pens are grey and black, so the bitmap's BGR order reads the same as RGB.
  QImage target(static_cast<uchar*>(Bitmap.bits), Bitmap.width, Bitmap.height, Bitmap.width * 3 + Bitmap.rowPadding,
                QImage::Format_RGB888);
  QPainter painter(&target);
  if (Bitmap.bottomUp)
    painter.setTransform(QTransform(1, 0, 0, -1, 0, Bitmap.height - 1));
  painter.setPen(visiblePass ? QPen(Qt::black, 1, Qt::SolidLine) : QPen(QColor(0x80, 0x80, 0x80), 1, Qt::DotLine));
  TCubeBoxEdge edges[12];
  CubeBoxEdges(BoxCornersView, edges);
  for (const TCubeBoxEdge& e : edges) {
    if (e.visible != visiblePass)
      continue;
    painter.drawLine(QPoint(static_cast<int>(CentreX + e.a[0] * ViewScale), static_cast<int>(CentreY + e.a[2] * NegViewScale)),
                     QPoint(static_cast<int>(CentreX + e.b[0] * ViewScale), static_cast<int>(CentreY + e.b[2] * NegViewScale)));
  }
}

void TFmCubuiqe::RenderSoft()
{
  // Without values (a tree window that shows no array) the library draws the
  // tree and the plainly coloured sections alone.
  const bool values = !(ValueCodes.empty() || ResampleX.empty() || ResampleY.empty() || ResampleZ.empty());
  SegmentScratchA.assign(4 * static_cast<size_t>(SegmentCount), 0);
  SegmentScratchB.assign(4 * static_cast<size_t>(SegmentCount), 0);
  const int segmentCount = static_cast<int>(std::min<size_t>(SegmentCount, std::min(SegmentsView.size() / 6, SegmentStyles.size())));
  auto draw = Interpolation == 1 ? CubuiqeDrawSectionX : CubuiqeDrawSection;
  auto table = [values](const std::vector<TCubeResample>& t) {
    return values ? reinterpret_cast<const ResampleEntry*>(t.data()) : nullptr;
  };
  auto count = [values](const std::vector<TCubeResample>& t) { return values ? static_cast<int>(t.size()) : 0; };
  draw(&Bitmap, ViewScale, NegViewScale, PixelSize, values ? ValueCodes.data() : nullptr, table(ResampleX),
       table(ResampleY), table(ResampleZ), CentreX, CentreY, AxisScaleX, AxisScaleY, AxisScaleZ, count(ResampleX),
       count(ResampleY), count(ResampleZ), BoxCornersView, Rotation, SectionPlanes,
       SectionCount, reinterpret_cast<const double(*)[6]>(SegmentsView.data()), segmentCount,
       reinterpret_cast<const SegmentStyle*>(SegmentStyles.data()), SegmentScratchA.data(), SegmentScratchB.data(),
       ColourMin, ColourMax, ColourScale, FillMode, FillOpacity, SectionColour, SectionOpacity);
}
