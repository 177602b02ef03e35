#pragma once
// TFmReper: the property frame of a reper: its caption ("Обозначение") and
// whether it is shown, its position and its sign.
#include "gis/EditorFrames.h"
#include "maps/FrameSignPoint.h"

class TGReper;

class TFmReper : public TFmSignPoint, public TReperFrame {
  Q_OBJECT

public:
  TFmReper(TGReper* reper, bool fromKeptValues, bool multiple, QWidget* owner);

  void FillFrom(TGReper& reper, bool fromKeptValues, bool multiple) override;
  void ApplyTo(TGReper& reper) override;

  // The values this frame class applied last, for the whole run.
  static TKeptSignValues& Kept();
};
