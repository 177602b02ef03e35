// The three-dimensional profile window over a real breakdown model: volumes of
// the model chosen from "Массивы", point objects from "Объекты" with the levels
// typed into the two input boxes, the profile down one column of cells, the
// levels proposed from path to path and window to window, and the record.

#include "ActingModalCalls.h"
#include "ModelRunSuite.h"
#include "PlotFixtures.h"

#include "plots/FormArray3DPlot.h"
#include "plots/FormArrayPlotOptions.h"

#include "base/ModalCalls.h"
#include "base/WindowKind.h"
#include "data/TextConversion.h"
#include "gis/GArray3D.h"
#include "gis/GIS.h"
#include "gis/GPoint.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>

#include <gtest/gtest.h>

namespace {

constexpr int CodePotential = 20001;

// The leaf of a data menu that stands for the object, at any depth.
QAction* LeafOf(QMenu* menu, int32_t id)
{
  for (QAction* item : menu->actions()) {
    if (item->menu()) {
      if (QAction* found = LeafOf(item->menu(), id))
        return found;
    } else if (item->data().toInt() == id) {
      return item;
    }
  }
  return nullptr;
}

QString Number(double value)
{
  return QString::fromStdString(FloatToStrGeneral(value));
}

class Array3DPlot : public TModelRunSuite<TFModel::StopOnEvent> {
protected:
  void SetUp() override
  {
    potential = dynamic_cast<TGArray3D*>(rig->gis.FindArrayByCode(CodePotential));
    ASSERT_NE(potential, nullptr);
    plot = std::make_unique<TFArray3DPlot>(nullptr, nullptr, &rig->gis);
    plot->resize(400, 300);
    TFArray3DPlot::LastStartLevel = 0;
    TFArray3DPlot::LastEndLevel = TFArray3DPlot::NotAsked;
  }
  void TearDown() override
  {
    plot.reset();
    for (int32_t id : points)
      rig->gis.DeleteObjectById(nullptr, id, true);
  }

  // A point at the centre of the potential's cell column (i, j).
  int32_t PointOverCell(const char* name, int i, int j)
  {
    auto point = std::make_unique<TGPoint>(&rig->gis);
    point->SetName(name);
    point->SetX(potential->GetX() + (i + 0.5) * potential->GetDX() / potential->GetNX());
    point->SetY(potential->GetY() + (j + 0.5) * potential->GetDY() / potential->GetNY());
    points.push_back(rig->gis.AddObject(nullptr, std::move(point), true));
    return points.back();
  }

  // Opens the popup and clicks the object's item in one of its data menus.
  void Choose(QMenu* TFArrayPlot::*menu, int32_t id)
  {
    emit plot->PMGraphic->aboutToShow();
    QAction* item = LeafOf(plot.get()->*menu, id);
    ASSERT_NE(item, nullptr) << id;
    item->trigger();
  }

  // The typed levels of a path through the whole depth of the potential.
  void ChooseThroughTheDepth(int32_t point)
  {
    const double top = potential->GetWorldZ(), depth = potential->GetWorldDepth();
    calls.inputAnswers = {Number(top + depth * 1e-6).replace('.', ','), Number(top + depth * (1 - 1e-6))};
    Choose(&TFArrayPlot::PMISections, point);
  }

  // The values of the window's first series, in data units, and the number of
  // points the chart drew for it.
  std::vector<double> ProfileValues() { return plot->GetSeriesData()[0].at(0).y; }
  size_t DrawnPoints()
  {
    const TChartSeries* s = NthSeries(plot->LastBuild(), SeriesTagData, 0, TChartSeriesKind::Line);
    return s ? s->points.size() : 0;
  }

