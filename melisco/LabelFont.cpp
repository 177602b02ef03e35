#include "LabelFont.h"

#include "GdiObjects.h"
#include "PixelWriters.h"
#include "melisco.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <cmath>
#include <new>

struct MeliscoFont {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  int lineHeight = 0;
  int ascent = 0;
};

namespace melisco {
namespace {

constexpr double kFarAway = 1e9;

int RoundedPixels(FT_Pos value) {
  return static_cast<int>((value + 32) >> 6);
}

// Loads one glyph into the face's slot; false for characters the face lacks.
bool LoadGlyph(FT_Face face, unsigned char c, bool bold, FT_Int32 flags) {
  if (FT_Load_Char(face, c, flags) != 0) {
    return false;
  }
  if (bold) {
    FT_GlyphSlot_Embolden(face->glyph);
  }
  return true;
}

void BlendCoverage(const MeliscoDib& target, const FT_Bitmap& bitmap, int left, int top, int r,
                   int g, int b) {
  const int bytesPerPixel = target.bitCount / 8;
  for (unsigned row = 0; row < bitmap.rows; ++row) {
    const int y = top + static_cast<int>(row);
    if (y < 0 || y >= target.height) {
      continue;
    }
    const unsigned char* coverage = bitmap.buffer + static_cast<long>(row) * bitmap.pitch;
    uint8_t* line = target.PictureRow(y);
    for (unsigned col = 0; col < bitmap.width; ++col) {
      const int x = left + static_cast<int>(col);
      if (x < 0 || x >= target.width || coverage[col] == 0) {
        continue;
      }
      const int alpha = coverage[col] == 255 ? kWeightOne : coverage[col] * 257;
      uint8_t* p = line + static_cast<long>(x) * bytesPerPixel;
      BlendBGR(p, r, g, b, alpha);
      if (bytesPerPixel == 4) {
        p[3] = BlendChannel(p[3], 255, alpha);
      }
    }
  }
}

}  // namespace

TextSize MeasureText(HFONT font, const char* text, bool bold) {
  TextSize size;
  if (font == nullptr || text == nullptr) {
    return size;
  }
  FT_Set_Transform(font->face, nullptr, nullptr);
  for (const char* c = text; *c != '\0'; ++c) {
    if (LoadGlyph(font->face, static_cast<unsigned char>(*c), bold, FT_LOAD_DEFAULT)) {
      size.width += RoundedPixels(font->face->glyph->advance.x);
    }
  }
  size.height = font->lineHeight;
  return size;
}

void DrawText(HFONT font, const MeliscoDib& target, int x, int y, double angleRadians,
              const char* text, bool bold, int r, int g, int b) {
  if (font == nullptr || text == nullptr || target.bits == nullptr) {
    return;
  }
  const double cosA = std::cos(angleRadians);
  const double sinA = std::sin(angleRadians);
  // FreeType's y axis points up, the picture's down: a counter-clockwise turn
  // on the screen is the same matrix in both.
  FT_Matrix matrix;
  matrix.xx = static_cast<FT_Fixed>(std::lround(cosA * 65536.0));
  matrix.xy = static_cast<FT_Fixed>(std::lround(-sinA * 65536.0));
  matrix.yx = static_cast<FT_Fixed>(std::lround(sinA * 65536.0));
  matrix.yy = static_cast<FT_Fixed>(std::lround(cosA * 65536.0));
  int advance = 0;  // along the baseline, in whole pixels as the extent counts them
  for (const char* c = text; *c != '\0'; ++c) {
    const auto code = static_cast<unsigned char>(*c);
    FT_Set_Transform(font->face, nullptr, nullptr);
    if (!LoadGlyph(font->face, code, bold, FT_LOAD_DEFAULT)) {
      continue;
    }
    const int glyphAdvance = RoundedPixels(font->face->glyph->advance.x);
    // The pen on the baseline, in picture coordinates.
    const double penX = x + advance * cosA + font->ascent * sinA;
    const double penY = y - advance * sinA + font->ascent * cosA;
    advance += glyphAdvance;
    const double baseX = std::floor(penX);
    const double baseY = std::floor(penY);
    // Far off the picture (a label point out of range): nothing to write.
    if (!(std::fabs(baseX) < kFarAway && std::fabs(baseY) < kFarAway)) {
      continue;
    }
    FT_Vector delta;
    delta.x = static_cast<FT_Pos>(std::lround((penX - baseX) * 64.0));
    delta.y = static_cast<FT_Pos>(std::lround(-(penY - baseY) * 64.0));
    FT_Set_Transform(font->face, &matrix, &delta);
    if (!LoadGlyph(font->face, code, bold, FT_LOAD_NO_HINTING) ||
        FT_Render_Glyph(font->face->glyph, FT_RENDER_MODE_NORMAL) != 0) {
      continue;
    }
    const FT_GlyphSlot slot = font->face->glyph;
    BlendCoverage(target, slot->bitmap, static_cast<int>(baseX) + slot->bitmap_left,
                  static_cast<int>(baseY) - slot->bitmap_top, r, g, b);
  }
  FT_Set_Transform(font->face, nullptr, nullptr);
}

}  // namespace melisco

extern "C" {

HFONT CreateLabelFont(const char* fontFile, int pixelHeight) {
  if (fontFile == nullptr || pixelHeight <= 0) {
    return nullptr;
  }
  auto* font = new (std::nothrow) MeliscoFont();
  if (font == nullptr) {
    return nullptr;
  }
  // A library per font keeps fonts independent of each other, so distinct
  // fonts can be used from different threads.
  if (FT_Init_FreeType(&font->library) != 0) {
    delete font;
    return nullptr;
  }
  if (FT_New_Face(font->library, fontFile, 0, &font->face) != 0 ||
      FT_Set_Pixel_Sizes(font->face, 0, static_cast<FT_UInt>(pixelHeight)) != 0) {
    DeleteLabelFont(font);
    return nullptr;
  }
  const FT_Size_Metrics& metrics = font->face->size->metrics;
  font->ascent = melisco::RoundedPixels(metrics.ascender);
  font->lineHeight = font->ascent - melisco::RoundedPixels(metrics.descender);
  return font;
}

void DeleteLabelFont(HFONT font) {
  if (font == nullptr) {
    return;
  }
  if (font->face != nullptr) {
    FT_Done_Face(font->face);
  }
  if (font->library != nullptr) {
    FT_Done_FreeType(font->library);
  }
  delete font;
}

}  // extern "C"
