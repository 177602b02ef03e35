#pragma once
// The program's property frames for map objects: the GIS core asks this
// factory for a frame whenever an object is edited, so the frames it knows
// are exactly the ones the user can reach.
#include "gis/EditorFrames.h"

class TProgramEditorFrames : public TEditorFrameFactory {
public:
  // Marks, repers and maps have no frames in this program yet: they answer
  // null, and their objects then show none.
  TMarkFrame* CreateMarkFrame(TGMark& mark, bool fromKeptValues, bool multiple, QWidget* owner) override;
  TReperFrame* CreateReperFrame(TGReper& reper, bool fromKeptValues, bool multiple, QWidget* owner) override;
  TMapFrame* CreateMapFrame(TGMap& map, bool multiple, QWidget* owner) override;
  TModelRectFrame* CreateModelRectFrame(TGModelRect& area, bool fromKeptValues, bool multiple,
                                        QWidget* owner) override;
};

// Installs a factory for the lifetime of a scope (the program's run, a test).
class TEditorFramesScope {
public:
  explicit TEditorFramesScope(TEditorFrameFactory& factory) { SetEditorFrameFactory(&factory); }
  ~TEditorFramesScope() { SetEditorFrameFactory(nullptr); }
  TEditorFramesScope(const TEditorFramesScope&) = delete;
  TEditorFramesScope& operator=(const TEditorFramesScope&) = delete;
};
