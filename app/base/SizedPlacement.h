#pragma once
// How a sized window's placement comes together from its stored settings text,
// the defaults its constructor was given and the values of its design.

#include "base/WindowPlacement.h"

#include <QString>

#include <climits>

// Constructor defaults: left and top INT_MIN, width, height and show -1 take
// the design value.
struct TSizedDefaults {
  static constexpr int DesignPosition = INT_MIN;
  int left = DesignPosition;
  int top = DesignPosition;
  int width = -1;
  int height = -1;
  int show = -1;
};

struct TSizedDesign {
  QRect geometry;
  bool visible = false;
  Qt::WindowStates state = Qt::WindowNoState;
  // A fixed border keeps the design size whatever size was stored.
  bool sizeable = true;
};

struct TSizedPlacement {
  TWindowPlacement placement;
  bool shown = false;
};

// The numbers of the stored text "%i,%i,…" (at most 11), read like the C
// library's scanf: reading stops at the first field that is not a number.
int ParseSizedNumbers(const QString& text, int numbers[11]);

TSizedPlacement ComputeSizedPlacement(const QString& stored, const TSizedDefaults& defaults,
                                      const TSizedDesign& design);

// The stored text: normal rectangle, shown flag, show command, minimised and
// maximised positions, flags.
QString SizedPlacementText(const TWindowPlacement& placement, bool shown);
