#pragma once
// TFCubuiqeFillOptions: "Закраска сечений (без openGL)", the colouring of the
// cube frame's software picture: fill type, palette, interpolation, the two
// end colours (shown only) and the fill's transparency. One dialog serves the
// whole run; the frame hands itself in before showing it.
#include "MeliscoTypes.h"

#include "views3d/CubeDialog.h"

class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TFmCubuiqe;

class TFCubuiqeFillOptions : public TCubeDialog {
  Q_OBJECT
public:
  explicit TFCubuiqeFillOptions(QWidget* parent = nullptr);

  QGroupBox* Efilltype = nullptr;
  QGroupBox* Epalette = nullptr;
  QGroupBox* Einterpol = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLineEdit* Ealpha = nullptr;
  QPushButton* Bapply = nullptr;
  QPushButton* Bok = nullptr;
  QPushButton* Bcancel = nullptr;
  QFrame* Ecolormin = nullptr;
  QFrame* Ecolormax = nullptr;
  QCheckBox* Ediskfill = nullptr;

  bool Updating = false;
  TFmCubuiqe* Frame = nullptr;

  // The chosen item of a radio group (-1 when none) and choosing one.
  static int ItemIndex(const QGroupBox* group);
  static void SetItemIndex(QGroupBox* group, int index);
  static COLORREF ShapeColour(const QFrame* shape);
  static void SetShapeColour(QFrame* shape, COLORREF colour);

  // Fills the controls from the frame.
  void FormActivate() override;
  // Applies the controls to the frame and redraws it; false (nothing applied)
  // when the transparency is not a number.
  bool BapplyClick();
  void BokClick() override;
  void BcancelClick() override;

protected:
};

// The one fill dialog of the run, made on first use.
TFCubuiqeFillOptions* FCubuiqeFillOptions();
