#pragma once
// TFmMark: the property frame of a mark: its name ("Название:") and whether
// it is shown, its position and its sign. Marks are edited like repers: with
// several selected only the touched groups are written.
#include "gis/EditorFrames.h"
#include "maps/FrameSignPoint.h"

class TGMark;

class TFmMark : public TFmSignPoint, public TMarkFrame {
  Q_OBJECT

public:
  TFmMark(TGMark* mark, bool fromKeptValues, bool multiple, QWidget* owner);

  void FillFrom(TGMark& mark, bool fromKeptValues, bool multiple) override;
  void ApplyTo(TGMark& mark) override;

  // The values this frame class applied last, for the whole run.
  static TKeptSignValues& Kept();
};
