#pragma once
// TFCoord, "Точка привязки": a position in the position editor with OK and
// cancel; no command of the program opens it yet.
#include <QDialog>

class QPushButton;
class TFmCoord;

class TFCoord : public QDialog {
  Q_OBJECT

public:
  explicit TFCoord(QWidget* owner = nullptr);

  TFmCoord* Coords = nullptr;
  QPushButton* Bok = nullptr;
  QPushButton* Bcancel = nullptr;
};

extern TFCoord* FCoord;
