// The main window's enable table, tool modes, window menu and "new window"
// items, driven through the menu actions.
#include "support/MenuPath.h"
#include "support/ProjectTestSupport.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

using namespace projecttest;

namespace {

// A model that counts the array commands that reach it.
class TCountingModel : public TTestModel {
public:
  void SetDefaults() override { ++defaults; }
  void UpdateArrayLayers() override { ++layerUpdates; }
  int defaults = 0;
  int layerUpdates = 0;
};

class TCountingModelMaker : public TTestModelMaker {
public:
  std::unique_ptr<TFModel> CreateModel(TFMain&) override { return std::make_unique<TCountingModel>(); }
};

class MenuCommandsTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    // Only the tree plot and the model information window have makers.
    for (int kind : {WindowKindTreePlot, WindowKindModelInfo})
      factory.Register(kind, [kind](TFMain& m, TFModel* model) { return new TFakeView(&m, kind, model); });
    main = std::make_unique<TFMain>(QStringList());
    main->SetProjectFiles(&files);
    main->SetModelWindowMaker(&maker);
    main->SetViewFactory(&factory);
    main->resize(900, 700);
    main->show();
    ProcessPostedEvents();
  }
  void TearDown() override
  {
    main.reset();
    ProcessPostedEvents();
  }

  // A menu item, a submenu (its menu action) or a tool button by name.
  QAction* Item(const char* name) const
  {
    if (auto* menu = main->findChild<QMenu*>(name))
      return menu->menuAction();
    QAction* action = main->findChild<QAction*>(name);
    EXPECT_NE(action, nullptr) << name;
    return action;
  }
  // What the enable table set: Qt reports every hidden item disabled.
  bool EnabledByTable(const char* name) const
  {
    QAction* item = Item(name);
    if (item->isVisible())
      return item->isEnabled();
    item->setVisible(true);
    const bool enabled = item->isEnabled();
    item->setVisible(false);
    return enabled;
  }
  QList<TFSimpleView*> ViewsOfKind(int kind) const
  {
    QList<TFSimpleView*> found;
    for (TFSimpleView* view : main->Views())
      if (view->Tag() == kind)
        found.append(view);
    return found;
  }
  TFakeView* AddView(int kind) { return AddFakeView(*main, kind, "", 0); }

  TScriptedModalCalls calls;
  TModalCallsScope scope{calls};
  TRecordingProjectFiles files;
  TCountingModelMaker maker;
  TViewFactory factory;
  std::unique_ptr<TFMain> main;
};

// Per item the expected enabled state in calculation states 0 to 5 ("-": not decided there).
struct TEnableRow {
  const char* name;
  const char* states;
};

const TEnableRow EnableTable[] = {
  {"MFile", "YYYYNY"},        {"MINew", "YNYYNY"},         {"MIOpen", "YNYYNY"},
  {"Bopen", "YNYYNY"},        {"MISave", "YNYYNN"},        {"MISaveAs", "YNYYNN"},
  {"MISaveClones", "YNYYNN"}, {"Bsave", "YNYYNN"},         {"MIAutoSave", "NNYYNN"},
  {"Mmodel", "YYYYNN"},       {"MCalc", "YYYYNN"},         {"MOptions", "YYYYNN"},
  {"MWindows", "YYYYNN"},     {"MINewWin", "YYYYNN"},      {"MICloseWin", "YYYYNN"},
  {"Bcopy", "YYYYNN"},        {"MIData", "YNYYNN"},        {"MILoadData", "YNYYNN"},
  {"MILoadDataNext", "YNYYNN"}, {"Bloaddataprev10", "YNYYNN"}, {"Bloaddatanext", "YNYYNN"},
  {"Binspect", "YNYYNN"},     {"Binsert", "YNYYNN"},       {"Bedit", "YNYYNN"},
  {"MICalcArrayModel", "YNYYNN"}, {"MIDefaultArray", "YNNY--"}, {"MIBuildInfo", "YNNY--"},
  {"MIBuildArrays", "YNNY--"},  {"SBInspect", "YNYYNN"},     {"SBInsert", "YNYYNN"},
  {"SBEditObj", "YNYYNN"},    {"SBZoomIn", "NNNNNN"},      {"SBZoomOut", "NNNNNN"},
  {"MIInfo", "YYYYNN"},       {"MINewTreePlot", "YYYYNN"}, {"MINewPlot", "NNNNNN"},
  {"MINewCubuiqe", "NNNNNN"}, {"MIDimension", "NNNNNN"},   {"MIReport", "YYYY--"},
  {"MIBMPExport", "YYYY--"},  {"MIHelp", "NNNNNN"},        {"Bstart", "YNYYNN"},
  {"Bpause", "NYNNNN"},       {"Babort", "NYNNNN"},        {"Bzoomin", "NNNNNN"},
};

