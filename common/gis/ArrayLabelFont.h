#pragma once
// The drawing library's label font for an array, made from the array's stored
// label font record the first time labels are drawn and remade when the record
// changes. The library draws with a font file; which file stands for a face
// name is asked of a resolver that the program may replace (the default finds
// Debian's DejaVu faces).
#include <functional>
#include <string>

#include "MeliscoTypes.h"
#include "data/TagStream.h"

using TLabelFontFileResolver = std::function<std::string(const TFontRecord& font)>;

// The default: Debian's DejaVu Sans, bold where the record asks for it.
std::string DejaVuLabelFontFile(const TFontRecord& font);

// An empty resolver restores the default.
void SetLabelFontFileResolver(TLabelFontFileResolver resolver);
std::string ResolveLabelFontFile(const TFontRecord& font);

// Pixel height of a font record's point size on a 96 dpi screen.
int LabelFontPixelHeight(const TFontRecord& font);

class TArrayLabelFont {
public:
  TArrayLabelFont() = default;
  ~TArrayLabelFont();
  TArrayLabelFont(const TArrayLabelFont&) = delete;
  TArrayLabelFont& operator=(const TArrayLabelFont&) = delete;

  // Null when no font file can be had; the labels are then left out.
  HFONT Handle(const TFontRecord& font);
  void Release();

private:
  HFONT handle = nullptr;
  bool made = false;
  TFontRecord madeFrom;
};
