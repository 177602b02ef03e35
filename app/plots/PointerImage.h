#pragma once
// The nine point marker styles of the chart series, in their fixed order:
// rectangle, circle, triangle, down triangle, cross, diagonal cross, star,
// diamond and small dot. Qt Charts draws only six shapes of its own, so every
// marker is a picture that the scatter series draws at each point.

#include <QColor>
#include <QImage>

#include <cstdint>

inline constexpr int PointerStyleCount = 9;
// The side of a marker picture in pixels.
inline constexpr int PointerSize = 9;

// The marker of a style (taken modulo the style count), filled with the fill
// colour and outlined with the border colour; the crosses and the star are
// drawn as lines in the fill colour, as an outline would hide them.
QImage PointerImage(int32_t style, QColor fill, QColor border);
