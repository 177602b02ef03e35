#include "maps/FormCoord.h"

#include "maps/DialogButtons.h"
#include "maps/FrameCoord.h"

#include <QComboBox>
#include <QPushButton>

TFCoord* FCoord = nullptr;

TFCoord::TFCoord(QWidget* owner) : QDialog(owner)
{
  setObjectName("FCoord");
  setWindowTitle("Точка привязки");
  setFixedSize(208, 140);
  Coords = new TFmCoord(this);
  Coords->setObjectName("Coords");
  Coords->setGeometry(0, 0, 208, 105);
  for (QComboBox* direction : {Coords->CBvd, Coords->CBgd, Coords->CBSHNS, Coords->CBDEW})
    direction->setCurrentIndex(0);
  AddOkCancel(*this, Bok, Bcancel, 110);
}
