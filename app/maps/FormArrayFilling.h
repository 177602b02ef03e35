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
  QSpinBox* Elevel1 = nullptr; // a box of levels: only in the volume dialog
  QSpinBox* Elevel2 = nullptr;
  QPushButton* Bok = nullptr;
  QPushButton* Bcancel = nullptr;

public slots:
  void BokClick() { done(1); }
  void BcancelClick() { done(2); }

protected:
  TFArrayFilling(QWidget* owner, bool withLevels);
};

// The fill over a box of a three-dimensional array: the same with a range of levels.
class TFArray3DFilling : public TFArrayFilling {
  Q_OBJECT

public:
  explicit TFArray3DFilling(QWidget* owner = nullptr) : TFArrayFilling(owner, true) {}
};

// The dialog of the run, created when first asked for.
TFArrayFilling* ArrayFillingForm();
TFArray3DFilling* Array3DFillingForm();
void DestroyArrayFilling();
