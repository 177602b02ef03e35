#include "model/FormModel.h"

#include "data/TimeConversion.h"
#include "data/TimeSerie.h"
#include "data/TimeSeries.h"
#include "model/ModelHost.h"
#include "model/ModelMessagePump.h"
#include "model/TimePlotUnits.h"
#include "model/worker/ModelThread.h"
#include "model/worker/SyncChannel.h"
#include "model/worker/TickClock.h"

namespace {

const char *const ThreadCaption = "Расчетный поток";
const char *const AbortedCaption = "Расчет прерван";

std::string ComposeErrorText(const std::string &error) {
  return std::string(ThreadCaption) + ": " + error + ".\n\n" + AbortedCaption + ".";
}

} // namespace

TFModel::TFModel()
    : seriesList(std::make_unique<TTimeSeries>(500)), channel(std::make_shared<TSyncChannel>()),
      clock(std::make_shared<TSteadyTickClock>()) {
  pump = new TModelMessagePump([this] { ServeMessages(); });
  channel->SetWaker([p = pump] { p->Wake(); });
  seriesCapacity = 500;
  seriesList->SetCapacity(seriesCapacity);
  FillTimePlotTimeUnits();
}

TFModel::~TFModel() {
  // Concrete models end the worker themselves; this is the last resort, in
  // which the worker can only reach this class's own operations.
  if (worker)
    Abort(false);
  channel->Close();
  pump->Disconnect();
}

void TFModel::SetHost(TModelHost *h) { host = h; }

void TFModel::SetClock(std::shared_ptr<TTickClock> c) { clock = std::move(c); }

void TFModel::StartWorker() {
  if (!worker)
    CreateWorker();
}

void TFModel::CreateWorker() { worker = std::make_shared<TModelThread>(*this, events, channel, clock); }

std::uint64_t TFModel::WorkerId() const { return worker ? worker->Id() : 0; }

std::string TFModel::WorkerErrorText() const { return worker ? worker->GetErrorText() : std::string(); }

bool TFModel::IsWorkerHeld() const { return worker && worker->IsHeld(); }

// ---- cycle operations (worker thread) ----

void TFModel::InitCalculation() { modified = true; }

void TFModel::CalculateStep() {
  outputState = NewStep;
  refreshState = NewStep;
  time = time + timeStep;
  stepCount = stepCount + 1;
  modified = true;
}

bool TFModel::IsCalculationFinished() {
  bool finished = false;
  switch (stopMode) {
  case StopOnEvent:
    finished = stageCount - stageCountAtLastSave >= 1;
    break;
  case StopAtTime:
    finished = time >= stopTime * IntervalFactor;
    break;
  case StopAfterDuration:
    finished = time - runStartTime >= runDuration * IntervalFactor;
    break;
  default:
    break;
  }
  stopReached = finished;
  return finished;
}

bool TFModel::IsOutputDue() {
  return time - lastOutputTime >= outputInterval * IntervalFactor || time == startTime;
}

void TFModel::PrepareOutput() { outputState = Prepared; }

bool TFModel::IsRefreshDue() {
  return time - lastRefreshTime >= refreshInterval * IntervalFactor || time == startTime;
}

void TFModel::PrepareRefresh() { refreshState = Prepared; }

bool TFModel::IsSaveStepDue() {
  const int flags = saveFlags;
  if (flags == 0)
    return false;
  if (time == startTime)
    return true;
  if ((flags & SaveOnTime) && time - lastSaveTime >= saveTimeInterval * IntervalFactor)
    return true;
  if ((flags & SaveOnGrowth) && stageCount - stageCountAtLastSave >= saveStageCount)
    return true;
  return false;
}

void TFModel::FlushOutputs() {
  if (outputState == NewStep)
    PrepareOutput();
  if (refreshState == NewStep)
    PrepareRefresh();
  if (outputState == Prepared)
    SendToSelf(WM_CALC_OUTPUT, 1);
  if (refreshState == Prepared)
    SendToSelf(WM_CALC_REFRESH, 1);
}

// ---- control (user-interface thread) ----

