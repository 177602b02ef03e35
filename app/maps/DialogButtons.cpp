#include "maps/DialogButtons.h"

#include <QDialog>
#include <QPushButton>

void AddOkCancel(QDialog& dialog, QPushButton*& ok, QPushButton*& cancel, int top)
{
  ok = new QPushButton("Ok", &dialog);
  ok->setObjectName("Bok");
  ok->setDefault(true);
  cancel = new QPushButton("Отмена", &dialog);
  cancel->setObjectName("Bcancel");
  const int centre = dialog.width() / 2;
  ok->setGeometry(centre - 80, top, 75, 25);
  cancel->setGeometry(centre + 5, top, 75, 25);
  QObject::connect(ok, &QPushButton::clicked, &dialog, [&dialog] { dialog.done(1); });
  QObject::connect(cancel, &QPushButton::clicked, &dialog, [&dialog] { dialog.done(2); });
}