TEST_F(MenuCommandsTest, EnableTableOverEveryStateInBothMenuSets)
{
  for (bool extended : {false, true}) {
    if (main->Extended() != extended)
      Item("MIextended")->trigger();
    for (int state = CalcNotStarted; state <= CalcNoProject; ++state) {
      main->CloseProject();
      if (state != CalcNoProject)
        main->CreateModelWindow(new TBitGIS(nullptr));
      main->SetCalcState(state);
      main->UpdateMenuItems();
      for (const TEnableRow& row : EnableTable) {
        const char expected = row.states[state];
        if (expected == '-')
          continue;
        EXPECT_EQ(EnabledByTable(row.name), expected == 'Y')
          << row.name << " in state " << state << (extended ? " (extended)" : " (student)");
      }
    }
  }
}

// Commands that have a handler but stay out of reach in every state.
const std::set<QString> NeverReachable = {
  "MISaveClones", // the clone command is hidden in both menu sets, as designed
  "MIgis",        // the editing bar it would show has no tool that works yet
};

// Over both menu sets and every calculation state: what the student can reach
// through the menus. A command is reachable only when every menu above it is
// enabled and visible; every command with a handler is reachable somewhere.
TEST_F(MenuCommandsTest, MenuTreeInvariantOverEveryStateInBothMenuSets)
{
  for (int kind : {WindowKindBit3DView, WindowKindTimePlot, WindowKindDimPlot})
    factory.Register(kind, [kind](TFMain& m, TFModel* model) { return new TFakeView(&m, kind, model); });
  std::map<QString, int> reached; // command -> number of states it was reachable in
  std::set<QString> handled;
  for (bool extended : {false, true}) {
    if (main->Extended() != extended)
      Item("MIextended")->trigger();
    for (int state = CalcNotStarted; state <= CalcNoProject; ++state) {
      main->CloseProject();
      if (state != CalcNoProject) {
        main->CreateModelWindow(new TBitGIS(nullptr));
        AddView(WindowKindTimePlot);
      }
      main->SetCalcState(state);
      main->UpdateMenuItems();
      const QString where = QString(" in state %1%2").arg(state).arg(extended ? " (extended)" : " (student)");
      std::set<QString> here;
      menupath::WalkCommands(*main, [&](QAction* command, bool reachable) {
        if (command->objectName().isEmpty())
          return; // the window list: one entry per open window
        if (menupath::TActionReceivers::HasHandler(command))
          handled.insert(command->objectName());
        if (reachable) {
          here.insert(command->objectName());
          ++reached[command->objectName()];
        }
      });
      // Without a project only new, open and exit; while one is being built nothing of the project.
      if (state == CalcNoProject)
        EXPECT_EQ(here, (std::set<QString>{"MINew", "MIOpen", "FileExitItem", "HelpAboutItem"})) << where.toStdString();
      if (state == CalcCreating)
        EXPECT_EQ(here, std::set<QString>{"HelpAboutItem"}) << where.toStdString();
      // The report reads the values of one moment, also during a run.
      if (state <= CalcStopped) {
        for (const char* report : {"MIReportWord", "MIReportPrint"})
          EXPECT_TRUE(here.count(report)) << report << where.toStdString();
        for (const char* bmpExport : {"MIBMPProjectExport", "MIBMPSelectExport"})
          EXPECT_EQ(here.count(bmpExport) == 1, extended && state != CalcRunning) << bmpExport << where.toStdString();
      }
    }
  }
  for (const QString& name : handled) {
    const bool everReached = reached.count(name) > 0;
    EXPECT_EQ(everReached, NeverReachable.count(name) == 0) << name.toStdString();
  }
  // Commands without a handler are never offered.
  EXPECT_EQ(handled.count("MIHelp"), 0u);
  EXPECT_EQ(reached.count("MIHelp"), 0u);
}

