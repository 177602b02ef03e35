// Classification of the per-cell electrode codes. The program writes the codes
// (and may change the electrode count afterwards), so a code can name an
// electrode that does not exist, be non-negative, fractional or not a number.
// Such a cell is a fixed cell of no electrode: it keeps its potential, is never
// used as an index into the code table or the per-electrode arrays, and gets no
// current. Every unit that turns a code into an index goes through here.
#ifndef KORVANE_ELECTRODE_CODES_H
#define KORVANE_ELECTRODE_CODES_H

#include <climits>

#include "korvane.h"

namespace korvane {

// Marks a code that belongs to no existing electrode.
constexpr int kInvalidElectrodeCode = INT_MIN;

// Lowest code of n electrodes: the odd code of electrode n-1.
inline long long LowestElectrodeCode(int electrodeCount) { return -2LL * electrodeCount - 1; }

// The integer code of a cell value: -1 for a free cell, -2..-(2n+1) for a cell of
// an electrode that exists, kInvalidElectrodeCode for anything else.
inline int ClassifyElectrodeCode(const THeap& h, double value) {
  if (value == -1.0) return -1;
  // The negated test also rejects NaN.
  if (!(value <= -2.0) || value < static_cast<double>(LowestElectrodeCode(h.ElectrodeCount)) ||
      value <= static_cast<double>(kInvalidElectrodeCode))
    return kInvalidElectrodeCode;
  const int code = static_cast<int>(value);
  return static_cast<double>(code) == value ? code : kInvalidElectrodeCode;
}

inline int CellElectrodeCode(const THeap& h, int cell) {
  return ClassifyElectrodeCode(h, h.ElectrodeCodes[cell]);
}

// A code of an existing electrode (-1 and invalid codes are not).
inline bool IsValidElectrodeCode(const THeap& h, int code) {
  return code <= -2 && code != kInvalidElectrodeCode && code >= LowestElectrodeCode(h.ElectrodeCount);
}

// Electrode that owns a valid code.
inline int ElectrodeOfCode(int code) { return (-code - 2) / 2; }

// Electrode of a cell, or -1 when the cell is free or its code is invalid.
inline int CellElectrode(const THeap& h, int cell) {
  const int code = CellElectrodeCode(h, cell);
  return code <= -2 && code != kInvalidElectrodeCode ? ElectrodeOfCode(code) : -1;
}

// A cell the solvers leave alone: any code other than exactly -1.
inline bool IsFixedCell(const THeap& h, int cell) { return h.ElectrodeCodes[cell] != -1.0; }

}  // namespace korvane

#endif  // KORVANE_ELECTRODE_CODES_H
