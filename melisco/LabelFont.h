// Label fonts: a FreeType face at a pixel size behind the library's HFONT, with
// the two text operations that the contour labels need.
#ifndef MELISCO_LABELFONT_H
#define MELISCO_LABELFONT_H

#include "MeliscoTypes.h"

struct MeliscoDib;

namespace melisco {

struct TextSize {
  int width = 0;
  int height = 0;
};

// Width of the text in whole pixels (sum of the glyph advances) and the height
// of a line of the font; bold widens the glyphs as a heavier weight would.
TextSize MeasureText(HFONT font, const char* text, bool bold);

// Writes the text with the top-left corner of its box at (x, y), its baseline
// turned by angleRadians counter-clockwise on the screen, anti-aliased in the
// colour. Pixels outside the picture are left out.
void DrawText(HFONT font, const MeliscoDib& target, int x, int y, double angleRadians,
              const char* text, bool bold, int r, int g, int b);

}  // namespace melisco

#endif