TEST_F(MenuCommandsTest, MenuSetsShowTheirOwnItems)
{
  ASSERT_FALSE(main->Extended());
  const char* extendedOnly[] = {"MIModelParams", "MIElectrodes", "MIObjects", "MIInfo", "MIBMPExport"};
  for (bool extended : {false, true}) {
    if (main->Extended() != extended)
      Item("MIextended")->trigger();
    for (const char* name : extendedOnly)
      EXPECT_EQ(Item(name)->isVisible(), extended) << name;
    EXPECT_EQ(Item("MIModelParamsStud")->isVisible(), !extended);
    for (const char* hidden : {"MISaveClones", "MIgis"})
      EXPECT_FALSE(Item(hidden)->isVisible()) << hidden;
    // The array commands, the build of the input arrays among them, are
    // reachable in both sets.
    EXPECT_TRUE(main->MICalcArrayModel->menuAction()->isVisible());
    EXPECT_TRUE(main->Mmodel->actions().contains(main->MICalcArrayModel->menuAction()));
    EXPECT_TRUE(main->MICalcArrayModel->actions().contains(Item("MIBuildArrays")));
  }
}

TEST_F(MenuCommandsTest, ToolBarsHaveNoMenuOfTheirOwn)
{
  // Qt's menu would let the user show the hidden "ГИС" and "статус" bars.
  EXPECT_EQ(main->createPopupMenu(), nullptr);
  Item("MPanels")->menu()->aboutToShow();
  EXPECT_FALSE(Item("MIgis")->isChecked());
  EXPECT_FALSE(main->TBgis->isVisible());
  Item("MIstatus")->trigger();
  EXPECT_TRUE(main->TBstatus->isVisible());
  Item("MIstatus")->trigger();
  EXPECT_FALSE(main->TBstatus->isVisible());
}

struct TToolCase {
  const char* name;
  std::vector<const char*> clicks; // actions triggered in order
  int mode;
};

class ToolModeTest : public MenuCommandsTest, public ::testing::WithParamInterface<TToolCase> {};

TEST_P(ToolModeTest, ClicksSetTheModeAndTheButtons)
{
  main->MINewClick();
  for (const char* click : GetParam().clicks)
    Item(click)->trigger();
  ProcessPostedEvents();
  const int mode = GetParam().mode;
  EXPECT_EQ(main->ToolMode(), mode);
  EXPECT_EQ(main->Binspect->isChecked(), mode == 1 || mode == 4);
  EXPECT_EQ(main->Binsert->isChecked(), mode == 3);
  EXPECT_EQ(main->Bedit->isChecked(), mode >= 6 && mode <= 8);
}

INSTANTIATE_TEST_SUITE_P(
  Cases, ToolModeTest,
  ::testing::Values(TToolCase{"inspectAtPoint", {"Binspect"}, 1},
                    TToolCase{"inspectTwiceIsOff", {"Binspect", "Binspect"}, 0},
                    TToolCase{"structureChosenFirst", {"MPIInspectStruct", "Binspect", "Binspect"}, 4},
                    TToolCase{"pointChosenAgain", {"MPIInspectStruct", "MPIInspectPoint"}, 1},
                    TToolCase{"insertToggles", {"Binsert", "Binsert"}, 0},
                    TToolCase{"insertAfterInspect", {"Binspect", "Binsert"}, 3},
                    TToolCase{"editWithNothingChecked", {"Bedit"}, 0},
                    TToolCase{"editProperties", {"PMIEditProp", "Bedit"}, 6},
                    TToolCase{"editTwiceIsOff", {"PMIEditMoveAll", "Bedit", "Bedit"}, 0},
                    // The speed buttons share the tool buttons' commands and mode.
                    TToolCase{"speedInspect", {"SBInspect"}, 1},
                    TToolCase{"speedInspectOffByToolButton", {"SBInspect", "Binspect"}, 0},
                    TToolCase{"speedInspectStructure", {"MPIInspectStruct", "Binspect", "SBInspect"}, 4},
                    TToolCase{"speedInsert", {"SBInsert"}, 3},
                    TToolCase{"speedInsertTwiceIsOff", {"SBInsert", "SBInsert"}, 0},
                    TToolCase{"speedEditWithNothingChecked", {"SBEditObj"}, 0},
                    TToolCase{"speedEditMoveNode", {"PMIEditMoveNode", "SBEditObj"}, 8},
                    TToolCase{"speedEditOffByToolButton", {"PMIEditMoveNode", "SBEditObj", "Bedit"}, 0}),
  [](const ::testing::TestParamInfo<TToolCase>& info) { return std::string(info.param.name); });

TEST_F(MenuCommandsTest, NewProjectAndEndOfRunClearTheToolMode)
{
  main->MINewClick();
  Item("Binsert")->trigger();
  main->Gis()->SetModified(false);
  main->MINewClick();
  ProcessPostedEvents();
  EXPECT_EQ(main->ToolMode(), 0);
  EXPECT_FALSE(main->Binsert->isChecked());
  main->BStartClick();
  EXPECT_EQ(main->ToolMode(), 9);
  main->OnCalcStopped(main->Model());
  ProcessPostedEvents();
  EXPECT_EQ(main->ToolMode(), 0);
}

