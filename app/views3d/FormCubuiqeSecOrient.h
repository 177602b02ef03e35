#pragma once
// TFCubuiqeSecOrient: "Положение сечения", the exact turn (θ, φ in degrees) and
// the shift along the normal of the cube frame's current section. The frame
// fills and reads it; one dialog serves the whole run.
#include "views3d/CubeDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

class TFCubuiqeSecOrient : public TCubeDialog {
  Q_OBJECT
public:
  explicit TFCubuiqeSecOrient(QWidget* parent = nullptr);

  QLineEdit* Etheta = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label5 = nullptr;
  QLineEdit* Ephi = nullptr;
  QLabel* Label6 = nullptr;
  QPushButton* Bok = nullptr;
  QPushButton* Bcancel = nullptr;
  QLabel* Label7 = nullptr;
  QLineEdit* Eshift = nullptr;

  void BokClick() override;
  void BcancelClick() override;

};

// The one section position dialog of the run, made on first use.
TFCubuiqeSecOrient* FCubuiqeSecOrient();
