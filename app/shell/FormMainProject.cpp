// The main window's project and calculation operations: the parts of TFMain
// that install, drive and remove the GIS and the model window.
#include "maps/FormInspector.h"
#include "shell/FormMain.h"

#include "maps/FormOBrowser.h"

#include "gis/BitGIS.h"
#include "gis/GMap.h"
#include "gis/ObjectTypeCode.h"
#include "maps/FormOBrowser.h"
#include "model/FormBitModel.h"
#include "model/FormModel.h"
#include "model/dialogs/ModelDialogCommands.h"
#include "model/TempFileName.h"
#include "shell/MainMessages.h"
#include "shell/ModelWindowMaker.h"
#include "base/FormGisView.h"
#include "base/ModalCalls.h"
#include "base/ModelView.h"
#include "base/WindowKind.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTime>

#include <algorithm>

namespace {

QString Text(const char* utf8)
{
  return QString::fromUtf8(utf8);
}

bool TakesModel(int kind)
{
  return kind == WindowKindTimePlot || kind == WindowKindBit3DView || kind == WindowKindTreePlot ||
         kind == WindowKindDimPlot || kind == WindowKindModelInfo || kind == WindowKindTreeInfo;
}

} // namespace

// --- installing and removing a project -----------------------------------------

void TFMain::DestroyGis(TGIS* gis)
{
  if (!gis)
    return;
  if (FOBrowser && FOBrowser->Gis() == gis)
    FOBrowser->ForgetGis();
  // A dying GIS reports its objects going: nobody is left to hear it.
  gis->OnChange = nullptr;
  gis->OnObjectAdded = nullptr;
  gis->OnObjectDeleted = nullptr;
  gis->OnGeoChange = nullptr;
  delete gis;
}

void TFMain::SetProjectGis(TGIS* gis)
{
  // The inspector lets go of the old GIS before it is destroyed.
  if (FInspector)
    FInspector->SetGis(gis);
  for (TFSimpleView* each : ViewsLastFirst())
    if (auto* view = qobject_cast<TFGisView*>(each))
      view->SetGIS(gis);
  if (FGis != gis) {
    ModelDialogsForgetProject();
    DestroyGis(FGis);
  }
  FGis = gis;
  if (gis) {
    gis->OnChange = [this](void*) { RefreshViews(); };
    gis->OnObjectAdded = [this](void* sender, int32_t id) { OnGisObjectAdded(sender, id); };
    gis->OnObjectDeleted = [this](void* sender, int32_t id) { OnGisObjectDeleted(sender, id); };
  }
  SetToolMode(0);
  UpdateMenuItems();
  Binsert->setMenu(gis ? PMInsert : nullptr);
  emit ProjectChanged();
}

void TFMain::SetModelWindow(TFModel* model)
{
  // The new model is installed and broadcast before the old one goes, so that
  // no view holds the old model once it is destroyed.
  TFModel* old = FModel;
  FModel = model;
  if (model)
    model->SetHost(this);
  for (TFSimpleView* each : ViewsLastFirst())
    if (TakesModel(each->Tag()))
      if (auto* view = dynamic_cast<TModelView*>(each))
        view->SetModel(model);
  if (old != model) {
    ModelDialogsForgetProject();
    delete old;
  }
  emit ProjectChanged();
}

void TFMain::CreateModelWindow(TGIS* gis)
{
  std::unique_ptr<TFModel> created = FModelMaker ? FModelMaker->CreateModel(*this) : nullptr;
  TFModel* model = created.release();
  if (gis)
    gis->SetModel(model);
  if (model)
    model->SetGIS(gis);
  SetProjectGis(gis);
  SetModelWindow(model);
  SetCalcState(CalcNotStarted);
  // The counter goes first: a new project shows no step number of the last one.
  FStepCounter = 0;
  UpdateCaption(Text(NewProjectName));
  FModified = false;
}

