// The text of a contour label: the level in general format with three
// significant digits between two blanks, exponent zeros trimmed.
#ifndef MELISCO_LABELTEXT_H
#define MELISCO_LABELTEXT_H

#include "melisco.h"

#include <cstdio>

namespace melisco {

struct LabelText {
  char text[64];
};

inline LabelText FormatLabel(double value) {
  LabelText label;
  std::snprintf(label.text, sizeof label.text, " %.*g ", 3, value);
  TrimExponentZeros(label.text);
  return label;
}

}  // namespace melisco

#endif
