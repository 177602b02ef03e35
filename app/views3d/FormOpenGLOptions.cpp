#include "views3d/FormOpenGLOptions.h"

#include "views3d/DialogNumbers.h"
#include "views3d/FrameCubuiqe.h"

#include "base/ModalCalls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr double RadToDeg = 180 / M_PI;

QString Tr(const char* text)
{
  return QString::fromUtf8(text);
}

QString Rounded(double value, double step)
{
  return QString::number(std::round(value / step) * step);
}

// Light strengths are hundredths on their track bars; rounding, not cutting,
// keeps a value such as 0.29 from losing a step at every opening.
int Hundredths(double value)
{
  return static_cast<int>(std::lround(100 * value));
}

// A track bar's whole part; a representation error just below a whole number
// (a radius of 10 read back from its position) does not lose a step.
int WholePart(double value, double maximum)
{
  return static_cast<int>(std::clamp(value + 1e-9, 0.0, maximum));
}

} // namespace

TFOpenGLOptions::TFOpenGLOptions(QWidget* parent) : TCubeDialog(parent)
{
  auto label = [this](const char* text) { return new QLabel(Tr(text), this); };
  auto check = [this](const char* name, const char* caption) {
    auto* box = new QCheckBox(Tr(caption), this);
    box->setObjectName(QString::fromLatin1(name));
    return box;
  };
  auto slider = [this](const char* name, int maximum) {
    auto* bar = new QSlider(Qt::Horizontal, this);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(0, maximum);
    return bar;
  };
  auto edit = [this](const char* name) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::fromLatin1(name));
    return e;
  };
  auto button = [this](const char* caption) {
    auto* b = new QPushButton(Tr(caption), this);
    b->setAutoDefault(false);
    return b;
  };
  setObjectName(QStringLiteral("FOpenGLOptions"));
  setWindowTitle(Tr("Настройки openGL"));
  resize(313, 299);

  CBglType = new QComboBox(this);
  CBglType->setObjectName(QStringLiteral("CBglType"));
  CBglType->addItems({Tr("не использовать openGL"), Tr("openGL видеокарты"), Tr("openGL через память")});
  GroupBox1 = new QGroupBox(Tr(" освещение "), this);
  CBlight = check("CBlight", "включить");
  CBlightrotate = check("CBlightrotate", "вращать с объектом");
  TBambientlight = slider("TBambientlight", 100);
  Bok = button("Ok");
  Bcancel = button("Отмена");
  Label1 = label("общее освещение");
  GroupBox2 = new QGroupBox(Tr(" положение "), this);
  Label3 = label("f");
  Label6 = label("°");
  Label5 = label("°");
  Label4 = label("q");
  Ephi = edit("Ephi");
  Etheta = edit("Etheta");
  Er = edit("Er");
  Label2 = label("r");
  Bapply = button("Применить");
  TBphi = slider("TBphi", 360);
  TBtheta = slider("TBtheta", 180);
  TBr = slider("TBr", 50);
  CBlightFB = check("CBlightFB", "двухстороннее");
  Label7 = label("эффект перпектива");
  TBfar = slider("TBfar", 100);
  Label8 = label("диффузный свет");
  TBdiffuselight = slider("TBdiffuselight", 100);
  Label9 = label("направленный свет");
  TBspecularlight = slider("TBspecularlight", 100);
  CBsmooth = check("CBsmooth", "сглаживание");
  TBlightshininess = slider("TBlightshininess", 128);

  auto* light = new QGridLayout(GroupBox1);
  light->addWidget(CBlight, 0, 0);
  light->addWidget(CBlightFB, 0, 1);
  light->addWidget(CBlightrotate, 1, 0, 1, 2);
  light->addWidget(Label1, 2, 0);
  light->addWidget(TBambientlight, 2, 1);
  light->addWidget(Label8, 3, 0);
  light->addWidget(TBdiffuselight, 3, 1);
  light->addWidget(Label9, 4, 0);
  light->addWidget(TBspecularlight, 4, 1);
  light->addWidget(TBlightshininess, 5, 1);
  auto* place = new QGridLayout(GroupBox2);
  place->addWidget(Label4, 0, 0);
  place->addWidget(Etheta, 0, 1);
  place->addWidget(Label5, 0, 2);
  place->addWidget(TBtheta, 0, 3);
  place->addWidget(Label3, 1, 0);
  place->addWidget(Ephi, 1, 1);
  place->addWidget(Label6, 1, 2);
  place->addWidget(TBphi, 1, 3);
  place->addWidget(Label2, 2, 0);
  place->addWidget(Er, 2, 1);
  place->addWidget(TBr, 2, 3);
  auto* far = new QHBoxLayout;
  far->addWidget(Label7);
  far->addWidget(TBfar);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(CBsmooth);
  buttons->addStretch();
  buttons->addWidget(Bapply);
  buttons->addWidget(Bok);
  buttons->addWidget(Bcancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(CBglType);
  layout->addWidget(GroupBox1);
  layout->addWidget(GroupBox2);
  layout->addLayout(far);
  layout->addLayout(buttons);

  connect(Bapply, &QPushButton::clicked, this, [this] { BapplyClick(); });
  connect(Bok, &QPushButton::clicked, this, [this] { BokClick(); });
  connect(Bcancel, &QPushButton::clicked, this, [this] { BcancelClick(); });
  connect(TBtheta, &QSlider::valueChanged, this, [this] { TBthetaChange(); });
  connect(TBphi, &QSlider::valueChanged, this, [this] { TBphiChange(); });
  connect(TBr, &QSlider::valueChanged, this, [this] { TBrChange(); });
  for (QSlider* bar : {TBfar, TBambientlight, TBdiffuselight, TBspecularlight, TBlightshininess})
    connect(bar, &QSlider::valueChanged, this, [this] { TrackBarChange(); });
}

