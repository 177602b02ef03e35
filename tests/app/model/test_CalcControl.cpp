#include "ModelTestSupport.h"

#include "data/TimeSerie.h"

#include <gtest/gtest.h>

using namespace modeltest;
using namespace std::chrono_literals;

namespace {

class CalcControlTest : public testing::Test {
protected:
  void SetUp() override {
    model = std::make_unique<TFakeModel>(clock);
    model->SetHost(&host);
    model->SetGIS(GisStandIn());
  }
  void TearDown() override {
    model->stepLatch.Open();
    model->initLatch.Open();
    model.reset();
    FlushDeferredDeletes();
  }
  // Stop mode 2 at the given model time with 0.01 s steps.
  void StopAt(double t) {
    model->SetStopMode(TFModel::StopAtTime);
    model->SetStopTime(t);
  }

  std::shared_ptr<TFakeTickClock> clock = std::make_shared<TFakeTickClock>();
  TTestHost host;
  std::unique_ptr<TFakeModel> model;
};

TEST_F(CalcControlTest, PausingAnIdleModelNotifiesOnce) {
  model->Pause();
  EXPECT_EQ(model->GetState(), 0) << "the state changes only when the notice arrives";
  ASSERT_TRUE(PumpUntil([&] { return host.paused > 0; }));
  PumpFor(20ms);
  EXPECT_EQ(model->GetState(), 2);
  EXPECT_EQ(host.paused, 1);
}

TEST_F(CalcControlTest, IdleNoticesMergeIntoOne) {
  model->Pause();
  model->Pause();
  model->Stop();
  model->Pause();
  PumpFor(30ms);
  EXPECT_EQ(host.paused, 0);
  EXPECT_EQ(host.stopped, 1);
  EXPECT_EQ(model->GetState(), 3);
}

TEST_F(CalcControlTest, RunEndsPausedAtItsStopConditionWithTheLastStepFlushed) {
  model->SetOutputInterval(0.02);
  model->SetRefreshInterval(0.0);
  StopAt(0.05);
  model->Start();
  EXPECT_EQ(model->GetState(), 1);
  EXPECT_EQ(model->resets.load(), 1);
  EXPECT_EQ(model->inputLoads.load(), 1);
  EXPECT_GE(host.refreshViews, 1) << "a fresh run asks for a view refresh";
  ASSERT_TRUE(PumpUntil([&] { return host.paused > 0; }));
  EXPECT_EQ(model->GetState(), 2);
  EXPECT_TRUE(model->StopConditionReached());
  EXPECT_EQ(model->steps.load(), 5);
  EXPECT_EQ(model->inits.load(), 1);
  const auto samples = model->Samples();
  ASSERT_EQ(samples.size(), 4u);
  EXPECT_DOUBLE_EQ(samples[0], 0.0);
  EXPECT_DOUBLE_EQ(samples[1], 0.02);
  EXPECT_DOUBLE_EQ(samples[2], 0.04);
  EXPECT_DOUBLE_EQ(samples[3], 0.05) << "the pause flushed the last step";
  EXPECT_NEAR(model->GetLastOutputTime(), 0.04, 1e-12) << "the flush kept the sampling grid";
  EXPECT_EQ(model->GetStepCount(), 5);
  EXPECT_TRUE(model->IsModified());
}

TEST_F(CalcControlTest, ResumeKeepsTheRunAFreshStartResetsIt) {
  StopAt(0.03);
  model->Start();
  ASSERT_TRUE(PumpUntil([&] { return host.paused == 1; }));
  const double pausedAt = model->GetTime();
  model->AddSeries(std::make_unique<TTimeSerie>()); // a series of the model's own group

  StopAt(0.06);
  model->Start(); // from 2: a resume
  EXPECT_EQ(model->resets.load(), 1);
  ASSERT_TRUE(PumpUntil([&] { return host.paused == 2; }));
  EXPECT_GT(model->GetTime(), pausedAt);
  EXPECT_EQ(model->inits.load(), 1);
  EXPECT_EQ(model->GetSeriesCount(), 1) << "a resume keeps the series";

  model->Stop();
  ASSERT_TRUE(PumpUntil([&] { return host.stopped == 1; }));
  EXPECT_EQ(model->GetState(), 3);
  model->Start(); // from 3: a fresh run
  EXPECT_EQ(model->resets.load(), 2);
  EXPECT_EQ(model->GetSeriesCount(), 0) << "a fresh run drops the model's series";
  ASSERT_TRUE(PumpUntil([&] { return host.paused == 3; }));
  EXPECT_EQ(model->inits.load(), 2);
  EXPECT_NEAR(model->GetTime(), 0.06, 1e-12);
}

TEST_F(CalcControlTest, StartWithoutGisIsRefusedAndEndsStopped) {
  model->SetGIS(nullptr);
  model->Start();
  EXPECT_EQ(model->GetState(), 0);
  ASSERT_TRUE(PumpUntil([&] { return host.stopped == 1; }));
  EXPECT_EQ(model->GetState(), 3);
  EXPECT_EQ(model->inits.load(), 0);
}

TEST_F(CalcControlTest, StartWhileRunningDoesNothing) {
  model->stepLatch.Close();
  model->Start();
  ASSERT_TRUE(PumpUntilEntered(model->stepLatch));
  model->Start();
  EXPECT_EQ(model->resets.load(), 1);
  EXPECT_EQ(model->GetState(), 1);
  model->stepLatch.Open();
  model->Abort(true);
}

TEST_F(CalcControlTest, StopWinsOverPauseAndTheNextStartDoesNotPauseAtOnce) {
  model->stepLatch.Close();
  model->Start();
  ASSERT_TRUE(PumpUntilEntered(model->stepLatch));
  model->Pause();
  model->Stop();
  model->stepLatch.Open();
  ASSERT_TRUE(PumpUntil([&] { return host.stopped == 1; }));
  PumpFor(20ms);
  EXPECT_EQ(model->GetState(), 3);
  EXPECT_EQ(host.paused, 0);
  EXPECT_EQ(model->flushes.load(), 1) << "one flush, one notice";

  // The pause request raised with the stop must not end the next run.
  model->stepLatch.Close();
  model->Start();
  EXPECT_TRUE(PumpUntilEntered(model->stepLatch));
  PumpFor(20ms);
  EXPECT_EQ(host.paused, 0);
  EXPECT_EQ(model->GetState(), 1);
  model->stepLatch.Open();
  model->Abort(true);
}

TEST_F(CalcControlTest, ANoticeFromBeforeAStartIsDropped) {
  StopAt(0.02);
  model->Start();
  ASSERT_TRUE(PumpUntil([&] { return host.paused == 1; }));
  model->Stop(); // idle: posts a stop notice
  StopAt(1.0);
  model->stepLatch.Close();
  model->Start(); // resumes before the notice arrives
  ASSERT_TRUE(PumpUntilEntered(model->stepLatch));
  PumpFor(30ms);
  EXPECT_EQ(host.stopped, 0);
  EXPECT_EQ(model->GetState(), 1);
  model->stepLatch.Open();
  model->Abort(true);
}

TEST_F(CalcControlTest, StatusTextBlinksWhileTheFirstCycleRuns) {
  model->initLatch.Close();
  model->Start();
  ASSERT_TRUE(PumpUntilEntered(model->initLatch));
  const std::string first = model->StatusText();
  const std::string second = model->StatusText();
  EXPECT_EQ(first, "инициализация");
  EXPECT_EQ(second, "");
  EXPECT_EQ(model->StatusText(), "инициализация");
  model->initLatch.Open();
  model->Abort(true);
}

TEST_F(CalcControlTest, SuspendHoldsTheWorkerAtItsNextCheckPoint) {
  model->Start();
  ASSERT_TRUE(PumpUntil([&] { return model->steps.load() > 2; }));
  model->SuspendThread();
  EXPECT_TRUE(model->IsWorkerHeld());
  PumpFor(30ms); // lets the step in progress finish and its sends through
  const int held = model->steps.load();
  PumpFor(30ms);
  EXPECT_EQ(model->steps.load(), held);
  model->ResumeThread();
  ASSERT_TRUE(PumpUntil([&] { return model->steps.load() > held; }));
  model->SuspendThread();
  model->Abort(true); // lifts the hold
  EXPECT_EQ(model->GetState(), 4);
  EXPECT_FALSE(model->IsWorkerHeld());
}

TEST_F(CalcControlTest, CalculationTimeCountsOnlyTheRun) {
  StopAt(0.02);
  model->Start();
  ASSERT_TRUE(PumpUntil([&] { return host.paused == 1; }));
  EXPECT_GE(model->GetCalculationTime(), 0.0);
  model->SetCalculationTime(12.5);
  EXPECT_EQ(model->GetCalculationTime(), 12.5);
  model->Stop();
  ASSERT_TRUE(PumpUntil([&] { return host.stopped == 1; }));
  model->Start();
  EXPECT_EQ(model->GetCalculationTime(), 0.0) << "a fresh run starts from 0";
  ASSERT_TRUE(PumpUntil([&] { return host.paused == 2; }));
}

} // namespace
