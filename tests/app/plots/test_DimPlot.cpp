// The dimension plot over a real breakdown model: the structure's logged
// length against its size in millimetres, the engine's fitted line or the
// user's own from the options dialog, and the project record.

#include "ActingModalCalls.h"
#include "ModelRunSuite.h"

#include "plots/FormDimPlot.h"
#include "plots/FormDimPlotOptions.h"

#include "base/ModalCalls.h"
#include "base/WindowKind.h"
#include "data/Stream.h"
#include "data/TagStream.h"

#include <QCheckBox>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const double LnMm = std::log(1000.0);

class DimPlot : public TModelRunSuite<TFModel::StopOnEvent> {
protected:
  void SetUp() override
  {
    plot = std::make_unique<TFDimPlot>(nullptr, nullptr, &rig->gis, rig->model.get());
    plot->resize(500, 350);
  }
  void TearDown() override
  {
    // Cases that replace the tree put the run's tree back.
    rig->model->GetSnapshot().Publish(*rig->model->GetEngine(), rig->model->GetOutputQuantities());
  }

  const TChartSeries* Data(int n)
  {
    for (const TChartSeries& s : plot->LastBuild().series)
      if (s.tag == SeriesTagData && n-- == 0)
        return &s;
    return nullptr;
  }

  // Replaces the model's tree by nodes with these logged (ln R, ln L) pairs.
  void SetLogged(const std::vector<std::pair<double, double>>& pairs)
  {
    std::vector<TNode> nodes(pairs.size());
    for (size_t i = 0; i < pairs.size(); ++i) {
      nodes[i].lnR = pairs[i].first;
      nodes[i].lnL = pairs[i].second;
    }
    TTree tree{nodes.data(), static_cast<int32_t>(nodes.size()), static_cast<int32_t>(nodes.size())};
    ASSERT_TRUE(rig->model->GetSnapshot().SetTree(tree));
  }

  std::unique_ptr<TFDimPlot> plot;
};

TEST_F(DimPlot, TheRunsStructureWithTheEnginesFit)
{
  plot->Refresh();
  EXPECT_EQ(plot->Tag(), WindowKindDimPlot);
  ASSERT_TRUE(plot->LastBuild().built);
  const TEngineStatistics stats = rig->model->GetSnapshot().Statistics();
  EXPECT_EQ(stats.dimension, rig->model->GetEngine()->Dimension);
  EXPECT_EQ(stats.dimensionIntercept, rig->model->GetEngine()->DimensionIntercept);
  EXPECT_EQ(plot->LineSlope, stats.dimension);
  EXPECT_NEAR(plot->LineIntercept, stats.dimensionIntercept + (1 - stats.dimension) * LnMm, 1e-12);
  EXPECT_EQ(plot->LastBuild().bottom.title, QString::fromUtf8("Размер структуры, ln(мм)"));

  // The points are the logged pairs in millimetres, each within the structure.
  std::vector<QPointF> logged;
  rig->model->GetSnapshot().Read([&](const TTree& tree, const TEngineStatistics&) {
    for (int i = 0; i < tree.count; ++i)
      if (tree.nodes[i].lnR != 1e300)
        logged.emplace_back(tree.nodes[i].lnR + LnMm, tree.nodes[i].lnL + LnMm);
  });
  ASSERT_GT(logged.size(), 1u);
  EXPECT_EQ(plot->GetSeriesData()[0][0].x.front(), logged.front().x());
  EXPECT_EQ(plot->GetSeriesData()[0][0].y.back(), logged.back().y());
  const TChartSeries* line = Data(1);
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->title, QString(" %1 (d=%2)").arg(QString::fromUtf8("Аппроксимация")).arg(stats.dimension, 0, 'f', 3));
  EXPECT_EQ(line->points.size(), 2u);
}

TEST_F(DimPlot, UnloggedAndRepeatedPairs)
{
  const double none = 1e300;
  struct {
    std::vector<std::pair<double, double>> logged;
    std::vector<double> expectedX; // ln R + ln 1000 of the kept points
  } cases[] = {
      {{}, {}},
      {{{none, 0}, {-5, -4}}, {-5}},
      {{{-5, -4}, {-5, -4}, {-4, -3}, {-5, -4}}, {-5, -4, -5}},
  };
  for (const auto& c : cases) {
    SetLogged(c.logged);
    const TPlotSeriesData data = plot->GetSeriesData();
    std::vector<double> x;
    for (double v : data[0][0].x)
      x.push_back(v - LnMm);
    ASSERT_EQ(x.size(), c.expectedX.size());
    for (size_t i = 0; i < x.size(); ++i)
      EXPECT_NEAR(x[i], c.expectedX[i], 1e-12);
    EXPECT_EQ(data[0][1].x.size(), c.expectedX.size() > 1 ? 2u : 0u); // one point draws no line
  }
}

TEST_F(DimPlot, TheUsersLineFromTheOptionsDialog)
{
  SetLogged({{-6, -5}, {-5, -3}, {-4, -1}});
  TActingModalCalls calls;
  TModalCallsScope scope(calls);
  calls.dialogAnswers = {QDialog::Accepted};
  QString shownSlope;
  calls.whileShown = [&](QDialog* shown) {
    auto* d = static_cast<TFDimPlotOptions*>(shown);
    shownSlope = d->Ea->text();
    EXPECT_FALSE(d->Ea->isEnabled());
    d->CBcustom->setChecked(true);
    d->Ea->setText("2");
    d->Eb->setText("0");
  };
  plot->LineSlope = 1.234567;
  plot->PMIOptions->trigger();
  EXPECT_EQ(shownSlope, "1.235");
  ASSERT_TRUE(plot->CustomLine);
  const TChartSeries* line = Data(1);
  ASSERT_NE(line, nullptr);
  EXPECT_TRUE(line->title.endsWith("(d=2.000)"));
  const TPlotSeries fitted = plot->GetSeriesData()[0][1];
  ASSERT_EQ(fitted.x.size(), 2u);
  EXPECT_NEAR(fitted.x[0], -6 + LnMm, 1e-12);
  EXPECT_NEAR(fitted.y[0], 2 * fitted.x[0], 1e-12);
  EXPECT_NEAR(fitted.y[1], 2 * fitted.x[1], 1e-12);

  // Not a number: the line stays as it was, without a message.
  calls.dialogAnswers = {QDialog::Accepted};
  calls.whileShown = [&](QDialog* shown) {
    auto* d = static_cast<TFDimPlotOptions*>(shown);
    EXPECT_TRUE(d->Ea->isEnabled());
    d->Ea->setText("abc");
    d->Eb->setText("7");
  };
  plot->PMIOptions->trigger();
  EXPECT_EQ(plot->LineSlope, 2);
  EXPECT_EQ(plot->LineIntercept, 0);
  EXPECT_TRUE(calls.messages.empty());
}

TEST_F(DimPlot, TheLineComesBackFromTheProjectRecord)
{
  plot->CustomLine = true;
  plot->LineSlope = 1.5;
  plot->LineIntercept = -0.25;
  TFDimPlot loaded(nullptr, nullptr, &rig->gis, rig->model.get());
  LoadRecord(loaded, SavedRecord(*plot));
  EXPECT_TRUE(loaded.CustomLine);
  EXPECT_EQ(loaded.LineSlope, 1.5);
  EXPECT_EQ(loaded.LineIntercept, -0.25);
}

} // namespace
