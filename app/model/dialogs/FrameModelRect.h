#pragma once
// TFmModelRect: the property frame of the model area. It shows the area's
// north-west and south-east corners and applies edited corners: the area and
// every array take the new rectangle, and objects outside are deleted when the
// user confirms.
#include "gis/EditorFrames.h"

#include <QWidget>

class QPushButton;
class TFmCoord;
class TGModelRect;

class TFmModelRect : public QWidget, public TModelRectFrame {
  Q_OBJECT

public:
  TFmModelRect(QWidget* owner, TGModelRect* area, bool fromKeptValues, bool multiple);

  void LoadFromObject(TGModelRect& area, bool fromKeptValues, bool multiple) override;
  void ApplyToObject(TGModelRect& area) override;
  // Applies to the area the frame was loaded from; nothing without one.
  void ApplyToKeptObject();
  TGModelRect* GetObject() const { return object; }

  TFmCoord* Coord1 = nullptr;
  TFmCoord* Coord2 = nullptr;
  QPushButton* Bcalc = nullptr;

public slots:
  void BcalcClick();

private:
  TGModelRect* object = nullptr;
};

// The model area's frame for the editor-frame factory.
TModelRectFrame* CreateModelRectFrame(TGModelRect& area, bool fromKeptValues, bool multiple, QWidget* owner);
