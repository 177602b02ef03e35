#include "views3d/CubeMeliscoPainter.h"

#include "views3d/CubeView.h"

#include "melisco.h"

#include <cstring>

namespace {

// A 32-bit top-down bitmap of the library over a copy of the texture: its rows
// are the texture's rows, 4 bytes per pixel without padding.
class TTextureBitmap {
public:
  TTextureBitmap(int width, int height)
  {
    InitBitmap(&bm_);
    CheckBitmapEx(width, height, false, &bm_, nullptr, 32, BI_RGB, DIB_RGB_COLORS);
  }
  ~TTextureBitmap() { DeleteBitmap(&bm_); }
  TTextureBitmap(const TTextureBitmap&) = delete;
  TTextureBitmap& operator=(const TTextureBitmap&) = delete;

  TMemBitmap* get() { return &bm_; }
  bool Holds(int width, int height) const
  {
    return bm_.bits && bm_.width == width && bm_.height == height && bm_.rowPadding == 0;
  }
  void CopyIn(const uint8_t* pixels) { std::memcpy(bm_.bits, pixels, Bytes()); }
  void CopyOut(uint8_t* pixels) const { std::memcpy(pixels, bm_.bits, Bytes()); }

private:
  size_t Bytes() const { return static_cast<size_t>(bm_.width) * bm_.height * 4; }
  TMemBitmap bm_{};
};

} // namespace

void TCubeMeliscoPainter::Paint(const TCubeView& view, int section, const TCubeSectionTexture& layout,
                                uint8_t* pixels)
{
  if (!view.Values || section < 0 || section >= CubeSectionSlots)
    return;
  TTextureBitmap bitmap(layout.width, layout.height);
  if (!bitmap.Holds(layout.width, layout.height))
    return;
  bitmap.CopyIn(pixels);
  const double* matrix = view.SectionMatrices[section];
  const double shift = view.SectionPlanesLocal[section][3];
  if (view.Nx > 0 && view.Ny > 0 && view.Nz > 0) {
    DrawSection(bitmap.get(), layout.ox, layout.oy, layout.k, view.Values, view.Nx, view.Ny, view.Nz, view.AxisDirX,
                view.AxisDirY, view.AxisDirZ, view.AxisScaleX, view.AxisScaleY, view.AxisScaleZ, matrix, shift,
                &view.DrawSettings);
  } else if (view.MeshSource && view.MeshSource->Mesh()) {
    DrawSection_IA(bitmap.get(), layout.ox, layout.oy, layout.k, view.Values, view.ValueParam,
                   view.MeshSource->Mesh(), view.AxisScaleX, view.AxisScaleY, view.AxisScaleZ, matrix, shift,
                   &view.DrawSettings);
  } else {
    return;
  }
  bitmap.CopyOut(pixels);
}
