#pragma once

#include <korvane.h>

#include <string>

// What the engine needs of its inputs before a fresh run; the engine checks
// none of them itself. "" when the run may start, else the reason.
std::string CheckEngineInputs(const THeap &engine);