  TScriptedModalCalls calls;
  TModalCallsScope scope{calls};
  TGArray3D* potential = nullptr;
  std::vector<int32_t> points;
  std::unique_ptr<TFArray3DPlot> plot;
};

TEST_F(Array3DPlot, AVerticalProfileReadsEveryLayerOfTheColumnUnderThePoint)
{
  EXPECT_EQ(plot->Tag(), WindowKindArray3DPlot);
  EXPECT_EQ(plot->PMISections->title(), QString::fromUtf8("Объекты"));
  const int i = potential->GetNX() / 2 + 1, j = potential->GetNY() / 2 - 1;
  const int32_t point = PointOverCell("скважина", i, j);
  // Points are listed under their layer, by name.
  emit plot->PMGraphic->aboutToShow();
  QAction* pointItem = LeafOf(plot->PMISections, point);
  ASSERT_NE(pointItem, nullptr);
  EXPECT_EQ(pointItem->text(), QString::fromUtf8("скважина"));
  auto* layer = qobject_cast<QMenu*>(pointItem->parent());
  ASSERT_NE(layer, nullptr);
  EXPECT_EQ(layer->title().toStdString(), rig->gis.FindObjectById(point)->GetTreePathText(0));
  Choose(&TFArrayPlot::PMIArrays, potential->GetId());
  ChooseThroughTheDepth(point);
  ASSERT_EQ(calls.inputs.size(), 2u);
  EXPECT_EQ(calls.inputs[0].caption, QString::fromUtf8("Начальная точка"));
  EXPECT_EQ(calls.inputs[1].caption, QString::fromUtf8("Конечная точка"));

  // Point sampling through the options dialog: one sample per cell layer.
  TActingModalCalls options;
  TModalCallsScope optionsScope(options);
  options.dialogAnswers = {QDialog::Accepted};
  options.whileShown = [](QDialog* shown) {
    static_cast<TFArrayPlotOptions*>(shown)->CBsmooth->setCurrentIndex(TFArrayPlot::SmoothPoint);
  };
  plot->PMIOptions->trigger();
  ASSERT_EQ(plot->Smoothing, TFArrayPlot::SmoothPoint);
  ASSERT_TRUE(plot->LastBuild().built);
  std::vector<double> column;
  for (int k = 0; k < potential->GetNZ(); ++k) {
    double value = 0;
    ASSERT_TRUE(potential->GetCellValue(i, j, k, value));
    column.push_back(value);
  }
  EXPECT_EQ(ProfileValues(), column);
  EXPECT_EQ(DrawnPoints(), column.size());
  EXPECT_DOUBLE_EQ(plot->Sections[0].startLevel, potential->GetWorldZ() + potential->GetWorldDepth() * 1e-6)
      << "a typed comma is a decimal separator";

  // Bilinear (trilinear) sampling: a sample for each of the window's steps.
  plot->Smoothing = TFArrayPlot::SmoothBilinear;
  plot->Refresh();
  EXPECT_EQ(ProfileValues().size(), static_cast<size_t>(plot->ProfileSteps() + 1));
  EXPECT_EQ(DrawnPoints(), ProfileValues().size());
  EXPECT_EQ(plot->LastBuild().bottom.title, QString::fromUtf8("Расстояние, ") +
                                                 QString::fromStdString(rig->gis.GetUnits()));
}

TEST_F(Array3DPlot, ArraysAreListedAlongTheirValueNamesAndPlaneArraysHaveNoVerticalPath)
{
  // A plane array over the model's plan, filed under a category of its own.
  auto owned = std::make_unique<TGArray>(&rig->gis, 4, 4, 0);
  owned->SetRelativeRect(potential->GetX(), potential->GetY(), potential->GetX() + potential->GetDX(),
                         potential->GetY() + potential->GetDY());
  owned->Fill(1);
  const std::vector<std::string> valueNames{"Пробные", "плоский"};
  owned->SetLevelNames(&valueNames);
  TGArray* plane = owned.get();
  points.push_back(rig->gis.AddObject(nullptr, std::move(owned), true));

  emit plot->PMGraphic->aboutToShow();
  QAction* planeItem = LeafOf(plot->PMIArrays, plane->GetId());
  ASSERT_NE(planeItem, nullptr);
  EXPECT_EQ(planeItem->text(), QString::fromUtf8("плоский"));
  auto* category = qobject_cast<QMenu*>(planeItem->parent());
  ASSERT_NE(category, nullptr);
  EXPECT_EQ(category->title(), QString::fromUtf8("Пробные"));
  EXPECT_EQ(category->parent(), plot->PMIArrays);
  QAction* potentialItem = LeafOf(plot->PMIArrays, potential->GetId());
  ASSERT_NE(potentialItem, nullptr);
  EXPECT_EQ(potentialItem->text().toStdString(), potential->GetTreePathText(potential->GetTreePathLength() - 1));

  const int32_t first = PointOverCell("первая", 1, 1);
  const int32_t second = PointOverCell("вторая", 2, 2);
  Choose(&TFArrayPlot::PMIArrays, potential->GetId());
  Choose(&TFArrayPlot::PMIArrays, plane->GetId());
  ChooseThroughTheDepth(first);
  ChooseThroughTheDepth(second);
  const TPlotSeriesData data = plot->GetSeriesData();
  std::vector<size_t> counts;
  for (const auto& axis : data)
    for (const TPlotSeries& s : axis)
      counts.push_back(s.y.size());
  ASSERT_EQ(counts.size(), 4u);
  EXPECT_EQ(std::count(counts.begin(), counts.end(), 0u), 2) << "the plane array along two point diagonals";
}

TEST_F(Array3DPlot, TheLevelsTypedLastAreProposedForTheNextPathAndTheNextWindow)
{
  const int32_t first = PointOverCell("первая", 1, 1);
  const int32_t second = PointOverCell("вторая", 2, 2);
  calls.inputAnswers = {QString("3"), QString("7,5")};
  Choose(&TFArrayPlot::PMISections, first);
  ASSERT_EQ(calls.inputs.size(), 2u);
  EXPECT_EQ(calls.inputs[0].text, "0") << "the first start proposed";
  EXPECT_EQ(calls.inputs[1].text, "3") << "the end proposes the start until one is typed";

  // The second path proposes the first one's levels; cancelling keeps them.
  calls.inputAnswers = {std::nullopt, std::nullopt};
  Choose(&TFArrayPlot::PMISections, second);
  ASSERT_EQ(calls.inputs.size(), 4u);
  EXPECT_EQ(calls.inputs[2].text, "3");
  EXPECT_EQ(calls.inputs[3].text, "7.5");
  ASSERT_EQ(plot->Sections.size(), 2u);
  EXPECT_EQ(plot->Sections[1].startLevel, 3);
  EXPECT_EQ(plot->Sections[1].endLevel, 7.5);

  // Of two chosen paths one goes without a question; the only one left is asked again.
  Choose(&TFArrayPlot::PMISections, first);
  EXPECT_EQ(calls.inputs.size(), 4u);
  ASSERT_EQ(plot->Sections.size(), 1u);
  calls.inputAnswers = {QString("-1"), QString("2")};
  Choose(&TFArrayPlot::PMISections, second);
  EXPECT_EQ(calls.inputs.size(), 6u);
  ASSERT_EQ(plot->Sections.size(), 1u);
  EXPECT_EQ(plot->Sections[0].objectId, second);
  EXPECT_EQ(plot->Sections[0].startLevel, -1);
  EXPECT_EQ(plot->Sections[0].endLevel, 2);

  TFArray3DPlot another(nullptr, nullptr, &rig->gis);
  TModalCallsScope anotherScope(calls);
  emit another.PMGraphic->aboutToShow();
  QAction* item = LeafOf(another.PMISections, first);
  ASSERT_NE(item, nullptr);
  item->trigger();
  ASSERT_EQ(calls.inputs.size(), 8u);
  EXPECT_EQ(calls.inputs[6].text, "-1");
  EXPECT_EQ(calls.inputs[7].text, "2");
}

TEST_F(Array3DPlot, ThePromptNamesDepthOrHeightAndTheVolumesRange)
{
  const struct {
    double z0, z1;
    const char* word;
  } cases[] = {{0, 100, "глубина"}, {50, -50, "высота"}};
  for (const auto& c : cases) {
    TGIS gis;
    gis.SetUnits("м");
    gis.SetTransform(0, 0, 1, 1, c.z0, c.z1);
    TFArray3DPlot window(nullptr, nullptr, &gis);
    EXPECT_EQ(window.LevelPrompt(), QString::fromUtf8(c.word) + QString::fromUtf8(" (м):"));
    auto volume = std::make_unique<TGArray3D>(&gis, 2, 2, 2, 0);
    volume->SetZ(0.25);
    volume->SetDZ(0.5);
    gis.AddObject(nullptr, std::move(volume), true);
    const QString top = Number(c.z0 + (c.z1 - c.z0) * 0.25), bottom = Number(c.z0 + (c.z1 - c.z0) * 0.75);
    EXPECT_EQ(window.LevelPrompt(),
              QString::fromUtf8(c.word) + " ( " + top + "  -  " + bottom + QString::fromUtf8(" м):"));
  }
}

TEST_F(Array3DPlot, TheRecordKeepsEachPathWithItsLevels)
{
  const int32_t first = PointOverCell("первая", 1, 1);
  const int32_t second = PointOverCell("вторая", 2, 2);
  Choose(&TFArrayPlot::PMIArrays, potential->GetId());
  calls.inputAnswers = {QString("0.5"), QString("1.25"), QString("-2"), QString("4")};
  Choose(&TFArrayPlot::PMISections, first);
  Choose(&TFArrayPlot::PMISections, second);
  plot->Smoothing = TFArrayPlot::SmoothNone;

  TFArray3DPlot loaded(nullptr, nullptr, &rig->gis);
  LoadRecord(loaded, SavedRecord(*plot));
  EXPECT_EQ(loaded.Smoothing, TFArrayPlot::SmoothNone);
  EXPECT_EQ(loaded.SelectedArrays[0], std::vector<int32_t>{potential->GetId()});
  ASSERT_EQ(loaded.Sections.size(), 2u);
  const double expected[2][3] = {{double(first), 0.5, 1.25}, {double(second), -2, 4}};
  for (int s = 0; s < 2; ++s) {
    EXPECT_EQ(loaded.Sections[s].objectId, expected[s][0]);
    EXPECT_EQ(loaded.Sections[s].startLevel, expected[s][1]);
    EXPECT_EQ(loaded.Sections[s].endLevel, expected[s][2]);
  }
  EXPECT_EQ(loaded.StartLevel, TFArray3DPlot::NotAsked) << "the proposals are not stored";
}

} // namespace
