#include "maps/FrameArrayI.h"

#include "gis/GArrayI.h"

TFmArrayI::TFmArrayI(QWidget* owner) : TFmArray(owner) {}

TFmArrayI::TFmArrayI(TGArrayI* array, bool multiple, QWidget* owner) : TFmArray(owner)
{
  setObjectName("FmArrayI");
  if (array)
    FillFrom(*array, multiple);
}

void TFmArrayI::FillFrom(TGArrayI& array, bool multiple)
{
  FillFrom(static_cast<TGArray&>(array), multiple);
}

void TFmArrayI::ApplyTo(TGArrayI& array)
{
  TFmArray::ApplyTo(array);
}

void TFmArrayI::ApplyTo(TGArray& array)
{
  TFmArray::ApplyTo(array);
}

void TFmArrayI::BdataClick()
{
  OpenDataWindow();
}
