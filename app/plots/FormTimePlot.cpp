#include "plots/FormTimePlot.h"

#include "plots/ChoiceMenu.h"
#include "plots/FormTimePlotOptions.h"

#include "base/ModalCalls.h"
#include "base/WindowKind.h"
#include "data/TagStream.h"
#include "data/TimeSerie.h"
#include "data/TimeSeries.h"
#include "model/FormModel.h"
#include "model/TimePlotUnits.h"

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>

#include <cmath>

namespace {

constexpr uint32_t TimePlotGradientEnd = 13168800; // RGB 160, 240, 200
constexpr int DateUnit = 0;

QString Tr(const char* text)
{
  return QString::fromUtf8(text);
}

QString FromModel(const std::string& text)
{
  return QString::fromStdString(text);
}

struct TTimeUnitScale {
  int code;
  const char* text;
  double factor;
};

constexpr TTimeUnitScale TimeUnitScales[] = {
    {250, "нс", 1e9},           {240, "мкс", 1e6},         {230, "мс", 1e3},
    {210, "мин.", 1.0 / 60},    {200, "ч.", 1.0 / 3600},   {100, "дни", 1.0 / 86400},
    {110, "месяцы", 1.0 / 2629800}, {120, "лет", 1.0 / 31557600},
};

} // namespace

TFTimePlot::TFTimePlot(TFMain* mainWindow, QWidget* owner, TGIS* gis, TFModel* model)
    : TFSimplePlot(mainWindow, owner), Model(model)
{
  SetTag(WindowKindTimePlot);
  SetGIS(gis);
  if (model) {
    Settings.XUnit = model->GetNativeTimeUnit();
    Settings.XDates = model->IsTimeDate();
  }
  Settings.GradientEnd = TimePlotGradientEnd;
  TFTimePlotOptions* options = FTimePlotOptions();
  if (!TimePlotTimeUnits().empty()) {
    std::vector<std::pair<QString, int>> units;
    for (const TTimeUnitItem& unit : TimePlotTimeUnits())
      units.emplace_back(FromModel(unit.text), unit.code);
    options->SetTimeUnits(units);
  }
  OptionsForm = options;
  PMIdataselect = new QAction(Tr("Данные ..."), PMGraphic);
  PMIdataselect->setObjectName("PMIdataselect");
  PMGraphic->insertAction(PMGraphic->actions().value(0), PMIdataselect);
  connect(PMIdataselect, &QAction::triggered, this, &TFTimePlot::PMIdataselectClick);
  FixedItemCount = 10000;
  MarkReady();
}

TFTimePlot::~TFTimePlot() = default;

void TFTimePlot::SaveToStream(TTagStream* stream)
{
  TFSimplePlot::SaveToStream(stream);
  stream->SetGroup(TagGroup::TimePlot);
  SaveKeyLists(*stream, SelectedSeries);
}

void TFTimePlot::LoadFromStream(TTagStream* stream)
{
  TFSimplePlot::LoadFromStream(stream);
  stream->SetGroup(TagGroup::TimePlot);
  LoadKeyLists(*stream, SelectedSeries);
  NormaliseXUnit();
}

int TFTimePlot::FindTimeUnitItem(const QComboBox* box, int code)
{
  for (int i = box->count() - 1; i >= 0; --i)
    if (box->itemData(i).toInt() == code)
      return i;
  return -1;
}

// A stored code that the unit list lacks falls back to the model's own unit
// rather than to the first item (calendar dates), which would show model
// seconds as days of 1899.
void TFTimePlot::NormaliseXUnit()
{
  const QComboBox* box = FTimePlotOptions()->CBxstyle;
  if (FindTimeUnitItem(box, Settings.XUnit) >= 0)
    return;
  Settings.XUnit = Model ? Model->GetNativeTimeUnit() : TFModel::SecondsUnit;
  Settings.XDates = Settings.XUnit == DateUnit;
  Refresh();
}

void TFTimePlot::ObjectDeleted(void*, int32_t)
{
  if (Model)
    Model->SyncSeries();
  Refresh();
}

TPlotXAxis TFTimePlot::GetXAxis()
{
  if (Settings.XDates)
    return {Tr("Время"), 0, 1.0 / 86400};
  TPlotXAxis axis{Tr("Время, c"), Model ? Model->GetStartTime() : 0.0, 1};
  for (const TTimeUnitScale& scale : TimeUnitScales)
    if (scale.code == Settings.XUnit) {
      axis.title = Tr("Время, ") + Tr(scale.text);
      axis.factor = scale.factor;
    }
  return axis;
}

bool TFTimePlot::HasData()
{
  if (!ViewGis() || !Model)
    return false;
  ValidateSelection();
  return CompactAxes(SelectedSeries, Settings);
}

void TFTimePlot::GetDefaultTitles(QString& title, QString& caption)
{
  title = Tr("Нажмите правую кнопку мыши для выбора данных");
  caption = Tr("Временной график");
}

TPlotAxisTitles AxisTitlesByUnit(const TFModel* model, const TPlotSettings& settings, const QString& prefix)
{
  TPlotAxisTitles titles;
  QString names;
  for (int k = 0; k < 2; ++k) {
    const int code = settings.AxisQuantity[k];
    titles.used[k] = code >= 0;
    if (code < 0 || !model)
      continue;
    titles.names[k] = FromModel(model->GetAxisName(code));
    titles.units[k] = FromModel(model->GetAxisUnit(code));
    if (!names.isEmpty())
      names += ", ";
    names += titles.names[k];
  }
  titles.caption = prefix + ": " + names;
  return titles;
}

QString QuantityTitle(const TFModel& model, int quantityId)
{
  QString name = FromModel(model.GetQuantityName(quantityId));
  const QString unit = FromModel(model.GetQuantityUnit(quantityId));
  if (!unit.isEmpty())
    name += " (" + unit + ")";
  return name;
}

