#pragma once

#include "model/breakdown/ValuesIntegral.h"

#include <korvane.h>

class TQuantityLevels;

// Ids of the tree-channel quantities (values along one channel of the tree).
enum TChannelQuantityId {
  ChannelConductance = 2000,
  ChannelCurrent = 2001,
  ChannelField = 2002,
  ChannelPotential = 2003,
  ChannelCriticalField = 2005,
  ChannelLinearHeat = 2008,
  ChannelLinearPower = 2009,
  ChannelLinearCharge = 2010,
};

// Output quantity ids the model itself looks at.
enum TOutputQuantityId {
  OutputMaxLinearConductance = 104,
  OutputElementCount = 103,
};

// Fills the catalogue of the 35 engine outputs sampled as time series (value
// addresses into the engine record), the catalogue of the 8 channel
// quantities and the two-level menu captions (group, name) of the outputs.
// Everything is cleared first.
void BuildOutputQuantities(const THeap &engine, TValues_integral &outputs, TValues_integral &channel,
                           TQuantityLevels &menuLevels);