// The five flat buttons sit beside the menu bar, show their hints and work
// with the mouse.
TEST_F(MenuCommandsTest, SpeedButtonsAreOnTheWindowAndClickable)
{
  main->MINewClick();
  ProcessPostedEvents();
  const struct {
    const char* name;
    const char* hint;
  } buttons[] = {{"SBInspect", "Инспектор"}, {"SBInsert", "Новый объект"}, {"SBEditObj", "Редактор"},
                 {"SBZoomIn", "Увеличить"}, {"SBZoomOut", "Уменьшить"}};
  for (const auto& b : buttons) {
    auto* button = main->findChild<QToolButton*>(QString(b.name) + "Button");
    ASSERT_NE(button, nullptr) << b.name;
    EXPECT_TRUE(button->isVisible()) << b.name;
    EXPECT_TRUE(button->autoRaise()) << b.name;
    EXPECT_EQ(button->defaultAction(), Item(b.name));
    EXPECT_EQ(button->toolTip(), QString::fromUtf8(b.hint));
    const QRect onWindow(button->mapTo(main.get(), QPoint(0, 0)), button->size());
    EXPECT_TRUE(main->rect().contains(onWindow)) << b.name;
    EXPECT_TRUE(main->menuBar()->geometry().intersects(onWindow)) << b.name;
  }
  QTest::mouseClick(main->findChild<QToolButton*>("SBInsertButton"), Qt::LeftButton);
  ProcessPostedEvents();
  EXPECT_EQ(main->ToolMode(), 3);
  EXPECT_TRUE(main->Binsert->isChecked());
  QTest::mouseClick(main->findChild<QToolButton*>("SBInspectButton"), Qt::LeftButton);
  ProcessPostedEvents();
  EXPECT_EQ(main->ToolMode(), 1);
  EXPECT_TRUE(main->Binspect->isChecked());
  EXPECT_FALSE(main->Binsert->isChecked());
}

// A view that counts the zoom steps it is asked for.
class TZoomCountingView : public TFakeView {
public:
  using TFakeView::TFakeView;
  void ZoomIn() override { ++zoomIns; }
  void ZoomOut() override { ++zoomOuts; }
  int zoomIns = 0;
  int zoomOuts = 0;
};

// Zoom reaches the active window when it is a 3D view or a section window,
// from the tool bar and from the speed buttons alike.
TEST_F(MenuCommandsTest, ZoomReachesTheActive3DOrSectionWindow)
{
  main->MINewClick();
  for (int kind : {WindowKind3DView, WindowKindBit3DView, WindowKindSectionView, WindowKindTimePlot}) {
    auto* view = new TZoomCountingView(main.get(), kind, main->Model());
    main->AddView(view);
    main->MdiArea()->setActiveSubWindow(main->MdiArea()->subWindowList().last());
    ASSERT_EQ(main->ActiveView(), view);
    main->UpdateMenuItems();
    const bool zoomable = kind != WindowKindTimePlot;
    for (const char* name : {"Bzoomin", "Bzoomout", "SBZoomIn", "SBZoomOut"})
      EXPECT_EQ(Item(name)->isEnabled(), zoomable) << name << " over kind " << kind;
    for (const char* name : {"Bzoomin", "SBZoomIn", "SBZoomIn", "Bzoomout"})
      Item(name)->trigger();
    // Disabled over other kinds, and the command itself checks the kind too.
    main->SBZoomInClick();
    main->SBZoomOutClick();
    EXPECT_EQ(view->zoomIns, zoomable ? 4 : 0) << kind;
    EXPECT_EQ(view->zoomOuts, zoomable ? 2 : 0) << kind;
  }
  main->MdiArea()->closeAllSubWindows();
  ProcessPostedEvents();
  main->SBZoomInClick(); // no window: nothing to zoom
  EXPECT_FALSE(Item("SBZoomIn")->isEnabled());
}

bool Overlap(const QList<QMdiSubWindow*>& subs)
{
  for (int i = 0; i < subs.size(); ++i)
    for (int j = i + 1; j < subs.size(); ++j)
      if (subs[i]->geometry().intersects(subs[j]->geometry()))
        return true;
  return false;
}

