// The time plot over a real breakdown model run on a small lattice: series
// chosen through the popup menu and the "Данные ..." check list, their axes by
// unit, the time axis in each unit, missing values, and the project record.

#include "ActingModalCalls.h"
#include "ModelRunSuite.h"

#include "plots/FormSelectTimeSeries.h"
#include "plots/FormTimePlot.h"
#include "plots/FormTimePlotOptions.h"

#include "base/ModalCalls.h"
#include "base/WindowKind.h"
#include "data/Stream.h"
#include "data/TagStream.h"
#include "data/TimeSerie.h"

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>

namespace {

class TimePlot : public TModelRunSuite<TFModel::StopAtTime, 40> {
protected:
  void SetUp() override
  {
    plot = std::make_unique<TFTimePlot>(nullptr, nullptr, &rig->gis, rig->model.get());
    plot->resize(500, 350);
  }

  TFModel& Model() { return *rig->model; }

  // The first series of each unit, in catalogue order.
  std::vector<TSeriesKey> SeriesOfDistinctUnits()
  {
    std::vector<TSeriesKey> keys;
    std::map<int, bool> seen;
    for (int i = 0; i < Model().GetSeriesCount(); ++i) {
      const TTimeSerie* s = Model().GetSeries(i);
      const int unit = Model().GetQuantityUnitCode(s->quantityId);
      if (unit >= 0 && s->GetCount() > 1 && !seen[unit]) {
        seen[unit] = true;
        keys.push_back(KeyOf(*s));
      }
    }
    return keys;
  }

  int Unit(const TSeriesKey& key) { return Model().GetQuantityUnitCode(key.quantityId); }

  // The popup's series item of a key, found along its menu path.
  QAction* MenuItem(const TSeriesKey& key)
  {
    plot->PMGraphicPopup();
    const TTimeSerie* s = Model().FindSeries(key.quantityId, key.objectId);
    QMenu* menu = plot->PMGraphic;
    const int depth = Model().GetSeriesMenuDepth(s);
    for (int level = 0; level < depth; ++level) {
      const QString caption = QString::fromStdString(Model().GetSeriesMenuCaption(s, level));
      QAction* found = nullptr;
      for (QAction* item : menu->actions())
        if (item->text() == caption)
          found = item;
      if (!found)
        return nullptr;
      if (level == depth - 1)
        return found;
      menu = found->menu();
      if (!menu)
        return nullptr;
    }
    return nullptr;
  }

  void ClickMenu(const TSeriesKey& key)
  {
    QAction* item = MenuItem(key);
    ASSERT_NE(item, nullptr);
    item->trigger();
  }

