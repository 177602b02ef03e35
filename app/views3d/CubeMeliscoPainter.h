#pragma once
// TCubeMeliscoPainter: the section painter of the cube frame. It draws the
// view's array on the section plane with the drawing library's sections, in
// the array's own drawing settings: colours between the two fill colours,
// contour bands and lines as the settings ask.
#include "views3d/CubeSectionPainter.h"

class TCubeMeliscoPainter : public TCubeSectionPainter {
public:
  void Paint(const TCubeView& view, int section, const TCubeSectionTexture& layout, uint8_t* pixels) override;
};
