#include "maps/SignFont.h"

#include "base/ColorRef.h"
#include "gis/BitmapCanvas.h"

#include <cmath>

namespace {
constexpr double kPointsPerPixel = 72.0 / 96.0;
}

TFontRecord FontRecordFromFont(const QFont& font, const TFontRecord& base)
{
  TFontRecord record = base;
  record.name = font.family().toStdString();
  record.size = font.pointSize() > 0 ? font.pointSize()
                                     : static_cast<int32_t>(std::lround(font.pixelSize() * kPointsPerPixel));
  record.style = (font.bold() ? TFontRecord::Bold : 0) | (font.italic() ? TFontRecord::Italic : 0) |
                 (font.underline() ? TFontRecord::Underline : 0) | (font.strikeOut() ? TFontRecord::StrikeOut : 0);
  return record;
}

TFontChoice FontChoiceOf(const TFontRecord& record)
{
  return {TBitmapCanvas::FontOf(record), TBitmapCanvas::ColorOf(record)};
}

TFontRecord FontRecordFromChoice(const TFontChoice& choice, const TFontRecord& base)
{
  TFontRecord record = FontRecordFromFont(choice.font, base);
  // An unchanged colour keeps the record's own, a system colour included.
  if (choice.colour != TBitmapCanvas::ColorOf(base))
    record.color = static_cast<int32_t>(ColorRefOf(choice.colour));
  return record;
}
