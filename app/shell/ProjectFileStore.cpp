#include "shell/ProjectFileStore.h"

#include "data/TagStream.h"
#include "gis/BitGIS.h"
#include "model/FormBitModel.h"
#include "model/dialogs/FormElectrodes.h"
#include "shell/FormInfo.h"
#include "shell/FormMain.h"
#include "shell/ProjectLock.h"
#include "shell/StepFiles.h"
#include "shell/Projectfile.h"
#include "model/breakdown/ProjectBase.h"
#include "base/FormSimpleView.h"
#include "base/ModalCalls.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace {

QString Text(const char* utf8)
{
  return QString::fromUtf8(utf8);
}

// The hourglass for the length of a load.
class TBusyCursor {
public:
  TBusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~TBusyCursor() { QGuiApplication::restoreOverrideCursor(); }
  TBusyCursor(const TBusyCursor&) = delete;
  TBusyCursor& operator=(const TBusyCursor&) = delete;
};

void ShowProgress(const char* line, TFMain& main)
{
  if (FInfo)
    FInfo->ShowText(Text(line) + " ...", Text("Загрузка данных"), &main);
  QCoreApplication::processEvents();
}

void HideProgress()
{
  if (FInfo)
    FInfo->hide();
}

// The view windows from the back of the window order to the front: loading
// them in this order brings the front window to the front again.
QList<TFSimpleView*> ViewsBackToFront(const TFMain& main)
{
  QList<TFSimpleView*> views;
  for (QMdiSubWindow* sub : main.MdiArea()->subWindowList(QMdiArea::StackingOrder))
    if (auto* view = qobject_cast<TFSimpleView*>(sub->widget()))
      views.append(view);
  return views;
}

// A stored state the program cannot be in is taken from what the loaded model
// says: a file written during a run keeps state 1 only while its model runs on
// (it then pauses itself), and states 4 and 5 never describe an open project.
int32_t SaneCalcState(int32_t stored, const TFModel* model)
{
  int modelState = model ? model->GetState() : TFModel::StateSetup;
  if (stored == CalcRunning && modelState == TFModel::StateRunning)
    return CalcRunning;
  // A run whose lattice could not be read back stopped while it loaded (its
  // notice may have come before the window took the model): it cannot be
  // continued, whatever the file says.
  if ((stored == CalcRunning || stored == CalcPaused) && modelState == TFModel::StateStopped)
    return CalcStopped;
  if (stored >= CalcNotStarted && stored <= CalcStopped && stored != CalcRunning)
    return stored;
  switch (modelState) {
  case TFModel::StateSetup:
    return CalcNotStarted;
  case TFModel::StatePaused:
    return CalcPaused;
  default:
    return CalcStopped;
  }
}

// The electrodes a loaded model without electrode records takes: the table's
// list, which the project commands filled from the open model.
std::function<std::vector<TElectrodeRecord>()> ElectrodeSource(const TFMain& main)
{
  std::vector<TElectrodeRecord> current;
  if (FElectrodes)
    current = FElectrodes->Items();
  else if (auto* old = dynamic_cast<TFBitModel*>(main.Model()))
    current = old->Electrodes();
  return [current] { return current; };
}

void ReportOpenFailure(TFMain& main, TProjectOpenResult result, bool withPeriod, const QString& path = {},
                       const std::string& reason = {})
{
  const char* period = withPeriod ? "." : "";
  // A file that could be read but not opened (no room for its unpacked
  // image): the machine's reason, not a verdict on the file.
  if (result == TProjectOpenResult::CannotOpen && !reason.empty())
    ShowErrorMessage(&main, Text("Невозможно открыть файл") + " \"" + path + "\": " + QString::fromStdString(reason));
  else if (result == TProjectOpenResult::BadFormat && !reason.empty())
    ShowErrorMessage(&main, Text("Неправильный формат файла") + period + "\n" + QString::fromStdString(reason));
  else if (result == TProjectOpenResult::BadFormat)
    ShowErrorMessage(&main, Text("Неправильный формат файла") + period);
  else if (result == TProjectOpenResult::BadVersion)
    ShowErrorMessage(&main, Text("Неправильная версия файла") + period);
}

