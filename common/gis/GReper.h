#pragma once
// TGReper: a reference point whose position carries reper values of arrays;
// drawn as the Symbol font's diamond with its caption below.
#include "gis/GMark.h"

class TGReper : public TGMark {
public:
  explicit TGReper(TGIS* owner);

  TEditorFrame* CreateEditorFrame(bool fromKeptValues, bool multiple, QWidget* owner) override;
  void ApplyEditorFrame(TEditorFrame* frame) override;
  void FillEditorFrame(TEditorFrame* frame, bool fromKeptValues, bool multiple) override;
};
