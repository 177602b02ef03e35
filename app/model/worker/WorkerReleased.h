#pragma once

#include <stdexcept>

// Thrown on a worker thread out of a synchronous send when its model has let
// it go (aborted from inside that very send, or destroyed): the worker must
// leave without touching the model again.
class EWorkerReleased : public std::runtime_error {
public:
  EWorkerReleased() : std::runtime_error("worker released") {}
};
