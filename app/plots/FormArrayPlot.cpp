#include "plots/FormArrayPlot.h"

#include "plots/FormArrayPlotOptions.h"
#include "plots/FormTimePlot.h"

#include "base/Gisutils.h"
#include "base/WindowKind.h"
#include "data/TagStream.h"
#include "gis/GArray.h"
#include "gis/GIS.h"
#include "gis/GObj.h"
#include "model/FormModel.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>

#include <algorithm>
#include <cstring>

namespace {

QString Tr(const char* text)
{
  return QString::fromUtf8(text);
}

QString FromGis(const std::string& text)
{
  return QString::fromStdString(text);
}

void SaveIdList(TTagStream& stream, const std::vector<int32_t>& ids, int32_t recordId)
{
  std::vector<std::vector<uint8_t>> items;
  for (int32_t id : ids) {
    std::vector<uint8_t> item(sizeof id);
    std::memcpy(item.data(), &id, sizeof id);
    items.push_back(std::move(item));
  }
  stream.WriteRecordList(items, sizeof(int32_t), recordId);
}

void LoadIdList(TTagStream& stream, std::vector<int32_t>& ids, int32_t recordId)
{
  std::vector<std::vector<uint8_t>> items;
  stream.ReadRecordList(items, sizeof(int32_t), recordId);
  for (const auto& item : items) {
    int32_t id = 0;
    std::memcpy(&id, item.data(), std::min(item.size(), sizeof id));
    ids.push_back(id);
  }
}

constexpr size_t SectionRecordWithLevels = sizeof(int32_t) + 2 * sizeof(double);

void ClearSubMenu(QMenu* menu)
{
  for (QAction* action : menu->actions()) {
    menu->removeAction(action);
    if (QMenu* sub = action->menu())
      sub->deleteLater();
    action->deleteLater();
  }
}

} // namespace

TFArrayPlot::TFArrayPlot(TFMain* mainWindow, QWidget* owner, TGIS* gis) : TFSimplePlot(mainWindow, owner)
{
  SetTag(WindowKindArrayPlot);
  SetGIS(gis);
  Settings.AxisQuantity = {-1, -1};
  OptionsForm = FArrayPlotOptions();
  PMIArrays = new QMenu(Tr("Массивы"), PMGraphic);
  PMIArrays->setObjectName("PMIArrays");
  PMGraphic->insertMenu(PMGraphic->actions().value(0), PMIArrays);
  PMISections = new QMenu(Tr("Сечения"), PMGraphic);
  PMISections->setObjectName("PMISections");
  PMGraphic->insertMenu(PMGraphic->actions().value(0), PMISections);
  MarkReady();
}

TFArrayPlot::~TFArrayPlot() = default;

void TFArrayPlot::SaveToStream(TTagStream* stream)
{
  TFSimplePlot::SaveToStream(stream);
  stream->SetGroup(TagGroup::ArrayProfilePlot);
  SaveSections(stream->BeginBlock());
  stream->EndBlock(0);
  stream->WriteInt(Smoothing, 1);
  SaveIdList(*stream, SelectedArrays[0], 2);
  SaveIdList(*stream, SelectedArrays[1], 3);
}

void TFArrayPlot::LoadFromStream(TTagStream* stream)
{
  TFSimplePlot::LoadFromStream(stream);
  stream->SetGroup(TagGroup::ArrayProfilePlot);
  Sections.clear();
  if (TMemoryStream* block = stream->OpenBlock(0)) {
    LoadSections(block);
    stream->CloseBlock();
  }
  stream->Read(Smoothing, 1);
  LoadIdList(*stream, SelectedArrays[0], 2);
  LoadIdList(*stream, SelectedArrays[1], 3);
}

// Records are packed: the id, then (3D window) the start and end level.
void TFArrayPlot::SaveSections(TMemoryStream* stream) const
{
  const int size = SectionRecordSize();
  std::vector<std::vector<uint8_t>> items;
  for (const TSection& s : Sections) {
    std::vector<uint8_t> item(static_cast<size_t>(size));
    std::memcpy(item.data(), &s.objectId, sizeof s.objectId);
    if (size >= SectionRecordWithLevels) {
      std::memcpy(item.data() + 4, &s.startLevel, sizeof s.startLevel);
      std::memcpy(item.data() + 12, &s.endLevel, sizeof s.endLevel);
    }
    items.push_back(std::move(item));
  }
  TTagStream nested(stream, TagStreamWrite);
  nested.WriteRecordList(items, size, 0);
}