// What the packed records of one project file may expand to in all: room for
// the largest records of the largest lattice, not for a file that claims more.
constexpr int64_t kOpenExpansionBudget = int64_t{512} << 20;

// A packed record that claims more than the file can hold.
struct EExpansionRefused : std::runtime_error {
  EExpansionRefused() : std::runtime_error("a packed record claims more than a project holds") {}
};

void CheckExpansion(const TExpansionBudget& budget)
{
  if (budget.Exceeded())
    throw EExpansionRefused();
}

void ReportLoadError(TFMain& main)
{
  ModalCalls().Message(&main, QMessageBox::Critical, Text("Критическая ошибка"),
                       Text("Непредвиденная ошибка") + " - " + Text("загрузка данных прервана"), QMessageBox::Ok);
}

// A failure while the project's parts were read: a damaged file is told as
// one (naming what is wrong in it), anything else as the unexpected error.
void ReportReadFailure(TFMain& main, const std::exception& e, bool withPeriod)
{
  if (dynamic_cast<const EExpansionRefused*>(&e))
    ReportOpenFailure(main, TProjectOpenResult::BadFormat, withPeriod);
  else if (dynamic_cast<const EDamagedImage*>(&e))
    ReportOpenFailure(main, TProjectOpenResult::BadFormat, withPeriod, {}, e.what());
  else
    ReportLoadError(main);
}

// The lock of the project file at path: the open project's own, or a new one;
// null, with the user told, when another program has that file open.
std::shared_ptr<TProjectLock> LockProject(TFMain& main, const QString& path)
{
  const std::string name = path.toStdString();
  if (main.ProjectLock() && main.ProjectLock()->ProjectPath() == name)
    return main.ProjectLock();
  std::unique_ptr<TProjectLock> lock;
  if (TProjectLock::Take(name, lock) == TProjectLock::TResult::HeldElsewhere) {
    ShowErrorMessage(&main, Text("Проект уже открыт в другом окне программы: ") + path);
    return nullptr;
  }
  return lock;
}

// What killed saves of this project left beside it; a side file that a kill
// kept from its place was taken while the model loaded, if it was the
// project's. Other programs' saves under way hold their files and stay.
void RemoveLeftoversOf(const QString& path)
{
  const std::string project = path.toStdString();
  RemoveSiblingTempsOf(project);
  RemoveSiblingTempsOf(LatticeSideFileName(ProjectFileBase(project)));
  const size_t slash = project.rfind('/');
  RemoveStaleSiblingTemps(slash == std::string::npos ? std::string(".") : project.substr(0, slash + 1));
}

// The side file could not be written (after a save) or read (after a load, the
// model then stopped): the reason under "Ошибка".
void ReportSideFile(TFMain& main, const TFModel* model)
{
  auto* bit = dynamic_cast<const TFBitModel*>(model);
  if (bit && !bit->GetSideFileError().empty())
    ShowErrorMessage(&main, QString::fromStdString(bit->GetSideFileError()));
}

// Opens and checks a file; reports what is wrong with it. False: nothing to read.
bool OpenChecked(TFMain& main, const QString& path, TOpenedProject& opened, TProjectBodyLayout& layout,
                 bool withPeriod)
{
  TProjectOpenResult result = OpenProjectFile(path.toStdString(), opened);
  if (result == TProjectOpenResult::Ok && !ScanProjectBody(opened.Body(), layout))
    result = TProjectOpenResult::BadFormat;
  if (result == TProjectOpenResult::Ok)
    return true;
  ReportOpenFailure(main, result, withPeriod, path, opened.Failure());
  return false;
}

