#include "maps/FormInspector.h"
#include "shell/FormMain.h"

#include "data/qt/RegistrySettings.h"
#include "shell/CustomCursors.h"
#include "shell/FormAbout.h"
#include "shell/FormInfo.h"
#include "shell/MainMessages.h"
#include "shell/ProjectFiles.h"
#include "shell/StepFiles.h"
#include "shell/ToolIcons.h"
#include "shell/ViewFactory.h"
#include "base/FormGisView.h"
#include "base/ModalCalls.h"
#include "base/WindowKind.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>

#include <algorithm>

TFMain* FMain = nullptr;

namespace {

QString Text(const char* utf8)
{
  return QString::fromUtf8(utf8);
}

QAction* AddItem(QMenu* menu, const char* name, const char* caption)
{
  QAction* action = menu->addAction(Text(caption));
  action->setObjectName(name);
  return action;
}

QMenu* AddSubmenu(QWidget* parent, const char* name, const char* caption)
{
  auto* menu = new QMenu(Text(caption), parent);
  menu->setObjectName(name);
  return menu;
}

QAction* AddButton(QToolBar* bar, const char* name, const QIcon& icon, const char* hint)
{
  QAction* action = bar->addAction(WithFaintDisabledState(icon), Text(hint));
  action->setObjectName(name);
  action->setToolTip(Text(hint));
  action->setStatusTip(Text(hint));
  return action;
}

QAction* AddButton(QToolBar* bar, const char* name, QStyle::StandardPixmap icon, const char* hint)
{
  return AddButton(bar, name, bar->style()->standardIcon(icon), hint);
}

// The views whose zoom buttons apply.
bool IsZoomable(int kind)
{
  return kind == WindowKind3DView || kind == WindowKindBit3DView || kind == WindowKindSectionView;
}

uint32_t SteadyTicks()
{
  static QElapsedTimer clock = [] {
    QElapsedTimer t;
    t.start();
    return t;
  }();
  return static_cast<uint32_t>(clock.elapsed());
}

} // namespace

TFMain::TFMain(const QStringList& arguments, QWidget* owner) : QMainWindow(owner)
{
  setObjectName("FMain");
  setMinimumSize(300, 200);
  resize(800, 600);

  TStartOptions start = ParseStartOptions(arguments);
  FStartRun = start.run;
  if (start.projectFound) {
    FStartProjectFound = true;
    FStartProject = start.project;
  } else {
    FCloseAtStart = start.closeAtStart;
  }

  FMdiArea = new QMdiArea(this);
  FMdiArea->setObjectName("MdiArea");
  setCentralWidget(FMdiArea);
  CreateMenus();
  CreateToolBars();
  CreateSpeedButtons();
  CreateStatusBar();
  ConnectCommands();

  RegisterCustomCursors();
  FTicks = SteadyTicks;
  FLastRefreshTick = FTicks();
  // FExtended starts true: the click turns it off, so the program starts in the student menu set.
  MIextendedClick();

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, &TFMain::Timer1Timer);
  Timer1->start();

  // Views created in the MDI area, activated windows and closed children all
  // change which items apply.
  connect(FMdiArea, &QMdiArea::subWindowActivated, this, [this] { UpdateMenuItems(); });
  connect(qApp, &QApplication::focusWindowChanged, this, [this] { UpdateMenuItems(); });
  FormCreate();
  UpdateMenuItems();
}

TFMain::~TFMain()
{
  qApp->removeEventFilter(this);
  CloseProject();
  if (FMain == this)
    FMain = nullptr;
}

void TFMain::FormCreate()
{
  // Drops are caught for the whole application: child widgets that accept
  // drops of their own would otherwise swallow files meant for the window.
  setAcceptDrops(true);
  qApp->installEventFilter(this);
  setWindowTitle(ProgramName);
  FDialogFilter = QString("%1 (*.%2);;%3 (*)").arg(Text("Проекты"), ProjectExtension, Text("Все файлы"));
}