void TFArrayPlot::LoadSections(TMemoryStream* stream)
{
  const int size = SectionRecordSize();
  std::vector<std::vector<uint8_t>> items;
  {
    TTagStream nested(stream, TagStreamRead);
    nested.ReadRecordList(items, size, 0);
  }
  for (const auto& item : items) {
    if (item.size() < sizeof(int32_t))
      continue;
    TSection s;
    std::memcpy(&s.objectId, item.data(), sizeof s.objectId);
    if (size >= SectionRecordWithLevels && item.size() >= SectionRecordWithLevels) {
      std::memcpy(&s.startLevel, item.data() + 4, sizeof s.startLevel);
      std::memcpy(&s.endLevel, item.data() + 12, sizeof s.endLevel);
    }
    Sections.push_back(s);
  }
}

void TFArrayPlot::ObjectDeleted(void*, int32_t objectId)
{
  if (FindSection(objectId) >= 0)
    close();
}

TPlotXAxis TFArrayPlot::GetXAxis()
{
  const QString units = ViewGis() ? FromGis(ViewGis()->GetUnits()) : QString();
  return {Tr("Расстояние") + ", " + units, 0, 1};
}

bool TFArrayPlot::HasData()
{
  if (!ViewGis())
    return false;
  DropMissingSections();
  ValidateArrays();
  CompactAxes(SelectedArrays, Settings);
  return Settings.AxisQuantity[0] >= 0 && !Sections.empty();
}

void TFArrayPlot::GetDefaultTitles(QString& title, QString& caption)
{
  title = Tr("Нажмите правую кнопку мыши для выбора данных");
  caption = Tr("Профиль");
}

TPlotAxisTitles TFArrayPlot::GetAxisTitles()
{
  return AxisTitlesByUnit(ViewGis() ? ViewGis()->GetModel() : nullptr, Settings, Tr("Профиль"));
}

TPlotSeriesData TFArrayPlot::GetSeriesData()
{
  TPlotSeriesData data;
  for (int k = 0; k < 2; ++k) {
    if (Settings.AxisQuantity[k] < 0)
      continue;
    for (int32_t arrayId : SelectedArrays[k])
      for (int s = 0; s < static_cast<int>(Sections.size()); ++s) {
        TPlotSeries series;
        series.style = {SeriesStyle::LineAndPoints, -30};
        const TGArray* array = FindArray(arrayId);
        const TGObj* section = ViewGis()->FindObjectById(Sections[s].objectId);
        if (array && section) {
          GetSectionProfile(series.y, series.x, s, *array);
          series.name = FromGis(section->GetTypeName()) + " " + FromGis(section->GetName()) + ", " +
                        FromGis(array->GetName()) + " (" + FromGis(array->GetUnitText()) + ")";
        }
        data[k].push_back(std::move(series));
      }
  }
  return data;
}

int TFArrayPlot::ProfileSteps() const
{
  // A window not yet laid out has no width; one step still gives a profile
  // (its two ends) instead of a division by zero in the array's sampling.
  return std::max(1, frameGeometry().width());
}

void TFArrayPlot::GetSectionProfile(std::vector<double>& values, std::vector<double>& positions, int section,
                                    const TGArray& array) const
{
  values.clear();
  positions.clear();
  const TGObj* path = ViewGis() ? ViewGis()->FindObjectById(Sections[section].objectId) : nullptr;
  if (!path)
    return;
  double x1 = path->GetWorldX(), y1 = path->GetWorldY();
  double x2 = x1 + path->GetWorldWidth(), y2 = y1 + path->GetWorldHeight();
  int n = ProfileSteps();
  if (!array.GetProfile(x1, y1, x2, y2, n, values, positions, Smoothing)) {
    values.clear();
    positions.clear();
  }
}

void TFArrayPlot::BuildDataMenu(QMenu*)
{
  BuildArrayMenu();
  BuildSectionMenu();
}

void TFArrayPlot::ClearDataMenu(QMenu*)
{
  ClearSubMenu(PMIArrays);
  ClearSubMenu(PMISections);
}

void TFArrayPlot::BuildArrayMenu()
{
  TGIS* gis = ViewGis();
  if (!gis)
    return;
  for (int i = 0; i < gis->GetObjectCount(); ++i) {
    const TGObj* object = gis->GetObject(i);
    if (!object || !object->IsArray())
      continue;
    const int32_t id = object->GetId();
    QAction* item = AddMenuItemsFromList(PMIArrays, *object, 1);
    if (!item)
      continue;
    item->setCheckable(true);
    item->setChecked(IsArraySelected(id));
    connect(item, &QAction::triggered, this, [this, id] { ArrayItemClick(id); });
  }
}