// The main-window record as a load takes it; what the file lacks keeps the
// open window's value. (Its window count is the body scan's.)
struct TMainRecord {
  int32_t top, left, width, height;
  int32_t state, counter, closeWhenStopped;
};

TMainRecord ReadMainRecord(TStream& body, const TFMain& main)
{
  TMainRecord values{main.y(), main.x(), main.width(), main.height(),
                     main.CalcState(), main.StepCounter(), main.CloseWhenStopped()};
  TTagStream record(&body, TagStreamRead);
  record.SetGroup(TagGroup::MainWindow);
  record.Read(values.top, MainRecordTop);
  record.Read(values.left, MainRecordLeft);
  record.Read(values.width, MainRecordClientWidth);
  record.Read(values.height, MainRecordClientHeight);
  record.Read(values.state, MainRecordCalcState);
  record.Read(values.counter, MainRecordStepCounter);
  record.Read(values.closeWhenStopped, MainRecordCloseWhenStopped);
  return values;
}

// The run's place as the file gives it, checked against the loaded model.
void TakeRunState(TFMain& main, const TMainRecord& values, const TFModel* model)
{
  main.SetCalcState(SaneCalcState(values.state, model));
  main.SetStepCounter(std::max(0, values.counter));
  main.SetCloseWhenStopped(values.closeWhenStopped != 0 ? 1 : 0);
}

// The modified flags a failed write must leave as they were.
class TModifiedFlags {
public:
  explicit TModifiedFlags(TFMain& main)
    : gis(main.Gis()), model(main.Model()), gisModified(gis && gis->IsModified()),
      modelModified(model && model->IsModified())
  {
    for (TFSimpleView* view : main.Views())
      views.append({QPointer<TFSimpleView>(view), view->ViewModified()});
  }

  void Restore()
  {
    if (gis)
      gis->SetModified(gisModified);
    if (model)
      model->SetModified(modelModified);
    for (auto& [view, modified] : views)
      if (view)
        view->SetViewModified(modified);
  }

private:
  TGIS* gis;
  TFModel* model;
  bool gisModified;
  bool modelModified;
  QList<QPair<QPointer<TFSimpleView>, bool>> views;
};

} // namespace

TProjectFileStore::TProjectFileStore(TModelMaker maker) : modelMaker(std::move(maker)) {}

std::unique_ptr<TFModel> TProjectFileStore::MakeModel() const
{
  if (modelMaker)
    return modelMaker();
  return std::make_unique<TFBitModel>();
}

std::unique_ptr<TFModel> TProjectFileStore::MakeModelToLoad(const TFMain& main, const QString& path) const
{
  std::unique_ptr<TFModel> model = MakeModel();
  if (auto* bit = dynamic_cast<TFBitModel*>(model.get())) {
    bit->SetProjectName(path.toStdString());
    bit->SetElectrodeSource(ElectrodeSource(main));
  }
  return model;
}

bool TProjectFileStore::WriteBody(TFMain& main, TStream& body, const std::string& projectName)
{
  const QList<TFSimpleView*> views = ViewsBackToFront(main);
  {
    TTagStream record(&body, TagStreamWrite);
    record.SetGroup(TagGroup::MainWindow);
    int32_t values[MainRecordCount] = {};
    values[MainRecordTop] = main.y();
    values[MainRecordLeft] = main.x();
    values[MainRecordClientWidth] = main.width();
    values[MainRecordClientHeight] = main.height();
    values[MainRecordCalcState] = main.CalcState();
    values[MainRecordStepCounter] = main.StepCounter();
    values[MainRecordWindowCount] = static_cast<int32_t>(views.size());
    values[MainRecordCloseWhenStopped] = main.CloseWhenStopped();
    for (int32_t value : values)
      record.WriteInt(value);
    if (!record.Commit())
      return false;
  }
  if (TGIS* gis = main.Gis()) {
    if (!gis->SaveObjects(body))
      return false;
  } else {
    TBitGIS empty(nullptr);
    if (!empty.SaveObjects(body))
      return false;
  }
  if (TFModel* model = main.Model()) {
    auto* bit = dynamic_cast<TFBitModel*>(model);
    if (bit)
      bit->SetProjectName(projectName);
    // A lattice side file that cannot be written does not stop the project
    // from being written; the writer says so afterwards.
    model->SaveToStream(&body);
  } else {
    TTagStream empty(&body, TagStreamWrite);
    if (!empty.Commit())
      return false;
  }
  for (TFSimpleView* view : views) {
    TTagStream image(&body, TagStreamWrite);
    view->SaveToStream(&image);
    if (!image.Commit())
      return false;
  }
  return true;
}

