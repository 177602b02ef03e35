#pragma once
// The base of the drop-down dialogs without buttons: a click only changes the
// value, and the dialog accepts by closing itself when the mouse leaves it.
#include <QDialog>

class THoverDropDown : public QDialog {
  Q_OBJECT

public:
  explicit THoverDropDown(QWidget* owner);

protected:
  void leaveEvent(QEvent* event) override;
};
