#pragma once
// Drawing on a melisco bitmap with the pixel rules of the device context that
// map objects were written for: filled rectangles, block copies with raster
// operations, stretched copies, and text placed by its top-left corner (or its
// top centre) in a font given as its stored record.
//
// A top-down bitmap is painted in place through a QImage over its memory; a
// bottom-up one is painted on an upright copy that goes back when the canvas
// ends.
#include <memory>
#include <string>

#include <QBrush>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QSize>

#include "MeliscoTypes.h"
#include "data/TagStream.h"

// Raster operations of block copies (the device-context codes).
enum TRasterOp : unsigned {
  RopSrcCopy = 0x00CC0020,
  RopSrcAnd = 0x008800C6,
  RopMergePaint = 0x00BB0226,
};

enum TTextAlign {
  TextAlignLeftTop,
  TextAlignCenterTop,
};

class TBitmapCanvas {
public:
  explicit TBitmapCanvas(TMemBitmap* target);
  ~TBitmapCanvas();
  TBitmapCanvas(const TBitmapCanvas&) = delete;
  TBitmapCanvas& operator=(const TBitmapCanvas&) = delete;

  // False for a bitmap without pixels or of a depth that is not drawn (only
  // 24- and 32-bit bitmaps are).
  bool IsValid() const { return !image.isNull(); }
  int Width() const { return image.width(); }
  int Height() const { return image.height(); }

  // Pixels left..right-1 by top..bottom-1: a rectangle covers its left and top
  // edges but not its right and bottom ones. An empty or inverted rectangle
  // paints nothing.
  void FillRect(int left, int top, int right, int bottom, const QBrush& brush);
  // One-pixel lines from (x, y1) toward (x, y2), or along a row, without their
  // last pixel (the one a line to that point leaves out).
  void VerticalLine(int lineX, int y1, int y2, const QColor& color);
  void HorizontalLine(int x1, int x2, int lineY, const QColor& color);

  // Copies the source at its own size with its top-left corner at (x, y).
  void BitBlt(int x, int y, const QImage& source, TRasterOp op);
  // Copies the source rectangle onto the destination rectangle, scaled by
  // nearest pixels; a negative destination width or height mirrors.
  void StretchBlt(int x, int y, int width, int height, const QImage& source, int sx, int sy, int sw, int sh);

  void SelectFont(const TFontRecord& font);
  // Width and height of the text in the selected font.
  QSize TextExtent(const std::string& text);
  // Writes the text with a transparent background in the selected font's colour;
  // (x, y) is the text's top-left corner or the middle of its top edge.
  void TextOut(int x, int y, const std::string& text, TTextAlign align = TextAlignLeftTop);

  // The font and colour a stored font record draws with.
  static QFont FontOf(const TFontRecord& font);
  static QColor ColorOf(const TFontRecord& font);
  // A stored colour value as it is: red in the low byte, then green and blue.
  static QColor ColorOf(COLORREF color);
  // The record's text as the characters the font shows (symbol fonts decode
  // through their own encoding).
  static QString TextOf(const TFontRecord& font, const std::string& text);
  // The reverse of TextOf: characters as the font shows them back to the text a record keeps.
  static std::string StoredTextOf(const TFontRecord& font, const QString& shown);
  // Whether the font shows its text through the Symbol encoding.
  static bool IsSymbolFont(const TFontRecord& font);
  // Whether the font's own glyphs (no borrowed ones) cover the text.
  static bool HasGlyphs(const QFont& font, const QString& text);
  // The font, or the first installed family like it whose own glyphs cover
  // the text.
  static QFont CoveringFont(const QFont& font, const QString& text);

private:
  QPainter& Painter();
  void EndPainting();
  // The selected font for a text as shown: symbol texts may need another family.
  QFont FontFor(const QString& shown) const;

  TMemBitmap* bitmap;
  QImage image;
  bool copied = false;
  std::unique_ptr<QPainter> painter;
  TFontRecord fontRecord;
  QFont font;
};
