#include "model/dialogs/FrameModelRect.h"

#include "gis/GIS.h"
#include "gis/GModelRect.h"
#include "maps/FrameCoord.h"
#include "model/dialogs/FormModelArea.h"
#include "model/dialogs/ModelAreaMath.h"
#include "base/ModalCalls.h"

#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

void ShowKindOf(const TGModelRect& area, TFmCoord& coord)
{
  coord.SetCoordType(area.GetCoordKind(), QString::fromStdString(area.GetUnits()));
}

bool AskDeleteOutside(QWidget* parent)
{
  return ModalCalls().Message(parent, QMessageBox::Question, QStringLiteral("Изменение области моделирования ?"),
                              QStringLiteral("Удалить объекты, выходящие за область моделирования"),
                              QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace

TFmModelRect::TFmModelRect(QWidget* owner, TGModelRect* area, bool fromKeptValues, bool multiple) : QWidget(owner)
{
  resize(320, 240);
  Coord1 = new TFmCoord(this);
  Coord1->SetGroupCaption(QStringLiteral(" северо-запад "));
  Coord2 = new TFmCoord(this);
  Coord2->SetGroupCaption(QStringLiteral(" юго-восток "));
  Bcalc = new QPushButton(QStringLiteral("пересчитать ..."), this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Coord1);
  layout->addWidget(Coord2);
  layout->addWidget(Bcalc, 0, Qt::AlignLeft);
  layout->addStretch();
  connect(Bcalc, &QPushButton::clicked, this, &TFmModelRect::BcalcClick);
  if (area)
    LoadFromObject(*area, fromKeptValues, multiple);
}

void TFmModelRect::LoadFromObject(TGModelRect& area, bool, bool)
{
  object = &area;
  ShowKindOf(area, *Coord1);
  ShowKindOf(area, *Coord2);
  const double x = area.GetWorldX();
  const double y = area.GetWorldY();
  Coord1->SetPosition(x, y);
  Coord2->SetPosition(x + area.GetWorldWidth(), y + area.GetWorldHeight());
}

void TFmModelRect::ApplyToKeptObject()
{
  if (object)
    ApplyToObject(*object);
}

void TFmModelRect::ApplyToObject(TGModelRect& area)
{
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  Coord1->GetPosition(x1, y1);
  Coord2->GetPosition(x2, y2);
  // Corners typed the other way round still mean the same area: a negative
  // width or height would turn the area and every array inside out.
  NormaliseRect(x1, y1, x2, y2);
  const double oldX = area.GetWorldX();
  const double oldY = area.GetWorldY();
  const bool deleteOutside =
      RectNotInside(x1, y1, x2, y2, oldX, oldY, oldX + area.GetWorldWidth(), oldY + area.GetWorldHeight()) &&
      AskDeleteOutside(this);
  area.SetWorldXY(x1, y1);
  area.SetWorldWidth(x2 - x1);
  area.SetWorldHeight(y2 - y1);
  if (TGIS* gis = area.GetOwner()) {
    gis->FitArraysToRect(x1, y1, x2, y2);
    if (deleteOutside)
      gis->DeleteObjectsOutside(x1, y1, x2, y2);
    gis->NotifyChanged();
  }
}

void TFmModelRect::BcalcClick()
{
  if (!FModelArea)
    return;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  Coord1->GetPosition(x1, y1);
  Coord2->GetPosition(x2, y2);
  if (object) {
    FModelArea->CBunit->setItemText(1, QString::fromStdString(object->GetUnits()));
    ShowKindOf(*object, *FModelArea->Coord1);
    ShowKindOf(*object, *FModelArea->Coord2);
  }
  FModelArea->Coord1->SetPosition(x1, y1);
  FModelArea->Coord2->SetPosition(x2, y2);
  if (ModalCalls().ExecDialog(FModelArea) != QDialog::Accepted)
    return;
  FModelArea->Coord1->GetPosition(x1, y1);
  FModelArea->Coord2->GetPosition(x2, y2);
  Coord1->SetPosition(x1, y1);
  Coord2->SetPosition(x2, y2);
}

TModelRectFrame* CreateModelRectFrame(TGModelRect& area, bool fromKeptValues, bool multiple, QWidget* owner)
{
  return new TFmModelRect(owner, &area, fromKeptValues, multiple);
}
