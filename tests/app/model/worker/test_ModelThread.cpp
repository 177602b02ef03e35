#include "model/worker/ModelThread.h"

#include "WorkerTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>

using namespace std::chrono_literals;

namespace {

class ModelThreadTest : public testing::Test {
protected:
  void SetUp() override {
    channel = std::make_shared<TSyncChannel>();
    clock = std::make_shared<TFakeTickClock>();
    model.clock = clock.get();
  }
  void TearDown() override {
    if (thread && !thread->HasEnded()) {
      thread->Terminate();
      events.terminateRequest.Set();
      events.runGate.Set();
      thread->WaitFor(Handler());
    }
    thread.reset();
  }

  void StartThread(bool firstCycle = true) {
    thread = std::make_unique<TModelThread>(model, events, channel, clock);
    thread->SetFirstCycle(firstCycle);
  }
  TSyncChannel::THandler Handler() {
    return [this](const TCalcMessage &m) {
      handled.push_back(m);
      if (onMessage)
        onMessage(m);
    };
  }
  bool ServeUntilNotice() {
    return ServeUntil(*channel, Handler(), [this] {
      for (const auto &m : handled)
        if (!m.sent)
          return true;
      return false;
    });
  }
  std::vector<int> HandledIds() const {
    std::vector<int> ids;
    for (const auto &m : handled)
      ids.push_back(m.id);
    return ids;
  }