void TFMain::CreateMenus()
{
  MFile = AddSubmenu(this, "MFile", "&Файл");
  MINew = AddItem(MFile, "MINew", "&Новый проект ...");
  MIOpen = AddItem(MFile, "MIOpen", "&Открыть ...");
  MISave = AddItem(MFile, "MISave", "&Сохранить");
  MISaveAs = AddItem(MFile, "MISaveAs", "Сохранить  &как ...");
  MIAutoSave = AddItem(MFile, "MIAutoSave", "Сохранить расчет");
  MISaveClones = AddItem(MFile, "MISaveClones", "Сохранить клоны ...");
  MISaveClones->setVisible(false);
  MFile->addSeparator();
  FileExitItem = AddItem(MFile, "FileExitItem", "&Выход");

  Mmodel = AddSubmenu(this, "Mmodel", "Модель");
  MIModelParams = AddItem(Mmodel, "MIModelParams", "Параметры модели ...");
  MIModelParamsStud = AddItem(Mmodel, "MIModelParamsStud", "Параметры модели ...");
  MIElectrodes = AddItem(Mmodel, "MIElectrodes", "Электроды ...");
  MIinhomogeneities = AddItem(Mmodel, "MIinhomogeneities", "Неоднородности ...");
  MIObjects = AddItem(Mmodel, "MIObjects", "Редактировать ...");
  MIObjects->setStatusTip(Text("Просмотр объктов полигона и их свойств"));
  MICalcArrayModel = AddSubmenu(Mmodel, "MICalcArrayModel", "Массивы");
  MIDefaultArray = AddItem(MICalcArrayModel, "MIDefaultArray", "Все значения по умолчанию");
  MIUpdateArrays = AddItem(MICalcArrayModel, "MIUpdateArrays", "Перегрузить из модели");
  MIBuildInfo = AddItem(MICalcArrayModel, "MIBuildInfo", "Рассчитать информационные");
  MIBuildArrays = AddItem(MICalcArrayModel, "MIBuildArrays", "Генерация входных массивов");
  // Shown: the input arrays are built from their known values only here.
  Mmodel->addMenu(MICalcArrayModel);

  MCalc = AddSubmenu(this, "MCalc", "Расчет");
  MIcalcpotential = AddItem(MCalc, "MIcalcpotential", "Потенциал");
  MIrun = AddItem(MCalc, "MIrun", "Запуск");
  MIstop = AddItem(MCalc, "MIstop", "Завершение");
  MIabort = AddItem(MCalc, "MIabort", "Сброс");
  MCalc->addSeparator();
  MICalcStatus = AddItem(MCalc, "MICalcStatus", "Статус ...");

  MOptions = AddSubmenu(this, "MOptions", "Инструменты");
  MPanels = AddSubmenu(MOptions, "MPanels", "Панели");
  MImain = AddItem(MPanels, "MImain", "Основная");
  MIgis = AddItem(MPanels, "MIgis", "Редактирование");
  MIgis->setVisible(false);
  MImodel = AddItem(MPanels, "MImodel", "Модель");
  MIstatus = AddItem(MPanels, "MIstatus", "Статус");
  for (QAction* item : {MImain, MIgis, MImodel, MIstatus})
    item->setCheckable(true);
  MOptions->addMenu(MPanels);
  MIOptions = AddItem(MOptions, "MIOptions", "Настройки ...");
  MIOptions->setStatusTip(Text("Насройка параметров интерфейса"));
  MIData = AddSubmenu(MOptions, "MIData", "Результаты");
  MILoadData = AddItem(MIData, "MILoadData", "Открыть данные ...");
  MILoadDataNext = AddItem(MIData, "MILoadDataNext", "Следующие данные");
  MILoadDataPrev = AddItem(MIData, "MILoadDataPrev", "Предыдущие данные");
  MOptions->addMenu(MIData);
  MIReport = AddSubmenu(MOptions, "MIReport", "Отчет");
  MIReportWord = AddItem(MIReport, "MIReportWord", "Просмотр ...");
  MIReportPrint = AddItem(MIReport, "MIReportPrint", "Печать ...");
  MOptions->addMenu(MIReport);
  QMenu* bmpExport = AddSubmenu(MOptions, "MIBMPExport", "Экспорт изображений");
  MIBMPExport = bmpExport->menuAction();
  MIBMPProjectExport = AddItem(bmpExport, "MIBMPProjectExport", "Весь рассчет");
  MIBMPSelectExport = AddItem(bmpExport, "MIBMPSelectExport", "Выбрать файлы");
  MOptions->addMenu(bmpExport);
  MOptions->addSeparator();
  MIextended = AddItem(MOptions, "MIextended", "Расширенная модель");
  MIextended->setCheckable(true);

  MWindows = AddSubmenu(this, "MWindows", "&Окна");
  MINewWin = AddSubmenu(MWindows, "MINewWin", "&Новое окно");
  MINewCubuiqe = AddItem(MINewWin, "MINewCubuiqe", "Объем");
  MINewPlot = AddItem(MINewWin, "MINewPlot", "Вр. график");
  MINewTreePlot = AddItem(MINewWin, "MINewTreePlot", "Каналы");
  MIDimension = AddItem(MINewWin, "MIDimension", "Размерность");
  MIInfo = AddItem(MINewWin, "MIInfo", "Информационное");
  MWindows->addMenu(MINewWin);
  MICloseWin = AddItem(MWindows, "MICloseWin", "&Закрыть");
  WindowMinimizeItem = AddItem(MWindows, "WindowMinimizeItem", "&Свернуть все");
  WindowArrangeItem = AddItem(MWindows, "WindowArrangeItem", "&Упорядочить");
  WindowCascadeItem = AddItem(MWindows, "WindowCascadeItem", "&Каскадом");
  WindowTileItem = AddItem(MWindows, "WindowTileItem", "&Черепицей");
  MWindows->addSeparator();
  connect(MWindows, &QMenu::aboutToShow, this, &TFMain::BuildWindowList);

  Help1 = AddSubmenu(this, "Help1", "&?");
  MIHelp = AddItem(Help1, "MIHelp", "Помощь");
  // There is no help text to show.
  MIHelp->setEnabled(false);
  HelpAboutItem = AddItem(Help1, "HelpAboutItem", "&О программе ...");

  for (QMenu* menu : {MFile, Mmodel, MCalc, MOptions, MWindows, Help1})
    menuBar()->addMenu(menu);
}