TPlotAxisTitles TFTimePlot::GetAxisTitles()
{
  return AxisTitlesByUnit(Model, Settings, Tr("Вр. граф."));
}

double TFTimePlot::PlotValue(double value)
{
  if (std::isnan(value) || std::fabs(value) >= MissingValue)
    return MissingValue;
  if (std::fabs(value) < TinyValue)
    return 0;
  return value;
}

TPlotSeriesData TFTimePlot::GetSeriesData()
{
  if (!Model)
    return {};
  return SeriesOfAxes(SelectedSeries, Settings, [this](const TSeriesKey& key) {
    TPlotSeries plotted;
    plotted.style = {SeriesStyle::LineAndPoints, -30};
    const TTimeSerie* s = Model->FindSeries(key.quantityId, key.objectId);
    const int count = s ? s->GetCount() : 0;
    if (count < 1)
      return plotted;
    QString name = FromModel(s->name);
    if (!name.isEmpty())
      name += ", ";
    plotted.name = name + QuantityTitle(*Model, key.quantityId);
    plotted.x.reserve(count);
    plotted.y.reserve(count);
    for (int i = 0; i < count; ++i) {
      double t = 0, v = 0;
      s->GetPoint(i, t, v);
      plotted.x.push_back(PlotValue(t));
      plotted.y.push_back(PlotValue(v));
    }
    return plotted;
  });
}

void TFTimePlot::ClearAxis(int axis)
{
  if (axis == 0 || axis == 1)
    SelectedSeries[axis].clear();
}

bool TFTimePlot::IsSelected(const TSeriesKey& key) const
{
  return IsChosen(SelectedSeries, key);
}

void TFTimePlot::SelectSeries(const TSeriesKey& key)
{
  if (Model)
    SelectByUnit(SelectedSeries, Settings, Model->GetQuantityUnitCode(key.quantityId), key);
}

void TFTimePlot::DeselectSeries(const TSeriesKey& key)
{
  if (Model)
    DeselectByUnit(SelectedSeries, Settings, Model->GetQuantityUnitCode(key.quantityId), key);
}

void TFTimePlot::ValidateSelection()
{
  for (int k = 0; k < 2; ++k) {
    auto& list = SelectedSeries[k];
    if (!Model)
      list.clear();
    if (!list.empty())
      Settings.AxisQuantity[k] = Model->GetQuantityUnitCode(list.front().quantityId);
    const int code = Settings.AxisQuantity[k];
    std::erase_if(list, [&](const TSeriesKey& key) {
      return !Model->FindSeries(key.quantityId, key.objectId) || Model->GetQuantityUnitCode(key.quantityId) != code;
    });
    if (list.empty())
      Settings.AxisQuantity[k] = -1;
  }
}

void TFTimePlot::SeriesItemClick(const TSeriesKey& key)
{
  if (IsSelected(key))
    DeselectSeries(key);
  else
    SelectSeries(key);
  Refresh();
}

void TFTimePlot::BuildDataMenu(QMenu* menu)
{
  if (!ViewGis() || !Model)
    return;
  FixedItemCount = static_cast<int>(menu->actions().size());
  Model->SyncSeries();
  ValidateSelection();
  const int count = Model->GetSeriesCount();
  if (count > MaxMenuSeries)
    return;
  for (int i = 0; i < count; ++i)
    if (const TTimeSerie* series = Model->GetSeries(i)) {
      QStringList path;
      for (int level = 0; level < Model->GetSeriesMenuDepth(series); ++level)
        path << FromModel(Model->GetSeriesMenuCaption(series, level));
      const TSeriesKey key = KeyOf(*series);
      AddChoiceItem(menu, FixedItemCount, path, IsSelected(key), [this, key] { SeriesItemClick(key); });
    }
}

void TFTimePlot::ClearDataMenu(QMenu* menu)
{
  ClearChoiceItems(menu, FixedItemCount);
}

void TFTimePlot::SettingsToDialog()
{
  TFSimplePlot::SettingsToDialog();
  auto* dialog = static_cast<TFTimePlotOptions*>(OptionsForm);
  dialog->CBxstyle->setCurrentIndex(std::max(0, FindTimeUnitItem(dialog->CBxstyle, Settings.XUnit)));
}

void TFTimePlot::DialogToSettings()
{
  TFSimplePlot::DialogToSettings();
  const QComboBox* box = static_cast<TFTimePlotOptions*>(OptionsForm)->CBxstyle;
  if (box->currentIndex() < 0)
    return;
  Settings.XUnit = box->currentData().toInt();
  Settings.XDates = Settings.XUnit == DateUnit;
}

// The check list shows the series in the model's catalogue order, and the ticks
// are applied in that order: of two new units the one later in the catalogue
// ends on the left axis.
void TFTimePlot::PMIdataselectClick()
{
  if (!ViewGis() || !Model)
    return;
  TFSelectTimeSeries* dialog = FSelectTimeSeries();
  dialog->FillList(*Model, SelectedSeries);
  if (ModalCalls().ExecDialog(dialog) == QDialog::Accepted) {
    for (int k = 0; k < dialog->Lts->count(); ++k) {
      const QListWidgetItem* item = dialog->Lts->item(k);
      const TTimeSerie* series = Model->GetSeries(item->data(Qt::UserRole).toInt());
      if (!series)
        continue;
      const TSeriesKey key = KeyOf(*series);
      const bool checked = item->checkState() == Qt::Checked;
      if (IsSelected(key) && !checked)
        DeselectSeries(key);
      else if (!IsSelected(key) && checked)
        SelectSeries(key);
    }
  }
  Refresh();
}
