// The engine heap: every array that the record points to comes from here, so
// that the engine can free and replace arrays the program put into the record.
#ifndef KORVANE_ALLOCATOR_H
#define KORVANE_ALLOCATOR_H

#include <cstddef>

#include "korvane.h"

namespace korvane {

// The record is mapped from anonymous zeroed pages: a small lattice touches only
// the leading part of each array, and the rest of the 200-odd MiB costs nothing.
THeap* MapRecord();
void UnmapRecord(THeap* heap);

// Bytes a block of the engine heap was allocated with; 0 for null.
std::size_t EngineBlockSize(const void* block);

// Zero-filled block of count doubles from the engine heap, or null.
double* NewZeroDoubles(int count);

// Test hook: makes the next record mappings fail, as when the address space is
// exhausted. Not used by the program.
void FailRecordMappingForTesting(bool fail);

}  // namespace korvane

#endif  // KORVANE_ALLOCATOR_H
