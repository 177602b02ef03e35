#include "views3d/FormCubuiqeFillOptions.h"

#include "base/ColorRef.h"
#include "views3d/DialogNumbers.h"
#include "views3d/FrameCubuiqe.h"

#include "base/ModalCalls.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

QString Tr(const char* text)
{
  return QString::fromUtf8(text);
}

QGroupBox* RadioGroup(QWidget* parent, const char* name, const char* caption, std::initializer_list<const char*> items)
{
  auto* group = new QGroupBox(Tr(caption), parent);
  group->setObjectName(QString::fromLatin1(name));
  auto* layout = new QVBoxLayout(group);
  for (const char* item : items)
    layout->addWidget(new QRadioButton(Tr(item), group));
  return group;
}

QFrame* Shape(QWidget* parent, const char* name)
{
  auto* shape = new QFrame(parent);
  shape->setObjectName(QString::fromLatin1(name));
  shape->setFrameShape(QFrame::Box);
  shape->setFixedSize(40, 20);
  shape->setAutoFillBackground(true);
  return shape;
}

} // namespace

TFCubuiqeFillOptions::TFCubuiqeFillOptions(QWidget* parent) : TCubeDialog(parent)
{
  setObjectName(QStringLiteral("FCubuiqeFillOptions"));
  setWindowTitle(Tr("Закраска сечений (без openGL)"));
  setFixedSize(380, 234);
  Efilltype = RadioGroup(this, "Efilltype", " тип заливки ", {"Сплошная", "Прозрачность"});
  Epalette = RadioGroup(this, "Epalette", " тип палитры ", {"RGB", "HSV", "HSV-"});
  Einterpol = RadioGroup(this, "Einterpol", "тип интерполяции ", {"отключить", "билинейная"});
  Label1 = new QLabel(Tr("цвет максимума"), this);
  Label2 = new QLabel(Tr("цвет минимума"), this);
  Label3 = new QLabel(Tr("прозрачность, %"), this);
  Ealpha = new QLineEdit(this);
  Ealpha->setObjectName(QStringLiteral("Ealpha"));
  Bapply = new QPushButton(Tr("Применить"), this);
  Bok = new QPushButton(Tr("Ok"), this);
  Bcancel = new QPushButton(Tr("Отмена"), this);
  Ecolormin = Shape(this, "Ecolormin");
  Ecolormax = Shape(this, "Ecolormax");
  Ediskfill = new QCheckBox(Tr("дискретность"), this);
  Ediskfill->setObjectName(QStringLiteral("Ediskfill"));
  Bok->setAutoDefault(false);
  Bapply->setAutoDefault(false);
  Bcancel->setAutoDefault(false);

  auto* groups = new QHBoxLayout;
  groups->addWidget(Efilltype);
  groups->addWidget(Epalette);
  groups->addWidget(Einterpol);
  auto* values = new QGridLayout;
  values->addWidget(Label2, 0, 0);
  values->addWidget(Ecolormin, 0, 1);
  values->addWidget(Label1, 1, 0);
  values->addWidget(Ecolormax, 1, 1);
  values->addWidget(Label3, 0, 2);
  values->addWidget(Ealpha, 0, 3);
  values->addWidget(Ediskfill, 1, 2, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Bapply);
  buttons->addWidget(Bok);
  buttons->addWidget(Bcancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(groups);
  layout->addLayout(values);
  layout->addLayout(buttons);

  connect(Bapply, &QPushButton::clicked, this, [this] { BapplyClick(); });
  connect(Bok, &QPushButton::clicked, this, [this] { BokClick(); });
  connect(Bcancel, &QPushButton::clicked, this, [this] { BcancelClick(); });
}

int TFCubuiqeFillOptions::ItemIndex(const QGroupBox* group)
{
  const QList<QRadioButton*> items = group->findChildren<QRadioButton*>();
  for (int i = 0; i < items.size(); ++i)
    if (items[i]->isChecked())
      return i;
  return -1;
}

void TFCubuiqeFillOptions::SetItemIndex(QGroupBox* group, int index)
{
  const QList<QRadioButton*> items = group->findChildren<QRadioButton*>();
  if (index >= 0 && index < items.size())
    items[index]->setChecked(true);
}

COLORREF TFCubuiqeFillOptions::ShapeColour(const QFrame* shape)
{
  const QColor c = shape->palette().color(QPalette::Window);
  return ColorRefOf(c);
}

void TFCubuiqeFillOptions::SetShapeColour(QFrame* shape, COLORREF colour)
{
  QPalette palette = shape->palette();
  palette.setColor(QPalette::Window, QColorOf(colour));
  shape->setPalette(palette);
}

void TFCubuiqeFillOptions::FormActivate()
{
  if (!Frame)
    return;
  Updating = true;
  SetShapeColour(Ecolormin, Frame->ColourMin);
  SetShapeColour(Ecolormax, Frame->ColourMax);
  Ediskfill->setChecked(Frame->DiscreteFill);
  Ealpha->setText(QString::number(100 - 100.0 * Frame->FillOpacity / 65536, 'f', 0));
  SetItemIndex(Epalette, Frame->ColourScale);
  SetItemIndex(Einterpol, Frame->Interpolation == 1 ? 0 : (Frame->Interpolation == 0 ? 1 : -1));
  SetItemIndex(Efilltype, Frame->FillMode == 1 ? 0 : (Frame->FillMode == 2 ? 1 : -1));
  Updating = false;
}

bool TFCubuiqeFillOptions::BapplyClick()
{
  if (!Frame)
    return true;
  const std::optional<double> percent = NumberIn(Ealpha->text());
  if (!percent) {
    ShowNotANumber(this, Ealpha->text());
    return false;
  }
  Frame->ColourMin = ShapeColour(Ecolormin);
  Frame->ColourMax = ShapeColour(Ecolormax);
  Frame->DiscreteFill = Ediskfill->isChecked();
  const double opacity = std::clamp((1 - 0.01 * *percent) * 65536, 0.0, 65536.0);
  Frame->FillOpacity = static_cast<int32_t>(opacity);
  if (ItemIndex(Epalette) >= 0)
    Frame->ColourScale = ItemIndex(Epalette);
  if (ItemIndex(Einterpol) >= 0)
    Frame->Interpolation = ItemIndex(Einterpol) == 0 ? 1 : 0;
  if (ItemIndex(Efilltype) >= 0)
    Frame->FillMode = ItemIndex(Efilltype) == 0 ? 1 : 2;
  Frame->Redraw();
  return true;
}

void TFCubuiqeFillOptions::BokClick()
{
  if (BapplyClick())
    accept();
}

void TFCubuiqeFillOptions::BcancelClick()
{
  reject();
}

TFCubuiqeFillOptions* FCubuiqeFillOptions() { return OneDialogOfTheRun<TFCubuiqeFillOptions>(); }
