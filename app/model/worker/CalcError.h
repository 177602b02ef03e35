#pragma once

#include <stdexcept>

// Thrown by a model's cycle operation that finds its calculation cannot go
// on; the worker's error text for that stage then says why. Other failures
// give the stage's text alone.
class ECalcError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};