void TFMain::CloseProject()
{
  QList<QMdiSubWindow*> subs = FMdiArea->subWindowList(QMdiArea::CreationOrder);
  for (auto it = subs.rbegin(); it != subs.rend(); ++it)
    delete *it;
  ModelDialogsForgetProject();
  delete FModel;
  FModel = nullptr;
  if (FInspector)
    FInspector->SetGis(nullptr);
  DestroyGis(FGis);
  FGis = nullptr;
  FProjectLock.reset();
}

void TFMain::MINewClick()
{
  if (!ConfirmSaveChanges())
    return;
  CloseProject();
  SetCalcState(CalcCreating);
  auto* gis = new TBitGIS(nullptr);
  QImage blank(1, 1, QImage::Format_RGB32);
  blank.fill(Qt::white);
  gis->AddObjectAt(this, std::make_unique<TGMap>(gis, 0.0, 0.0, 1.0, 1.0, TBitmap::FromImage(blank)), 0.0, 0.0,
                   false);
  CreateModelWindow(gis);
  if (FModelMaker)
    FModelMaker->SetUpNewProject(*this);
  // The new project's model area and blank map make way for the model's own layers.
  for (int32_t code : {int32_t(ObjectTypeModelRect), int32_t(ObjectTypeMap)})
    if (TGObj* first = gis->GetObjectOfType(0, code))
      gis->DeleteObject(this, first, true);
  if (FModelMaker)
    FModelMaker->FinishNewProject(*this);
  UpdateMenuItems();
}