void TFOpenGLOptions::FormActivate()
{
  if (!Frame)
    return;
  Updating = true;
  OldUseGL = Frame->UseGL;
  OldGLIntoBitmap = Frame->GLIntoBitmap;
  CBsmooth->setChecked(Frame->Smoothing);
  CBglType->setCurrentIndex(!Frame->UseGL ? 0 : (Frame->GLIntoBitmap ? 2 : 1));
  CBlight->setChecked(Frame->Lighting);
  CBlightFB->setChecked(Frame->TwoSidedLight != 0);
  CBlightrotate->setChecked(Frame->LightMovesWithObject);
  TBambientlight->setValue(Hundredths(Frame->AmbientLight));
  TBdiffuselight->setValue(Hundredths(Frame->DiffuseLight));
  TBspecularlight->setValue(Hundredths(Frame->SpecularLight));
  TBlightshininess->setValue(static_cast<int>(std::lround(Frame->Shininess)));
  const double* p = Frame->LightPosition;
  const double theta = std::atan2(std::hypot(p[0], p[1]), p[2]) * RadToDeg;
  const double phi = std::atan2(p[0], -p[1]) * RadToDeg;
  const double r = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
  Etheta->setText(Rounded(theta, 0.1));
  Ephi->setText(Rounded(phi, 0.1));
  Er->setText(Rounded(r, 0.01));
  TBtheta->setValue(WholePart(theta, 180));
  // The track bar runs 0 .. 360: a turn to the other side counts from a full circle.
  TBphi->setValue(WholePart(phi < 0 ? phi + 360 : phi, 360));
  TBr->setValue(r > 0 ? WholePart(25 * std::log10(r), 50) : 0);
  TBfar->setValue(WholePart(10 * std::log(Frame->CameraDistance + 1), 100));
  Keep();
  Updating = false;
}

TFOpenGLOptions::TSettings TFOpenGLOptions::FrameSettings() const
{
  TSettings s;
  s.useGL = Frame->UseGL;
  s.intoBitmap = Frame->GLIntoBitmap;
  s.smoothing = Frame->Smoothing;
  s.lighting = Frame->Lighting;
  s.lightMoves = Frame->LightMovesWithObject;
  s.twoSided = Frame->TwoSidedLight;
  s.ambient = Frame->AmbientLight;
  s.diffuse = Frame->DiffuseLight;
  s.specular = Frame->SpecularLight;
  s.shininess = Frame->Shininess;
  s.cameraDistance = Frame->CameraDistance;
  std::copy(Frame->LightPosition, Frame->LightPosition + 4, s.lightPosition);
  return s;
}

