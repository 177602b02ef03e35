#include "plots/FormTreePlot.h"

#include "plots/ChoiceMenu.h"
#include "plots/FormTimePlot.h"
#include "plots/FormTreePlotOptions.h"

#include "base/ModalCalls.h"
#include "base/WindowKind.h"
#include "data/TagStream.h"
#include "model/FormBitModel.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>

#include <cstdlib>

namespace {

constexpr uint32_t TreePlotGradientEnd = 10537200; // RGB 240, 200, 160
constexpr int32_t MetresUnit = 5;

QString Tr(const char* text)
{
  return QString::fromUtf8(text);
}

struct TLengthUnit {
  const char* text;
  double factor;
};

// By X unit code 0..6; other codes draw metres.
constexpr TLengthUnit LengthUnits[] = {{"A", 1e10}, {"нм", 1e9}, {"мкм", 1e6}, {"мм", 1e3},
                                       {"см", 100}, {"м", 1},     {"км", 0.001}};

} // namespace

TFTreePlot::TFTreePlot(TFMain* mainWindow, QWidget* owner, TGIS* gis, TFModel* model)
    : TFSimplePlot(mainWindow, owner)
{
  SetTag(WindowKindTreePlot);
  SetGIS(gis);
  SetModel(model);
  Settings.XUnit = MetresUnit;
  Settings.GradientEnd = TreePlotGradientEnd;
  OptionsForm = FTreePlotOptions();

  PMIChannel = new QMenu(Tr("Канал"), PMGraphic);
  PMIChannel->setObjectName("PMIChannel");
  PMGraphic->insertMenu(PMGraphic->actions().value(0), PMIChannel);
  auto addChannelItem = [this](const char* name, const char* caption) {
    QAction* item = PMIChannel->addAction(Tr(caption));
    item->setObjectName(name);
    item->setCheckable(true);
    connect(item, &QAction::triggered, this, [this, item] { PMIChannelClick(item); });
    return item;
  };
  PMILongChannel = addChannelItem("PMILongChannel", "Наиболее длинный");
  PMINewChannel = addChannelItem("PMINewChannel", "Последнего роста");
  PMIFixChannel = addChannelItem("PMIFixChannel", "Фиксированный ...");
  PMILookupChannel = addChannelItem("PMILookupChannel", "По указателю");
  // After the base's popup handling, which rebuilds the data menus.
  connect(PMGraphic, &QMenu::aboutToShow, this, &TFTreePlot::CheckChannelItem);
  MarkReady();
}

void TFTreePlot::SetModel(TFModel* model)
{
  Model = dynamic_cast<TFBitModel*>(model);
}

void TFTreePlot::SetChannel(int element)
{
  ChannelIndex = element;
  Refresh();
}

void TFTreePlot::SetPointedChannel(int element)
{
  if (ChannelMode == ByPointer)
    SetChannel(element);
}

void TFTreePlot::SaveToStream(TTagStream* stream)
{
  TFSimplePlot::SaveToStream(stream);
  stream->SetGroup(TagGroup::TreePlot);
  SaveKeyLists(*stream, SelectedSeries);
  stream->WriteInt(ChannelIndex);
  stream->WriteInt(ChannelMode);
}

void TFTreePlot::LoadFromStream(TTagStream* stream)
{
  TFSimplePlot::LoadFromStream(stream);
  stream->SetGroup(TagGroup::TreePlot);
  LoadKeyLists(*stream, SelectedSeries);
  stream->Read(ChannelIndex);
  stream->Read(ChannelMode);
}

TPlotXAxis TFTreePlot::GetXAxis()
{
  const int code = Settings.XUnit >= 0 && Settings.XUnit <= 6 ? Settings.XUnit : MetresUnit;
  return {Tr("Длина, ") + Tr(LengthUnits[code].text), 0, LengthUnits[code].factor};
}

bool TFTreePlot::HasData()
{
  if (!ViewGis() || !Model || (Settings.AxisQuantity[0] < 0 && Settings.AxisQuantity[1] < 0))
    return false;
  ValidateChannelSelection();
  return true;
}

void TFTreePlot::GetDefaultTitles(QString& title, QString& caption)
{
  title = Tr("Нажмите правую кнопку мыши для выбора данных");
  caption = Tr("Распределение по каналам");
}

TPlotAxisTitles TFTreePlot::GetAxisTitles()
{
  return AxisTitlesByUnit(Model, Settings, Tr("Каналы"));
}

