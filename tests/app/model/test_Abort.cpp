#include "ModelTestSupport.h"

#include <gtest/gtest.h>

using namespace modeltest;
using namespace std::chrono_literals;

namespace {

class AbortTest : public testing::Test {
protected:
  void SetUp() override { Make(); }
  void TearDown() override {
    if (model) {
      model->stepLatch.Open();
      model->initLatch.Open();
    }
    model.reset();
    FlushDeferredDeletes();
  }
  void Make() {
    model = std::make_unique<TFakeModel>(clock);
    model->SetHost(&host);
    model->SetGIS(GisStandIn());
  }

  std::shared_ptr<TFakeTickClock> clock = std::make_shared<TFakeTickClock>();
  TTestHost host;
  std::unique_ptr<TFakeModel> model;
};

struct TErrorCase {
  TFailAt failAt;
  const char *error;
};

class WorkerError : public AbortTest, public testing::WithParamInterface<TErrorCase> {};

TEST_P(WorkerError, ReportsItsStageAndLeavesAFreshIdleWorker) {
  model->failAt = GetParam().failAt;
  const auto firstWorker = model->WorkerId();
  model->Start();
  ASSERT_TRUE(PumpUntil([&] { return !host.errors.empty(); })) << "no deadlock";
  PumpFor(20ms);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0], std::string("Расчетный поток: ") + GetParam().error + ".\n\nРасчет прерван.");
  EXPECT_EQ(model->GetState(), 4);
  EXPECT_TRUE(model->HasWorker());
  EXPECT_NE(model->WorkerId(), firstWorker);
  EXPECT_EQ(host.paused + host.stopped, 0);

  // The fresh worker runs the next start normally.
  model->failAt = TFailAt::Nothing;
  model->SetStopMode(TFModel::StopAtTime);
  model->SetStopTime(0.02);
  model->Start();
  EXPECT_EQ(model->resets.load(), 2) << "a start after an abort is a fresh run";
  ASSERT_TRUE(PumpUntil([&] { return host.paused == 1; }));
  EXPECT_EQ(model->GetState(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Stages, WorkerError,
    testing::Values(TErrorCase{TFailAt::Init, "неустранимая ошибка инициализации модели"},
                    TErrorCase{TFailAt::Step, "неустранимая ошибка при расчете временного шага модели"},
                    TErrorCase{TFailAt::OutputDue, "неустранимая ошибка при обновлении даных модели"},
                    TErrorCase{TFailAt::PrepareRefresh, "неустранимая ошибка при обновлении интерфейса"},
                    TErrorCase{TFailAt::StopTest, "неустранимая ошибка"}));

TEST_F(AbortTest, IdleAbortReturnsAtOnceWithAFreshWorker) {
  const auto before = model->WorkerId();
  const auto start = std::chrono::steady_clock::now();
  model->Abort(true);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
  EXPECT_EQ(model->GetState(), 4);
  EXPECT_NE(model->WorkerId(), before);
  model->Abort(false);
  EXPECT_FALSE(model->HasWorker());
}

TEST_F(AbortTest, AbortDuringAStepReturnsAfterItServingItsSends) {
  model->SetOutputInterval(0.0);
  model->Start();
  ASSERT_TRUE(PumpUntil([&] { return model->steps.load() >= 1; }));
  model->stepLatch.Close();
  ASSERT_TRUE(PumpUntilEntered(model->stepLatch));
  const size_t samplesBefore = model->Samples().size();
  std::atomic<bool> opened{false};
  std::thread opener([&, latched = model.get()] {
    std::this_thread::sleep_for(50ms);
    opened = true;
    latched->stepLatch.Open();
  });
  model->Abort(true);
  opener.join();
  EXPECT_TRUE(opened.load()) << "the step in progress is never cut short";
  EXPECT_EQ(model->Samples().size(), samplesBefore + 1) << "the step's output was served while Abort waited";
  EXPECT_EQ(model->GetState(), 4);
  PumpFor(20ms);
  EXPECT_EQ(host.paused + host.stopped, 0);
  EXPECT_EQ(model->GetState(), 4);
}

TEST_F(AbortTest, AbortFromTheErrorCallbackDoesNotWait) {
  model->failAt = TFailAt::Step;
  host.onError = [&] { model->Abort(true); };
  model->Start();
  ASSERT_TRUE(PumpUntil([&] { return !host.errors.empty(); }));
  EXPECT_EQ(model->GetState(), 4);
  EXPECT_TRUE(model->HasWorker());
}

TEST_F(AbortTest, AbortFromTheSaveStepHandlerDoesNotWait) {
  model->SetSaveFlags(TFModel::SaveOnTime);
  model->SetSaveTimeInterval(0.02);
  std::uint64_t aborted = 0;
  host.onStep = [&] {
    if (host.steps == 2) {
      aborted = model->WorkerId();
      model->Abort(true);
    }
  };
  model->Start();
  ASSERT_TRUE(PumpUntil([&] { return host.steps >= 2; }));
  PumpFor(30ms);
  EXPECT_EQ(host.steps, 2) << "the released worker does not go on";
  EXPECT_EQ(model->GetState(), 4);
  EXPECT_NE(model->WorkerId(), aborted);
  EXPECT_EQ(host.paused + host.stopped, 0);
}

TEST_F(AbortTest, StaleNoticeCannotUndoAnAbort) {
  model->Stop();
  model->Abort(true);
  PumpFor(30ms);
  EXPECT_EQ(model->GetState(), 4);
  EXPECT_EQ(host.stopped, 0);

  // A worker's own notice, posted while the abort waits for the worker.
  model->SetStopMode(TFModel::StopAtTime);
  model->SetStopTime(0.01);
  model->flushLatch.Close();
  model->Start();
  ASSERT_TRUE(PumpUntilEntered(model->flushLatch)); // the pause is taken, the gate closed
  model->flushLatch.Open();
  model->Abort(true);
  PumpFor(30ms);
  EXPECT_EQ(model->GetState(), 4);
  EXPECT_EQ(host.paused, 0);
  EXPECT_EQ(model->flushes.load(), 1);
}

TEST_F(AbortTest, DestroyingARunningModelWaitsForItsStep) {
  model->Start();
  ASSERT_TRUE(PumpUntil([&] { return model->steps.load() >= 1; }));
  model->stepLatch.Close();
  ASSERT_TRUE(PumpUntilEntered(model->stepLatch));
  std::thread opener([latched = model.get()] {
    std::this_thread::sleep_for(30ms);
    latched->stepLatch.Open();
  });
  const auto start = std::chrono::steady_clock::now();
  model.reset();
  EXPECT_GE(std::chrono::steady_clock::now() - start, 20ms) << "the destructor waited for the step";
  opener.join();
  EXPECT_EQ(host.errors.size(), 0u);
}

TEST_F(AbortTest, DestroyingAFreeRunningModel) {
  model->SetOutputInterval(0.0);
  model->Start();
  ASSERT_TRUE(PumpUntil([&] { return model->steps.load() >= 3; }));
  model.reset();
  PumpFor(10ms);
}

TEST_F(AbortTest, DestroyingTheModelInsideItsSaveStepHandlerReleasesTheWorker) {
  model->SetSaveFlags(TFModel::SaveOnTime);
  model->SetSaveTimeInterval(0.01);
  host.onStep = [&] {
    if (host.steps == 3)
      model.reset(); // closes the project from inside the step-file write
  };
  model->Start();
  ASSERT_TRUE(PumpUntil([&] { return model == nullptr; }));
  PumpFor(30ms);
  EXPECT_EQ(host.steps, 3);
  FlushDeferredDeletes();
}

TEST_F(AbortTest, DestroyingTheModelWhileAbortServesASend) {
  model->SetOutputInterval(0.0);
  model->SetSaveFlags(TFModel::SaveOnTime);
  model->SetSaveTimeInterval(0.0);
  model->Start();
  ASSERT_TRUE(PumpUntil([&] { return model->steps.load() >= 1; }));
  model->stepLatch.Close();
  ASSERT_TRUE(PumpUntilEntered(model->stepLatch));
  // The step's autosave arrives while Abort waits; its handler closes the project.
  host.onStep = [&] { model.reset(); };
  std::thread opener([latched = model.get()] {
    std::this_thread::sleep_for(30ms);
    latched->stepLatch.Open();
  });
  TFakeModel *raw = model.get();
  raw->Abort(true);
  opener.join();
  EXPECT_EQ(model, nullptr);
  FlushDeferredDeletes();
}

} // namespace
