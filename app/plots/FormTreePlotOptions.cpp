#include "plots/FormTreePlotOptions.h"

#include <QComboBox>
#include <QFormLayout>

TFTreePlotOptions::TFTreePlotOptions(QWidget* parent) : TFSimplePlotOptions(parent)
{
  CBxstyle = new QComboBox(PageX);
  CBxstyle->setObjectName("CBxstyle");
  for (const char* unit : {"ангстремы", "нанометры", "микрометры", "миллиметры", "сантиметры", "метры", "киломерты"})
    CBxstyle->addItem(QString::fromUtf8(unit));
  static_cast<QFormLayout*>(PageX->layout())->addRow(CBxstyle);
}

TFTreePlotOptions* FTreePlotOptions()
{
  return SharedPlotOptions<TFTreePlotOptions>();
}
