#pragma once

#include <cstdint>

// Scan conversion of polygons with integer vertices into a byte mask, used to
// turn an array's clip outline into the mask that limits its colour filling.
// The right and bottom borders of a shape stay outside, so shapes that share
// an edge never paint the same pixel twice.

struct PolyPoint {
  std::int32_t x;
  std::int32_t y;
};

struct PolySpan {
  std::int32_t x;
  std::int32_t y;
  std::int32_t width;
};

enum PolyFillRule { PolyEvenOdd = 0, PolyWinding = 1 };

// Sets every mask byte inside the polygon to value; rule 0 is even-odd, any
// other value nonzero winding. The mask is width*height bytes, row-major.
void FillPolygonMask(std::uint8_t *mask, int width, int height, const PolyPoint *vertices, int count,
                     std::uint8_t value, int rule);

// Writes a batch of spans, clipped to the mask.
void FillSpans(std::uint8_t *mask, int width, int height, const PolySpan *spans, int count,
               std::uint8_t value);
