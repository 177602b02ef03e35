#pragma once
// TFmArrayI3D: the array frame of a layered triangulated array, with the
// surface shown: the top ("кровля") and bottom ("подошва") of every layer.
#include "maps/FrameArrayI.h"

class QComboBox;
class TGArrayI3D;

class TFmArrayI3D : public TFmArrayI {
  Q_OBJECT

public:
  TFmArrayI3D(TGArrayI3D* array, bool multiple, QWidget* owner);

  void FillFrom(TGArray& array, bool multiple) override;
  using TFmArrayI::FillFrom;

  QComboBox* CBlevels = nullptr;

public slots:
  void CBlevelsChange();
};