void TFMain::CreateToolBars()
{
  TBmain = addToolBar(Text("главная"));
  TBmain->setObjectName("TBmain");
  Bopen = AddButton(TBmain, "Bopen", QStyle::SP_DialogOpenButton, "Открыть проект");
  PMopen = new QMenu(this);
  PMopen->setObjectName("PMopen");
  Bopen->setMenu(PMopen);
  if (auto* button = qobject_cast<QToolButton*>(TBmain->widgetForAction(Bopen)))
    button->setPopupMode(QToolButton::MenuButtonPopup);
  Bsave = AddButton(TBmain, "Bsave", QStyle::SP_DialogSaveButton, "Сохранить проект");
  Bcopy = AddButton(TBmain, "Bcopy", CopyToolIcon(), "Копировать");
  Bzoomin = AddButton(TBmain, "Bzoomin", ZoomToolIcon(true), "Увеличить");
  Bzoomout = AddButton(TBmain, "Bzoomout", ZoomToolIcon(false), "Уменьшить");

  TBmodel = addToolBar(Text("модель"));
  TBmodel->setObjectName("TBmodel");
  Bstart = AddButton(TBmodel, "Bstart", QStyle::SP_MediaPlay, "Запуск расчета");
  Bpause = AddButton(TBmodel, "Bpause", QStyle::SP_MediaPause, "Остановить выполнение расчета");
  Bstop = AddButton(TBmodel, "Bstop", QStyle::SP_MediaStop, "Завершить расчет");
  Babort = AddButton(TBmodel, "Babort", QStyle::SP_BrowserStop, "Экстренное прекращение расчета");

  TBnavigator = addToolBar(Text("данные"));
  TBnavigator->setObjectName("TBnavigator");
  Bloaddataprev10 = AddButton(TBnavigator, "Bloaddataprev10", QStyle::SP_MediaSeekBackward, "Назад 10");
  Bloaddataprev = AddButton(TBnavigator, "Bloaddataprev", QStyle::SP_MediaSkipBackward, "Предыдущее");
  Bloaddatanext = AddButton(TBnavigator, "Bloaddatanext", QStyle::SP_MediaSkipForward, "Следующее");
  Bloaddatanext10 = AddButton(TBnavigator, "Bloaddatanext10", QStyle::SP_MediaSeekForward, "Вперед 10");

  TBgis = addToolBar(Text("ГИС"));
  TBgis->setObjectName("TBgis");
  Binspect = AddButton(TBgis, "Binspect", QStyle::SP_FileDialogDetailedView, "Инспектор");
  PMSelect = new QMenu(this);
  PMSelect->setObjectName("PMSelect");
  MPIInspectPoint = AddItem(PMSelect, "MPIInspectPoint", "в точке");
  MPIInspectStruct = AddItem(PMSelect, "MPIInspectStruct", "по структуре");
  auto* inspectGroup = new QActionGroup(this);
  for (QAction* item : {MPIInspectPoint, MPIInspectStruct}) {
    item->setCheckable(true);
    inspectGroup->addAction(item);
  }
  MPIInspectPoint->setChecked(true);
  Binspect->setMenu(PMSelect);
  Bedit = AddButton(TBgis, "Bedit", QStyle::SP_FileDialogListView, "Редактор");
  PMEdit = new QMenu(this);
  PMEdit->setObjectName("PMEdit");
  PMIEditMoveAll = AddItem(PMEdit, "PMIEditMoveAll", "Перемещение");
  PMIEditMoveNode = AddItem(PMEdit, "PMIEditMoveNode", "Изм. формы");
  PMIEditProp = AddItem(PMEdit, "PMIEditProp", "Свойства");
  for (QAction* item : {PMIEditMoveAll, PMIEditMoveNode, PMIEditProp})
    item->setCheckable(true);
  Bedit->setMenu(PMEdit);
  Binsert = AddButton(TBgis, "Binsert", QStyle::SP_FileIcon, "Новый");
  PMInsert = new QMenu(this);
  PMInsert->setObjectName("PMInsert");
  for (QAction* button : {Binspect, Bedit, Binsert})
    button->setCheckable(true);
  TBgis->hide();

  TBstatus = addToolBar(Text("статус"));
  TBstatus->setObjectName("TBstatus");
  TBstatus->hide();
}

void TFMain::CreateSpeedButtons()
{
  auto* strip = new QWidget(this);
  strip->setObjectName("SpeedButtons");
  auto* row = new QHBoxLayout(strip);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  auto add = [&](const char* name, const QAction* twin, const char* hint) {
    auto* action = new QAction(twin->icon(), Text(hint), this);
    action->setObjectName(name);
    action->setToolTip(Text(hint));
    action->setStatusTip(Text(hint));
    auto* button = new QToolButton(strip);
    button->setObjectName(QString(name) + "Button");
    button->setAutoRaise(true);
    button->setDefaultAction(action);
    row->addWidget(button);
    return action;
  };
  SBInspect = add("SBInspect", Binspect, "Инспектор");
  SBInsert = add("SBInsert", Binsert, "Новый объект");
  SBEditObj = add("SBEditObj", Bedit, "Редактор");
  SBZoomIn = add("SBZoomIn", Bzoomin, "Увеличить");
  SBZoomOut = add("SBZoomOut", Bzoomout, "Уменьшить");
  menuBar()->setCornerWidget(strip, Qt::TopRightCorner);
}

void TFMain::CreateStatusBar()
{
  static const int widths[4] = {250, 120, 130, 100};
  QStatusBar* bar = statusBar();
  bar->setObjectName("StatusBar");
  bar->setSizeGripEnabled(false);
  for (int i = 0; i < 4; ++i) {
    auto* panel = new QLabel(bar);
    panel->setObjectName(QString("StatusPanel%1").arg(i));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setFixedWidth(widths[i]);
    if (i >= 2)
      panel->setAlignment(Qt::AlignCenter);
    bar->addWidget(panel);
    FStatusPanels[i] = panel;
  }
  FStatusPanels[3]->setText("00:00");
}

