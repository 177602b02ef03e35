#pragma once
// TFNewGObj, "Новый объект": OK and cancel around an object to be; no command
// of the program opens it yet.
#include <QDialog>

class QPushButton;

class TFNewGObj : public QDialog {
  Q_OBJECT

public:
  explicit TFNewGObj(QWidget* owner = nullptr);

  void* Object() const { return object; }

  QPushButton* Bok = nullptr;
  QPushButton* Bcancel = nullptr;

private:
  void* object = nullptr;
};

extern TFNewGObj* FNewGObj;