void TFArrayPlot::BuildSectionMenu()
{
  TGIS* gis = ViewGis();
  if (!gis)
    return;
  for (int i = 0; const TGObj* object = gis->GetObjectOfType(i, SectionTypeCode); ++i) {
    QAction* item = PMISections->addAction(FromGis(object->GetName()));
    MakeSectionItem(item, object->GetId());
  }
}

QAction* TFArrayPlot::MakeSectionItem(QAction* item, int32_t objectId)
{
  item->setData(objectId);
  item->setCheckable(true);
  item->setChecked(FindSection(objectId) >= 0);
  connect(item, &QAction::triggered, this, [this, objectId] { SectionItemClick(objectId); });
  return item;
}

int TFArrayPlot::FindSection(int32_t objectId) const
{
  for (int i = 0; i < static_cast<int>(Sections.size()); ++i)
    if (Sections[i].objectId == objectId)
      return i;
  return -1;
}

void TFArrayPlot::DropMissingSections()
{
  TGIS* gis = ViewGis();
  std::erase_if(Sections, [gis](const TSection& s) { return !gis || !gis->FindObjectById(s.objectId); });
}

TGArray* TFArrayPlot::FindArray(int32_t objectId) const
{
  TGObj* object = ViewGis() ? ViewGis()->FindObjectById(objectId) : nullptr;
  return object && object->IsArray() ? dynamic_cast<TGArray*>(object) : nullptr;
}

int32_t TFArrayPlot::ArrayAxisCode(int32_t objectId) const
{
  const TGObj* object = ViewGis() ? ViewGis()->FindObjectById(objectId) : nullptr;
  const TFModel* model = ViewGis() ? ViewGis()->GetModel() : nullptr;
  if (!object || !model || object->GetCode() <= 0)
    return 0;
  return std::max(0, model->GetQuantityUnitCode(object->GetCode()));
}

bool TFArrayPlot::IsArraySelected(int32_t objectId) const
{
  return std::ranges::count(SelectedArrays[0], objectId) + std::ranges::count(SelectedArrays[1], objectId) > 0;
}

void TFArrayPlot::SelectArray(int32_t objectId)
{
  SelectByUnit(SelectedArrays, Settings, ArrayAxisCode(objectId), objectId);
}

void TFArrayPlot::DeselectArray(int32_t objectId)
{
  for (int k = 0; k < 2; ++k) {
    auto& list = SelectedArrays[k];
    if (auto it = std::ranges::find(list, objectId); it != list.end())
      list.erase(it);
    if (list.empty())
      Settings.AxisQuantity[k] = -1;
  }
}

void TFArrayPlot::ValidateArrays()
{
  for (int k = 0; k < 2; ++k) {
    auto& list = SelectedArrays[k];
    const int32_t code = list.empty() ? -1 : ArrayAxisCode(list.front());
    std::erase_if(list, [&](int32_t id) { return !FindArray(id) || ArrayAxisCode(id) != code; });
    if (list.empty())
      Settings.AxisQuantity[k] = -1;
  }
}

void TFArrayPlot::ArrayItemClick(int32_t objectId)
{
  if (IsArraySelected(objectId))
    DeselectArray(objectId);
  else
    SelectArray(objectId);
  Refresh();
}

// The last section stays: a profile window always keeps a path once it has one.
void TFArrayPlot::SectionItemClick(int32_t objectId)
{
  const int index = FindSection(objectId);
  if (index >= 0 && Sections.size() > 1)
    Sections.erase(Sections.begin() + index);
  else if (index < 0 && ViewGis() && ViewGis()->FindObjectById(objectId))
    Sections.push_back({objectId});
  Refresh();
}

void TFArrayPlot::SettingsToDialog()
{
  TFSimplePlot::SettingsToDialog();
  static_cast<TFArrayPlotOptions*>(OptionsForm)->CBsmooth->setCurrentIndex(Smoothing);
}

void TFArrayPlot::DialogToSettings()
{
  TFSimplePlot::DialogToSettings();
  const int index = static_cast<TFArrayPlotOptions*>(OptionsForm)->CBsmooth->currentIndex();
  if (index >= 0)
    Smoothing = index;
}
