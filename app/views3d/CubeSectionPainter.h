#pragma once
// Paints the picture of one section into its texture. The cube frame calls it
// for every section whose texture is rebuilt while the frame holds values;
// without a painter the texture stays clear (fully transparent), so a section
// shows as its outline only.
#include "views3d/CubeGeometry.h"

#include <cstdint>

class TCubeView;

class TCubeSectionPainter {
public:
  virtual ~TCubeSectionPainter() = default;
  // pixels: layout.width * layout.height BGRA pixels, row 0 at texture t = 0,
  // cleared to zero; a pixel left at zero is transparent. The section's plane
  // in the section frame maps to pixel (ox + u * k, oy - v * k).
  virtual void Paint(const TCubeView& view, int section, const TCubeSectionTexture& layout, uint8_t* pixels) = 0;
};
