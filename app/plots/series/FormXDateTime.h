#pragma once
// TFXDateTime: a time of day and a day number of the month; nothing opens it.
#include <QDialog>

class QLabel;
class QSpinBox;
class QTimeEdit;

class TFXDateTime : public QDialog {
  Q_OBJECT

public:
  explicit TFXDateTime(QWidget* owner = nullptr);

  QLabel* Ltime = nullptr;
  QLabel* Lday = nullptr;
  QTimeEdit* time = nullptr;
  QSpinBox* Eday = nullptr;
};

extern TFXDateTime* FXDateTime;
