#include "maps/SignFont.h"

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