  TCalcEvents events;
  std::shared_ptr<TSyncChannel> channel;
  std::shared_ptr<TFakeTickClock> clock;
  TFakeCycle model{events};
  std::unique_ptr<TModelThread> thread;
  std::vector<TCalcMessage> handled;
  std::function<void(const TCalcMessage &)> onMessage;
};

struct TRequestCase {
  bool terminate, stop, pause;
  int notice; // 0: the thread ends instead
  bool pauseLeft;
};

class RequestPrecedence : public ModelThreadTest, public testing::WithParamInterface<TRequestCase> {};

TEST_P(RequestPrecedence, TerminateThenStopThenPause) {
  const TRequestCase c = GetParam();
  StartThread();
  if (c.terminate)
    events.terminateRequest.Set();
  if (c.stop)
    events.stopRequest.Set();
  if (c.pause)
    events.pauseRequest.Set();
  events.runGate.Set();
  if (c.notice == 0) {
    thread->WaitFor(Handler());
    EXPECT_TRUE(thread->HasEnded());
    EXPECT_TRUE(events.finished.Peek());
    EXPECT_TRUE(handled.empty());
    EXPECT_EQ(model.flushes.load(), 0);
  } else {
    ASSERT_TRUE(ServeUntilNotice());
    EXPECT_EQ(HandledIds(), std::vector<int>{c.notice});
    EXPECT_EQ(model.flushes.load(), 1);
    EXPECT_FALSE(events.runGate.Peek()) << "taking a request closes the gate";
    EXPECT_EQ(events.pauseRequest.Peek(), c.pauseLeft);
  }
  EXPECT_EQ(model.inits.load(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, RequestPrecedence,
                         testing::Values(TRequestCase{true, true, true, 0, false},
                                         TRequestCase{true, false, false, 0, false},
                                         TRequestCase{false, true, true, WM_CALC_STOPPED, true},
                                         TRequestCase{false, true, false, WM_CALC_STOPPED, false},
                                         TRequestCase{false, false, true, WM_CALC_PAUSED, false}));

TEST_F(ModelThreadTest, FirstCyclePreparesBothButSendsOnlyWhatIsDue) {
  model.finished = true;
  StartThread();
  events.runGate.Set();
  ASSERT_TRUE(ServeUntilNotice());
  EXPECT_EQ(model.inits.load(), 1);
  EXPECT_EQ(model.steps.load(), 0);
  EXPECT_EQ(model.outputsPrepared.load(), 1);
  EXPECT_EQ(model.refreshesPrepared.load(), 1);
  EXPECT_EQ(HandledIds(), std::vector<int>{WM_CALC_PAUSED});
  EXPECT_FALSE(thread->IsFirstCycle());
}

TEST_F(ModelThreadTest, StopConditionStillDeliversTheCycleThenPauses) {
  model.finished = true;
  model.outputDue = true;
  model.refreshDue = true;
  model.saveDue = true;
  StartThread(false);
  events.runGate.Set();
  ASSERT_TRUE(ServeUntilNotice());
  EXPECT_EQ(HandledIds(), (std::vector<int>{WM_CALC_OUTPUT, WM_CALC_REFRESH, WM_CALC_SAVESTEP, WM_CALC_PAUSED}));
  EXPECT_EQ(model.steps.load(), 1);
  EXPECT_EQ(model.pauses.load(), 1);
  EXPECT_EQ(model.flushes.load(), 2) << "one before the autosave, one at the pause";
}

struct TStageCase {
  TFailAt failAt;
  bool firstCycle;
  const char *text;
  bool threadEnds;
  // What an error that ends the thread leaves delivered before it.
  std::vector<int> endIds = {WM_CALC_ERROR};
};

class ErrorStage : public ModelThreadTest, public testing::WithParamInterface<TStageCase> {};

TEST_P(ErrorStage, GivesItsTextAndNoOtherMessageOfThatCycle) {
  const TStageCase c = GetParam();
  model.failAt = c.failAt;
  model.finished = !c.threadEnds;
  model.outputDue = true;
  model.refreshDue = true;
  model.saveDue = true;
  StartThread(c.firstCycle);
  std::string text;
  onMessage = [&](const TCalcMessage &m) {
    if (m.id == WM_CALC_ERROR)
      text = thread->GetErrorText();
  };
  events.runGate.Set();
  if (c.threadEnds) {
    thread->WaitFor(Handler());
    EXPECT_TRUE(events.finished.Peek());
    EXPECT_EQ(HandledIds(), c.endIds);
  } else {
    ASSERT_TRUE(ServeUntilNotice());
    EXPECT_EQ(HandledIds(), (std::vector<int>{WM_CALC_ERROR, WM_CALC_PAUSED}));
    EXPECT_EQ(thread->IsFirstCycle(), c.firstCycle) << "a failed cycle keeps the first-cycle flag";
  }
  EXPECT_EQ(text, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Stages, ErrorStage,
    testing::Values(TStageCase{TFailAt::Init, true, "неустранимая ошибка инициализации модели", false},
                    TStageCase{TFailAt::Step, false, "неустранимая ошибка при расчете временного шага модели", false},
                    TStageCase{TFailAt::OutputDue, false, "неустранимая ошибка при обновлении даных модели", false},
                    TStageCase{TFailAt::PrepareOutput, true, "неустранимая ошибка при обновлении даных модели", false},
                    TStageCase{TFailAt::RefreshDue, false, "неустранимая ошибка при обновлении интерфейса", false},
                    TStageCase{TFailAt::PrepareRefresh, false, "неустранимая ошибка при обновлении интерфейса", false},
                    TStageCase{TFailAt::Finished, false, "неустранимая ошибка", true},
                    TStageCase{TFailAt::SaveStepDue, false, "неустранимая ошибка", true,
                               {WM_CALC_OUTPUT, WM_CALC_REFRESH, WM_CALC_ERROR}}));

struct TClockCase {
  std::uint32_t start;
  std::uint32_t stepMs;
  double seconds;
};

class CalculationTime : public ModelThreadTest, public testing::WithParamInterface<TClockCase> {
protected:
  // The worker reads the clock once as it starts and, in every cycle, once
  // before it waits at the gate and once after: the test moves the clock only
  // when the worker has reached the gate, whatever the speed of the threads.
  void WaitAtGateOfCycle(int cycle) {
    ASSERT_TRUE(ServeUntil(*channel, Handler(), [&] { return clock->Reads() >= 2 * cycle; }));
  }
};

TEST_P(CalculationTime, CountsCyclesNotTheWaitAtTheGate) {
  const double seconds = GetParam().seconds;
  clock->Set(GetParam().start);
  model.stepMs = GetParam().stepMs;
  model.finished = true;
  StartThread();
  WaitAtGateOfCycle(1);
  clock->Advance(5000); // waiting at the closed gate
  events.runGate.Set(); // the first cycle prepares (one step's time), then pauses
  WaitAtGateOfCycle(3);
  EXPECT_DOUBLE_EQ(thread->GetCalculationTime(), seconds);
  clock->Advance(7000); // paused
  events.runGate.Set(); // one step, then the pause again
  WaitAtGateOfCycle(5);
  EXPECT_DOUBLE_EQ(thread->GetCalculationTime(), 2 * seconds);
  EXPECT_EQ(model.steps.load(), 1);
}

INSTANTIATE_TEST_SUITE_P(Ticks, CalculationTime,
                         testing::Values(TClockCase{1000, 250, 0.25},
                                         TClockCase{0xFFFFFF00u, 0x200, 0.512})); // the counter wraps in the step

TEST_F(ModelThreadTest, HoldStopsTheWorkerAtItsNextCheckPoint) {
  model.finished = true;
  StartThread();
  thread->Hold();
  EXPECT_TRUE(thread->IsHeld());
  events.runGate.Set();
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(model.inits.load(), 0);
  thread->LiftHold();
  ASSERT_TRUE(ServeUntilNotice());
  EXPECT_EQ(model.inits.load(), 1);
}

TEST_F(ModelThreadTest, TerminateLiftsAHold) {
  StartThread();
  thread->Hold();
  events.runGate.Set();
  std::this_thread::sleep_for(20ms);
  thread->Terminate();
  events.terminateRequest.Set();
  thread->WaitFor(Handler());
  EXPECT_TRUE(thread->HasEnded());
  EXPECT_EQ(model.inits.load(), 0);
}

TEST_F(ModelThreadTest, WaitForServesTheSendsOfTheStepInProgress) {
  model.outputDue = true;
  StartThread(false);
  model.stepLatch.Close();
  events.runGate.Set();
  ASSERT_TRUE(model.stepLatch.WaitEntered(5000ms));
  thread->Terminate();
  events.terminateRequest.Set();
  std::atomic<bool> opened{false};
  std::thread opener([&] {
    std::this_thread::sleep_for(50ms);
    opened = true;
    model.stepLatch.Open();
  });
  thread->WaitFor(Handler());
  opener.join();
  EXPECT_TRUE(opened.load()) << "the step in progress is never cut short";
  EXPECT_TRUE(thread->HasEnded());
  EXPECT_EQ(model.steps.load(), 1);
  EXPECT_EQ(HandledIds(), std::vector<int>{WM_CALC_OUTPUT});
}

TEST_F(ModelThreadTest, DetachFromInsideItsSendLetsTheWorkerLeaveQuietly) {
  model.outputDue = true;
  StartThread(false);
  onMessage = [&](const TCalcMessage &m) {
    if (m.id == WM_CALC_OUTPUT) {
      thread->Terminate();
      thread->Detach();
    }
  };
  events.runGate.Set();
  ASSERT_TRUE(ServeUntil(*channel, Handler(), [&] { return thread->HasEnded(); }));
  EXPECT_EQ(HandledIds(), std::vector<int>{WM_CALC_OUTPUT});
  EXPECT_FALSE(events.finished.Peek()) << "a released worker leaves its events to its successor";
  EXPECT_EQ(channel->QueuedCount(), 0);
}

TEST_F(ModelThreadTest, DestroyingARunningThreadWaitsForTheStep) {
  StartThread(false);
  model.stepLatch.Close();
  events.runGate.Set();
  ASSERT_TRUE(model.stepLatch.WaitEntered(5000ms));
  std::thread opener([&] {
    std::this_thread::sleep_for(30ms);
    model.stepLatch.Open();
  });
  thread.reset();
  opener.join();
  EXPECT_EQ(model.steps.load(), 1);
}

} // namespace
