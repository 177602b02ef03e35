#pragma once

#include "data/SLine.h"

// Squared distance from (px, py) to the segment from (x, y) to (x + dx, y + dy)
// and the nearest point of the segment (the start on a tie of the ends).
double PointSegmentDistance2(double x, double y, double dx, double dy, double px, double py, double &nearestX,
                             double &nearestY);
double PointSegmentDistance(double x, double y, double dx, double dy, double px, double py, double &nearestX,
                            double &nearestY);
// Where the segment p1 -> p2 crosses the line through (x1, y1) and (x2, y2);
// false when parallel or when the crossing lies outside the segment. The
// point gets z = 0.
bool SegmentLineIntersection(const TSPoint &p1, const TSPoint &p2, double x1, double y1, double x2, double y2,
                             TSPoint &point);
