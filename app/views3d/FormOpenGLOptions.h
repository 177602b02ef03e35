#pragma once
// TFOpenGLOptions: "Настройки openGL", how the cube frame draws (without
// OpenGL, OpenGL on the window, OpenGL into the bitmap), its smoothing, the
// light and its position, and the camera's distance. The track bars show their
// effect at once; "Применить" and OK apply the whole dialog, Cancel closes and
// keeps what was already applied. One dialog serves the whole run; the frame
// hands itself in before showing it.
#include "views3d/CubeDialog.h"

#include <QString>

#include <cstdint>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class TFmCubuiqe;

class TFOpenGLOptions : public TCubeDialog {
  Q_OBJECT
public:
  explicit TFOpenGLOptions(QWidget* parent = nullptr);

  QComboBox* CBglType = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QCheckBox* CBlight = nullptr;
  QCheckBox* CBlightrotate = nullptr;
  QSlider* TBambientlight = nullptr;
  QPushButton* Bok = nullptr;
  QPushButton* Bcancel = nullptr;
  QLabel* Label1 = nullptr;
  QGroupBox* GroupBox2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label4 = nullptr;
  QLineEdit* Ephi = nullptr;
  QLineEdit* Etheta = nullptr;
  QLineEdit* Er = nullptr;
  QLabel* Label2 = nullptr;
  QPushButton* Bapply = nullptr;
  QSlider* TBphi = nullptr;
  QSlider* TBtheta = nullptr;
  QSlider* TBr = nullptr;
  QCheckBox* CBlightFB = nullptr;
  QLabel* Label7 = nullptr;
  QSlider* TBfar = nullptr;
  QLabel* Label8 = nullptr;
  QSlider* TBdiffuselight = nullptr;
  QLabel* Label9 = nullptr;
  QSlider* TBspecularlight = nullptr;
  QCheckBox* CBsmooth = nullptr;
  QSlider* TBlightshininess = nullptr;

  bool OldUseGL = false;
  bool OldGLIntoBitmap = false;
  bool Updating = false;
  TFmCubuiqe* Frame = nullptr;

  // Fills the controls from the frame and remembers its settings for Cancel.
  void FormActivate() override;
  // Applies the controls to the frame and keeps them; false (nothing applied,
  // an error shown) when a position edit holds no number.
  bool BapplyClick();
  void BokClick() override;
  void BcancelClick() override;
  void TBthetaChange();
  void TBphiChange();
  void TBrChange();

protected:

private:
  // What the dialog may change in the frame.
  struct TSettings {
    bool useGL = true, intoBitmap = true, smoothing = false, lighting = true, lightMoves = true;
    int32_t twoSided = 1;
    double ambient = 0, diffuse = 0, specular = 0, shininess = 0, cameraDistance = 0;
    double lightPosition[4] = {};
  };
  TSettings FrameSettings() const;
  void SetFrameSettings(const TSettings& settings);
  // The controls into the frame; false when a position edit is no number.
  bool ApplyControls();
  // A track bar moved: its effect shows at once, quietly skipped while an edit holds no number.
  void TrackBarChange();
  void Keep();

  TSettings kept_;
  // The camera distance and light position stand as kept until their controls
  // change, so that opening and confirming moves nothing by the rounding shown.
  int keptFar_ = 0;
  QString keptTheta_, keptPhi_, keptR_;
};

// The one OpenGL options dialog of the run, made on first use.
TFOpenGLOptions* FOpenGLOptions();
