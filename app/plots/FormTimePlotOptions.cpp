#include "plots/FormTimePlotOptions.h"

#include <QComboBox>
#include <QFormLayout>

TFTimePlotOptions::TFTimePlotOptions(QWidget* parent) : TFSimplePlotOptions(parent)
{
  CBxstyle = new QComboBox(PageX);
  CBxstyle->setObjectName("CBxstyle");
  SetTimeUnits({{QString::fromUtf8("даты"), 0}, {QString::fromUtf8("наносекунды"), 250}, {QString::fromUtf8("микросекунды"), 240}, {QString::fromUtf8("миллисекунды"), 230},
                {QString::fromUtf8("секунды"), 220}, {QString::fromUtf8("минуты"), 210}, {QString::fromUtf8("часы"), 200}, {QString::fromUtf8("сутки"), 100},
                {QString::fromUtf8("месяцы"), 110}, {QString::fromUtf8("годы"), 120}});
  static_cast<QFormLayout*>(PageX->layout())->addRow(CBxstyle);
}

void TFTimePlotOptions::SetTimeUnits(const std::vector<std::pair<QString, int>>& units)
{
  CBxstyle->clear();
  for (const auto& [text, code] : units)
    CBxstyle->addItem(text, code);
}

TFTimePlotOptions* FTimePlotOptions()
{
  return SharedPlotOptions<TFTimePlotOptions>();
}
