#pragma once
// The program's property frames and data windows of map objects: the frames of
// the map folder and the model area's frame from the model's dialogs, found by
// type code in one registry. The GIS core asks it for a frame whenever an
// object is edited, so the frames it knows are exactly the ones the user can
// reach.
#include "maps/FrameRegistry.h"

class TProgramEditorFrames : public TFrameRegistry {
public:
  TProgramEditorFrames();
};

// Installs the program's frames for the lifetime of a scope (the run, a test).
using TEditorFramesScope = TFrameRegistryScope;
