// Run-control helpers beyond the shared internal operations.
#ifndef KORVANE_TIME_STEPPING_H
#define KORVANE_TIME_STEPPING_H

#include "korvane.h"

namespace korvane {

// Checks a state the program restored from a file and repairs what would make
// the engine index out of bounds: sizes, electrode arrays, materials of cells,
// node cells and parents, NodeOfCell. False when anything had to be repaired.
bool ValidateRestoredState(THeap& h);

}  // namespace korvane

#endif  // KORVANE_TIME_STEPPING_H
