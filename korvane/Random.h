// The engine's own pseudo-random generator, shared by all records.
#ifndef KORVANE_RANDOM_H
#define KORVANE_RANDOM_H

#include <cstdint>

namespace korvane {

// With pin set, every later seeding uses seed instead of the clock; the state
// is also set to seed at once.
void PinRandomSeed(bool pin, std::uint32_t seed);

// The generator state, for tests that compare sequences.
std::uint32_t RandomState();

}  // namespace korvane

#endif  // KORVANE_RANDOM_H
