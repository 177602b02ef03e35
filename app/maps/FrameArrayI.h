#pragma once
// TFmArrayI: the array frame of a triangulated array; its data button opens
// the mesh information window, which changes nothing that needs a redraw.
#include "gis/VolumeArrayEditors.h"
#include "maps/FrameArray.h"

class TGArrayI;

class TFmArrayI : public TFmArray, public TArrayIFrame {
  Q_OBJECT

public:
  TFmArrayI(TGArrayI* array, bool multiple, QWidget* owner);

  void FillFrom(TGArrayI& array, bool multiple) override;
  void ApplyTo(TGArrayI& array) override;
  void ApplyTo(TGArray& array) override;
  using TFmArray::FillFrom;

public slots:
  void BdataClick() override;

protected:
  explicit TFmArrayI(QWidget* owner);
};
