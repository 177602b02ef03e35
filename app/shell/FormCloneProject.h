#pragma once
// TFCloneProject: the dialog of the clone command: the first and the last
// number, the digits of a number, whether to write the script that runs the
// clones and whether the script names them without their folder.

#include <QDialog>

class QCheckBox;
class QPushButton;
class QSpinBox;

class TFCloneProject : public QDialog {
  Q_OBJECT

public:
  explicit TFCloneProject(QWidget* owner = nullptr);

  QSpinBox* En1 = nullptr;
  QSpinBox* En2 = nullptr;
  QSpinBox* Enn = nullptr;
  QCheckBox* Erb = nullptr;
  QCheckBox* Eff = nullptr;
  QPushButton* Bok = nullptr;
  QPushButton* Bcancel = nullptr;
};

extern TFCloneProject* FCloneProject;
