#pragma once
// TFmArray3D: the array frame of a three-dimensional array, with the level
// shown ("Слой").
#include "gis/VolumeArrayEditors.h"
#include "maps/FrameArray.h"

class TGArray3D;

class TFmArray3D : public TFmArray, public TArray3DFrame {
  Q_OBJECT

public:
  TFmArray3D(TGArray3D* array, bool multiple, QWidget* owner);

  void FillFrom(TGArray& array, bool multiple) override;
  void FillFrom(TGArray3D& array, bool multiple) override;
  void ApplyTo(TGArray& array) override;

  QSpinBox* Elevel = nullptr;

public slots:
  void ElevelChange();
};
