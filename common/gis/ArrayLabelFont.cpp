#include "gis/ArrayLabelFont.h"

#include <cmath>
#include <filesystem>

#include "melisco.h"

namespace {

constexpr const char* DejaVuFolder = "/usr/share/fonts/truetype/dejavu/";

TLabelFontFileResolver& InstalledResolver()
{
  static TLabelFontFileResolver resolver;
  return resolver;
}

} // namespace

std::string DejaVuLabelFontFile(const TFontRecord& font)
{
  const bool bold = (font.style & TFontRecord::Bold) != 0;
  const std::string preferred = std::string(DejaVuFolder) + (bold ? "DejaVuSans-Bold.ttf" : "DejaVuSans.ttf");
  std::error_code error;
  if (std::filesystem::exists(preferred, error))
    return preferred;
  const std::string plain = std::string(DejaVuFolder) + "DejaVuSans.ttf";
  return std::filesystem::exists(plain, error) ? plain : std::string();
}

void SetLabelFontFileResolver(TLabelFontFileResolver resolver)
{
  InstalledResolver() = std::move(resolver);
}

std::string ResolveLabelFontFile(const TFontRecord& font)
{
  const auto& resolver = InstalledResolver();
  return resolver ? resolver(font) : DejaVuLabelFontFile(font);
}

int LabelFontPixelHeight(const TFontRecord& font)
{
  // A size that is not positive (or absurd, from a damaged record) draws at 8 points.
  const int points = font.size > 0 && font.size <= 1000 ? font.size : 8;
  return static_cast<int>(std::lround(points * 96.0 / 72.0));
}

TArrayLabelFont::~TArrayLabelFont()
{
  Release();
}

HFONT TArrayLabelFont::Handle(const TFontRecord& font)
{
  if (made && font == madeFrom)
    return handle;
  Release();
  const std::string file = ResolveLabelFontFile(font);
  handle = file.empty() ? nullptr : CreateLabelFont(file.c_str(), LabelFontPixelHeight(font));
  made = true;
  madeFrom = font;
  return handle;
}

void TArrayLabelFont::Release()
{
  if (handle != nullptr)
    DeleteLabelFont(handle);
  handle = nullptr;
  made = false;
}