void TFMain::ConnectCommands()
{
  connect(MIextended, &QAction::triggered, this, &TFMain::MIextendedClick);
  connect(MIBMPProjectExport, &QAction::triggered, this, &TFMain::ExportCalculationToBmp);
  connect(MIBMPSelectExport, &QAction::triggered, this, &TFMain::MIBMPSelectExportClick);
  connect(MIReportWord, &QAction::triggered, this, [this] { MIReportClick(false); });
  connect(MIReportPrint, &QAction::triggered, this, [this] { MIReportClick(true); });
  connect(FileExitItem, &QAction::triggered, this, &TFMain::FileExitItemClick);
  connect(MIOpen, &QAction::triggered, this, [this] { OpenProject(QString()); });
  connect(Bopen, &QAction::triggered, this, [this] { OpenProject(QString()); });
  connect(MISave, &QAction::triggered, this, [this] { MISaveClick(TSaveSender::MenuSave); });
  connect(Bsave, &QAction::triggered, this, [this] { MISaveClick(TSaveSender::Button); });
  connect(MISaveAs, &QAction::triggered, this, [this] { MISaveAsClick(); });
  connect(MISaveClones, &QAction::triggered, this, &TFMain::MISaveClonesClick);
  connect(MIOptions, &QAction::triggered, this, &TFMain::MIOptionsClick);
  connect(MINew, &QAction::triggered, this, &TFMain::MINewClick);
  connect(MIModelParams, &QAction::triggered, this, &TFMain::MIModelParamsClick);
  connect(MIModelParamsStud, &QAction::triggered, this, &TFMain::MIModelParamsStudClick);
  connect(MIElectrodes, &QAction::triggered, this, &TFMain::MIElectrodesClick);
  connect(MIinhomogeneities, &QAction::triggered, this, &TFMain::MIinhomogeneitiesClick);
  connect(MIObjects, &QAction::triggered, this, &TFMain::MIObjectsClick);
  connect(MICalcStatus, &QAction::triggered, this, &TFMain::MICalcStatusClick);
  connect(MIcalcpotential, &QAction::triggered, this, &TFMain::MIcalcpotentialClick);
  connect(Bstart, &QAction::triggered, this, &TFMain::BStartClick);
  connect(Bpause, &QAction::triggered, this, &TFMain::BPauseClick);
  connect(Bstop, &QAction::triggered, this, &TFMain::BStopClick);
  connect(MIstop, &QAction::triggered, this, &TFMain::BStopClick);
  connect(Babort, &QAction::triggered, this, &TFMain::BAbortClick);
  connect(MIabort, &QAction::triggered, this, &TFMain::BAbortClick);
  connect(MIrun, &QAction::triggered, this, [this] {
    if (RunStartable())
      BStartClick();
    else if (FCalcState == CalcRunning)
      BPauseClick();
  });
  connect(Bcopy, &QAction::triggered, this, [this] {
    if (TFSimpleView* view = ActiveView())
      view->CopyToClipboard();
  });
  for (QAction* item : {Bzoomin, SBZoomIn})
    connect(item, &QAction::triggered, this, &TFMain::SBZoomInClick);
  for (QAction* item : {Bzoomout, SBZoomOut})
    connect(item, &QAction::triggered, this, &TFMain::SBZoomOutClick);
  ConnectViewCommands();
  connect(MICloseWin, &QAction::triggered, this, &TFMain::MICloseWinClick);
  connect(WindowMinimizeItem, &QAction::triggered, this, &TFMain::WindowMinimizeItemClick);
  connect(WindowArrangeItem, &QAction::triggered, this, &TFMain::WindowArrangeItemClick);
  connect(WindowCascadeItem, &QAction::triggered, this, [this] { FMdiArea->cascadeSubWindows(); });
  connect(WindowTileItem, &QAction::triggered, this, [this] { FMdiArea->tileSubWindows(); });
  connect(MPanels, &QMenu::aboutToShow, this, &TFMain::MPanelsClick);
  connect(MImain, &QAction::triggered, this, [this] { TogglePanel(TBmain, MImain); });
  connect(MIgis, &QAction::triggered, this, [this] { TogglePanel(TBgis, MIgis); });
  connect(MImodel, &QAction::triggered, this, [this] { TogglePanel(TBmodel, MImodel); });
  connect(MIstatus, &QAction::triggered, this, [this] { TogglePanel(TBstatus, MIstatus); });
  connect(HelpAboutItem, &QAction::triggered, this, &TFMain::HelpAboutItemClick);
  // The step shown is one below the counter: a step of the row is reached by
  // its distance from the one shown.
  auto loadStep = [this](int distance) {
    return [this, distance] { LoadResultFile(StepFileName(FStepCounter - 1 + distance)); };
  };
  for (QAction* item : {MILoadDataNext, Bloaddatanext})
    connect(item, &QAction::triggered, this, loadStep(1));
  for (QAction* item : {MILoadDataPrev, Bloaddataprev})
    connect(item, &QAction::triggered, this, loadStep(-1));
  connect(Bloaddataprev10, &QAction::triggered, this, loadStep(-10));
  connect(Bloaddatanext10, &QAction::triggered, this, loadStep(10));
  connect(MILoadData, &QAction::triggered, this, [this] {
    QString path = ModalCalls().OpenFileName(this, ReadLastProjectFolder(), FDialogFilter);
    if (!path.isEmpty())
      LoadResultFile(path);
  });
  connect(MIAutoSave, &QAction::triggered, this, [this] {
    if (FInfo)
      FInfo->ShowText(Text("запись"), Text("Сохранение данных"), this);
    QCoreApplication::processEvents();
    SaveStep();
    if (FInfo)
      FInfo->hide();
  });
}

