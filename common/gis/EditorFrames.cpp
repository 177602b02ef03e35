#include "gis/EditorFrames.h"

namespace {
TEditorFrameFactory* installedFactory = nullptr;
}

void SetEditorFrameFactory(TEditorFrameFactory* factory)
{
  installedFactory = factory;
}

TEditorFrameFactory* GetEditorFrameFactory()
{
  return installedFactory;
}
