#include "views3d/FormCubuiqeRangeValues.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFCubuiqeRangeValues::TFCubuiqeRangeValues(QWidget* parent) : TCubeDialog(parent)
{
  auto u = [](const char* text) { return QString::fromUtf8(text); };
  setObjectName(QStringLiteral("FCubuiqeRangeValues"));
  setWindowTitle(u("Пределы значений"));
  resize(217, 105);
  Label1 = new QLabel(u("макс."), this);
  Emax = new QLineEdit(this);
  Emax->setObjectName(QStringLiteral("Emax"));
  Label2 = new QLabel(u("мин."), this);
  Emin = new QLineEdit(this);
  Emin->setObjectName(QStringLiteral("Emin"));
  Bok = new QPushButton(u("Ок"), this);
  Bcancel = new QPushButton(u("Отмена"), this);
  CBautoscale = new QCheckBox(u("авто"), this);
  CBautoscale->setObjectName(QStringLiteral("CBautoscale"));
  Bok->setAutoDefault(false);
  Bcancel->setAutoDefault(false);

  auto* values = new QGridLayout;
  values->addWidget(Label1, 0, 0);
  values->addWidget(Emax, 0, 1);
  values->addWidget(Label2, 1, 0);
  values->addWidget(Emin, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(CBautoscale);
  buttons->addStretch();
  buttons->addWidget(Bok);
  buttons->addWidget(Bcancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(values);
  layout->addLayout(buttons);

  connect(CBautoscale, &QCheckBox::toggled, this, [this] { CBautoscaleClick(); });
  connect(Bok, &QPushButton::clicked, this, [this] { BokClick(); });
  connect(Bcancel, &QPushButton::clicked, this, [this] { BcancelClick(); });
}

void TFCubuiqeRangeValues::CBautoscaleClick()
{
  const bool typed = !CBautoscale->isChecked();
  Emin->setEnabled(typed);
  Emax->setEnabled(typed);
}

void TFCubuiqeRangeValues::FormActivate() { CBautoscaleClick(); }

void TFCubuiqeRangeValues::BokClick() { accept(); }

void TFCubuiqeRangeValues::BcancelClick() { reject(); }

TFCubuiqeRangeValues* FCubuiqeRangeValues() { return OneDialogOfTheRun<TFCubuiqeRangeValues>(); }