TPlotSeriesData TFTreePlot::GetSeriesData()
{
  if (!Model)
    return {};
  return SeriesOfAxes(SelectedSeries, Settings, [this](const TSeriesKey& key) {
    TPlotSeries plotted;
    plotted.style = {SeriesStyle::LineAndPoints, -30};
    plotted.name = QuantityTitle(*Model, key.quantityId);
    int count = 0;
    double* positions = nullptr;
    double* values = nullptr;
    Model->GetChannelData(key.quantityId, ChannelIndex, &count, &positions, &values);
    plotted.x.assign(positions, positions + count);
    plotted.y.assign(values, values + count);
    std::free(positions);
    std::free(values);
    return plotted;
  });
}

bool TFTreePlot::IsSelected(const TSeriesKey& key) const
{
  return IsChosen(SelectedSeries, key);
}

void TFTreePlot::SeriesItemClick(const TSeriesKey& key)
{
  if (!Model)
    return;
  const int unit = Model->GetQuantityUnitCode(key.quantityId);
  if (IsSelected(key))
    DeselectByUnit(SelectedSeries, Settings, unit, key);
  else
    SelectByUnit(SelectedSeries, Settings, unit, key);
  Refresh();
}

void TFTreePlot::ValidateChannelSelection()
{
  for (int k = 0; k < 2; ++k) {
    std::erase_if(SelectedSeries[k],
                  [&](const TSeriesKey& key) { return !Model || !Model->HasChannelData(key.quantityId); });
    if (SelectedSeries[k].empty())
      Settings.AxisQuantity[k] = -1;
  }
  CompactAxes(SelectedSeries, Settings);
}

void TFTreePlot::BuildDataMenu(QMenu* menu)
{
  if (!ViewGis() || !Model)
    return;
  FixedItemCount = static_cast<int>(menu->actions().size());
  ValidateChannelSelection();
  for (int i = 0; i < Model->GetChannelDataCount(); ++i) {
    const int id = Model->GetChannelDataId(i);
    QStringList path;
    for (int level = 0; level < Model->GetChannelDataLevels(); ++level)
      path << QString::fromStdString(Model->GetChannelDataCaption(id, level));
    const TSeriesKey key{id, 0};
    AddChoiceItem(menu, FixedItemCount, path, IsSelected(key), [this, key] { SeriesItemClick(key); });
  }
}

void TFTreePlot::ClearDataMenu(QMenu* menu)
{
  ClearChoiceItems(menu, FixedItemCount);
}

void TFTreePlot::SettingsToDialog()
{
  TFSimplePlot::SettingsToDialog();
  static_cast<TFTreePlotOptions*>(OptionsForm)->CBxstyle->setCurrentIndex(Settings.XUnit);
}

void TFTreePlot::DialogToSettings()
{
  TFSimplePlot::DialogToSettings();
  Settings.XUnit = static_cast<TFTreePlotOptions*>(OptionsForm)->CBxstyle->currentIndex();
}

int TFTreePlot::LastIndex() const
{
  return Model ? Model->GetSnapshot().NodeCount() - 1 : -1;
}

// The fixed element is asked as an integer between the first and the last
// element; any other answer is refused with a message and changes nothing.
void TFTreePlot::PMIChannelClick(QAction* sender)
{
  if (sender == PMINewChannel) {
    ChannelIndex = LastElement;
    ChannelMode = LastGrowth;
  } else if (sender == PMIFixChannel) {
    const int last = LastIndex();
    const int proposed = ChannelIndex < 0 || ChannelIndex > last ? last : ChannelIndex;
    const std::optional<QString> answer =
        ModalCalls().InputBox(this, Tr("Номер конечного элемента"), Tr("от 0 до %1").arg(last), QString::number(proposed));
    if (!answer)
      return;
    bool ok = false;
    const int element = answer->trimmed().toInt(&ok);
    if (!ok || element < 0 || element > last) {
      ShowErrorMessage(this, Tr("Номер элемента должен быть целым числом от 0 до %1.").arg(last));
      return;
    }
    ChannelIndex = element;
    ChannelMode = Fixed;
  } else if (sender == PMILookupChannel) {
    if (ChannelIndex < 0)
      ChannelIndex = LastIndex();
    ChannelMode = ByPointer;
  } else if (sender == PMILongChannel) {
    ChannelIndex = DeepestElement;
    ChannelMode = Longest;
  }
  CheckChannelItem();
  Refresh();
}

void TFTreePlot::CheckChannelItem()
{
  PMINewChannel->setChecked(ChannelMode == LastGrowth);
  PMIFixChannel->setChecked(ChannelMode == Fixed);
  PMILookupChannel->setChecked(ChannelMode == ByPointer);
  PMILongChannel->setChecked(ChannelMode == Longest);
}
