#pragma once
// The samples of a profile along a line with their distances from its start.
// Sampled at cell centres, several points of the line fall into one cell: the
// cell then gives one sample, the one its last point found.
#include <vector>

inline void AddProfileSample(std::vector<double>& samples, std::vector<double>& distances, double value,
                             double distance, bool replaceLast)
{
  if (replaceLast) {
    samples.back() = value;
    distances.back() = distance;
  } else {
    samples.push_back(value);
    distances.push_back(distance);
  }
}