bool TProjectFileStore::WriteProject(TFMain& main, const QString& path)
{
  // Two programs must not write the same files over each other.
  const std::shared_ptr<TProjectLock> lock = LockProject(main, path);
  if (!lock)
    return false;
  TModifiedFlags flags(main);
  const std::string name = path.toStdString();
  errno = 0;
  // The side file goes in place only after the project file: a failed write
  // leaves the old pair, a continuable run never meets a foreign lattice.
  auto* bit = dynamic_cast<TFBitModel*>(main.Model());
  if (bit)
    bit->DeferSideFile(true);
  bool written = WriteProjectFile(name, main.StorageMode(),
                                  [&](TStream& body) { return WriteBody(main, body, name); });
  const int reason = errno;
  if (bit) {
    bit->DeferSideFile(false);
    if (written && sideFileCommitSeam && !sideFileCommitSeam()) {
      bit->AbandonSideFile();
      return false;
    }
    if (written)
      bit->CommitSideFile();
    else
      bit->DiscardSideFile();
  }
  if (written) {
    // The project's own file stays the program's while it is open.
    if (path == main.ProjectFileName())
      main.HoldProjectLock(lock);
    // The run goes on from a project only with its lattice: say why it cannot.
    ReportSideFile(main, main.Model());
    return true;
  }
  flags.Restore();
  // Which file, and what the system said, on the line below.
  QString where = path;
  if (reason != 0)
    where += ": " + QString::fromLocal8Bit(std::strerror(reason));
  ShowErrorMessage(&main, Text("Ошибка записи в файл.") + "\n" + where);
  return false;
}

