#pragma once
// The arithmetic of the model-area frame and dialog, apart from the widgets.

// True when rectangle b is not inside rectangle a; both are normalised first
// and shared edges count as inside.
bool RectNotInside(double ax1, double ay1, double ax2, double ay2, double bx1, double by1, double bx2, double by2);

// Puts each pair in order (x1 <= x2, y1 <= y2).
void NormaliseRect(double& x1, double& y1, double& x2, double& y2);

enum TMarginUnit { MarginPercent = 0, MarginLength = 1 };

// Grows the area (x1, y1)-(x2, y2) by gx across and gy along, in percent of its
// size or as lengths, about the anchor 3 * row + column of the 3 x 3 block:
// the anchored side or corner stays in place. Negative margins shrink it. The
// margins follow the direction from the first corner to the second.
void ApplyAreaMargins(double& x1, double& y1, double& x2, double& y2, double gx, double gy, int unit, int anchor);

// True when the span from a1 to a2 keeps a finite, non-zero size in the same
// direction as the span from b1 to b2 had (an empty old span only needs a
// finite new one).
bool SpanKept(double b1, double b2, double a1, double a2);
