#include "views3d/CubeMeliscoPainter.h"
#include "views3d/CubeView.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TArrayDrawSettings RedToBlue()
{
  TArrayDrawSettings s{};
  s.fillType = 3;
  s.fillColor1 = 0x0000FF; // red
  s.fillColor2 = 0xFF0000; // blue
  s.transparency1 = 0x10000;
  s.rangeMin = 0;
  s.rangeMax = 10;
  return s;
}

struct Pixel {
  int b, g, r, a;
  bool operator==(const Pixel&) const = default;
};

// A 16 x 16 texture at 4 pixels per unit with the section origin at pixel (8, 8):
// the box [-1, 1] covers columns 4 .. 12.
struct Texture {
  TCubeSectionTexture layout;
  std::vector<uint8_t> pixels;
  Texture()
  {
    layout.width = layout.height = 16;
    layout.k = 4;
    layout.ox = layout.oy = 8;
    pixels.assign(16 * 16 * 4, 0);
  }
  Pixel At(int x, int y) const
  {
    const uint8_t* p = pixels.data() + (y * 16 + x) * 4;
    return {p[0], p[1], p[2], p[3]};
  }
};

TEST(CubeMeliscoPainter, PaintsTheArrayOfARegularView)
{
  std::vector<double> values = {0, 10}; // two cells along x
  TArrayDrawSettings settings = RedToBlue();
  TCubeView view;
  double min = 0, max = 10;
  view.SetData(values.data(), 0, 2, 1, 1, 2, 2, 2, false, &min, &max, &settings, nullptr);
  Texture texture;
  TCubeMeliscoPainter painter;
  painter.Paint(view, 0, texture.layout, texture.pixels.data());
  EXPECT_EQ(texture.At(6, 8), (Pixel{0, 0, 255, 255}));  // u = -0.5: the first cell
  EXPECT_EQ(texture.At(10, 8), (Pixel{254, 0, 0, 255})); // u = 0.5: the second cell
  EXPECT_EQ(texture.At(1, 8), (Pixel{0, 0, 0, 0}));      // outside the box: transparent
  EXPECT_EQ(texture.At(8, 1), (Pixel{0, 0, 0, 0}));

  // A view without data paints nothing.
  TCubeView bare;
  Texture empty;
  painter.Paint(bare, 0, empty.layout, empty.pixels.data());
  EXPECT_EQ(empty.At(8, 8), (Pixel{0, 0, 0, 0}));
}

} // namespace