int TFModel::ResetRun() {
  time = startTime.load();
  lastOutputTime = 0.0;
  lastRefreshTime = 0.0;
  stepCount = 0;
  if (worker) {
    worker->SetCalculationTime(0.0);
    worker->SetFirstCycle(true);
  }
  stageCount = 0;
  stageCountAtLastSave = 0;
  lastSaveTime = startTime.load();
  outputState = NothingPending;
  refreshState = NothingPending;
  seriesList->Clear(1);
  SyncSeries();
  if (!gis)
    return -1;
  LoadInputArrays(true);
  if (host)
    host->PostRefreshViews();
  return CheckBeforeRun();
}

int TFModel::PrepareResume() {
  outputState = NothingPending;
  refreshState = NothingPending;
  return CheckBeforeRun();
}

void TFModel::Start() {
  // A running model would have its state reset under the step in progress.
  if (state == StateRunning)
    return;
  // Notices of what came before, and requests left over from it, do not
  // belong to this run.
  channel->NewGeneration();
  events.pauseRequest.Reset();
  events.stopRequest.Reset();
  SetState(StateRunning);
  const int refused = previousState != StatePaused ? ResetRun() : PrepareResume();
  if (refused != 0) {
    SetState(previousState);
    Stop();
    return;
  }
  stopReached = false;
  runStartTime = time.load();
  modified = true;
  events.runGate.Set();
}

void TFModel::Stop() {
  if (!events.runGate.Peek())
    PostToSelf(WM_CALC_STOPPED);
  else
    events.stopRequest.Set();
}

void TFModel::Pause() {
  if (!events.runGate.Peek())
    PostToSelf(WM_CALC_PAUSED);
  else
    events.pauseRequest.Set();
}

void TFModel::Abort(bool recreate) {
  const auto ch = channel;
  events.terminateRequest.Set();
  events.runGate.Set();
  if (const auto old = std::move(worker)) {
    old->Terminate();
    // Inside a handler of this worker's own send the worker cannot end before
    // the handler returns: let it go instead of waiting for it.
    if (ch->IsServingSendOf(old->Id()))
      old->Detach();
    else
      old->WaitFor([this](const TCalcMessage &message) { Dispatch(message); });
    // A send served meanwhile may have closed the project and this model.
    if (ch->IsClosed())
      return;
  }
  ch->NewGeneration();
  SetState(StateAborted);
  events.ResetAll();
  if (recreate && !worker)
    CreateWorker();
}

void TFModel::SuspendThread() {
  if (worker)
    worker->Hold();
}

void TFModel::ResumeThread() {
  if (worker)
    worker->LiftHold();
}

double TFModel::GetCalculationTime() const { return worker ? worker->GetCalculationTime() : 0.0; }

void TFModel::SetCalculationTime(double seconds) {
  if (worker)
    worker->SetCalculationTime(seconds);
}

// ---- state, texts, series ----

std::string TFModel::StatusText() {
  const double t = GetTime();
  if (state == StateSetup)
    return "расчет не запущен";
  if (state == StateRunning && worker && worker->IsFirstCycle()) {
    blinkToggle = blinkToggle ? 0 : 1;
    return blinkToggle == 1 ? "инициализация" : "";
  }
  return DurationToText(t, 120, 0);
}

void TFModel::SetGIS(TGIS *g) {
  gis = g;
  if (autoSyncLayers)
    SyncArrayLayers();
}

void TFModel::SetState(int s) {
  previousState = state;
  state = s;
}

std::string TFModel::StateName() const { return StateName(state); }

std::string TFModel::StateName(int s) {
  switch (s) {
  case StateSetup: return "установка начальных данных";
  case StateRunning: return "производится расчет";
  case StatePaused: return "расчет приостановлен";
  case StateStopped: return "расчет завершен";
  case StateAborted: return "расчет прерван";
  default: return "";
  }
}

int TFModel::GetSeriesCount() const { return seriesList->Count(); }

TTimeSerie *TFModel::GetSeries(int index) const { return seriesList->Item(index); }

