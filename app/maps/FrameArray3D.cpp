#include "maps/FrameArray3D.h"

#include "gis/GArray3D.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>

TFmArray3D::TFmArray3D(TGArray3D* array, bool multiple, QWidget* owner) : TFmArray(owner)
{
  setObjectName("FmArray3D");
  Elevel = new QSpinBox(GroupBox);
  Elevel->setRange(1, 1);
  Elevel->setValue(1);
  GroupLayout()->addWidget(new QLabel(QString::fromUtf8("Слой"), GroupBox), 6, 0);
  GroupLayout()->addWidget(Elevel, 6, 1);
  connect(Elevel, &QSpinBox::valueChanged, this, &TFmArray3D::ElevelChange);
  if (array)
    FillFrom(*array, multiple);
}

void TFmArray3D::FillFrom(TGArray& array, bool multiple)
{
  TFmArray::FillFrom(array, multiple);
  auto* volume = dynamic_cast<TGArray3D*>(&array);
  if (!volume)
    return;
  guard = true;
  Elevel->setMaximum(std::max(1, volume->GetNZ()));
  Elevel->setValue(volume->GetLevel() + 1);
  guard = false;
}

void TFmArray3D::FillFrom(TGArray3D& array, bool multiple)
{
  FillFrom(static_cast<TGArray&>(array), multiple);
}

void TFmArray3D::ApplyTo(TGArray& array)
{
  TFmArray::ApplyTo(array);
}

void TFmArray3D::ElevelChange()
{
  auto* volume = dynamic_cast<TGArray3D*>(Array());
  if (!volume)
    return;
  ChangeShownPart([this, volume] {
    volume->SetLevel(Elevel->value() - 1);
    Elevel->setValue(volume->GetLevel() + 1);
  });
}
