#include "plots/series/FormXDateTime.h"

#include <QLabel>
#include <QSpinBox>
#include <QTimeEdit>

TFXDateTime* FXDateTime = nullptr;

TFXDateTime::TFXDateTime(QWidget* owner) : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint)
{
  setObjectName("FXDateTime");
  setFixedSize(152, 46);
  Ltime = new QLabel("время", this);
  Ltime->setGeometry(4, 2, 60, 12);
  Lday = new QLabel("число", this);
  Lday->setGeometry(90, 2, 40, 12);
  time = new QTimeEdit(this);
  time->setObjectName("time");
  time->setDisplayFormat("HH:mm:ss");
  time->setGeometry(4, 16, 80, 24);
  Eday = new QSpinBox(this);
  Eday->setObjectName("Eday");
  Eday->setRange(1, 31);
  Eday->setGeometry(90, 16, 50, 24);
}
