#pragma once
// TGModelRect: the region of the plan that the model covers. The GIS makes it
// from the first array when it is first needed; the model-area frame edits it.
#include "gis/GRect.h"

class TGModelRect : public TGRect {
public:
  explicit TGModelRect(TGIS* owner);

  void Draw(double x1, double y1, double x2, double y2, TMemBitmap* target) override;
  TEditorFrame* CreateEditorFrame(bool fromKeptValues, bool multiple, QWidget* owner) override;
  void ApplyEditorFrame(TEditorFrame* frame) override;
  void FillEditorFrame(TEditorFrame* frame, bool fromKeptValues, bool multiple) override;
};
