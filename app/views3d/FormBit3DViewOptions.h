#pragma once
// TFBit3DViewOptions: the "Структура" dialog of the discharge tree view: the
// colours and opacities of the tree's value range, the mixing of the colours,
// the value shown, the three channel widths and the range with its auto flags.
#include "views3d/DischargeTreeDisplay.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QPushButton;

class TFBit3DViewOptions : public QDialog {
  Q_OBJECT

public:
  explicit TFBit3DViewOptions(QWidget* owner = nullptr);

  void Fill(const TTreeDisplaySettings& settings);
  // Reads every field back into the settings (numbers as StrToFloatAny reads them).
  void Apply(TTreeDisplaySettings& settings) const;

  QFrame* Scolormin = nullptr;
  QFrame* Scolormax = nullptr;
  QComboBox* CBcolorMix = nullptr;
  QComboBox* CBwidthType = nullptr;
  QLineEdit* Ewidth = nullptr;
  QLineEdit* EwidthSel = nullptr;
  QLineEdit* EwidthBD = nullptr;
  QLineEdit* EminValue = nullptr;
  QLineEdit* EmaxValue = nullptr;
  QCheckBox* CBautoMin = nullptr;
  QCheckBox* CBautoMax = nullptr;
  QCheckBox* CBlogscale = nullptr;
  QLineEdit* Ealphamin = nullptr;
  QLineEdit* Ealphamax = nullptr;
  QPushButton* Bok = nullptr;
  QPushButton* Bcancel = nullptr;

  COLORREF SwatchColour(const QFrame* swatch) const;
  void SetSwatchColour(QFrame* swatch, COLORREF colour);
  // A press on a swatch: the colour dialog starting at its colour.
  void ChooseSwatchColour(QFrame* swatch);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void UpdateRangeEdits();
};
