#include "model/worker/ModelThread.h"

#include <string>

#include "model/worker/CalcCycle.h"
#include "model/worker/CalcError.h"
#include "model/worker/CalcEvents.h"
#include "model/worker/TickClock.h"
#include "model/worker/WorkerReleased.h"

#include <chrono>

namespace {

std::atomic<std::uint64_t> lastWorkerId{0};
thread_local std::uint64_t currentSender = 0;

constexpr std::chrono::milliseconds NoWait{0};

enum TErrorStage { NoError = 0, InitStage = 1, StepStage = 2, OutputStage = 3, RefreshStage = 4 };

const char *const FatalErrorText = "неустранимая ошибка";

const char *StageText(int stage) {
  switch (stage) {
  case InitStage: return "неустранимая ошибка инициализации модели";
  case StepStage: return "неустранимая ошибка при расчете временного шага модели";
  case OutputStage: return "неустранимая ошибка при обновлении даных модели";
  case RefreshStage: return "неустранимая ошибка при обновлении интерфейса";
  default: return FatalErrorText;
  }
}

} // namespace

struct TModelThread::TState {
  std::uint64_t id = 0;
  TCalcCycle *model = nullptr;
  TCalcEvents *events = nullptr;
  std::shared_ptr<TSyncChannel> channel;
  std::shared_ptr<TTickClock> clock;

  std::atomic<bool> terminated{false};
  std::atomic<bool> ended{false};
  std::atomic<double> calculationTime{0.0};
  std::atomic<bool> firstCycle{true};
  std::uint32_t tickMark = 0; // worker thread only

  mutable std::mutex textMutex;
  std::string errorText;

  mutable std::mutex holdMutex;
  std::condition_variable holdChanged;
  bool held = false;

  void SetErrorText(const std::string &text) {
    std::lock_guard<std::mutex> lock(textMutex);
    errorText = text;
  }
  void Send(int message) { channel->Send(message, 0, id); }
};

TModelThread::TModelThread(TCalcCycle &model, TCalcEvents &events, std::shared_ptr<TSyncChannel> channel,
                           std::shared_ptr<TTickClock> clock, bool createSuspended)
    : state(std::make_shared<TState>()) {
  state->id = ++lastWorkerId;
  state->model = &model;
  state->events = &events;
  state->channel = std::move(channel);
  state->clock = std::move(clock);
  if (!createSuspended)
    Resume();
}

TModelThread::~TModelThread() {
  if (!thread.joinable())
    return;
  Terminate();
  state->channel->Release(state->id);
  state->events->runGate.Set();
  thread.join();
}

void TModelThread::Resume() {
  if (started)
    return;
  started = true;
  thread = std::thread(&TModelThread::Run, state);
}

void TModelThread::Terminate() {
  state->terminated = true;
  std::lock_guard<std::mutex> lock(state->holdMutex);
  state->holdChanged.notify_all();
}

bool TModelThread::IsTerminated() const { return state->terminated; }

bool TModelThread::IsTerminateRequested() const { return state->events->terminateRequest.Peek(); }

void TModelThread::Hold() {
  std::lock_guard<std::mutex> lock(state->holdMutex);
  state->held = true;
}

void TModelThread::LiftHold() {
  std::lock_guard<std::mutex> lock(state->holdMutex);
  state->held = false;
  state->holdChanged.notify_all();
}

bool TModelThread::IsHeld() const {
  std::lock_guard<std::mutex> lock(state->holdMutex);
  return state->held;
}

double TModelThread::GetCalculationTime() const { return state->calculationTime; }
void TModelThread::SetCalculationTime(double seconds) { state->calculationTime = seconds; }
bool TModelThread::IsFirstCycle() const { return state->firstCycle; }
void TModelThread::SetFirstCycle(bool first) { state->firstCycle = first; }

std::string TModelThread::GetErrorText() const {
  std::lock_guard<std::mutex> lock(state->textMutex);
  return state->errorText;
}

std::uint64_t TModelThread::Id() const { return state->id; }
bool TModelThread::HasEnded() const { return state->ended; }
std::uint64_t TModelThread::CurrentSender() { return currentSender; }

