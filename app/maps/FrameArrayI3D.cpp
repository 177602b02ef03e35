#include "maps/FrameArrayI3D.h"

#include "gis/GArrayI3D.h"
#include "gis/GMeshSource.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

TFmArrayI3D::TFmArrayI3D(TGArrayI3D* array, bool multiple, QWidget* owner) : TFmArrayI(owner)
{
  setObjectName("FmArrayI3D");
  CBlevels = new QComboBox(GroupBox);
  GroupLayout()->addWidget(new QLabel(QString::fromUtf8("Слой"), GroupBox), 6, 0);
  GroupLayout()->addWidget(CBlevels, 6, 1, 1, 2);
  connect(CBlevels, &QComboBox::currentIndexChanged, this, &TFmArrayI3D::CBlevelsChange);
  if (array)
    FillFrom(*array, multiple);
}

void TFmArrayI3D::FillFrom(TGArray& array, bool multiple)
{
  TFmArray::FillFrom(array, multiple);
  auto* layered = dynamic_cast<TGArrayI*>(&array);
  if (!layered)
    return;
  guard = true;
  CBlevels->clear();
  TGMeshSource* source = layered->GetMesh();
  const TIrregularMesh* mesh = source ? source->GetIrregularMesh() : nullptr;
  for (int layer = 0; mesh && layer < mesh->layerCount; ++layer) {
    const char* name = mesh->layerNames ? mesh->layerNames[layer + 1] : nullptr;
    const QString layerName = QString::fromUtf8(name ? name : "");
    CBlevels->addItem(layerName + QString::fromUtf8(" кровля"));
    CBlevels->addItem(layerName + QString::fromUtf8(" подошва"));
  }
  CBlevels->setCurrentIndex(layered->GetLayer());
  guard = false;
}

void TFmArrayI3D::CBlevelsChange()
{
  auto* layered = dynamic_cast<TGArrayI*>(Array());
  if (!layered)
    return;
  ChangeShownPart([this, layered] {
    layered->SetLayer(CBlevels->currentIndex());
    CBlevels->setCurrentIndex(layered->GetLayer());
  });
}
