// The off-screen bitmap record: creation, resizing, showing and freeing.
#include "melisco.h"

#include "GdiObjects.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uint32_t kHeaderSize = 40;

int RowBytes(int width, int bitCount) {
  return (width * (bitCount / 8) + 3) / 4 * 4;
}

// Copies one pixel between 24- and 32-bit layouts; a 32-bit target without a
// source alpha gets an opaque alpha byte.
void CopyPixel(const uint8_t* from, int fromBytes, uint8_t* to, int toBytes) {
  to[0] = from[0];
  to[1] = from[1];
  to[2] = from[2];
  if (toBytes == 4) {
    to[3] = fromBytes == 4 ? from[3] : 255;
  }
}

}  // namespace

extern "C" {

TMemBitmap* InitBitmap(TMemBitmap* bm) {
  bm->memDC = nullptr;
  bm->dib = nullptr;
  bm->width = 0;
  bm->height = 0;
  bm->oldObject = nullptr;
  return bm;
}

int CheckBitmap(HWND wnd, int width, int height, bool bottomUp, TMemBitmap* bm) {
  if (wnd == nullptr) {
    return 0;
  }
  // Every bitmap of the program is a 24-bit DIB; the window only lends its
  // (compatible) context, which a surface of ours does not need.
  CheckBitmapEx(width, height, bottomUp, bm, nullptr, 24, BI_RGB, DIB_RGB_COLORS);
  return 1;
}

void CheckBitmapEx(int width, int height, bool bottomUp, TMemBitmap* bm, HDC /*dc*/, int bitCount,
                   int compression, UINT /*usage*/) {
  if (bm->memDC == nullptr) {
    bm->memDC = melisco::CreateMemoryContext();
    if (bm->memDC == nullptr) {
      return;
    }
  }
  // A redraw of an unchanged window must keep its pixels and allocate nothing.
  if (bm->dib != nullptr && bm->width == width && bm->height == height &&
      (bm->bottomUp != 0) == bottomUp) {
    return;
  }
  if (bm->oldObject != nullptr) {
    melisco::SelectBitmap(bm->memDC, bm->oldObject);
  }
  if (bm->dib != nullptr) {
    melisco::DeleteDib(bm->dib);
  }
  CreateBITMAPINFO(width, height, bm, bitCount, compression, bottomUp);
  bm->dib = compression == BI_RGB ? melisco::CreateDib(width, height, bitCount, bottomUp) : nullptr;
  if (bm->dib != nullptr) {
    bm->bits = bm->dib->bits;
    bm->oldObject = melisco::SelectBitmap(bm->memDC, bm->dib);
    bm->width = width;
    bm->height = height;
  } else {
    bm->bits = nullptr;
    bm->oldObject = nullptr;
    bm->width = 0;
    bm->height = 0;
  }
}

void CreateBITMAPINFO(int width, int height, TMemBitmap* bm, int bitCount, int compression,
                      bool bottomUp) {
  BITMAPINFOHEADER& h = bm->info.bmiHeader;
  h.biSize = kHeaderSize;
  h.biWidth = width;
  h.biHeight = bottomUp ? height : -height;
  h.biPlanes = 1;
  h.biBitCount = static_cast<uint16_t>(bitCount);
  h.biCompression = static_cast<uint32_t>(compression);
  bm->bottomUp = bottomUp ? 1 : 0;
  bm->rowPadding = (4 - (width * bitCount / 8) % 4) % 4;
}

int DrawBitmap(HWND wnd, const TMemBitmap* bm) {
  if (wnd == nullptr) {
    return 0;
  }
  if (bm->memDC == nullptr) {
    return 1;
  }
  const MeliscoDib* from = bm->memDC->bitmap;
  if (from->bits == nullptr || wnd->bits == nullptr ||
      (wnd->bitCount != 24 && wnd->bitCount != 32)) {
    return 1;
  }
  const int toBytes = wnd->bitCount / 8;
  const int fromBytes = from->bitCount / 8;
  const int w = std::min({bm->width, from->width, wnd->width});
  const int h = std::min({bm->height, from->height, wnd->height});
  auto* target = static_cast<uint8_t*>(wnd->bits);
  for (int y = 0; y < h; ++y) {
    const uint8_t* src = from->PictureRow(y);
    const int targetRow = wnd->bottomUp ? wnd->height - 1 - y : y;
    uint8_t* dst = target + static_cast<std::ptrdiff_t>(targetRow) * wnd->bytesPerLine;
    for (int x = 0; x < w; ++x) {
      CopyPixel(src + x * fromBytes, fromBytes, dst + x * toBytes, toBytes);
    }
  }
  return 1;
}

void DeleteBitmap(TMemBitmap* bm) {
  if (bm->memDC == nullptr) {
    return;
  }
  if (bm->oldObject != nullptr) {
    melisco::SelectBitmap(bm->memDC, bm->oldObject);
  }
  if (bm->dib != nullptr) {
    melisco::DeleteDib(bm->dib);
  }
  melisco::DeleteMemoryContext(bm->memDC);
}

void* XGetDIBBits(HDC /*dc*/, HBITMAP bmp, int width, int lines, BITMAPINFO* bi) {
  BITMAPINFOHEADER& h = bi->bmiHeader;
  h.biSize = kHeaderSize;
  h.biWidth = width;
  h.biHeight = -lines;
  h.biPlanes = 1;
  h.biBitCount = 24;
  h.biCompression = BI_RGB;
  if (bmp == nullptr || bmp->bits == nullptr || width <= 0 || lines <= 0 ||
      width > (INT32_MAX - 3) / 3) {
    h.biSizeImage = 0;
    return nullptr;
  }
  const int rowBytes = RowBytes(width, 24);
  if (static_cast<int64_t>(rowBytes) * lines > INT32_MAX) {
    h.biSizeImage = 0;
    return nullptr;
  }
  h.biSizeImage = static_cast<uint32_t>(rowBytes * lines);
  auto* block = static_cast<uint8_t*>(std::calloc(h.biSizeImage, 1));
  if (block == nullptr) {
    return nullptr;
  }
  const int fromBytes = bmp->bitCount / 8;
  const int w = std::min(width, bmp->width);
  const int rows = std::min(lines, bmp->height);
  for (int y = 0; y < rows; ++y) {
    const uint8_t* src = bmp->PictureRow(y);
    uint8_t* dst = block + static_cast<std::ptrdiff_t>(y) * rowBytes;
    for (int x = 0; x < w; ++x) {
      CopyPixel(src + x * fromBytes, fromBytes, dst + x * 3, 3);
    }
  }
  return block;
}

void XFreeDIBBits(void* block) {
  std::free(block);
}

int XGetDIBWidthShift(const BITMAPINFOHEADER* h) {
  return (4 - (3 * h->biWidth) % 4) % 4;
}

const COLORREF* EGAcols(void) {
  static const COLORREF table[16] = {
      0xFF0000, 0x0000FF, 0x00FF00, 0xC0C0C0, 0x800000, 0x008000, 0x000080, 0x808000,
      0x800080, 0x008080, 0x808080, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0xFFFFFF, 0x000000,
  };
  return table;
}

int EGAcolsCount(void) {
  return 16;
}

}  // extern "C"
