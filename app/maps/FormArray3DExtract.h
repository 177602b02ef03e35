#pragma once
// TFArray3DExtract: exports a box of cells of a three-dimensional array to a
// text file, or imports one, in one of three kinds: a table of values, lines of
// indices and value, lines of world coordinates and value.
#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TGArray3D;

class TFArray3DExtract : public QDialog {
  Q_OBJECT

public:
  explicit TFArray3DExtract(QWidget* owner = nullptr);

  // 0 exports, 1 imports.
  void SetDirection(int direction);
  void SetArray(TGArray3D* shown) { array = shown; }
  // Every range covers the whole array; called before the modal run.
  void FormShow();
  // True when the last Ok transferred the data.
  bool Transferred() const { return transferred; }

  QLabel* Lfname = nullptr;
  QLineEdit* Efile = nullptr;
  QPushButton* Bbrowse = nullptr;
  QComboBox* CBtype = nullptr;
  QSpinBox* Ex1 = nullptr;
  QSpinBox* Ex2 = nullptr;
  QSpinBox* Ey1 = nullptr;
  QSpinBox* Ey2 = nullptr;
  QSpinBox* Ez1 = nullptr;
  QSpinBox* Ez2 = nullptr;
  QPushButton* Bok = nullptr;
  QPushButton* Bcancel = nullptr;

public slots:
  void BbrowseClick();
  void BokClick();
  void BcancelClick() { done(2); }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  int direction = 0;
  TGArray3D* array = nullptr;
  bool transferred = false;
};

// The dialog of the run, created when first asked for.
TFArray3DExtract* Array3DExtractForm();
void DestroyArray3DExtract();
