#include "gis/FontconfigLabelFont.h"

#include "gis/ArrayLabelFont.h"

#include <fontconfig/fontconfig.h>

#include <memory>

namespace {

struct TPatternDeleter {
  void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using TPattern = std::unique_ptr<FcPattern, TPatternDeleter>;

const FcChar8* FcText(const std::string& text)
{
  return reinterpret_cast<const FcChar8*>(text.c_str());
}

TPattern RequestOf(const TFontRecord& font)
{
  TPattern pattern(FcPatternCreate());
  if (!pattern)
    return pattern;
  FcPatternAddString(pattern.get(), FC_FAMILY, FcText(font.name));
  FcPatternAddInteger(pattern.get(), FC_WEIGHT,
                      (font.style & TFontRecord::Bold) != 0 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern.get(), FC_SLANT,
                      (font.style & TFontRecord::Italic) != 0 ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  return pattern;
}

// A face lists every family name it answers to (DejaVu Serif Condensed is
// also DejaVu Serif).
bool HasFamily(FcPattern* face, const std::string& family)
{
  FcChar8* name = nullptr;
  for (int i = 0; FcPatternGetString(face, FC_FAMILY, i, &name) == FcResultMatch; ++i)
    if (FcStrCmpIgnoreCase(name, FcText(family)) == 0)
      return true;
  return false;
}

} // namespace

std::string InstalledFamilyFile(const TFontRecord& font)
{
  if (font.name.empty() || !FcInit())
    return {};
  TPattern request = RequestOf(font);
  if (!request)
    return {};
  FcResult result = FcResultNoMatch;
  TPattern match(FcFontMatch(nullptr, request.get(), &result));
  if (!match || result != FcResultMatch || !HasFamily(match.get(), font.name))
    return {};
  // The drawing library renders outlines; a bitmap-only face of the family
  // would draw nothing at a rotated angle.
  FcBool scalable = FcFalse;
  FcChar8* file = nullptr;
  if (FcPatternGetBool(match.get(), FC_SCALABLE, 0, &scalable) != FcResultMatch || !scalable ||
      FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch)
    return {};
  return reinterpret_cast<const char*>(file);
}

std::string FontconfigLabelFontFile(const TFontRecord& font)
{
  std::string file = InstalledFamilyFile(font);
  return file.empty() ? DejaVuLabelFontFile(font) : file;
}
