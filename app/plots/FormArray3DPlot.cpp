#include "plots/FormArray3DPlot.h"

#include "base/Gisutils.h"
#include "base/ModalCalls.h"
#include "base/WindowKind.h"
#include "data/TagStream.h"
#include "data/TextConversion.h"
#include "gis/GArray3D.h"
#include "gis/GArrayI.h"
#include "gis/GIS.h"
#include "gis/GObj.h"
#include "gis/ObjectTypeCode.h"

#include <QAction>
#include <QMenu>

namespace {

QString Tr(const char* text)
{
  return QString::fromUtf8(text);
}

// Path objects are point-like: kind 1, and kind 2, which stored files may
// carry although no object class of the program makes it.
constexpr int32_t ShapePointLikeOther = 2;

} // namespace

TFArray3DPlot::TFArray3DPlot(TFMain* mainWindow, QWidget* owner, TGIS* gis) : TFArrayPlot(mainWindow, owner, gis)
{
  SetTag(WindowKindArray3DPlot);
  PMISections->setTitle(Tr("Объекты"));
}

void TFArray3DPlot::SaveToStream(TTagStream* stream)
{
  TFArrayPlot::SaveToStream(stream);
  stream->SetGroup(TagGroup::Array3DProfilePlot);
}

void TFArray3DPlot::LoadFromStream(TTagStream* stream)
{
  TFArrayPlot::LoadFromStream(stream);
  stream->SetGroup(TagGroup::Array3DProfilePlot);
}

void TFArray3DPlot::BuildSectionMenu()
{
  TGIS* gis = ViewGis();
  if (!gis)
    return;
  for (int i = 0; i < gis->GetObjectCount(); ++i) {
    const TGObj* object = gis->GetObject(i);
    if (!object || (object->GetShapeKind() != ShapePoint && object->GetShapeKind() != ShapePointLikeOther))
      continue;
    if (QAction* item = AddMenuItemsFromList(PMISections, *object, 0)) {
      item->setText(QString::fromStdString(object->GetName()));
      MakeSectionItem(item, object->GetId());
    }
  }
}

void TFArray3DPlot::GetSectionProfile(std::vector<double>& values, std::vector<double>& positions, int section,
                                      const TGArray& array) const
{
  const int32_t type = array.GetTypeCode();
  if (type == ObjectTypeArray || type == ObjectTypeArrayI) {
    TFArrayPlot::GetSectionProfile(values, positions, section, array);
    return;
  }
  values.clear();
  positions.clear();
  const TSection& record = Sections[section];
  const TGObj* path = ViewGis() ? ViewGis()->FindObjectById(record.objectId) : nullptr;
  if (!path)
    return;
  double x1 = path->GetWorldX(), y1 = path->GetWorldY(), z1 = record.startLevel;
  double x2 = x1 + path->GetWorldWidth(), y2 = y1 + path->GetWorldHeight(), z2 = record.endLevel;
  int n = ProfileSteps();
  bool made = false;
  if (const auto* volume = dynamic_cast<const TGArray3D*>(&array); volume && type == ObjectTypeArray3D)
    made = volume->GetProfile(x1, y1, z1, x2, y2, z2, n, values, positions, Smoothing);
  else if (const auto* mesh = dynamic_cast<const TGArrayI*>(&array); mesh && type == ObjectTypeArrayI3D)
    made = mesh->GetProfile(x1, y1, z1, x2, y2, z2, n, values, positions, Smoothing);
  if (!made) {
    values.clear();
    positions.clear();
  }
}

QString TFArray3DPlot::LevelPrompt() const
{
  const TGIS* gis = ViewGis();
  if (!gis)
    return {};
  const QString word = gis->GetScaleZ() > 0 ? Tr("глубина") : Tr("высота");
  QString range;
  if (const TGObj* volume = gis->GetObjectOfType(0, ObjectTypeArray3D)) {
    const double top = volume->GetWorldZ();
    range = " " + QString::fromStdString(FloatToStrSep(top, ffGeneral, 6, 0)) + "  -  " +
            QString::fromStdString(FloatToStrSep(top + volume->GetWorldDepth(), ffGeneral, 6, 0)) + " ";
  }
  return word + " (" + range + QString::fromStdString(gis->GetUnits()) + "):";
}

// A cancelled input keeps the proposed level, as the input box returns its
// default text then.
double TFArray3DPlot::AskLevel(const QString& caption, const QString& prompt, double proposed)
{
  const QString shown = QString::fromStdString(FloatToStrGeneral(proposed));
  const std::optional<QString> answer = ModalCalls().InputBox(this, caption, prompt, shown);
  return StrToFloatAny((answer ? *answer : shown).toStdString());
}

void TFArray3DPlot::SectionItemClick(int32_t objectId)
{
  const int index = FindSection(objectId);
  if (index >= 0 && Sections.size() > 1) {
    Sections.erase(Sections.begin() + index);
    Refresh();
    return;
  }
  if (!ViewGis() || !ViewGis()->FindObjectById(objectId)) {
    Refresh();
    return;
  }
  const QString prompt = LevelPrompt();
  if (StartLevel == NotAsked)
    StartLevel = LastStartLevel;
  StartLevel = LastStartLevel = AskLevel(Tr("Начальная точка"), prompt, StartLevel);
  if (EndLevel == NotAsked)
    EndLevel = LastEndLevel;
  if (EndLevel == NotAsked)
    EndLevel = StartLevel;
  EndLevel = LastEndLevel = AskLevel(Tr("Конечная точка"), prompt, EndLevel);
  if (index >= 0) {
    Sections[index].startLevel = StartLevel;
    Sections[index].endLevel = EndLevel;
  } else {
    Sections.push_back({objectId, StartLevel, EndLevel});
  }
  Refresh();
}
