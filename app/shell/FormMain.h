#pragma once
// TFMain: the MDI main window. It owns the one open project (its GIS, its model
// window, its view windows, its file name, modified flag, calculation state and
// step counter), handles its own messages, files dropped on it and the command
// line, shows hints and the status line, and keeps the student and the
// extended menu sets.

#include "model/ModelHost.h"
#include "shell/StartOptions.h"

#include <QElapsedTimer>
#include <QList>
#include <QMainWindow>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QMdiSubWindow;
class QTimer;
class QToolBar;
class TFOBrowser;
class TFBMPExportProgress;
class TFReportOptions;
class TWordBasic;
class TFSimpleView;
class TF3DView;
class TGIS;
class TFModel;
class TProjectFiles;
class TProjectLock;
class TModelWindowMaker;
class TViewFactory;

// The calculation state of the open project.
enum TCalcState : int32_t {
  CalcNotStarted = 0,
  CalcRunning = 1,
  CalcPaused = 2,
  CalcStopped = 3,
  CalcCreating = 4,
  CalcNoProject = 5,
};

// How a project file is written; nothing changes it after construction.
enum TStorageMode : int32_t {
  StoragePlain = 0,
  StorageCompressed = 1,
  StoragePacked = 2,
};

// Who asked for a save: only the menu items add the file to the recent list.
enum class TSaveSender { MenuSave, MenuSaveAs, Button, Question, Clones };

class TFMain : public QMainWindow, public TModelHost {
  Q_OBJECT

public:
  static inline const char* const ProgramName = "Kestovar";
  static inline const char* const ProjectExtension = "vzt";
  static inline const char* const NewProjectName = "Новый";
  // What the status update shows as the caption while the program runs.
  static inline const char* const MainCaption = "Лабораторная: диэлектрический пробой";

  // The arguments are those after the program name.
  explicit TFMain(const QStringList& arguments, QWidget* owner = nullptr);
  ~TFMain() override;

