#include "GdiObjects.h"

#include <cstdlib>
#include <new>

namespace melisco {

HDC CreateMemoryContext() {
  return new (std::nothrow) MeliscoDeviceContext();
}

void DeleteMemoryContext(HDC dc) {
  delete dc;
}

HBITMAP CreateDib(int width, int height, int bitCount, bool bottomUp) {
  if (width <= 0 || height <= 0 || (bitCount != 24 && bitCount != 32)) {
    return nullptr;
  }
  const int64_t rowBytes = (static_cast<int64_t>(width) * (bitCount / 8) + 3) / 4 * 4;
  const int64_t total = rowBytes * height;
  if (rowBytes > INT32_MAX || total > static_cast<int64_t>(INT32_MAX)) {
    return nullptr;
  }
  auto* dib = new (std::nothrow) MeliscoDib();
  if (dib == nullptr) {
    return nullptr;
  }
  // A new DIB section starts out black, as GDI's does.
  dib->bits = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(total), 1));
  if (dib->bits == nullptr) {
    delete dib;
    return nullptr;
  }
  dib->width = width;
  dib->height = height;
  dib->bitCount = bitCount;
  dib->bytesPerLine = static_cast<int32_t>(rowBytes);
  dib->bottomUp = bottomUp;
  return dib;
}

void DeleteDib(HBITMAP dib) {
  if (dib == nullptr) {
    return;
  }
  std::free(dib->bits);
  delete dib;
}

HGDIOBJ SelectBitmap(HDC dc, HGDIOBJ bitmap) {
  if (dc == nullptr || bitmap == nullptr) {
    return nullptr;
  }
  MeliscoDib* previous = dc->bitmap;
  dc->bitmap = static_cast<MeliscoDib*>(bitmap);
  return previous;
}

HFONT SelectFont(HDC dc, HFONT font) {
  if (dc == nullptr) {
    return nullptr;
  }
  HFONT previous = dc->font;
  dc->font = font;
  return previous;
}

}  // namespace melisco