TTimeSerie *TFModel::FindSeries(int quantityId, int objectId) const {
  return seriesList->Find(quantityId, objectId);
}

TTimeSerie *TFModel::FindSeriesByName(int quantityId, int objectType, const std::string &objectName) const {
  return seriesList->FindByName(quantityId, objectType, objectName);
}

void TFModel::AddSeries(std::unique_ptr<TTimeSerie> series) { seriesList->Add(std::move(series)); }

std::string TFModel::GetAxisName(int unitCode) const { return axes.Find(unitCode).name; }

std::string TFModel::GetAxisUnit(int unitCode) const { return axes.Find(unitCode).unit; }

void TFModel::SetTimeUnit(int capacity) {
  seriesCapacity = capacity;
  seriesList->SetCapacity(capacity);
}

// ---- messages ----

void TFModel::SendToSelf(int message, int wParam) {
  const std::uint64_t sender = TModelThread::CurrentSender();
  if (sender == 0) {
    // From the user-interface thread a send is a plain call.
    Dispatch(TCalcMessage{message, wParam, 0, 0, true});
    return;
  }
  channel->Send(message, wParam, sender);
}

void TFModel::PostToSelf(int notice) { channel->PostNotice(notice, 0); }

void TFModel::ServeMessages() {
  const auto ch = channel;
  ch->Serve([this](const TCalcMessage &message) { Dispatch(message); });
}

void TFModel::Dispatch(const TCalcMessage &message) {
  // Nothing may escape into the event loop. A failed handler of a worker's
  // send ends the run like a failed cycle; a failed notice changes nothing
  // further.
  try {
    switch (message.id) {
    case WM_CALC_OUTPUT: WMCalcOutput(message.wParam); break;
    case WM_CALC_REFRESH: WMCalcRefresh(message.wParam); break;
    case WM_CALC_PAUSED: WMCalcPaused(); break;
    case WM_CALC_STOPPED: WMCalcStopped(); break;
    case WM_CALC_ERROR: WMCalcError(); break;
    case WM_CALC_SAVESTEP: WMCalcSaveStep(); break;
    default: break;
    }
  } catch (...) {
    if (message.sent && message.id != WM_CALC_ERROR)
      FailInHandler(message.id);
  }
}

void TFModel::FailInHandler(int message) {
  try {
    Abort(true);
    const char *error = message == WM_CALC_OUTPUT    ? "неустранимая ошибка при обновлении даных модели"
                        : message == WM_CALC_REFRESH ? "неустранимая ошибка при обновлении интерфейса"
                                                     : "неустранимая ошибка";
    if (host)
      host->OnCalcError(this, ComposeErrorText(error));
  } catch (...) {
  }
}

void TFModel::WMCalcOutput(int wParam) {
  BeforeOutput();
  SampleOutputs(GetTime());
  outputState = Shown;
  if (wParam == 0)
    lastOutputTime = time.load();
}

void TFModel::WMCalcRefresh(int wParam) {
  const std::uint32_t now = clock->Ticks();
  // Flushes before a pause, a stop or an autosave always go through: the last
  // step's data must reach the layers then.
  if (wParam == 0 && static_cast<std::uint32_t>(now - refreshMark) < RefreshThrottleMs)
    return;
  RefreshData();
  UpdateArrayLayers();
  refreshState = Shown;
  if (wParam == 0) {
    if (host)
      host->PostRefreshViews();
    lastRefreshTime = time.load();
  }
  refreshMark = now;
}

void TFModel::WMCalcPaused() {
  SetState(StatePaused);
  if (host)
    host->OnCalcPaused(this);
}

void TFModel::WMCalcStopped() {
  SetState(StateStopped);
  if (host)
    host->OnCalcStopped(this);
}

void TFModel::WMCalcError() {
  const std::string error = WorkerErrorText();
  Abort(true);
  if (host)
    host->OnCalcError(this, ComposeErrorText(error));
}

void TFModel::WMCalcSaveStep() {
  lastSaveTime = time.load();
  stageCountAtLastSave = stageCount.load();
  if (host)
    host->OnCalcStep(this);
}
