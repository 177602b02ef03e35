#include "shell/FormCloneProject.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

TFCloneProject* FCloneProject = nullptr;

namespace {

QSpinBox* AddNumber(QFormLayout* form, QWidget* owner, const char* name, const char* caption, int low, int high,
                    int value)
{
  auto* edit = new QSpinBox(owner);
  edit->setObjectName(name);
  edit->setRange(low, high);
  edit->setValue(value);
  form->addRow(QString::fromUtf8(caption), edit);
  return edit;
}

QCheckBox* AddCheck(QVBoxLayout* layout, QWidget* owner, const char* name, const char* caption)
{
  auto* box = new QCheckBox(QString::fromUtf8(caption), owner);
  box->setObjectName(name);
  box->setChecked(true);
  layout->addWidget(box);
  return box;
}

} // namespace

TFCloneProject::TFCloneProject(QWidget* owner) : QDialog(owner)
{
  setObjectName("FCloneProject");
  setWindowTitle(QString::fromUtf8("Клонирование"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  layout->addLayout(form);
  En1 = AddNumber(form, this, "En1", "начальный номер", 0, 1000000, 1);
  En2 = AddNumber(form, this, "En2", "последний номер", 0, 1000000, 1);
  Enn = AddNumber(form, this, "Enn", "позиций в номере", 1, 8, 3);
  Erb = AddCheck(layout, this, "Erb", "создать run.sh");
  Eff = AddCheck(layout, this, "Eff", "без полного пути");
  auto* buttons = new QHBoxLayout();
  layout->addLayout(buttons);
  Bok = new QPushButton("OK", this);
  Bok->setObjectName("Bok");
  Bok->setDefault(true);
  Bcancel = new QPushButton(QString::fromUtf8("Отмена"), this);
  Bcancel->setObjectName("Bcancel");
  buttons->addWidget(Bok);
  buttons->addWidget(Bcancel);
  connect(Bok, &QPushButton::clicked, this, &QDialog::accept);
  connect(Bcancel, &QPushButton::clicked, this, &QDialog::reject);
  setFixedSize(sizeHint().expandedTo(QSize(200, 155)));
}
