#include "MeliscoTestSupport.h"
#include "melisco.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <vector>

namespace {

using meliscotest::Bitmap;

// The program's GIS code is built from the same declarations: keep the layouts.
static_assert(sizeof(TContourLevel) == 24);
static_assert(offsetof(TContourLevel, lineColor) == 8);
static_assert(offsetof(TContourLevel, transparency) == 20);
static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(sizeof(BITMAPINFO) == 44);
static_assert(offsetof(TMemBitmap, info) == 16);
static_assert(offsetof(TMemBitmap, bits) == 64);
static_assert(offsetof(TMemBitmap, bottomUp) == 84);
static_assert(offsetof(TMemBitmap, oldObject) == 88);
static_assert(offsetof(TArrayDrawSettings, levels) == 4);
static_assert(offsetof(TArrayDrawSettings, rangeMin) == 40);
static_assert(offsetof(TArrayDrawSettings, steppedFill) == 56);
static_assert(offsetof(TArrayDrawSettings, labelFactor) == 84);
static_assert(offsetof(TArrayDrawSettings, labelFont) == 100);
static_assert(offsetof(TArrayDrawSettings, gridColor) == 112);
static_assert(sizeof(TArrayDrawSettings) == 116);

TEST(MemBitmap, InitClearsTheHandlesAndSizes) {
  TMemBitmap bm;
  std::memset(&bm, 0xAB, sizeof bm);
  EXPECT_EQ(InitBitmap(&bm), &bm);
  EXPECT_EQ(bm.memDC, nullptr);
  EXPECT_EQ(bm.dib, nullptr);
  EXPECT_EQ(bm.oldObject, nullptr);
  EXPECT_EQ(bm.width, 0);
  EXPECT_EQ(bm.height, 0);
  DeleteBitmap(&bm);  // only initialised: nothing to free
}

TEST(MemBitmap, RowPaddingFillsRowsToFourBytes) {
  struct Case {
    int width, bitCount, padding;
  };
  for (const Case& c : {Case{5, 24, 1}, Case{4, 24, 0}, Case{3, 24, 3}, Case{1, 24, 1},
                        Case{2, 24, 2}, Case{3, 32, 0}}) {
    TMemBitmap bm{};
    InitBitmap(&bm);
    CreateBITMAPINFO(c.width, 7, &bm, c.bitCount, BI_RGB, true);
    EXPECT_EQ(bm.rowPadding, c.padding) << c.width << "x" << c.bitCount;
    EXPECT_EQ(bm.info.bmiHeader.biHeight, 7);
    EXPECT_EQ(bm.bottomUp, 1);
    CreateBITMAPINFO(c.width, 7, &bm, c.bitCount, BI_RGB, false);
    EXPECT_EQ(bm.info.bmiHeader.biHeight, -7);
    EXPECT_EQ(bm.info.bmiHeader.biSize, 40u);
    EXPECT_EQ(bm.info.bmiHeader.biPlanes, 1);
    EXPECT_EQ(bm.info.bmiHeader.biBitCount, c.bitCount);
    BITMAPINFOHEADER h{};
    h.biWidth = c.width;
    if (c.bitCount == 24) {
      EXPECT_EQ(XGetDIBWidthShift(&h), c.padding);
    }
  }
}

TEST(MemBitmap, SameSizeKeepsThePixelsOtherSizeRenews) {
  TMemBitmap bm{};
  InitBitmap(&bm);
  TWindowSurface window{};
  ASSERT_NE(CheckBitmap(&window, 5, 3, false, &bm), 0);
  ASSERT_NE(bm.memDC, nullptr);
  ASSERT_NE(bm.dib, nullptr);
  ASSERT_NE(bm.bits, nullptr);
  EXPECT_EQ(bm.width, 5);
  EXPECT_EQ(bm.height, 3);
  EXPECT_EQ(bm.info.bmiHeader.biBitCount, 24);
  EXPECT_EQ(bm.rowPadding, 1);
  EXPECT_NE(bm.oldObject, nullptr);
  static_cast<uint8_t*>(bm.bits)[0] = 77;

  void* const bits = bm.bits;
  const HBITMAP dib = bm.dib;
  ASSERT_NE(CheckBitmap(&window, 5, 3, false, &bm), 0);
  EXPECT_EQ(bm.bits, bits);
  EXPECT_EQ(bm.dib, dib);
  EXPECT_EQ(static_cast<uint8_t*>(bm.bits)[0], 77);

  ASSERT_NE(CheckBitmap(&window, 5, 4, false, &bm), 0);
  EXPECT_EQ(bm.height, 4);
  EXPECT_EQ(static_cast<uint8_t*>(bm.bits)[0], 0);

  ASSERT_NE(CheckBitmap(&window, 5, 4, true, &bm), 0);  // orientation counts too
  EXPECT_EQ(bm.bottomUp, 1);
  EXPECT_EQ(bm.info.bmiHeader.biHeight, 4);
  DeleteBitmap(&bm);
}

TEST(MemBitmap, WithoutAWindowNothingChanges) {
  TMemBitmap bm{};
  InitBitmap(&bm);
  EXPECT_EQ(CheckBitmap(nullptr, 5, 3, false, &bm), 0);
  EXPECT_EQ(bm.memDC, nullptr);
  EXPECT_EQ(bm.dib, nullptr);
  EXPECT_EQ(DrawBitmap(nullptr, &bm), 0);
  DeleteBitmap(&bm);
}

TEST(MemBitmap, FailedCreationLeavesAnEmptyPicture) {
  Bitmap bitmap(4, 4);
  TMemBitmap* bm = bitmap.get();
  ASSERT_NE(bm->dib, nullptr);
  CheckBitmapEx(0, 4, false, bm, nullptr, 24, BI_RGB, DIB_RGB_COLORS);
  EXPECT_NE(bm->memDC, nullptr);  // the context stays
  EXPECT_EQ(bm->dib, nullptr);
  EXPECT_EQ(bm->oldObject, nullptr);
  EXPECT_EQ(bm->width, 0);
  EXPECT_EQ(bm->height, 0);

  // Drawing functions treat it as empty.
  const double values[1] = {1.0};
  DrawFilling(bm, values, 1, 1, 0, 0, 1, 1, nullptr, 0, 0, 1, 1, 3, true, 0, 1, 0, 0xFFFFFF, 0,
              0x10000, 0x10000, false, nullptr);
  TWindowSurface window{};
  EXPECT_EQ(DrawBitmap(&window, bm), 1);

  // And a later size brings a picture back.
  CheckBitmapEx(2, 2, false, bm, nullptr, 32, BI_RGB, DIB_RGB_COLORS);
  EXPECT_NE(bm->dib, nullptr);
  EXPECT_EQ(bm->width, 2);
}

TEST(MemBitmap, DrawBitmapCopiesThePictureIntoTheWindow) {
  Bitmap bitmap(3, 2);
  bitmap.Fill(10, 20, 30);
  bitmap.At(2, 1)[2] = 99;  // red of the bottom-right pixel

  // A bottom-up 32-bit window larger than the bitmap.
  const int stride = 4 * 4;
  std::vector<uint8_t> memory(static_cast<std::size_t>(stride) * 3, 0);
  TWindowSurface window{memory.data(), 4, 3, stride, 32, 1};
  EXPECT_EQ(DrawBitmap(&window, bitmap.get()), 1);
  auto windowPixel = [&](int x, int y) { return memory.data() + (2 - y) * stride + 4 * x; };
  EXPECT_EQ(windowPixel(0, 0)[0], 30);
  EXPECT_EQ(windowPixel(0, 0)[2], 10);
  EXPECT_EQ(windowPixel(0, 0)[3], 255);
  EXPECT_EQ(windowPixel(2, 1)[2], 99);
  EXPECT_EQ(windowPixel(3, 0)[0], 0);  // outside the bitmap
  EXPECT_EQ(windowPixel(0, 2)[0], 0);
}

TEST(MemBitmap, XGetDIBBitsReadsTopDownTwentyFourBitRows) {
  Bitmap bitmap(3, 3, 32, true);
  bitmap.Fill(1, 2, 3, 200);
  bitmap.At(1, 0)[0] = 50;  // blue of the top row's middle pixel
  BITMAPINFO bi{};
  auto* block = static_cast<uint8_t*>(XGetDIBBits(bitmap.get()->memDC, bitmap.get()->dib, 3, 2, &bi));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(bi.bmiHeader.biHeight, -2);
  EXPECT_EQ(bi.bmiHeader.biBitCount, 24);
  EXPECT_EQ(bi.bmiHeader.biSizeImage, 24u);  // two rows of 9 bytes padded to 12
  EXPECT_EQ(block[3], 50);
  EXPECT_EQ(block[12 + 2], 1);
  XFreeDIBBits(block);
  EXPECT_EQ(XGetDIBBits(nullptr, nullptr, 3, 2, &bi), nullptr);
}

}  // namespace
