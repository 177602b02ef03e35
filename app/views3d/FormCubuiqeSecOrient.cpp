#include "views3d/FormCubuiqeSecOrient.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFCubuiqeSecOrient::TFCubuiqeSecOrient(QWidget* parent) : TCubeDialog(parent, Qt::Tool)
{
  auto u = [](const char* text) { return QString::fromUtf8(text); };
  auto edit = [this](const char* name) {
    auto* e = new QLineEdit(QStringLiteral("0"), this);
    e->setObjectName(QString::fromLatin1(name));
    return e;
  };
  setObjectName(QStringLiteral("FCubuiqeSecOrient"));
  setWindowTitle(u("Положение сечения"));
  resize(230, 120);
  Etheta = edit("Etheta");
  Label1 = new QLabel(u("вращение:"), this);
  Label2 = new QLabel(u("Q"), this);
  Label3 = new QLabel(u("°"), this);
  Label5 = new QLabel(u("f"), this);
  Ephi = edit("Ephi");
  Label6 = new QLabel(u("°"), this);
  Bok = new QPushButton(u("Ok"), this);
  Bcancel = new QPushButton(u("Отмена"), this);
  Label7 = new QLabel(u("сдвиг по нормали:"), this);
  Eshift = edit("Eshift");
  Bok->setAutoDefault(false);
  Bcancel->setAutoDefault(false);

  auto* grid = new QGridLayout;
  grid->addWidget(Label1, 0, 0, 1, 3);
  grid->addWidget(Label2, 1, 0);
  grid->addWidget(Etheta, 1, 1);
  grid->addWidget(Label3, 1, 2);
  grid->addWidget(Label5, 2, 0);
  grid->addWidget(Ephi, 2, 1);
  grid->addWidget(Label6, 2, 2);
  grid->addWidget(Label7, 3, 0, 1, 2);
  grid->addWidget(Eshift, 3, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Bok);
  buttons->addWidget(Bcancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);

  connect(Bok, &QPushButton::clicked, this, [this] { BokClick(); });
  connect(Bcancel, &QPushButton::clicked, this, [this] { BcancelClick(); });
}

void TFCubuiqeSecOrient::BokClick() { accept(); }

void TFCubuiqeSecOrient::BcancelClick() { reject(); }

TFCubuiqeSecOrient* FCubuiqeSecOrient() { return OneDialogOfTheRun<TFCubuiqeSecOrient>(); }