void TModelThread::WaitFor(const TSyncChannel::THandler &serve) {
  if (!thread.joinable())
    return;
  if (state->channel->ServeSendsUntilEnded(state->id, serve))
    thread.join();
  else
    Detach();
}

void TModelThread::Detach() {
  state->channel->Release(state->id);
  if (thread.joinable())
    thread.detach();
}

void TModelThread::WaitWhileHeld(TState &s) {
  std::unique_lock<std::mutex> lock(s.holdMutex);
  s.holdChanged.wait(lock, [&] { return !s.held || s.terminated; });
}

void TModelThread::Run(std::shared_ptr<TState> state) {
  TState &s = *state;
  currentSender = s.id;
  bool released = false;
  try {
    s.tickMark = s.clock->Ticks();
    while (!s.terminated)
      RunCycle(s);
  } catch (const EWorkerReleased &) {
    released = true;
  } catch (...) {
    s.SetErrorText(FatalErrorText);
    try {
      s.Send(WM_CALC_ERROR);
    } catch (...) {
      released = true;
    }
  }
  // A released worker's events may already serve its successor.
  if (!released)
    s.events->finished.Set();
  s.ended = true;
  s.channel->MarkEnded(s.id);
}

void TModelThread::RunCycle(TState &s) {
  TCalcCycle &model = *s.model;
  TCalcEvents &events = *s.events;
  int stage = NoError;
  std::string why; // what the model said of a failed step, if anything
  bool outputDue = false;
  bool refreshDue = false;

  // Unsigned 32-bit difference: a wrap of the tick counter adds the true time.
  const std::uint32_t elapsed = s.clock->Ticks() - s.tickMark;
  s.calculationTime = s.calculationTime + elapsed * 0.001;
  events.runGate.Wait();
  WaitWhileHeld(s);
  s.tickMark = s.clock->Ticks();

  // Terminate lifts a hold; the worker must then end, not start a cycle before
  // the terminate request that follows the flag is raised.
  if (s.terminated || events.terminateRequest.Wait(NoWait)) {
    s.terminated = true;
    return;
  }
  if (events.stopRequest.Wait(NoWait)) {
    events.runGate.Reset();
    model.FlushOutputs();
    s.channel->PostNotice(WM_CALC_STOPPED, s.id);
    return;
  }
  if (events.pauseRequest.Wait(NoWait)) {
    events.runGate.Reset();
    model.FlushOutputs();
    s.channel->PostNotice(WM_CALC_PAUSED, s.id);
    return;
  }

  events.busy.Set();
  const bool first = s.firstCycle;
  try {
    if (first)
      model.InitCalculation();
    else
      model.CalculateStep();
  } catch (const EWorkerReleased &) {
    throw;
  } catch (const ECalcError &e) {
    stage = first ? InitStage : StepStage;
    why = e.what();
  } catch (...) {
    stage = first ? InitStage : StepStage;
  }
  const bool finished = model.IsCalculationFinished();
  try {
    outputDue = model.IsOutputDue();
    if (outputDue || first)
      model.PrepareOutput();
  } catch (const EWorkerReleased &) {
    throw;
  } catch (...) {
    stage = OutputStage;
  }
  try {
    refreshDue = model.IsRefreshDue();
    if (refreshDue || first)
      model.PrepareRefresh();
  } catch (const EWorkerReleased &) {
    throw;
  } catch (...) {
    stage = RefreshStage;
  }
  events.busy.Reset();

  // The pause is only requested here and taken after the gate next cycle, so
  // that this cycle's output, refresh and autosave are still delivered.
  if (finished)
    model.Pause();

  if (stage == NoError) {
    s.firstCycle = false;
    if (outputDue)
      s.Send(WM_CALC_OUTPUT);
    if (refreshDue)
      s.Send(WM_CALC_REFRESH);
    if (model.IsSaveStepDue()) {
      model.FlushOutputs();
      s.Send(WM_CALC_SAVESTEP);
    }
  } else {
    s.SetErrorText(why.empty() ? std::string(StageText(stage)) : StageText(stage) + (": " + why));
    s.Send(WM_CALC_ERROR);
  }
}
