#include "plots/FormTimePlotOptions.h"

#include <QComboBox>
#include <QFormLayout>

namespace {

QString Tr(const char* text)
{
  return QString::fromUtf8(text);
}

} // namespace

TFTimePlotOptions::TFTimePlotOptions(QWidget* parent) : TFSimplePlotOptions(parent)
{
  CBxstyle = new QComboBox(PageX);
  CBxstyle->setObjectName("CBxstyle");
  SetTimeUnits({{Tr("даты"), 0}, {Tr("наносекунды"), 250}, {Tr("микросекунды"), 240}, {Tr("миллисекунды"), 230},
                {Tr("секунды"), 220}, {Tr("минуты"), 210}, {Tr("часы"), 200}, {Tr("сутки"), 100},
                {Tr("месяцы"), 110}, {Tr("годы"), 120}});
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