TEST_F(MenuCommandsTest, WindowMenuArrangesTheChildren)
{
  main->MINewClick();
  for (int kind : {9, 104, 209})
    AddView(kind);
  QMdiArea* area = main->MdiArea();
  QList<QMdiSubWindow*> subs = area->subWindowList(QMdiArea::CreationOrder);

  Item("WindowTileItem")->trigger();
  EXPECT_FALSE(Overlap(subs));
  for (QMdiSubWindow* sub : subs)
    EXPECT_TRUE(area->viewport()->rect().contains(sub->geometry())) << sub->windowTitle().toStdString();

  Item("WindowCascadeItem")->trigger();
  // Each window stands down and to the right of the one before.
  for (int i = 1; i < subs.size(); ++i) {
    EXPECT_GT(subs[i]->x(), subs[i - 1]->x());
    EXPECT_GT(subs[i]->y(), subs[i - 1]->y());
  }

  Item("WindowMinimizeItem")->trigger();
  for (QMdiSubWindow* sub : subs)
    EXPECT_TRUE(sub->isMinimized());
  subs[1]->move(200, 100);
  Item("WindowArrangeItem")->trigger();
  EXPECT_FALSE(Overlap(subs));
  for (QMdiSubWindow* sub : subs)
    EXPECT_EQ(sub->geometry().bottom(), area->viewport()->rect().bottom());

  area->setActiveSubWindow(subs[2]);
  Item("MICloseWin")->trigger();
  ProcessPostedEvents();
  EXPECT_EQ(main->Views().size(), 2);
}

TEST_F(MenuCommandsTest, WindowItemsFollowTheChildren)
{
  main->MINewClick();
  for (const char* name : {"WindowTileItem", "WindowCascadeItem", "WindowMinimizeItem", "WindowArrangeItem"})
    EXPECT_FALSE(Item(name)->isEnabled()) << name;
  AddView(9);
  for (const char* name : {"WindowTileItem", "WindowCascadeItem", "WindowMinimizeItem", "WindowArrangeItem"})
    EXPECT_TRUE(Item(name)->isEnabled()) << name;
  // Closing with no child does nothing.
  main->MdiArea()->closeAllSubWindows();
  ProcessPostedEvents();
  Item("MICloseWin")->trigger();
  EXPECT_TRUE(main->Views().isEmpty());
}

TEST_F(MenuCommandsTest, InformationWindowIsMadeOnceAndBroughtToTheFront)
{
  main->MINewClick();
  main->SetModified(false);
  Item("MIInfo")->trigger();
  ASSERT_EQ(ViewsOfKind(WindowKindModelInfo).size(), 1);
  auto* info = static_cast<TFakeView*>(ViewsOfKind(WindowKindModelInfo).first());
  EXPECT_EQ(info->model, main->Model());
  EXPECT_TRUE(main->Modified());

  main->SetModified(false);
  QMdiSubWindow* infoSub = main->MdiArea()->currentSubWindow();
  AddView(9);
  infoSub->showMinimized();
  const int refreshes = info->refreshes;
  Item("MIInfo")->trigger();
  EXPECT_EQ(ViewsOfKind(WindowKindModelInfo).size(), 1);
  EXPECT_EQ(main->ActiveView(), info);
  EXPECT_FALSE(infoSub->isMinimized());
  EXPECT_GT(info->refreshes, refreshes);
  EXPECT_FALSE(main->Modified());
}

TEST_F(MenuCommandsTest, NewWindowItemMakesItsKindWithTheProject)
{
  main->MINewClick();
  main->SetModified(false);
  Item("MINewTreePlot")->trigger();
  QList<TFSimpleView*> made = ViewsOfKind(WindowKindTreePlot);
  ASSERT_EQ(made.size(), 1);
  auto* plot = static_cast<TFakeView*>(made.first());
  EXPECT_EQ(plot->windowTitle(), QString::fromUtf8("Распределение по каналам"));
  EXPECT_EQ(plot->ViewGis(), main->Gis());
  EXPECT_EQ(plot->model, main->Model());
  EXPECT_TRUE(main->Modified());
  // A kind without a maker stays disabled and makes nothing.
  Item("MINewPlot")->trigger();
  EXPECT_EQ(main->Views().size(), 1);
}

TEST_F(MenuCommandsTest, ArrayCommandsReachTheModelInTheirStates)
{
  main->MINewClick();
  auto* model = static_cast<TCountingModel*>(main->Model());
  Item("MIDefaultArray")->trigger();
  Item("MIUpdateArrays")->trigger();
  EXPECT_EQ(model->defaults, 1);
  EXPECT_EQ(model->layerUpdates, 1);
  main->SetCalcState(CalcPaused);
  main->UpdateMenuItems();
  Item("MIDefaultArray")->trigger();
  Item("MIUpdateArrays")->trigger();
  EXPECT_EQ(model->defaults, 1);
  EXPECT_EQ(model->layerUpdates, 2);
}

} // namespace
