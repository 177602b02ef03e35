#include "plots/FormDimPlotOptions.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>

TFDimPlotOptions::TFDimPlotOptions(QWidget* parent) : TFSimplePlotOptions(parent)
{
  CBcustom = new QCheckBox(QString::fromUtf8("Задать зависимость:"), PageCommon);
  CBcustom->setObjectName("CBcustom");
  Ea = new QLineEdit(PageCommon);
  Ea->setObjectName("Ea");
  Eb = new QLineEdit(PageCommon);
  Eb->setObjectName("Eb");
  Ea->setEnabled(false);
  Eb->setEnabled(false);
  auto* form = static_cast<QFormLayout*>(PageCommon->layout());
  form->addRow(CBcustom);
  form->addRow(QString::fromUtf8("a="), Ea);
  form->addRow(QString::fromUtf8("b="), Eb);
  connect(CBcustom, &QCheckBox::toggled, this, &TFDimPlotOptions::CBcustomClick);
}

void TFDimPlotOptions::CBcustomClick()
{
  Ea->setEnabled(CBcustom->isChecked());
  Eb->setEnabled(CBcustom->isChecked());
}

TFDimPlotOptions* FDimPlotOptions()
{
  return SharedPlotOptions<TFDimPlotOptions>();
}