// --- the project -----------------------------------------------------------

void TFMain::SetCalcState(int32_t state)
{
  FPrevCalcState = FCalcState;
  FCalcState = state;
}

void TFMain::UpdateCaption(const QString& name)
{
  FProjectFileName = name;
  QString shown = name;
  if (FStepCounter > 0)
    shown += QString(" (%1)").arg(FStepCounter - 1);
  setWindowTitle(QString(ProgramName) + " - " + shown);
}

bool TFMain::LoadProject(const QString& path)
{
  if (!FProjectFiles)
    return ReportNoProjectFiles();
  return FProjectFiles->LoadProject(*this, path);
}

bool TFMain::WriteProject(const QString& path)
{
  if (!FProjectFiles)
    return ReportNoProjectFiles();
  return FProjectFiles->WriteProject(*this, path);
}

bool TFMain::LoadResultData(const QString& path)
{
  if (!FProjectFiles)
    return ReportNoProjectFiles();
  return FProjectFiles->LoadResultData(*this, path);
}

bool TFMain::ReportNoProjectFiles()
{
  ShowErrorMessage(this, Text("Файлы проектов в этой версии программы не поддерживаются."));
  return false;
}

// --- view windows -------------------------------------------------------------

QMdiSubWindow* TFMain::AddView(TFSimpleView* view)
{
  QMdiSubWindow* sub = FMdiArea->addSubWindow(view);
  // A new window opens at its view's own size (a loaded one then takes its
  // stored placement), not at the least the MDI area would give it.
  sub->resize(sub->sizeHint());
  view->show();
  UpdateMenuItems();
  return sub;
}

QList<TFSimpleView*> TFMain::Views() const
{
  QList<TFSimpleView*> views;
  for (QMdiSubWindow* sub : FMdiArea->subWindowList(QMdiArea::CreationOrder))
    if (auto* view = qobject_cast<TFSimpleView*>(sub->widget()))
      views.append(view);
  return views;
}

QList<TFSimpleView*> TFMain::ViewsLastFirst() const
{
  QList<TFSimpleView*> views = Views();
  std::reverse(views.begin(), views.end());
  return views;
}

TFSimpleView* TFMain::ActiveView() const
{
  // currentSubWindow, not activeSubWindow: the latter is null while a modal dialog is up.
  QMdiSubWindow* sub = FMdiArea->currentSubWindow();
  return sub ? qobject_cast<TFSimpleView*>(sub->widget()) : nullptr;
}

void TFMain::RefreshViews()
{
  if (FInspector && !Views().isEmpty())
    FInspector->Refresh();
  for (TFSimpleView* view : ViewsLastFirst())
    if (view->Tag() != 0)
      view->Refresh();
}

void TFMain::OnGisObjectAdded(void* sender, int32_t id)
{
  for (TFSimpleView* each : ViewsLastFirst())
    if (auto* view = qobject_cast<TFGisView*>(each); view && view->Tag() != 0)
      view->ObjectAdded(sender, id);
}

void TFMain::OnGisObjectDeleted(void* sender, int32_t id)
{
  for (TFSimpleView* each : ViewsLastFirst())
    if (auto* view = qobject_cast<TFGisView*>(each); view && view->Tag() != 0)
      view->ObjectDeleted(sender, id);
}

// --- messages -------------------------------------------------------------------

void TFMain::PostMessage(int message)
{
  QCoreApplication::postEvent(this, new TMainMessageEvent(message));
}