void TFOpenGLOptions::SetFrameSettings(const TSettings& s)
{
  Frame->UseGL = s.useGL;
  Frame->GLIntoBitmap = s.intoBitmap;
  Frame->Smoothing = s.smoothing;
  Frame->Lighting = s.lighting;
  Frame->LightMovesWithObject = s.lightMoves;
  Frame->TwoSidedLight = s.twoSided;
  Frame->AmbientLight = s.ambient;
  Frame->DiffuseLight = s.diffuse;
  Frame->SpecularLight = s.specular;
  Frame->Shininess = s.shininess;
  std::copy(s.lightPosition, s.lightPosition + 4, Frame->LightPosition);
  // A context of the other kind is made by the next redraw.
  if (Frame->UseGL != OldUseGL || Frame->GLIntoBitmap != OldGLIntoBitmap)
    Frame->DoneGL();
  Frame->SetCameraDistance(s.cameraDistance);
  Frame->Redraw();
  OldUseGL = Frame->UseGL;
  OldGLIntoBitmap = Frame->GLIntoBitmap;
}

bool TFOpenGLOptions::ApplyControls()
{
  const std::optional<double> theta = NumberIn(Etheta->text()), phi = NumberIn(Ephi->text()), r = NumberIn(Er->text());
  if (!theta || !phi || !r)
    return false;
  TSettings s = FrameSettings();
  s.useGL = CBglType->currentIndex() != 0;
  s.intoBitmap = CBglType->currentIndex() == 2;
  s.smoothing = CBsmooth->isChecked();
  s.lighting = CBlight->isChecked();
  s.twoSided = CBlightFB->isChecked() ? 1 : 0;
  s.lightMoves = CBlightrotate->isChecked();
  s.ambient = TBambientlight->value() / 100.0;
  s.diffuse = TBdiffuselight->value() / 100.0;
  s.specular = TBspecularlight->value() / 100.0;
  s.shininess = TBlightshininess->value();
  if (Etheta->text() == keptTheta_ && Ephi->text() == keptPhi_ && Er->text() == keptR_) {
    std::copy(kept_.lightPosition, kept_.lightPosition + 3, s.lightPosition);
  } else {
    // (0, 0, r) turned by Rx(theta), then by Rz(phi).
    const double t = *theta / RadToDeg, f = *phi / RadToDeg;
    s.lightPosition[0] = *r * std::sin(t) * std::sin(f);
    s.lightPosition[1] = -*r * std::sin(t) * std::cos(f);
    s.lightPosition[2] = *r * std::cos(t);
  }
  s.cameraDistance = TBfar->value() == keptFar_ ? kept_.cameraDistance : std::exp(0.1 * TBfar->value()) - 1;
  SetFrameSettings(s);
  return true;
}

void TFOpenGLOptions::Keep()
{
  kept_ = FrameSettings();
  keptFar_ = TBfar->value();
  keptTheta_ = Etheta->text();
  keptPhi_ = Ephi->text();
  keptR_ = Er->text();
}

bool TFOpenGLOptions::BapplyClick()
{
  if (!Frame)
    return true;
  if (!AllNumbers(this, {Etheta, Ephi, Er}))
    return false;
  ApplyControls();
  Keep();
  return true;
}

void TFOpenGLOptions::BokClick()
{
  if (BapplyClick())
    accept();
}

// The track bars have already shown their values on the frame: Cancel only
// closes, as the student has seen them take effect.
void TFOpenGLOptions::BcancelClick()
{
  reject();
}

void TFOpenGLOptions::TrackBarChange()
{
  if (!Updating && Frame)
    ApplyControls();
}

void TFOpenGLOptions::TBthetaChange()
{
  if (Updating)
    return;
  Etheta->setText(QString::number(TBtheta->value()));
  TrackBarChange();
}

void TFOpenGLOptions::TBphiChange()
{
  if (Updating)
    return;
  Ephi->setText(QString::number(TBphi->value()));
  TrackBarChange();
}

void TFOpenGLOptions::TBrChange()
{
  if (Updating)
    return;
  Er->setText(Rounded(std::pow(10.0, 2.0 * TBr->value() / TBr->maximum()), 0.01));
  TrackBarChange();
}

TFOpenGLOptions* FOpenGLOptions() { return OneDialogOfTheRun<TFOpenGLOptions>(); }
