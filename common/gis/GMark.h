#pragma once
// TGMark: a labelled mark of the map ("#" in navy Courier with its name below).
#include "gis/GPoint.h"

class TGMark : public TGPoint {
public:
  explicit TGMark(TGIS* owner);

  TEditorFrame* CreateEditorFrame(bool fromKeptValues, bool multiple, QWidget* owner) override;
  void ApplyEditorFrame(TEditorFrame* frame) override;
  void FillEditorFrame(TEditorFrame* frame, bool fromKeptValues, bool multiple) override;
};
