#include "plots/FormArrayPlotOptions.h"

#include <QComboBox>
#include <QFormLayout>

namespace {

QString Tr(const char* text)
{
  return QString::fromUtf8(text);
}

} // namespace

TFArrayPlotOptions::TFArrayPlotOptions(QWidget* parent) : TFSimplePlotOptions(parent)
{
  CBsmooth = new QComboBox(PageCommon);
  CBsmooth->setObjectName("CBsmooth");
  for (const char* item : {"нет", "точечное", "билинейное"})
    CBsmooth->addItem(Tr(item));
  static_cast<QFormLayout*>(PageCommon->layout())->addRow(Tr("сглаживание"), CBsmooth);
}

TFArrayPlotOptions* FArrayPlotOptions()
{
  return SharedPlotOptions<TFArrayPlotOptions>();
}
