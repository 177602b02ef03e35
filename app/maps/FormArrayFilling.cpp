#include "maps/FormArrayFilling.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
TFArrayFilling* theForm = nullptr;
TFArray3DFilling* theVolumeForm = nullptr;

QSpinBox* MakeBound(QWidget* parent)
{
  auto* box = new QSpinBox(parent);
  box->setMinimum(1);
  box->setMaximum(1);
  return box;
}

QPushButton* MakeBoldButton(const QString& caption, QWidget* parent)
{
  auto* button = new QPushButton(caption, parent);
  button->setFlat(true);
  QFont font = button->font();
  font.setBold(true);
  button->setFont(font);
  return button;
}
} // namespace

TFArrayFilling::TFArrayFilling(QWidget* owner) : TFArrayFilling(owner, false) {}

TFArrayFilling::TFArrayFilling(QWidget* owner, bool withLevels) : QDialog(owner)
{
  setWindowTitle(QStringLiteral("Заполнение"));
  auto* layout = new QVBoxLayout(this);
  Evalue = new QLineEdit(QStringLiteral("0"), this);
  Evalue->setMaxLength(511);
  layout->addWidget(Evalue);
  CBtype = new QComboBox(this);
  CBtype->addItems({QStringLiteral("установить"), QStringLiteral("добавить"), QStringLiteral("вычесть"),
                    QStringLiteral("умножить"),
                    withLevels ? QStringLiteral("делить") : QStringLiteral("разделить")});
  CBtype->setCurrentIndex(0);
  layout->addWidget(CBtype);

  auto* range = new QGroupBox(QStringLiteral("Диапазон ячеек"), this);
  auto* grid = new QGridLayout(range);
  Ex1 = MakeBound(range);
  Ex2 = MakeBound(range);
  Ey1 = MakeBound(range);
  Ey2 = MakeBound(range);
  const auto addRow = [&](int row, const QString& caption, QSpinBox* from, QSpinBox* to, const QString& axis) {
    grid->addWidget(new QLabel(caption, range), row, 0);
    grid->addWidget(new QLabel(QStringLiteral("с"), range), row, 1);
    grid->addWidget(from, row, 2);
    grid->addWidget(new QLabel(QStringLiteral("по"), range), row, 3);
    grid->addWidget(to, row, 4);
    grid->addWidget(new QLabel(axis, range), row, 5);
  };
  if (withLevels) {
    Elevel1 = MakeBound(range);
    Elevel2 = MakeBound(range);
    addRow(0, QStringLiteral("Слои:"), Elevel1, Elevel2, QStringLiteral("(z)"));
    addRow(1, QStringLiteral("Строки:"), Ey1, Ey2, QStringLiteral("(y)"));
    addRow(2, QStringLiteral("Столбцы:"), Ex1, Ex2, QStringLiteral("(x)"));
  } else {
    addRow(0, QStringLiteral("Столбцы:"), Ex1, Ex2, QStringLiteral("(x)"));
    addRow(1, QStringLiteral("Строки:"), Ey1, Ey2, QStringLiteral("(y)"));
  }
  layout->addWidget(range);

  auto* buttons = new QHBoxLayout;
  Bok = MakeBoldButton(QStringLiteral("Ok"), this);
  Bcancel = MakeBoldButton(QStringLiteral("Отмена"), this);
  buttons->addWidget(Bok);
  buttons->addWidget(Bcancel);
  layout->addLayout(buttons);
  connect(Bok, &QPushButton::clicked, this, &TFArrayFilling::BokClick);
  connect(Bcancel, &QPushButton::clicked, this, &TFArrayFilling::BcancelClick);
}

TFArrayFilling* ArrayFillingForm()
{
  if (!theForm)
    theForm = new TFArrayFilling();
  return theForm;
}

TFArray3DFilling* Array3DFillingForm()
{
  if (!theVolumeForm)
    theVolumeForm = new TFArray3DFilling();
  return theVolumeForm;
}

void DestroyArrayFilling()
{
  delete theForm;
  theForm = nullptr;
  delete theVolumeForm;
  theVolumeForm = nullptr;
}