bool TFMain::ConfirmSaveChanges()
{
  bool gisModified = FGis && FGis->IsModified();
  bool modelModified = FModel && FModel->IsModified();
  if (!FModified && !gisModified && !modelModified)
    return true;
  QMessageBox::StandardButton answer =
    ModalCalls().Message(this, QMessageBox::Warning, Text("Предупреждение"),
                         Text("Сохранить изменения в проекте") + " \"" + FProjectFileName + "\".",
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  if (answer == QMessageBox::Cancel)
    return false;
  // Closing after a save that did not happen would lose the changes.
  if (answer == QMessageBox::Yes)
    return MISaveClick(TSaveSender::Question);
  return true;
}

bool TFMain::FormClose()
{
  if (FAutoClosePending == 1)
    return true;
  if (FCalcState == CalcRunning && FModel) {
    FModel->SuspendThread();
    QMessageBox::StandardButton answer = ModalCalls().Message(
      this, QMessageBox::Question, Text("Сообщение"),
      Text("Программа находится в процессе рассчета.\nПрервать расчет и закрыть программу ?"),
      QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes) {
      FModel->ResumeThread();
      return false;
    }
    return true;
  }
  if (FAutoClosePending == 2) {
    // Without its last step file the run's end would be lost: the program stays
    // open (the write has said why) and the project stays marked modified.
    if (SaveStep())
      return true;
    FAutoClosePending = 0;
    FModified = true;
    return false;
  }
  return ConfirmSaveChanges();
}

// --- calculation commands -------------------------------------------------------

void TFMain::BStartClick()
{
  if (!FModel)
    return;
  try {
    SetToolMode(9);
    setCursor(Qt::BusyCursor);
    Bstart->setEnabled(false);
    SetCalcState(CalcRunning);
    FStepFilesFailed = false;
    FModel->Start();
    if (FPrevCalcState != CalcPaused)
      FStepCounter = 0;
    UpdateMenuItems();
  } catch (const std::exception&) {
    ModalCalls().Message(
      this, QMessageBox::Critical, Text("Критическая ошибка"),
      Text("Непредвиденная ошибка - расчет будет прерван.\nПроверте правильность введенных параметров."),
      QMessageBox::Ok | QMessageBox::Cancel);
    BAbortClick();
  }
}

void TFMain::BPauseClick()
{
  if (!FModel)
    return;
  for (QAction* button : {Bstart, Bpause, Bstop})
    button->setEnabled(false);
  FModel->Pause();
}

void TFMain::BStopClick()
{
  if (!FModel)
    return;
  for (QAction* button : {Bpause, Bstop, Bstart})
    button->setEnabled(false);
  FModel->Stop();
}

void TFMain::BAbortClick()
{
  if (!FModel)
    return;
  unsetCursor();
  SyncToolMode();
  SetCalcState(CalcStopped);
  // Sets every calculation button for the stopped state.
  UpdateMenuItems();
  FModel->Abort(true);
  EndPotentialOnly();
}

void TFMain::EndPotentialOnly()
{
  if (!FPotentialOnly)
    return;
  FPotentialOnly = false;
  if (FModel) {
    FModel->SetStopMode(FSavedStopMode);
    FModel->SetStopTime(FSavedStopTime);
  }
  FCloseWhenStopped = FSavedCloseWhenStopped ? 1 : 0;
}

void TFMain::GiveElectrodesToTable()
{
  if (auto* model = dynamic_cast<TFBitModel*>(FModel))
    KeepElectrodesInTable(FGis, model->GetEngine(), model->Electrodes());
}

void TFMain::MIcalcpotentialClick()
{
  if (!FModel || !ModelEditable())
    return;
  FSavedStopMode = FModel->GetStopMode();
  FSavedStopTime = FModel->GetStopTime();
  FSavedCloseWhenStopped = FCloseWhenStopped != 0;
  FModel->SetStopMode(TFModel::StopAtTime);
  FModel->SetStopTime(0.0);
  FCloseWhenStopped = 0;
  FPotentialOnly = true;
  BStartClick();
}

void TFMain::OnCalcPaused(TFModel*)
{
  unsetCursor();
  SetCalcState(CalcPaused);
  SyncToolMode();
  UpdateMenuItems();
  RefreshIfDue();
  if (FModel && FModel->StopConditionReached() && FCloseWhenStopped) {
    FAutoClosePending = FModel->GetSaveFlags() != 0 && FModel->IsModified() ? 2 : 1;
    PostMessage(WM_CLOSE_MAIN);
  }
  if (FPotentialOnly) {
    EndPotentialOnly();
    BStopClick();
  }
}

void TFMain::OnCalcStopped(TFModel*)
{
  // A potential-only run that was refused or stopped before its pause ends here.
  EndPotentialOnly();
  unsetCursor();
  SetCalcState(CalcStopped);
  SyncToolMode();
  UpdateMenuItems();
  RefreshIfDue();
}

void TFMain::OnCalcError(TFModel*, const std::string& text)
{
  EndPotentialOnly();
  unsetCursor();
  QString message = QString::fromStdString(text);
  if (message.isEmpty())
    message = Text("Неустранимая ошибка. Расчет прерван.");
  ShowErrorMessage(this, message);
  SetCalcState(CalcStopped);
  UpdateMenuItems();
}

void TFMain::OnCalcStep(TFModel*)
{
  // One failure a run is said once; the run then goes on without step files
  // rather than stopping at a box on every autosave point.
  if (FStepFilesFailed)
    return;
  if (!SaveStep())
    FStepFilesFailed = true;
}

void TFMain::PostRefreshViews()
{
  PostMessage(WM_REFRESH_VIEWS);
}

std::string TFMain::MakeTempFileName()
{
  return ::MakeTempFileName();
}

// --- status and refresh ---------------------------------------------------------

void TFMain::UpdateStatus()
{
  setWindowTitle(Text(MainCaption));
  SetStatusText(3, QTime::currentTime().toString("hh:mm:ss"));
  if (FCalcState == CalcNotStarted || FCalcState == CalcCreating || FCalcState == CalcNoProject)
    SetStatusText(1, Text("расчет не запущен"));
  else
    SetStatusText(1, FModel ? QString::fromStdString(FModel->StatusText()) : QString());
}

void TFMain::RefreshAll()
{
  UpdateStatus();
  RefreshViews();
}

void TFMain::RefreshIfDue()
{
  // A refresh queued before a failed load finds no project to draw.
  if (!FModel)
    return;
  uint32_t now = FTicks();
  uint32_t elapsed = now - FLastRefreshTick;
  uint32_t distance = std::min(elapsed, FLastRefreshTick - now);
  if (FModel->GetState() == TFModel::StateRunning && distance <= 500)
    return;
  RefreshAll();
  FLastRefreshTick = FTicks();
}
