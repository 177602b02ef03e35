#pragma once
// A stored model image that cannot be taken over: a size, count or index read
// from a file lies outside what the engine can hold. Raised before anything of
// the engine record changes, so the model stays as it was; the project loader
// reports it like any other unreadable project.
#include "data/Stream.h"

class EModelImageError : public EDamagedImage {
public:
  using EDamagedImage::EDamagedImage;
};
