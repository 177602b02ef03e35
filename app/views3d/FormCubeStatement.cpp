#include "views3d/FormCubeStatement.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString Tr(const char* text)
{
  return QString::fromUtf8(text);
}

// A group of two labelled edits side by side.
QGroupBox* EditPair(QWidget* parent, const char* caption, const char* firstLabel, QLineEdit* first,
                    const char* secondLabel, QLineEdit* second)
{
  auto* group = new QGroupBox(Tr(caption), parent);
  auto* layout = new QGridLayout(group);
  layout->addWidget(new QLabel(Tr(firstLabel), group), 0, 0);
  layout->addWidget(first, 0, 1);
  layout->addWidget(new QLabel(Tr(secondLabel), group), 1, 0);
  layout->addWidget(second, 1, 1);
  return group;
}

} // namespace

TFCubeStatement::TFCubeStatement(QWidget* parent) : TCubeDialog(parent)
{
  auto edit = [this](const char* name) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::fromLatin1(name));
    return e;
  };
  setObjectName(QStringLiteral("FCubeStatement"));
  setWindowTitle(Tr("Положение области моделирования"));
  setFixedSize(300, 120);
  Ephi = edit("Ephi");
  Etheta = edit("Etheta");
  Ecx = edit("Ecx");
  Ecy = edit("Ecy");
  GroupBox1 = EditPair(this, " Вращение ", "f", Ephi, "q", Etheta);
  GroupBox2 = EditPair(this, " Сдвиг ", "гор.", Ecx, "вер.", Ecy);
  Bok = new QPushButton(Tr("    Ok      "), this);
  Bcancel = new QPushButton(Tr("Отмена"), this);
  Bok->setAutoDefault(false);
  Bcancel->setAutoDefault(false);

  auto* groups = new QHBoxLayout;
  groups->addWidget(GroupBox1);
  groups->addWidget(GroupBox2);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(Bok);
  buttons->addWidget(Bcancel);
  buttons->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(groups);
  layout->addLayout(buttons);

  connect(Bok, &QPushButton::clicked, this, [this] { BokClick(); });
  connect(Bcancel, &QPushButton::clicked, this, [this] { BcancelClick(); });
}

void TFCubeStatement::BokClick() { accept(); }

void TFCubeStatement::BcancelClick() { reject(); }

TFCubeStatement* FCubeStatement() { return OneDialogOfTheRun<TFCubeStatement>(); }
