#include "plots/FormDimPlot.h"

#include "plots/FormDimPlotOptions.h"

#include "base/WindowKind.h"
#include "data/TagStream.h"
#include "data/TextConversion.h"
#include "model/FormBitModel.h"

#include <QCheckBox>
#include <QLineEdit>

#include <cmath>
#include <optional>

namespace {

constexpr uint32_t DimPlotGradientEnd = 15782620; // RGB 220, 210, 240
constexpr double NotLogged = 1e300;
const double LnMillimetresPerMetre = std::log(1000.0);

QString Tr(const char* text)
{
  return QString::fromUtf8(text);
}

std::optional<double> ReadNumber(const QLineEdit* edit)
{
  bool ok = false;
  const double value = edit->text().trimmed().replace(',', '.').toDouble(&ok);
  return ok ? std::optional<double>(value) : std::nullopt;
}

// The logged (ln R, ln L) of the tree's elements in millimetres; a run of equal
// pairs gives one point.
void AddStructurePoints(const TTree& tree, TPlotSeries& points)
{
  bool any = false;
  double lastR = 0, lastL = 0;
  for (int i = 0; i < tree.count; ++i) {
    const TNode& node = tree.nodes[i];
    if (node.lnR == NotLogged || (any && node.lnR == lastR && node.lnL == lastL))
      continue;
    any = true;
    lastR = node.lnR;
    lastL = node.lnL;
    points.x.push_back(node.lnR + LnMillimetresPerMetre);
    points.y.push_back(node.lnL + LnMillimetresPerMetre);
  }
}

} // namespace

TFDimPlot::TFDimPlot(TFMain* mainWindow, QWidget* owner, TGIS* gis, TFModel* model)
    : TFSimplePlot(mainWindow, owner)
{
  SetTag(WindowKindDimPlot);
  SetGIS(gis);
  SetModel(model);
  Settings.GradientEnd = DimPlotGradientEnd;
  OptionsForm = FDimPlotOptions();
  MarkReady();
}

void TFDimPlot::SetModel(TFModel* model)
{
  Model = dynamic_cast<TFBitModel*>(model);
}

void TFDimPlot::SaveToStream(TTagStream* stream)
{
  TFSimplePlot::SaveToStream(stream);
  stream->SetGroup(TagGroup::DimensionPlot);
  stream->WriteDouble(LineSlope);
  stream->WriteDouble(LineIntercept);
  stream->WriteBool(CustomLine);
}

void TFDimPlot::LoadFromStream(TTagStream* stream)
{
  TFSimplePlot::LoadFromStream(stream);
  stream->SetGroup(TagGroup::DimensionPlot);
  stream->Read(LineSlope);
  stream->Read(LineIntercept);
  stream->Read(CustomLine);
}

TPlotXAxis TFDimPlot::GetXAxis()
{
  return {Tr("Размер структуры, ln(мм)"), 0, 1};
}

bool TFDimPlot::HasData()
{
  return ViewGis() && Model;
}

void TFDimPlot::GetDefaultTitles(QString& title, QString& caption)
{
  title = Tr("Размерность структуры");
  caption = title;
}

TPlotAxisTitles TFDimPlot::GetAxisTitles()
{
  TPlotAxisTitles titles;
  titles.caption = Tr("Размерность структуры");
  titles.used = {true, false};
  titles.names[0] = Tr("Длина структуры, ln(мм)");
  return titles;
}

TPlotSeriesData TFDimPlot::GetSeriesData()
{
  TPlotSeriesData data;
  if (!Model)
    return data;
  TPlotSeries points;
  points.name = Tr("Моделирование");
  points.style = {SeriesStyle::Points, 1};
  double dimension = 0, intercept = 0;
  Model->GetSnapshot().Read([&](const TTree& tree, const TEngineStatistics& statistics) {
    AddStructurePoints(tree, points);
    dimension = statistics.dimension;
    intercept = statistics.dimensionIntercept;
  });
  if (!CustomLine) {
    LineSlope = dimension;
    LineIntercept = intercept + (1 - dimension) * LnMillimetresPerMetre;
  }
  TPlotSeries line;
  line.name = QString(" %1 (d=%2)").arg(Tr("Аппроксимация")).arg(LineSlope, 0, 'f', 3);
  line.style = {SeriesStyle::Line, 1};
  if (points.x.size() > 1) {
    for (double x : {points.x.front(), points.x.back()}) {
      line.x.push_back(x);
      line.y.push_back(LineSlope * x + LineIntercept);
    }
  }
  data[0].push_back(std::move(points));
  data[0].push_back(std::move(line));
  return data;
}

void TFDimPlot::SettingsToDialog()
{
  TFSimplePlot::SettingsToDialog();
  auto* dialog = static_cast<TFDimPlotOptions*>(OptionsForm);
  dialog->CBcustom->setChecked(CustomLine);
  dialog->CBcustomClick();
  dialog->Ea->setText(QString::fromStdString(FloatToStrSep(LineSlope, ffGeneral, 4, 0)));
  dialog->Eb->setText(QString::fromStdString(FloatToStrSep(LineIntercept, ffGeneral, 4, 0)));
}

void TFDimPlot::DialogToSettings()
{
  TFSimplePlot::DialogToSettings();
  auto* dialog = static_cast<TFDimPlotOptions*>(OptionsForm);
  CustomLine = dialog->CBcustom->isChecked();
  if (!CustomLine)
    return;
  const std::optional<double> slope = ReadNumber(dialog->Ea);
  if (!slope)
    return;
  LineSlope = *slope;
  if (const std::optional<double> intercept = ReadNumber(dialog->Eb))
    LineIntercept = *intercept;
}