  std::unique_ptr<TFTimePlot> plot;
};

TEST_F(TimePlot, EmptyUntilChosenAndTheNewUnitTakesTheLeftAxis)
{
  plot->Refresh();
  EXPECT_FALSE(plot->LastBuild().built);
  EXPECT_EQ(plot->Tag(), WindowKindTimePlot);

  const std::vector<TSeriesKey> keys = SeriesOfDistinctUnits();
  ASSERT_GE(keys.size(), 3u);
  ClickMenu(keys[0]);
  EXPECT_TRUE(plot->LastBuild().built);
  EXPECT_EQ(plot->Settings.AxisQuantity[0], Unit(keys[0]));

  ClickMenu(keys[1]);
  EXPECT_EQ(plot->SelectedSeries[0], std::vector<TSeriesKey>{keys[1]});
  EXPECT_EQ(plot->SelectedSeries[1], std::vector<TSeriesKey>{keys[0]});
  EXPECT_EQ(plot->Settings.AxisQuantity[1], Unit(keys[0]));
  EXPECT_TRUE(plot->LastBuild().y[1].visible);

  // A third unit: the second moves right with the left axis' manual limits,
  // the first is no longer shown.
  plot->Settings.AutoY = {false, false};
  plot->Settings.YMin[0] = -7;
  plot->Settings.YMax[0] = 7;
  ClickMenu(keys[2]);
  EXPECT_EQ(plot->SelectedSeries[0], std::vector<TSeriesKey>{keys[2]});
  EXPECT_EQ(plot->SelectedSeries[1], std::vector<TSeriesKey>{keys[1]});
  EXPECT_EQ(plot->Settings.YMin[1], -7);
  EXPECT_EQ(plot->Settings.YMax[1], 7);
  EXPECT_FALSE(MenuItem(keys[0])->isChecked());
  EXPECT_TRUE(MenuItem(keys[1])->isChecked());

  // Taking the left axis' only series off moves the right axis over.
  ClickMenu(keys[2]);
  EXPECT_EQ(plot->SelectedSeries[0], std::vector<TSeriesKey>{keys[1]});
  EXPECT_EQ(plot->Settings.AxisQuantity[1], -1);
  EXPECT_FALSE(plot->LastBuild().y[1].visible);
}

TEST_F(TimePlot, TheMenuKeepsItsFixedItemsAfterTheSeriesAndRebuildsWithoutDuplicates)
{
  plot->PMGraphicPopup();
  const qsizetype withSeries = plot->PMGraphic->actions().size();
  EXPECT_EQ(plot->PMGraphic->actions().last(), plot->PMIRedraw);
  plot->PMGraphicPopup();
  EXPECT_EQ(plot->PMGraphic->actions().size(), withSeries);
  plot->ClearDataMenu(plot->PMGraphic);
  EXPECT_EQ(plot->PMGraphic->actions().size(), plot->FixedItemCount);
  EXPECT_EQ(plot->PMGraphic->actions().first(), plot->PMIdataselect);
}

TEST_F(TimePlot, CheckListAndMenuAgree)
{
  const std::vector<TSeriesKey> keys = SeriesOfDistinctUnits();
  ASSERT_GE(keys.size(), 2u);
  ClickMenu(keys[0]);

  TActingModalCalls calls;
  TModalCallsScope scope(calls);
  std::vector<TSeriesKey> ticked;
  calls.dialogAnswers = {QDialog::Accepted};
  calls.whileShown = [&](QDialog* shown) {
    auto* list = static_cast<TFSelectTimeSeries*>(shown)->Lts;
    EXPECT_EQ(list->count(), Model().GetSeriesCount());
    for (int k = 0; k < list->count(); ++k) {
      const TTimeSerie* s = Model().GetSeries(list->item(k)->data(Qt::UserRole).toInt());
      EXPECT_EQ(list->item(k)->text(), SeriesCaption(Model(), *s));
      if (list->item(k)->checkState() == Qt::Checked)
        ticked.push_back(KeyOf(*s));
      if (KeyOf(*s) == keys[1])
        list->item(k)->setCheckState(Qt::Checked);
    }
  };
  plot->PMIdataselect->trigger();
  EXPECT_EQ(ticked, std::vector<TSeriesKey>{keys[0]});
  EXPECT_TRUE(MenuItem(keys[1])->isChecked());
  EXPECT_TRUE(MenuItem(keys[0])->isChecked());
  EXPECT_EQ(plot->SelectedSeries[0], std::vector<TSeriesKey>{keys[1]});

  // A series on the right axis is ticked like one on the left; "Отмена" changes nothing.
  calls.dialogAnswers = {QDialog::Rejected};
  calls.whileShown = [&](QDialog* shown) {
    auto* list = static_cast<TFSelectTimeSeries*>(shown)->Lts;
    int checked = 0;
    for (int k = 0; k < list->count(); ++k) {
      checked += list->item(k)->checkState() == Qt::Checked;
      list->item(k)->setCheckState(Qt::Unchecked);
    }
    EXPECT_EQ(checked, 2);
  };
  plot->PMIdataselect->trigger();
  EXPECT_EQ(plot->SelectedSeries[0], std::vector<TSeriesKey>{keys[1]});
  EXPECT_EQ(plot->SelectedSeries[1], std::vector<TSeriesKey>{keys[0]});
}

// The list is in catalogue order and its ticks are applied in that order: of
// two new units ticked at once, the later one in the catalogue takes the left axis.
TEST_F(TimePlot, TicksApplyInCatalogueOrder)
{
  const std::vector<TSeriesKey> keys = SeriesOfDistinctUnits();
  ASSERT_GE(keys.size(), 2u);
  TActingModalCalls calls;
  TModalCallsScope scope(calls);
  calls.dialogAnswers = {QDialog::Accepted};
  calls.whileShown = [&](QDialog* shown) {
    auto* list = static_cast<TFSelectTimeSeries*>(shown)->Lts;
    for (int k = 0; k < list->count(); ++k) {
      EXPECT_EQ(list->item(k)->data(Qt::UserRole).toInt(), k);
      const TSeriesKey key = KeyOf(*Model().GetSeries(k));
      if (key == keys[0] || key == keys[1])
        list->item(k)->setCheckState(Qt::Checked);
    }
  };
  plot->PMIdataselect->trigger();
  EXPECT_EQ(plot->SelectedSeries[0], std::vector<TSeriesKey>{keys[1]});
  EXPECT_EQ(plot->SelectedSeries[1], std::vector<TSeriesKey>{keys[0]});
}

TEST_F(TimePlot, ChoicesTheModelNoLongerHasAreDroppedAtTheNextBuild)
{
  const std::vector<TSeriesKey> keys = SeriesOfDistinctUnits();
  ASSERT_GE(keys.size(), 2u);
  ClickMenu(keys[0]);
  ClickMenu(keys[1]);
  plot->SelectedSeries[1].push_back({987654, 0}); // a quantity the model lacks
  plot->SelectedSeries[0].push_back(keys[0]);     // a key of the other unit
  plot->Refresh();
  EXPECT_EQ(plot->SelectedSeries[0], std::vector<TSeriesKey>{keys[1]});
  EXPECT_EQ(plot->SelectedSeries[1], std::vector<TSeriesKey>{keys[0]});

  plot->SetModel(nullptr);
  plot->Refresh();
  EXPECT_FALSE(plot->LastBuild().built);
  plot->SetModel(rig->model.get());
}

struct TUnitCase {
  int code;
  const char* title;
  double factor;
};

TEST_F(TimePlot, TheTimeAxisInEachUnitChosenInTheOptionsDialog)
{
  const std::vector<TSeriesKey> keys = SeriesOfDistinctUnits();
  ClickMenu(keys[0]);
  const TTimeSerie* s = Model().FindSeries(keys[0].quantityId, keys[0].objectId);
  double t = 0, v = 0;
  s->GetPoint(s->GetCount() - 1, t, v);
  const double start = Model().GetStartTime();

  const TUnitCase cases[] = {
      {250, "Время, нс", 1e9},          {240, "Время, мкс", 1e6},     {230, "Время, мс", 1e3},
      {220, "Время, c", 1},             {210, "Время, мин.", 1.0 / 60}, {200, "Время, ч.", 1.0 / 3600},
      {100, "Время, дни", 1.0 / 86400}, {110, "Время, месяцы", 1.0 / 2629800},
      {120, "Время, лет", 1.0 / 31557600},
  };
  TActingModalCalls calls;
  TModalCallsScope scope(calls);
  for (const TUnitCase& c : cases) {
    calls.dialogAnswers = {QDialog::Accepted};
    calls.whileShown = [&](QDialog* shown) {
      QComboBox* box = static_cast<TFTimePlotOptions*>(shown)->CBxstyle;
      box->setCurrentIndex(box->findData(c.code));
    };
    plot->PMIOptions->trigger();
    SCOPED_TRACE(c.code);
    EXPECT_EQ(plot->Settings.XUnit, c.code);
    EXPECT_FALSE(plot->Settings.XDates);
    const TChartDescription& chart = plot->LastBuild();
    EXPECT_EQ(chart.bottom.title, QString::fromUtf8(c.title));
    double lastX = -1e300;
    for (const TChartSeries& cs : chart.series)
      if (cs.tag == SeriesTagData && !cs.points.empty())
        lastX = std::max(lastX, cs.points.back().x());
    EXPECT_NEAR(lastX, (t - start) * c.factor, std::fabs((t - start) * c.factor) * 1e-9 + 1e-12);
  }

  // Calendar dates: the title without a unit and days from the epoch of time 0.
  calls.dialogAnswers = {QDialog::Accepted};
  calls.whileShown = [&](QDialog* shown) {
    QComboBox* box = static_cast<TFTimePlotOptions*>(shown)->CBxstyle;
    box->setCurrentIndex(box->findData(0));
  };
  plot->PMIOptions->trigger();
  EXPECT_TRUE(plot->Settings.XDates);
  EXPECT_EQ(plot->GetXAxis().title, QString::fromUtf8("Время"));
  EXPECT_EQ(plot->GetXAxis().offset, 0);

  // The dialog shows the current unit when it opens.
  calls.dialogAnswers = {QDialog::Rejected};
  plot->Settings.XUnit = 230;
  plot->Settings.XDates = false;
  int shownCode = -1;
  calls.whileShown = [&](QDialog* shown) {
    shownCode = static_cast<TFTimePlotOptions*>(shown)->CBxstyle->currentData().toInt();
  };
  plot->PMIOptions->trigger();
  EXPECT_EQ(shownCode, 230);
}

TEST_F(TimePlot, MissingAndTinyValues)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    double in, out;
  } cases[] = {{nan, 1e300}, {1e300, 1e300}, {-1e300, 1e300}, {2e300, 1e300}, {1e-310, 0}, {-1e-310, 0}, {-3.5, -3.5}};
  for (const auto& c : cases)
    EXPECT_EQ(TFTimePlot::PlotValue(c.in), c.out) << c.in;

  // Through a build: a "minus infinity" and a NaN point leave the axis range finite.
  const std::vector<TSeriesKey> keys = SeriesOfDistinctUnits();
  TTimeSerie* s = Model().FindSeries(keys[0].quantityId, keys[0].objectId);
  const int before = s->GetCount();
  double t = 0, v = 0;
  s->GetPoint(before - 1, t, v);
  s->Add(t + 1e-9, -1e300);
  s->Add(t + 2e-9, nan);
  ClickMenu(keys[0]);
  const TChartAxis& left = plot->LastBuild().y[0];
  EXPECT_TRUE(std::isfinite(left.min));
  EXPECT_GT(left.min, -1e200);
  EXPECT_LT(left.max, 1e200);
}

TEST_F(TimePlot, TheChoiceAndTimeUnitComeBackFromTheProjectRecord)
{
  const std::vector<TSeriesKey> keys = SeriesOfDistinctUnits();
  ClickMenu(keys[0]);
  ClickMenu(keys[1]);
  plot->Settings.XUnit = 210;
  auto loaded = std::make_unique<TFTimePlot>(nullptr, nullptr, &rig->gis, rig->model.get());
  LoadRecord(*loaded, SavedRecord(*plot));
  EXPECT_EQ(loaded->SelectedSeries, plot->SelectedSeries);
  EXPECT_EQ(loaded->Settings.XUnit, 210);
  EXPECT_EQ(loaded->Settings.AxisQuantity, plot->Settings.AxisQuantity);

  // A unit code the list lacks reads as the model's own unit, not as dates.
  plot->Settings.XUnit = 999;
  LoadRecord(*loaded, SavedRecord(*plot));
  EXPECT_EQ(loaded->Settings.XUnit, 220);
  EXPECT_FALSE(loaded->Settings.XDates);
  EXPECT_EQ(loaded->LastBuild().bottom.title, QString::fromUtf8("Время, c"));
}

} // namespace