bool TFMain::event(QEvent* event)
{
  if (event->type() == TMainMessageEvent::EventType()) {
    HandleMessage(static_cast<TMainMessageEvent*>(event)->Message());
    return true;
  }
  if (event->type() == QEvent::StatusTip) {
    // Hints go to the first status panel; the other three keep their texts.
    ShowApplicationHint(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  return QMainWindow::event(event);
}

void TFMain::HandleMessage(int message)
{
  // Exceptions must not cross the event loop.
  try {
    switch (message) {
    case WM_CLOSE_MAIN:
      close();
      break;
    case WM_TOOLMODE_CHANGED:
      ApplyToolButtons();
      break;
    case WM_OPEN_START_PROJECT:
      OpenProject(FStartProject);
      if (FStartRun) {
        PostMessage(WM_START_CALCULATION);
        FStartRun = false;
      }
      break;
    case WM_START_CALCULATION:
      BStartClick();
      break;
    case WM_REFRESH_VIEWS:
      RefreshIfDue();
      break;
    default:
      break;
    }
  } catch (const std::exception& e) {
    ShowErrorMessage(this, QString::fromStdString(e.what()));
  }
}

void TFMain::showEvent(QShowEvent* event)
{
  QMainWindow::showEvent(event);
  // Without a window manager activation may never come: the first show does
  // the first activation's work.
  if (!FFirstShowDone) {
    FFirstShowDone = true;
    QTimer::singleShot(0, this, &TFMain::FormActivate);
  }
}

void TFMain::changeEvent(QEvent* event)
{
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && FFirstShowDone)
    FormActivate();
}

void TFMain::FormActivate()
{
  if (FCloseAtStart)
    PostMessage(WM_CLOSE_MAIN);
  if (FStartProjectFound) {
    PostMessage(WM_OPEN_START_PROJECT);
    FStartProjectFound = false;
  }
  if (!FHasRecentList) {
    FHasRecentList = true;
    AddRecentProject(QString());
  }
}

void TFMain::closeEvent(QCloseEvent* event)
{
  if (FormClose())
    event->accept();
  else
    event->ignore();
}

void TFMain::resizeEvent(QResizeEvent* event)
{
  QMainWindow::resizeEvent(event);
  FormResize();
}

void TFMain::FormResize()
{
  // The first panel takes what the other three leave, also after they grew.
  const int others = FStatusPanels[1]->width() + FStatusPanels[2]->width() + FStatusPanels[3]->width();
  FStatusPanels[0]->setFixedWidth(std::max(0, width() - others));
}

void TFMain::FileExitItemClick()
{
  close();
}

void TFMain::MIextendedClick()
{
  FExtended = !FExtended;
  MIextended->setChecked(FExtended);
  for (QAction* item : {MIBMPExport, MIModelParams, MIElectrodes, MIObjects, MIInfo})
    item->setVisible(FExtended);
  MIModelParamsStud->setVisible(!FExtended);
}

// --- status line ------------------------------------------------------------

QString TFMain::StatusText(int panel) const
{
  return FStatusPanels[panel]->text();
}

void TFMain::SetStatusText(int panel, const QString& text)
{
  QLabel* label = FStatusPanels[panel];
  label->setText(text);
  // The fixed panels grow to their longest text rather than clip it; the
  // first one takes what the window leaves.
  // The label's own size hint counts its frame, margins and indent.
  const int needed = label->sizeHint().width();
  if (panel > 0 && needed > label->width()) {
    label->setFixedWidth(needed);
    FormResize();
  }
}

int TFMain::StatusPanelWidth(int panel) const
{
  return FStatusPanels[panel]->width();
}

void TFMain::ShowApplicationHint(const QString& hint)
{
  FStatusPanels[0]->setText(hint);
}

void TFMain::Timer1Timer()
{
  if (FRefreshCountdown > 0) {
    --FRefreshCountdown;
    PostMessage(WM_REFRESH_VIEWS);
  }
  UpdateStatus();
}

// --- files dropped ------------------------------------------------------------

bool TFMain::eventFilter(QObject* watched, QEvent* event)
{
  QEvent::Type type = event->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
    return QMainWindow::eventFilter(watched, event);
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != this)
    return QMainWindow::eventFilter(watched, event);
  auto* drop = static_cast<QDropEvent*>(event);
  if (!drop->mimeData()->hasUrls())
    return QMainWindow::eventFilter(watched, event);
  drop->setDropAction(Qt::CopyAction);
  drop->accept();
  if (type == QEvent::Drop) {
    QStringList paths;
    for (const QUrl& url : drop->mimeData()->urls())
      paths.append(url.isLocalFile() ? url.toLocalFile() : url.toString());
    QPoint global = widget->mapToGlobal(drop->position().toPoint());
    OnDropFiles(paths, global);
  }
  return true;
}

bool TFMain::IsOverNavigator(const QPoint& globalPos) const
{
  if (!TBnavigator->isVisible())
    return false;
  QPoint p = TBnavigator->mapFromGlobal(globalPos);
  return p.x() >= 1 && p.y() >= 1 && p.x() < TBnavigator->width() && p.y() < TBnavigator->height();
}

void TFMain::OnDropFiles(const QStringList& paths, const QPoint& globalPos)
{
  if (paths.size() != 1)
    return;
  QString name = paths.first();
  if (QFileInfo(name).isDir())
    return;
  // A file dropped while a calculation runs or a project is being built would
  // replace the project under the worker's feet.
  if (ProjectBusy())
    return;
  show();
  raise();
  // Result data need an open project to go into; without one the file opens as a project.
  if (IsOverNavigator(globalPos) && FGis)
    LoadResultFile(name);
  else
    OpenProject(name);
}

// --- menus and tool modes -----------------------------------------------------

void TFMain::UpdateMenuItems()
{
  TFSimpleView* active = ActiveView();
  int kind = active ? active->Tag() : 0;
  bool anyWindow = !FMdiArea->subWindowList().isEmpty();
  for (QAction* item : {MICloseWin, WindowCascadeItem, WindowTileItem, WindowArrangeItem, WindowMinimizeItem})
    item->setEnabled(anyWindow);
  bool zoom = IsZoomable(kind);
  for (QAction* button : {Bzoomin, Bzoomout, SBZoomIn, SBZoomOut})
    button->setEnabled(zoom);

  const bool projectOpen = FCalcState >= CalcNotStarted && FCalcState <= CalcStopped;
  if (projectOpen) {
    for (QAction* item : {MFile->menuAction(), Mmodel->menuAction(), MCalc->menuAction(), MOptions->menuAction(),
                          MWindows->menuAction(), MINewWin->menuAction(), MICloseWin, Bcopy})
      item->setEnabled(true);
    bool idle = FCalcState != CalcRunning;
    for (QAction* item : {MINew, MIOpen, MISave, MISaveAs, MISaveClones, MICalcArrayModel->menuAction(), Bopen,
                          MIBMPProjectExport, MIBMPSelectExport,
                          Bsave, Binspect, Binsert, Bedit, SBInspect, SBInsert, SBEditObj, Bloaddataprev10,
                          Bloaddataprev, Bloaddatanext, Bloaddatanext10, MIData->menuAction(), MILoadData,
                          MILoadDataNext, MILoadDataPrev})
      item->setEnabled(idle);
    MIAutoSave->setEnabled(FCalcState == CalcPaused || FCalcState == CalcStopped);
    MIDefaultArray->setEnabled(ModelEditable());
    MIBuildInfo->setEnabled(ModelEditable());
    MIBuildArrays->setEnabled(ModelEditable());
  } else {
    bool noProject = FCalcState == CalcNoProject;
    for (QAction* item : {MFile->menuAction(), MINew, MIOpen, Bopen})
      item->setEnabled(noProject);
    for (QAction* item : {MISave, MISaveAs, MIAutoSave, MISaveClones, MINewWin->menuAction(), MICloseWin,
                          Mmodel->menuAction(), MCalc->menuAction(), MOptions->menuAction(),
                          MWindows->menuAction(), Bsave, Bcopy, Binspect, Binsert, Bedit, SBInspect, SBInsert,
                          SBEditObj, Bloaddataprev10,
                          Bloaddataprev, Bloaddatanext, Bloaddatanext10, MIData->menuAction(), MILoadData,
                          MILoadDataNext, MILoadDataPrev, MICalcArrayModel->menuAction()})
      item->setEnabled(false);
  }
  // A kind without a registered maker has no window to open yet.
  for (const TNewWindowItem& entry : FNewWindowItems)
    entry.item->setEnabled(projectOpen && FViews && FViews->CanCreate(entry.kind));
  UpdateCalcButtons();
}