  // --- the project ---
  TGIS* Gis() const { return FGis; }
  TFModel* Model() const { return FModel; }
  int32_t CalcState() const { return FCalcState; }
  int32_t PrevCalcState() const { return FPrevCalcState; }
  void SetCalcState(int32_t state);
  // A run is on or a project is being built: the project must not be replaced.
  bool ProjectBusy() const { return FCalcState == CalcRunning || FCalcState == CalcCreating; }
  // No run is on or paused: the model's parameters and layers may change.
  bool ModelEditable() const { return FCalcState == CalcNotStarted || FCalcState == CalcStopped; }
  // A run may be started or continued.
  bool RunStartable() const { return ModelEditable() || FCalcState == CalcPaused; }
  const QString& ProjectFileName() const { return FProjectFileName; }
  // The lock on the open project's file, which the project files take and
  // CloseProject lets go; none while the project has no file.
  const std::shared_ptr<TProjectLock>& ProjectLock() const { return FProjectLock; }
  void HoldProjectLock(std::shared_ptr<TProjectLock> lock) { FProjectLock = std::move(lock); }
  bool Modified() const { return FModified; }
  void SetModified(bool modified) { FModified = modified; }
  int32_t StepCounter() const { return FStepCounter; }
  void SetStepCounter(int32_t counter) { FStepCounter = counter; }
  int32_t StorageMode() const { return FStorageMode; }
  bool Extended() const { return FExtended; }
  int32_t ToolMode() const { return FToolMode; }
  const QString& StartProject() const { return FStartProject; }
  bool StartProjectFound() const { return FStartProjectFound; }
  bool StartRun() const { return FStartRun; }
  bool CloseAtStart() const { return FCloseAtStart; }
  const QString& LastOpenedPath() const { return FLastOpenedPath; }
  const QStringList& RecentProjects() const { return FRecentProjects; }
  bool HasRecentList() const { return FHasRecentList; }
  int32_t ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int32_t index) { FImageIndex = index; }
  int32_t CloseWhenStopped() const { return FCloseWhenStopped; }
  bool PotentialOnly() const { return FPotentialOnly; }
  void SetCloseWhenStopped(int32_t value) { FCloseWhenStopped = value; }
  int32_t RefreshCountdown() const { return FRefreshCountdown; }
  void SetRefreshCountdown(int32_t value) { FRefreshCountdown = value; }
  const QString& DialogFilter() const { return FDialogFilter; }

  // Installs a GIS (null removes it): broadcast to the views first, then the old one goes.
  void SetProjectGis(TGIS* gis);
  // Installs a model window (null removes it): the new one is bound and
  // broadcast before the old one goes, so no view is ever left with a dead model.
  void SetModelWindow(TFModel* model);
  // Creates the model window of a new project around the GIS.
  void CreateModelWindow(TGIS* gis);
  // Removes the open project: its view windows, then the model window, then the GIS.
  void CloseProject();
  void UpdateCaption(const QString& name);
  // The save question; false means cancel (also when the save did not complete).
  bool ConfirmSaveChanges();

  // The reader and writer of project files; not owned, may be null.
  void SetProjectFiles(TProjectFiles* files) { FProjectFiles = files; }
  // The maker of model windows for new projects; not owned, may be null.
  void SetModelWindowMaker(TModelWindowMaker* maker) { FModelMaker = maker; }
  // The makers of view windows by kind; not owned, may be null. A "new window"
  // item is usable exactly when its kind has a maker.
  void SetViewFactory(const TViewFactory* views);
  // The tick count of the refresh throttle (milliseconds; tests set their own).
  void SetTickSource(std::function<uint32_t()> ticks);
  // New project: a GIS with a blank map and, when a maker is installed, a model window.
  void MINewClick();
  bool LoadProject(const QString& path);
  bool WriteProject(const QString& path);
  bool LoadResultData(const QString& path);

  // --- view windows ---
  // Shows the view as an MDI child and returns its sub-window.
  QMdiSubWindow* AddView(TFSimpleView* view);
  // The view windows in creation order (broadcasts walk it from the last).
  QList<TFSimpleView*> Views() const;
  // The same from the last to the first: the order every broadcast to the views takes.
  QList<TFSimpleView*> ViewsLastFirst() const;
  TFSimpleView* ActiveView() const;
  QMdiArea* MdiArea() const { return FMdiArea; }
  void RefreshViews();
  void OnGisObjectAdded(void* sender, int32_t id);
  void OnGisObjectDeleted(void* sender, int32_t id);

  // --- messages ---
  void PostMessage(int message);

  // --- status line and hints ---
  QString StatusText(int panel) const;
  void SetStatusText(int panel, const QString& text);
  int StatusPanelWidth(int panel) const;
  void ShowApplicationHint(const QString& hint);
  void UpdateStatus();
  void RefreshAll();
  void RefreshIfDue();

  // --- files dropped on the window ---
  // Exactly one file that is not a folder counts; dropped on the step-navigation
  // tool bar it is loaded as result data, anywhere else opened as a project.
  void OnDropFiles(const QStringList& paths, const QPoint& globalPos);

  // --- project commands ---
  void OpenProject(const QString& path);
  void AddRecentProject(const QString& path);
  // An item of the recent list: the path is the item's data, not its caption.
  void PMopenClick(QAction* item);
  // Numbered clones of the project and, when asked, the script that runs them.
  void MISaveClonesClick();
  // True when the project was written.
  bool MISaveClick(TSaveSender sender);
  bool MISaveAsClick();
  void LoadResultFile(const QString& path);
  // The same without the save question: the caller has dealt with the changes.
  bool TakeResultFile(const QString& path);
  void RepaintAllWindows();

  // --- BMP export ---
  // Asks for the folder and the start index, then exports every step file of
  // the project in the order of its step numbers.
  void ExportCalculationToBmp();
  // Asks for the files (the project's folder first), then for the folder and
  // the start index, and exports the chosen files in step order.
  void MIBMPSelectExportClick();
  // Loads each file as result data and exports the views after it; the
  // progress window blocks the rest of the program and can cancel after a file.
  void ExportFilesToBmp(const QStringList& files, const QString& folder);
  // One picture per view window under the next image index.
  void ExportViewsToBmp(const QString& folder);
  TFBMPExportProgress* BmpExportProgress();

  // --- report ---
  // The options dialog, then the report shown (false) or printed (true).
  void MIReportClick(bool print);
  void ShowWordReport();
  void PrintWordReport();
  // Writes the whole report; raises on a failed command or without a model.
  void BuildReport(TWordBasic& word);
  TFReportOptions* ReportOptions();
  // The word processor of the next report; the .docx writer unless set.
  void SetWordBasicMaker(std::function<std::unique_ptr<TWordBasic>()> maker);

  // --- calculation ---
  void BStartClick();
  void BPauseClick();
  void BStopClick();
  void BAbortClick();
  // The model window's callbacks (on the user-interface thread).
  void OnCalcPaused(TFModel* sender) override;
  void OnCalcStopped(TFModel* sender) override;
  void OnCalcError(TFModel* sender, const std::string& text) override;
  void OnCalcStep(TFModel* sender) override;
  void PostRefreshViews() override;
  std::string MakeTempFileName() override;
  void MIcalcpotentialClick();
  // Model menu.
  void MIModelParamsClick();
  void MIModelParamsStudClick();
  // The tables replace the model's list and stamp its layers on OK; they only
  // show the list while a run is on or paused.
  void MIElectrodesClick();
  void MIinhomogeneitiesClick();
  // The property frame of the project's model area.
  void MIObjectsClick();
  void MICalcStatusClick();
  // Writes the next step file; false (the counter kept) when it could not be written.
  bool SaveStep();
  QString StepFileName(int n) const;
  void ParseStepNumber(QString& name) const;

  // The calculation settings of the open project in the options dialog.
  void MIOptionsClick();

  // --- menus and tool modes ---
  void UpdateMenuItems();
  void UpdateCalcButtons();
  void SetToolMode(int32_t mode);
  void ApplyToolButtons();
  void SyncToolMode();
  void BInspectClick();
  void MPIInspectPointClick();
  void MPIInspectStructClick();
  void BInsertClick();
  void BEditObjClick();
  // Zoom of the active window when it is a 3D view or a section window.
  void SBZoomInClick();
  void SBZoomOutClick();
  // No tool-bar menu of Qt's own: the bars the user may show and hide are in "Панели".
  QMenu* createPopupMenu() override { return nullptr; }

  // --- new view windows and the array commands ---
  // A new window of the kind with the project's GIS (and model, for the kinds
  // that take one); the caption replaces the window's own unless empty. Null
  // without a maker for the kind.
  TFSimpleView* NewViewWindow(int kind, const QString& caption);
  // "В отдельном окне" of a 3D view: a section window over the view's current
  // plane, for a regular volume only.
  void OpenSectionWindow(TF3DView* view);
  // The model information window: the one there is comes to the front.
  void MIInfoClick();
  void MIDefaultArrayClick();
  void MIUpdateArraysClick();
  void MIBuildInfoClick();
  // Builds every input layer from its known values in the window
  // "Генерация массивов" and hands the layers to the model.
  void MIBuildArraysClick();

  // Called from the first show and every activation.
  void FormActivate();
  void MIextendedClick();
  void FileExitItemClick();

  // Design components.
  QMenu* MFile = nullptr;
  QAction* MINew = nullptr;
  QAction* MIOpen = nullptr;
  QAction* MISave = nullptr;
  QAction* MISaveAs = nullptr;
  QAction* MIAutoSave = nullptr;
  QAction* MISaveClones = nullptr;
  QAction* FileExitItem = nullptr;
  QMenu* Mmodel = nullptr;
  QAction* MIModelParams = nullptr;
  QAction* MIModelParamsStud = nullptr;
  QAction* MIElectrodes = nullptr;
  QAction* MIinhomogeneities = nullptr;
  QAction* MIObjects = nullptr;
  QMenu* MICalcArrayModel = nullptr;
  QAction* MIDefaultArray = nullptr;
  QAction* MIUpdateArrays = nullptr;
  QAction* MIBuildInfo = nullptr;
  QAction* MIBuildArrays = nullptr;
  QMenu* MCalc = nullptr;
  QAction* MIcalcpotential = nullptr;
  QAction* MIrun = nullptr;
  QAction* MIstop = nullptr;
  QAction* MIabort = nullptr;
  QAction* MICalcStatus = nullptr;
  QMenu* MOptions = nullptr;
  QMenu* MPanels = nullptr;
  QAction* MImain = nullptr;
  QAction* MIgis = nullptr;
  QAction* MImodel = nullptr;
  QAction* MIstatus = nullptr;
  QAction* MIOptions = nullptr;
  QMenu* MIData = nullptr;
  QAction* MILoadData = nullptr;
  QAction* MILoadDataNext = nullptr;
  QAction* MILoadDataPrev = nullptr;
  QMenu* MIReport = nullptr;
  QAction* MIReportWord = nullptr;
  QAction* MIReportPrint = nullptr;
  QAction* MIBMPExport = nullptr;
  QAction* MIBMPProjectExport = nullptr;
  QAction* MIBMPSelectExport = nullptr;
  QAction* MIextended = nullptr;
  QMenu* MWindows = nullptr;
  QMenu* MINewWin = nullptr;
  QAction* MINewCubuiqe = nullptr;
  QAction* MINewPlot = nullptr;
  QAction* MINewTreePlot = nullptr;
  QAction* MIDimension = nullptr;
  QAction* MIInfo = nullptr;
  QAction* MICloseWin = nullptr;
  QAction* WindowMinimizeItem = nullptr;
  QAction* WindowArrangeItem = nullptr;
  QAction* WindowCascadeItem = nullptr;
  QAction* WindowTileItem = nullptr;
  QMenu* Help1 = nullptr;
  QAction* MIHelp = nullptr;
  QAction* HelpAboutItem = nullptr;

  QToolBar* TBmain = nullptr;
  QAction* Bopen = nullptr;
  QMenu* PMopen = nullptr;
  QAction* Bsave = nullptr;
  QAction* Bcopy = nullptr;
  QAction* Bzoomin = nullptr;
  QAction* Bzoomout = nullptr;
  QToolBar* TBmodel = nullptr;
  QAction* Bstart = nullptr;
  QAction* Bpause = nullptr;
  QAction* Bstop = nullptr;
  QAction* Babort = nullptr;
  QToolBar* TBnavigator = nullptr;
  QAction* Bloaddataprev10 = nullptr;
  QAction* Bloaddataprev = nullptr;
  QAction* Bloaddatanext = nullptr;
  QAction* Bloaddatanext10 = nullptr;
  QToolBar* TBgis = nullptr;
  QAction* Binspect = nullptr;
  QMenu* PMSelect = nullptr;
  QAction* MPIInspectPoint = nullptr;
  QAction* MPIInspectStruct = nullptr;
  QAction* Bedit = nullptr;
  QMenu* PMEdit = nullptr;
  QAction* PMIEditMoveAll = nullptr;
  QAction* PMIEditMoveNode = nullptr;
  QAction* PMIEditProp = nullptr;
  QAction* Binsert = nullptr;
  QMenu* PMInsert = nullptr;
  QToolBar* TBstatus = nullptr;
  // The flat speed buttons on the window itself (beside the menu bar): they
  // repeat the inspector, insert, editor and zoom buttons.
  QAction* SBInspect = nullptr;
  QAction* SBInsert = nullptr;
  QAction* SBEditObj = nullptr;
  QAction* SBZoomIn = nullptr;
  QAction* SBZoomOut = nullptr;
  QTimer* Timer1 = nullptr;

