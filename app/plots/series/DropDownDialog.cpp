#include "plots/series/DropDownDialog.h"

#include <QApplication>
#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QKeyEvent>
#include <QStyle>
#include <QToolButton>

TDropDownDialog::TDropDownDialog(QWidget* owner) : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint)
{
  SBOk = new QToolButton(this);
  SBOk->setObjectName("SBOk");
  SBOk->setAutoRaise(true);
  SBOk->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
  SBCancel = new QToolButton(this);
  SBCancel->setObjectName("SBCancel");
  SBCancel->setAutoRaise(true);
  SBCancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
  connect(SBOk, &QToolButton::clicked, this, &TDropDownDialog::Accept);
  connect(SBCancel, &QToolButton::clicked, this, &TDropDownDialog::Cancel);
}

void TDropDownDialog::BuildDesign(QWidget* second, QLabel* secondLabel, int x)
{
  setFixedSize(152, 46);
  Shape = new QFrame(this);
  Shape->setFrameShape(QFrame::Box);
  Shape->setGeometry(0, 0, 152, 46);
  Shape->lower();
  Ldate = new QLabel("дата", this);
  Ldate->setGeometry(4, 2, 40, 12);
  date = new QDateEdit(this);
  date->setObjectName("date");
  date->setDisplayFormat("dd.MM.yyyy");
  date->setCalendarPopup(true);
  date->setGeometry(4, 16, x - 6, 24);
  secondLabel->setGeometry(x, 2, 40, 12);
  second->setGeometry(x, 16, 132 - x, 24);
  SBOk->setGeometry(134, 4, 14, 18);
  SBCancel->setGeometry(134, 24, 14, 18);
  WatchKeys(date);
  WatchKeys(second);
}

void TDropDownDialog::Accept() { done(1); }

void TDropDownDialog::Cancel()
{
  RestoreKept();
  done(2);
}

void TDropDownDialog::keyPressEvent(QKeyEvent* event)
{
  switch (event->key()) {
  case Qt::Key_Return:
  case Qt::Key_Enter: Accept(); return;
  case Qt::Key_Escape: Cancel(); return;
  default: QDialog::keyPressEvent(event);
  }
}

void TDropDownDialog::WatchKeys(QWidget* control) { control->installEventFilter(this); }

bool TDropDownDialog::eventFilter(QObject* watched, QEvent* event)
{
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
      keyPressEvent(static_cast<QKeyEvent*>(event));
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}