bool TProjectFileStore::LoadProject(TFMain& main, const QString& path)
{
  TBusyCursor busy;
  ShowProgress("инициализация", main);
  TOpenedProject opened;
  TProjectBodyLayout layout;
  if (!OpenChecked(main, path, opened, layout, false)) {
    HideProgress();
    return false;
  }
  TStream& body = opened.Body();
  const TMainRecord values = ReadMainRecord(body, main);
  // A step file of a run opens as its project and is saved under the
  // project's name: that name is the one no other program may have open.
  const std::shared_ptr<TProjectLock> lock =
      LockProject(main, ProjectNameOf(path, std::max(0, values.counter)));
  if (!lock) {
    HideProgress();
    return false;
  }
  main.SetStatusText(0, Text("Загрузка данных") + " ...");
  main.hide();
  ShowProgress("чтение", main);

  // The new project is built beside the open one: whatever goes wrong while its
  // GIS and model are read leaves the open project as it was.
  std::unique_ptr<TGIS> gis;
  std::unique_ptr<TFModel> model;
  TExpansionBudget budget(kOpenExpansionBudget);
  try {
    body.SetPosition(layout.gisStart);
    gis = std::make_unique<TBitGIS>(nullptr);
    gis->LoadObjects(body);
    model = MakeModelToLoad(main, path);
    body.SetPosition(layout.modelStart);
    model->LoadFromStream(&body);
    CheckExpansion(budget);
    gis->SetModel(model.get());
    model->SetGIS(gis.get());
  } catch (const std::exception& e) {
    HideProgress();
    main.SetStatusText(0, QString());
    ReportReadFailure(main, e, false);
    return false;
  }

  main.CloseProject();
  main.HoldProjectLock(lock);
  try {
    TakeRunState(main, values, model.get());
    ShowProgress("обновление", main);
    main.move(values.left, values.top);
    main.resize(std::clamp(values.width, 300, 16384), std::clamp(values.height, 200, 16384));
    body.SetPosition(layout.windowsStart);
    for (int32_t i = 0; i < layout.windowCount && body.Remaining() > 0; ++i) {
      const int64_t before = body.GetPosition();
      TTagStream image(&body, TagStreamRead);
      if (body.GetPosition() == before)
        break; // a tail too short for an image: the count was damaged
      image.SetGroup(TagGroup::ViewWindow);
      int32_t kind = -1;
      if (!image.Read(kind, 0))
        continue;
      TFSimpleView* view = views.Create(kind, main, model.get());
      if (!view)
        continue;
      main.AddView(view);
      view->LoadFromStream(&image);
      CheckExpansion(budget);
    }
    // The layers the model makes again are part of what was read: the project
    // opens unmodified.
    gis->SetModified(false);
    model->SetModified(false);
    main.SetProjectGis(gis.release());
    main.SetModelWindow(model.release());
    // The progress lines let messages run before the window took the model:
    // a stop the model reported then reached no window.
    main.SetCalcState(SaneCalcState(values.state, main.Model()));
    main.SetToolMode(0);
    main.SetModified(false);
  } catch (const std::exception& e) {
    main.SetCalcState(CalcNoProject);
    ReportReadFailure(main, e, false);
    main.CloseProject();
    main.SetStatusText(0, QString());
    return false;
  }
  main.SetStatusText(0, QString());
  RemoveLeftoversOf(path);
  ReportSideFile(main, main.Model());
  return true;
}

bool TProjectFileStore::LoadResultData(TFMain& main, const QString& path)
{
  // The running model and a project being built must not be replaced.
  if (main.ProjectBusy() || !main.Gis())
    return false;
  TOpenedProject opened;
  TProjectBodyLayout layout;
  if (!OpenChecked(main, path, opened, layout, true))
    return false;
  TBusyCursor busy;
  TStream& body = opened.Body();
  main.SetStatusText(0, Text("Загрузка данных") + " ...");

  const TMainRecord values = ReadMainRecord(body, main);

  // The new model is read first and the GIS updated after it: a file whose
  // model cannot be read changes nothing, and the views keep a live model
  // until the new one is handed to them.
  TGIS* gis = main.Gis();
  std::unique_ptr<TFModel> model;
  TExpansionBudget budget(kOpenExpansionBudget);
  try {
    model = MakeModelToLoad(main, path);
    if (auto* bit = dynamic_cast<TFBitModel*>(model.get()))
      bit->SetTakeStoredElectrodes(false);
    body.SetPosition(layout.modelStart);
    model->LoadFromStream(&body);
    CheckExpansion(budget);
    body.SetPosition(layout.gisStart);
    gis->UpdateObjects(body);
    gis->SetModel(model.get());
    model->SetGIS(gis);
  } catch (const std::exception& e) {
    if (model)
      gis->SetModel(main.Model());
    main.SetStatusText(0, QString());
    ReportReadFailure(main, e, true);
    return false;
  }
  TFModel* loaded = model.get();
  main.SetModelWindow(model.release());
  TakeRunState(main, values, loaded);
  main.SetStatusText(0, QString());
  main.SetToolMode(0);
  auto* bit = dynamic_cast<TFBitModel*>(loaded);
  if (bit && bit->IsSideFileLoaded())
    loaded->UpdateArrayLayers();
  // What was read is what the file holds: only an edit after it counts as a change.
  gis->SetModified(false);
  loaded->SetModified(false);
  main.SetModified(false);
  ReportSideFile(main, loaded);
  return true;
}
