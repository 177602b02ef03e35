#include "maps/FormNewGObj.h"

#include "maps/DialogButtons.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

TFNewGObj* FNewGObj = nullptr;

TFNewGObj::TFNewGObj(QWidget* owner) : QDialog(owner)
{
  setObjectName("FNewGObj");
  setWindowTitle("Новый объект");
  setFixedSize(293, 94);
  AddOkCancel(*this, Bok, Bcancel, 60);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}
