#include "plots/FormArrayPlotOptions.h"

#include <QComboBox>
#include <QFormLayout>

TFArrayPlotOptions::TFArrayPlotOptions(QWidget* parent) : TFSimplePlotOptions(parent)
{
  CBsmooth = new QComboBox(PageCommon);
  CBsmooth->setObjectName("CBsmooth");
  for (const char* item : {"нет", "точечное", "билинейное"})
    CBsmooth->addItem(QString::fromUtf8(item));
  static_cast<QFormLayout*>(PageCommon->layout())->addRow(QString::fromUtf8("сглаживание"), CBsmooth);
}

TFArrayPlotOptions* FArrayPlotOptions()
{
  return SharedPlotOptions<TFArrayPlotOptions>();
}