signals:
  // A GIS or a model window was installed or removed: windows outside the MDI
  // area that follow the project (the inspector) take the new one from here.
  void ProjectChanged();

protected:
  bool event(QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  std::unique_ptr<TWordBasic> MakeWordBasic() const;
  void FormCreate();
  void FormResize();
  void CreateMenus();
  void CreateToolBars();
  void CreateSpeedButtons();
  void CreateStatusBar();
  void ConnectCommands();
  void HandleMessage(int message);
  // Asked when the window closes; false keeps the program open.
  bool FormClose();
  void Timer1Timer();
  void MPanelsClick();
  void TogglePanel(QToolBar* bar, QAction* item);
  void HelpAboutItemClick();
  void MICloseWinClick();
  void WindowMinimizeItemClick();
  void WindowArrangeItemClick();
  void BuildWindowList();
  bool IsOverNavigator(const QPoint& globalPos) const;
  void DestroyGis(TGIS* gis);
  // Both false after the error box.
  bool CopyClone(const QString& from, const QString& to);
  bool WriteCloneScript(const QString& path, const QStringList& clones);
  bool ReportNoProjectFiles();
  // Ends a potential-only run: the stop settings and the close flag come back.
  void EndPotentialOnly();
  // The electrode table takes the open model's list before a load.
  void GiveElectrodesToTable();

  uint32_t FLastRefreshTick = 0;
  QString FStartProject;
  int32_t FRefreshCountdown = 0;
  TGIS* FGis = nullptr;
  TFModel* FModel = nullptr;
  // The object browser, made on first use.
  TFOBrowser* FOBrowser = nullptr;
  int32_t FToolMode = 0;
  int32_t FCalcState = CalcNoProject;
  int32_t FPrevCalcState = CalcNoProject;
  QString FProjectFileName;
  std::shared_ptr<TProjectLock> FProjectLock;
  bool FModified = false;
  int32_t FStepCounter = 0;
  int32_t FCloseWhenStopped = 0;
  QStringList FRecentProjects;
  bool FHasRecentList = false;
  int32_t FStorageMode = StoragePacked;
  int32_t FAutoClosePending = 0;
  bool FStartProjectFound = false;
  bool FStartRun = false;
  bool FCloseAtStart = false;
  QString FLastOpenedPath;
  int32_t FImageIndex = 0;
  // The folder chosen last for the BMP export; empty after a cancel.
  QString FExportFolder;
  // The folder and start index of an export; false when the user cancelled.
  bool AskBmpExportTarget();
  TFBMPExportProgress* FBmpExportProgress = nullptr;
  TFReportOptions* FReportOptions = nullptr;
  std::function<std::unique_ptr<TWordBasic>()> FWordMaker;
  bool FPotentialOnly = false;
  // An autosave of this run could not write its step file.
  bool FStepFilesFailed = false;
  int32_t FSavedStopMode = 0;
  double FSavedStopTime = 0;
  bool FSavedCloseWhenStopped = false;
  bool FExtended = true;

  QMdiArea* FMdiArea = nullptr;
  QLabel* FStatusPanels[4] = {};
  QString FDialogFilter;
  TProjectFiles* FProjectFiles = nullptr;
  TModelWindowMaker* FModelMaker = nullptr;
  std::function<uint32_t()> FTicks;
  bool FFirstShowDone = false;
  QList<QMenu*> FWindowListMenus;
  QList<QAction*> FWindowListActions;
  const TViewFactory* FViews = nullptr;
  // The "new window" items and the kind each makes.
  struct TNewWindowItem {
    QAction* item;
    int kind;
    const char* caption; // replaces the window's own; null keeps it
    bool refresh;        // drawn at once rather than by the next refresh
  };
  QList<TNewWindowItem> FNewWindowItems;
  void ConnectViewCommands();
};

// The program's main window, created first at start.
extern TFMain* FMain;