void TFMain::SBZoomInClick()
{
  if (TFSimpleView* view = ActiveView(); view && IsZoomable(view->Tag()))
    view->ZoomIn();
}

void TFMain::SBZoomOutClick()
{
  if (TFSimpleView* view = ActiveView(); view && IsZoomable(view->Tag()))
    view->ZoomOut();
}

void TFMain::UpdateCalcButtons()
{
  if (FCalcState == CalcCreating || FCalcState == CalcNoProject) {
    for (QAction* button : {Bstart, Bpause, Bstop, Babort})
      button->setEnabled(false);
    return;
  }
  if (FCalcState == CalcRunning) {
    MIrun->setText(Text("Приостановка"));
    MIrun->setStatusTip(Text("приостановить расчет"));
    MIrun->setIcon(style()->standardIcon(QStyle::SP_MediaPause));
  } else {
    MIrun->setText(Text(FCalcState == CalcPaused ? "Продолжить" : "Запуск"));
    MIrun->setStatusTip(Text(FCalcState == CalcPaused ? "продолжить расчет" : "запустить расчет"));
    MIrun->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
  }
  bool running = FCalcState == CalcRunning;
  Bstart->setEnabled(RunStartable());
  Bpause->setEnabled(running);
  Bstop->setEnabled(running || FCalcState == CalcPaused);
  MIstop->setEnabled(running || FCalcState == CalcPaused);
  Babort->setEnabled(running);
  MIabort->setEnabled(running);
  MIcalcpotential->setEnabled(ModelEditable());
}

void TFMain::SetToolMode(int32_t mode)
{
  FToolMode = mode;
  PostMessage(WM_TOOLMODE_CHANGED);
}

void TFMain::ApplyToolButtons()
{
  Binspect->setChecked(FToolMode == 1 || FToolMode == 4);
  Binsert->setChecked(FToolMode == 3);
  Bedit->setChecked(FToolMode == 6 || FToolMode == 7 || FToolMode == 8);
}

void TFMain::SyncToolMode()
{
  FToolMode = 0;
  ApplyToolButtons();
}

void TFMain::MPanelsClick()
{
  MImain->setChecked(TBmain->isVisible());
  MIgis->setChecked(TBgis->isVisible());
  MImodel->setChecked(TBmodel->isVisible());
  MIstatus->setChecked(TBstatus->isVisible());
}

void TFMain::TogglePanel(QToolBar* bar, QAction* item)
{
  // The item's check has already flipped: it says what the user wants now.
  bar->setVisible(item->isChecked());
  item->setChecked(bar->isVisible());
}

void TFMain::HelpAboutItemClick()
{
  if (FAbout)
    ModalCalls().ExecDialog(FAbout);
}

void TFMain::MICloseWinClick()
{
  if (QMdiSubWindow* sub = FMdiArea->currentSubWindow())
    sub->close();
}

void TFMain::WindowMinimizeItemClick()
{
  QList<QMdiSubWindow*> subs = FMdiArea->subWindowList(QMdiArea::CreationOrder);
  for (auto it = subs.rbegin(); it != subs.rend(); ++it)
    (*it)->showMinimized();
}

void TFMain::WindowArrangeItemClick()
{
  // The minimised windows line up along the bottom of the area, left to right.
  int x = 0;
  int bottom = FMdiArea->viewport()->height();
  for (QMdiSubWindow* sub : FMdiArea->subWindowList(QMdiArea::CreationOrder)) {
    if (!sub->isMinimized())
      continue;
    sub->move(x, bottom - sub->height());
    x += sub->width();
  }
}

void TFMain::BuildWindowList()
{
  for (QAction* action : FWindowListActions)
    MWindows->removeAction(action);
  qDeleteAll(FWindowListActions);
  FWindowListActions.clear();
  QMdiSubWindow* current = FMdiArea->currentSubWindow();
  int n = 0;
  for (QMdiSubWindow* sub : FMdiArea->subWindowList(QMdiArea::CreationOrder)) {
    auto* action = new QAction(QString("&%1 %2").arg(++n).arg(sub->windowTitle()), MWindows);
    action->setCheckable(true);
    action->setChecked(sub == current);
    connect(action, &QAction::triggered, this, [this, sub] { FMdiArea->setActiveSubWindow(sub); });
    MWindows->addAction(action);
    FWindowListActions.append(action);
  }
}

