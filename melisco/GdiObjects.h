// The library's stand-ins for the GDI objects behind its handles: a pixel
// buffer in DIB layout (HBITMAP) and a device context that views the selected
// buffer and holds the selected font (HDC).
#ifndef MELISCO_GDIOBJECTS_H
#define MELISCO_GDIOBJECTS_H

#include "MeliscoTypes.h"

#include <cstddef>
#include <cstdint>

struct MeliscoDib {
  uint8_t* bits = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t bitCount = 0;
  int32_t bytesPerLine = 0;
  bool bottomUp = false;

  // Start of picture row y (row 0 is the top of the picture).
  uint8_t* PictureRow(int y) const {
    int memoryRow = bottomUp ? height - 1 - y : y;
    return bits + static_cast<std::ptrdiff_t>(memoryRow) * bytesPerLine;
  }
};

struct MeliscoDeviceContext {
  // What a fresh context holds before a bitmap is selected, so that the
  // previous object of a selection is never null (as with GDI's stock bitmap).
  MeliscoDib stockBitmap;
  MeliscoDib* bitmap = &stockBitmap;
  MeliscoFont* font = nullptr;
};

namespace melisco {

HDC CreateMemoryContext();
void DeleteMemoryContext(HDC dc);
// Null when the size or bit count is not one the library draws into.
HBITMAP CreateDib(int width, int height, int bitCount, bool bottomUp);
void DeleteDib(HBITMAP dib);
// Both return the previously selected object.
HGDIOBJ SelectBitmap(HDC dc, HGDIOBJ bitmap);
HFONT SelectFont(HDC dc, HFONT font);

}  // namespace melisco

#endif
