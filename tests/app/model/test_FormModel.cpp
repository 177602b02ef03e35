#include "ModelTestSupport.h"

#include "data/TimeSerie.h"
#include "model/TimePlotUnits.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace modeltest;

namespace {

class FormModelTest : public testing::Test {
protected:
  void SetUp() override {
    model = std::make_unique<TFakeModel>(clock);
    model->SetHost(&host);
  }
  void TearDown() override {
    model.reset();
    FlushDeferredDeletes();
  }

  std::shared_ptr<TFakeTickClock> clock = std::make_shared<TFakeTickClock>();
  TTestHost host;
  std::unique_ptr<TFakeModel> model;
};

TEST_F(FormModelTest, NewModelDefaults) {
  EXPECT_EQ(model->GetState(), 0);
  EXPECT_EQ(model->StatusText(), "расчет не запущен");
  EXPECT_EQ(model->GetTime(), 0.0);
  EXPECT_EQ(model->GetTimeStep(), 0.01);
  EXPECT_EQ(model->GetTimeUnit(), 500);
  EXPECT_EQ(model->GetSeriesCapacity(), 500);
  EXPECT_EQ(model->GetNx(), 101);
  EXPECT_EQ(model->GetNy(), 101);
  EXPECT_EQ(model->GetSaveStageCount(), 1);
  EXPECT_EQ(model->GetNativeTimeUnit(), 220);
  EXPECT_FALSE(model->IsTimeDate());
  EXPECT_EQ(model->GetSeriesMenuDepth(nullptr), 0);
  EXPECT_EQ(model->GetSeriesMenuCaption(nullptr, 0), "нет данных");
  EXPECT_TRUE(model->HasWorker());
  EXPECT_FALSE(model->IsModified());
}

TEST_F(FormModelTest, StateNames) {
  const std::vector<std::pair<int, std::string>> names = {
      {0, "установка начальных данных"}, {1, "производится расчет"}, {2, "расчет приостановлен"},
      {3, "расчет завершен"},            {4, "расчет прерван"},      {5, ""},
      {-1, ""}};
  for (const auto &[state, name] : names)
    EXPECT_EQ(TFModel::StateName(state), name) << state;
  model->SetState(3);
  EXPECT_EQ(model->StateName(), "расчет завершен");
  EXPECT_EQ(model->GetPreviousState(), 0);
}

TEST_F(FormModelTest, FillsTheTimePlotUnitsWhenCreated) {
  TimePlotTimeUnits() = {{"старое", 1}};
  TFakeModel another(clock);
  const auto &units = TimePlotTimeUnits();
  const std::vector<std::pair<std::string, int>> expected = {
      {"даты", 0},     {"сутки", 100},        {"месяцы", 110},       {"годы", 120},        {"часы", 200},
      {"минуты", 210}, {"секунды", 220},      {"миллисекунды", 230}, {"микросекунды", 240}, {"наносекунды", 250}};
  ASSERT_EQ(units.size(), expected.size());
  for (size_t i = 0; i < units.size(); ++i) {
    EXPECT_EQ(units[i].text, expected[i].first);
    EXPECT_EQ(units[i].code, expected[i].second);
  }
}

TEST_F(FormModelTest, SeriesCapacityResizesEverySeries) {
  model->AddSeries(std::make_unique<TTimeSerie>(500));
  model->AddSeries(std::make_unique<TTimeSerie>(500));
  model->SetTimeUnit(1000);
  EXPECT_EQ(model->GetTimeUnit(), 1000);
  for (int i = 0; i < model->GetSeriesCount(); ++i)
    EXPECT_EQ(model->GetSeries(i)->GetCapacity(), 1000);
}

TEST_F(FormModelTest, OutputAndRefreshFallOnTheIntervalGridDespiteRounding) {
  // 0.1 s steps, an output every 3 steps: the accumulated time falls short of
  // the exact multiples, which the 0.9999999999 factor absorbs.
  model->SetTimeStepForTest(0.1);
  model->SetOutputInterval(0.3);
  model->SetRefreshInterval(0.3);
  model->SetStartTime(0.0);
  double t = 0.0;
  std::vector<int> outputSteps, refreshSteps;
  model->SetTimeForTest(0.0);
  for (int step = 1; step <= 12; ++step) {
    t += 0.1;
    model->SetTimeForTest(t);
    if (model->IsOutputDue()) {
      outputSteps.push_back(step);
      model->SendForTest(WM_CALC_OUTPUT, 0);
    }
    if (model->IsRefreshDue()) {
      refreshSteps.push_back(step);
      clock->Advance(1000);
      model->SendForTest(WM_CALC_REFRESH, 0);
    }
  }
  EXPECT_EQ(outputSteps, (std::vector<int>{3, 6, 9, 12}));
  EXPECT_EQ(refreshSteps, (std::vector<int>{3, 6, 9, 12}));
}

TEST_F(FormModelTest, DueTestsAreTrueExactlyAtTheStartTime) {
  model->SetStartTime(5.0);
  model->SetOutputInterval(100.0);
  model->SetRefreshInterval(100.0);
  model->SetTimeForTest(5.0);
  model->SetLastOutputTimeForTest(5.0);
  EXPECT_TRUE(model->IsOutputDue());
  EXPECT_TRUE(model->IsRefreshDue());
  model->SetTimeForTest(5.5);
  EXPECT_FALSE(model->IsOutputDue());
}

TEST_F(FormModelTest, OutputHandlerMovesTheGridOnlyForRegularOutputs) {
  model->SetTimeForTest(0.25);
  model->SendForTest(WM_CALC_OUTPUT, 1);
  EXPECT_EQ(model->GetLastOutputTime(), 0.0) << "a flush keeps the grid";
  EXPECT_EQ(model->GetOutputState(), TFModel::Shown);
  model->SendForTest(WM_CALC_OUTPUT, 0);
  EXPECT_EQ(model->GetLastOutputTime(), 0.25);
  EXPECT_EQ(model->Samples(), (std::vector<double>{0.25, 0.25}));
}

TEST_F(FormModelTest, RefreshThrottleAndFlushBypass) {
  model->SetTimeForTest(1.0);
  model->SetRefreshStateForTest(TFModel::Prepared);
  model->SendForTest(WM_CALC_REFRESH, 0);
  EXPECT_EQ(model->refreshes.load(), 1);
  EXPECT_EQ(host.refreshViews, 1);
  EXPECT_EQ(model->GetLastRefreshTime(), 1.0);

  clock->Advance(99);
  model->SetTimeForTest(2.0);
  model->SetRefreshStateForTest(TFModel::Prepared);
  model->SendForTest(WM_CALC_REFRESH, 0);
  EXPECT_EQ(model->refreshes.load(), 1) << "99 ms after the last accepted refresh";
  EXPECT_EQ(model->GetRefreshState(), TFModel::Prepared);
  EXPECT_EQ(model->GetLastRefreshTime(), 1.0);
  EXPECT_TRUE(model->IsRefreshDue()) << "the next step asks again";

  // A flush before a pause, stop or autosave is never dropped.
  clock->Advance(0);
  model->SendForTest(WM_CALC_REFRESH, 1);
  EXPECT_EQ(model->refreshes.load(), 2);
  EXPECT_EQ(model->GetRefreshState(), TFModel::Shown);
  EXPECT_EQ(host.refreshViews, 1) << "a flush posts no view refresh";
  EXPECT_EQ(model->GetLastRefreshTime(), 1.0) << "a flush keeps the grid";

  clock->Advance(100);
  model->SendForTest(WM_CALC_REFRESH, 0);
  EXPECT_EQ(model->refreshes.load(), 3);
  EXPECT_EQ(host.refreshViews, 2);
  EXPECT_EQ(model->GetLastRefreshTime(), 2.0);
}

TEST_F(FormModelTest, RefreshWithoutHostPostsNothing) {
  model->SetHost(nullptr);
  model->SendForTest(WM_CALC_REFRESH, 0);
  EXPECT_EQ(model->refreshes.load(), 1);
  EXPECT_EQ(host.refreshViews, 0);
}

TEST_F(FormModelTest, AutosaveAtStartEveryIntervalAndEveryTenElements) {
  model->SetSaveFlags(3);
  model->SetSaveTimeInterval(2e-7);
  model->SetSaveStageCount(10);
  model->SetStartTime(0.0);
  struct TPoint {
    double time;
    int stages;
    bool due;
  };
  // Steps of 5e-8 s; elements grow by 3 per step from step 6 on.
  const std::vector<TPoint> points = {
      {0.0, 0, true},       {5e-8, 0, false},  {1e-7, 0, false},  {1.5e-7, 0, false},
      {2e-7, 0, true},      {2.5e-7, 3, false}, {3e-7, 6, false}, {3.5e-7, 9, false},
      {4e-7, 12, true},     {4.5e-7, 15, false}, {5e-7, 18, false}, {5.5e-7, 21, false},
      {6e-7, 24, true}};
  double t = 0.0;
  for (size_t i = 0; i < points.size(); ++i) {
    if (i > 0)
      t += 5e-8;
    model->SetTimeForTest(t);
    model->SetStageCountForTest(points[i].stages);
    const bool due = model->IsSaveStepDue();
    EXPECT_EQ(due, points[i].due) << "point " << i;
    if (due)
      model->SendForTest(WM_CALC_SAVESTEP, 0);
  }
  EXPECT_EQ(host.steps, 4);
  // Growth alone, between time marks.
  model->SetStageCountForTest(34);
  EXPECT_TRUE(model->IsSaveStepDue());
  model->SetSaveFlags(0);
  EXPECT_FALSE(model->IsSaveStepDue());
}

struct TStopCase {
  int mode;
  double time;
  int stages;
  bool finished;
};

class StopTest : public FormModelTest, public testing::WithParamInterface<TStopCase> {};

TEST_P(StopTest, FinishedByMode) {
  const TStopCase c = GetParam();
  model->SetStopMode(c.mode);
  model->SetStopTime(3e-6);
  model->SetRunDuration(1e-6);
  model->SetRunStartTimeForTest(2e-6);
  model->SetTimeForTest(c.time);
  model->SetStageCountForTest(c.stages);
  EXPECT_EQ(model->IsCalculationFinished(), c.finished);
  EXPECT_EQ(model->StopConditionReached(), c.finished);
}

INSTANTIATE_TEST_SUITE_P(Modes, StopTest,
                         testing::Values(TStopCase{0, 1.0, 100, false}, TStopCase{1, 0.0, 0, false},
                                         TStopCase{1, 0.0, 1, true}, TStopCase{2, 2.9999999e-6, 0, false},
                                         TStopCase{2, 2.99999999999e-6, 0, true}, TStopCase{3, 2.9e-6, 0, false},
                                         TStopCase{3, 3e-6, 0, true}, TStopCase{4, 1.0, 100, false}));

TEST(TempFileName, CreatesAnEmptyGfmFile) {
  const std::string name = MakeTempFileName();
  ASSERT_FALSE(name.empty());
  const std::filesystem::path path(name);
  EXPECT_EQ(path.filename().string().rfind("gfm", 0), 0u);
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
  EXPECT_NE(MakeTempFileName(), name) << "each call makes a new file";
  std::filesystem::remove(path);
}

TEST(TempFileName, FallsBackToTheCurrentFolder) {
  const auto folder = std::filesystem::temp_directory_path() / ("kestovar-model-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  const std::string name = MakeTempFileNameIn("/nonexistent-folder-of-kestovar");
  std::filesystem::current_path(previous);
  EXPECT_EQ(name.rfind("./gfm", 0), 0u) << name;
  EXPECT_TRUE(std::filesystem::exists(folder / std::filesystem::path(name).filename()));
  std::filesystem::remove_all(folder);
}

} // namespace
