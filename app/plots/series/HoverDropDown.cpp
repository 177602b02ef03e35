#include "plots/series/HoverDropDown.h"

#include <QCursor>

THoverDropDown::THoverDropDown(QWidget* owner) : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint) {}

void THoverDropDown::leaveEvent(QEvent* event)
{
  QDialog::leaveEvent(event);
  // A leave towards a child control (a list, a calendar's pop-up) keeps the
  // cursor inside the client area: only a leave out of it closes.
  if (isVisible() && !rect().contains(mapFromGlobal(QCursor::pos())))
    done(1);
}