// --- project commands ---------------------------------------------------------

void TFMain::OpenProject(const QString& requested)
{
  // The running model and a project being built must not be dropped.
  if (ProjectBusy())
    return;
  if (!ConfirmSaveChanges())
    return;
  QString path = requested;
  if (path.isEmpty()) {
    path = ModalCalls().OpenFileName(this, ReadLastProjectFolder(), FDialogFilter);
    if (path.isEmpty())
      return;
  }
  if (!QFileInfo(path).isFile())
    return;
  // The recent list and the project's name must still find the file from
  // another working folder: a relative name from the command line is not kept.
  path = QFileInfo(path).canonicalFilePath();
  WriteLastProjectFolder(path);
  GiveElectrodesToTable();
  if (LoadProject(path)) {
    FLastOpenedPath = path;
    AddRecentProject(path);
    ParseStepNumber(path);
    UpdateCaption(path);
    UpdateMenuItems();
    FRefreshCountdown = 1;
  }
  if (FInfo)
    FInfo->hide();
  show();
}

void TFMain::AddRecentProject(const QString& path)
{
  try {
    if (!path.isEmpty()) {
      ::AddRecentProject(FRecentProjects, path);
      WriteRecentProjects(FRecentProjects);
    } else {
      ReadRecentProjects(FRecentProjects);
    }
  } catch (const ERegistryError&) {
    // The list still works for this run when the settings cannot be stored.
  }
  PMopen->clear();
  for (const QString& entry : FRecentProjects) {
    // A single "&" in a caption marks an accelerator: the path's own are doubled.
    QAction* item = PMopen->addAction(QString(entry).replace('&', "&&"));
    item->setData(entry);
    connect(item, &QAction::triggered, this, [this, item] { PMopenClick(item); });
  }
}

void TFMain::PMopenClick(QAction* item)
{
  const QString path = item->data().toString();
  if (!QFileInfo(path).isFile()) {
    ShowErrorMessage(this, Text("Файл проекта не найден:") + "\n" + path);
    return;
  }
  OpenProject(path);
}

bool TFMain::MISaveClick(TSaveSender sender)
{
  if (FProjectFileName == Text(NewProjectName))
    return MISaveAsClick();
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  SetStatusText(0, Text("Сохранение данных") + " ...");
  RepaintAllWindows();
  if (FInfo)
    FInfo->ShowText(Text("запись") + " ...", Text("Сохранение данных"), this);
  bool written = WriteProject(FProjectFileName);
  if (FInfo)
    FInfo->hide();
  SetStatusText(0, QString());
  QGuiApplication::restoreOverrideCursor();
  if (!written)
    return false;
  FModified = false;
  if (sender == TSaveSender::MenuSave || sender == TSaveSender::MenuSaveAs)
    AddRecentProject(FProjectFileName);
  return true;
}

bool TFMain::MISaveAsClick()
{
  QString file = ModalCalls().SaveFileName(this, ReadLastProjectFolder(), FDialogFilter, ProjectExtension);
  if (file.isEmpty())
    return false;
  // Step files are named around the extension: a name without one gets it.
  file = WithExtension(file, ProjectExtension);
  const QString oldName = FProjectFileName;
  UpdateCaption(file);
  WriteLastProjectFolder(file);
  if (MISaveClick(TSaveSender::MenuSaveAs))
    return true;
  // A name that could not be written would fail every later save the same way.
  UpdateCaption(oldName);
  return false;
}

void TFMain::RepaintAllWindows()
{
  repaint();
  for (TFSimpleView* view : ViewsLastFirst())
    view->repaint();
}

void TFMain::LoadResultFile(const QString& path)
{
  // A running model or a project being built must not be replaced under the worker.
  if (ProjectBusy() || !QFileInfo(path).isFile())
    return;
  // The loaded results replace the model's: its changes are saved first or dropped knowingly.
  if (!ConfirmSaveChanges())
    return;
  TakeResultFile(path);
}

bool TFMain::TakeResultFile(const QString& path)
{
  if (ProjectBusy() || !QFileInfo(path).isFile())
    return false;
  FLastOpenedPath = path;
  GiveElectrodesToTable();
  // A file that could not be read leaves the project and its name as they were.
  if (!LoadResultData(path))
    return false;
  QString name = path;
  ParseStepNumber(name);
  WriteLastProjectFolder(path);
  UpdateCaption(name);
  RefreshAll();
  UpdateMenuItems();
  return true;
}

QString TFMain::StepFileName(int n) const
{
  if (FProjectFileName != Text(NewProjectName))
    return ::StepFileName(FProjectFileName, n);
  // A project never saved has no folder and no extension: its step files go
  // where projects were last opened or saved (else the home folder), with the
  // project extension, so the open dialog lists them.
  QString folder = ReadLastProjectFolder();
  if (folder.isEmpty())
    folder = QDir::homePath();
  return ::StepFileName(QDir(folder).filePath(FProjectFileName + "." + ProjectExtension), n);
}

void TFMain::ParseStepNumber(QString& name) const
{
  name = ProjectNameOf(name, FStepCounter);
}

void TFMain::SetTickSource(std::function<uint32_t()> ticks)
{
  FTicks = std::move(ticks);
  FLastRefreshTick = FTicks();
}

bool TFMain::SaveStep()
{
  QString name = StepFileName(FStepCounter);
  ++FStepCounter;
  if (WriteProject(name))
    return true;
  // The number is used again by the next step, so no step file is ever missing
  // from the row; the write has said what went wrong.
  --FStepCounter;
  return false;
}
