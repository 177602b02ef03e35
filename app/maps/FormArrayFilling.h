#pragma once
// TFArrayFilling: the small modal dialog "Заполнение" that asks the data
// editors for a fill: a number or formula, the operation and the cell range
// (1-based indices, as the grid shows them).
#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

class TFArrayFilling : public QDialog {
  Q_OBJECT

public:
  explicit TFArrayFilling(QWidget* owner = nullptr);

  QLineEdit* Evalue = nullptr;
  QComboBox* CBtype = nullptr;
  QSpinBox* Ex1 = nullptr;
  QSpinBox* Ex2 = nullptr;
  QSpinBox* Ey1 = nullptr;
  QSpinBox* Ey2 = nullptr;
  QPushButton* Bok = nullptr;
  QPushButton* Bcancel = nullptr;

public slots:
  void BokClick() { done(1); }
  void BcancelClick() { done(2); }
};

// The dialog of the run, created when first asked for.
TFArrayFilling* ArrayFillingForm();
void DestroyArrayFilling();
