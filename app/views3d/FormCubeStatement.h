#pragma once
// TFCubeStatement: "Положение области моделирования", the turn of the cube
// frame's box (θ and φ in degrees) and the shift of its picture in pixels. The
// frame fills and reads it; one dialog serves the whole run.
#include "views3d/CubeDialog.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TFCubeStatement : public TCubeDialog {
  Q_OBJECT
public:
  explicit TFCubeStatement(QWidget* parent = nullptr);

  QGroupBox* GroupBox1 = nullptr;
  QLineEdit* Ephi = nullptr;
  QLineEdit* Etheta = nullptr;
  QGroupBox* GroupBox2 = nullptr;
  QLineEdit* Ecx = nullptr;
  QLineEdit* Ecy = nullptr;
  QPushButton* Bok = nullptr;
  QPushButton* Bcancel = nullptr;

  void BokClick() override;
  void BcancelClick() override;
};

// The one position dialog of the run, made on first use.
TFCubeStatement* FCubeStatement();
