#pragma once
// Filled rectangles on a melisco bitmap with the device-context rule that the
// array drawing was written for: a rectangle covers its left and top edges but
// not its right and bottom ones. Grid lines are one-pixel rectangles, so their
// last pixel (the one a line to that point leaves out) can be excluded exactly.
//
// A top-down bitmap is painted in place through a QImage over its memory; a
// bottom-up one on an upright copy that goes back when the canvas ends.
#include <memory>

#include <QBrush>
#include <QImage>
#include <QPainter>

#include "MeliscoTypes.h"

class TArrayCanvas {
public:
  explicit TArrayCanvas(TMemBitmap* target);
  ~TArrayCanvas();
  TArrayCanvas(const TArrayCanvas&) = delete;
  TArrayCanvas& operator=(const TArrayCanvas&) = delete;

  // False for a bitmap without pixels or of a depth that is not drawn (only
  // 24- and 32-bit bitmaps are).
  bool IsValid() const { return !image.isNull(); }

  // Pixels left..right-1 by top..bottom-1; an empty or inverted rectangle
  // paints nothing.
  void FillRect(int left, int top, int right, int bottom, const QBrush& brush);
  // A one-pixel line from (x, y1) toward (x, y2) without its last pixel.
  void VerticalLine(int lineX, int y1, int y2, const QColor& color);
  void HorizontalLine(int x1, int x2, int lineY, const QColor& color);

  static QColor ColorOf(COLORREF color);

private:
  QPainter& Painter();

  TMemBitmap* bitmap;
  QImage image;
  bool copied = false;
  std::unique_ptr<QPainter> painter;
};
