// The chart windows in the program: made from "Окна" → "Новое окно" for the
// project's model and recreated with their choices from the project file.
#include "support/ProjectTestSupport.h"

#include "plots/FormArray3DPlot.h"
#include "plots/FormDimPlot.h"
#include "plots/FormTimePlot.h"
#include "plots/FormTreePlot.h"
#include "plots/series/FormSeriesDataViewEx.h"
#include "plots/series/FrameEditTimeSeries.h"
#include "shell/PlotWindowMakers.h"
#include "shell/ProgramIcon.h"
#include "plots/ChartPanel.h"
#include "plots/FormSimplePlotLook.h"

#include "base/WindowKind.h"
#include "data/TimeSerie.h"
#include "gis/GIS.h"
#include "gis/GPoint.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <QPointer>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace projecttest;

namespace {

class PlotWindowTest : public ProjectWindowTest {
protected:
  void SetUp() override
  {
    ProjectWindowTest::SetUp();
    RegisterPlotWindows(store.Views());
    main->SetViewFactory(&store.Views());
  }

  void NewModelPausedAtItsFirstEvent()
  {
    main->MINewClick();
    main->Model()->SetStopMode(TFModel::StopOnEvent);
    main->BStartClick();
    ASSERT_TRUE(ServeUntil([&] { return main->CalcState() == CalcPaused; }));
  }

  template <class TPlot>
  TPlot* Only()
  {
    TPlot* found = nullptr;
    for (TFSimpleView* view : main->Views())
      if (auto* plot = dynamic_cast<TPlot*>(view)) {
        EXPECT_EQ(found, nullptr);
        found = plot;
      }
    return found;
  }
};

TEST_F(PlotWindowTest, PlotsFromTheWindowsMenuComeBackWithTheirChoices)
{
  ASSERT_NO_FATAL_FAILURE(NewModelPausedAtItsFirstEvent());

  main->MINewPlot->trigger();
  auto* plot = Only<TFTimePlot>();
  ASSERT_NE(plot, nullptr);
  EXPECT_EQ(plot->Model, main->Model());
  ASSERT_GT(main->Model()->GetSeriesCount(), 1);
  plot->SeriesItemClick(KeyOf(*main->Model()->GetSeries(0)));
  plot->SeriesItemClick(KeyOf(*main->Model()->GetSeries(1)));
  plot->Settings.XUnit = 230;
  const TAxisLists<TSeriesKey> chosen = plot->SelectedSeries;
  EXPECT_TRUE(plot->LastBuild().built);

  main->MIDimension->trigger();
  auto* dim = Only<TFDimPlot>();
  ASSERT_NE(dim, nullptr);
  EXPECT_EQ(static_cast<TFModel*>(dim->Model), main->Model());
  EXPECT_TRUE(dim->LastBuild().built);
  dim->CustomLine = true;
  dim->LineSlope = 1.75;

  main->MINewTreePlot->trigger();
  auto* tree = Only<TFTreePlot>();
  ASSERT_NE(tree, nullptr);
  tree->PMINewChannel->trigger();

  const QString path = dir.filePath("plot.vzt");
  main->UpdateCaption(path);
  ASSERT_TRUE(main->MISaveClick(TSaveSender::Button));
  main->OpenProject(path);
  EXPECT_TRUE(calls.messages.empty());

  auto* loaded = Only<TFTimePlot>();
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->Model, main->Model());
  EXPECT_EQ(loaded->SelectedSeries, chosen);
  EXPECT_EQ(loaded->Settings.XUnit, 230);
  loaded->Refresh();
  EXPECT_TRUE(loaded->LastBuild().built);
  EXPECT_EQ(loaded->LastBuild().bottom.title, QString::fromUtf8("Время, мс"));

  auto* loadedDim = Only<TFDimPlot>();
  ASSERT_NE(loadedDim, nullptr);
  EXPECT_EQ(static_cast<TFModel*>(loadedDim->Model), main->Model());
  EXPECT_TRUE(loadedDim->CustomLine);
  EXPECT_EQ(loadedDim->LineSlope, 1.75);

  auto* loadedTree = Only<TFTreePlot>();
  ASSERT_NE(loadedTree, nullptr);
  EXPECT_EQ(static_cast<TFModel*>(loadedTree->Model), main->Model());
  EXPECT_EQ(loadedTree->ChannelMode, TFTreePlot::LastGrowth);
}

// The leaf of a data menu that stands for the object, at any depth.
QAction* LeafOf(QMenu* menu, int32_t id)
{
  for (QAction* item : menu->actions()) {
    QAction* found = item->menu() ? LeafOf(item->menu(), id) : item->data().toInt() == id ? item : nullptr;
    if (found)
      return found;
  }
  return nullptr;
}

// No command of the main window opens the volume profile; the project reader
// makes it again from its record. Point objects do not come back with a
// project (only volumes do), so the restored window has its arrays but must
// be given its paths again.
TEST_F(PlotWindowTest, TheVolumeProfileComesBackWithTheProjectAndClosesWithItsPath)
{
  ASSERT_NO_FATAL_FAILURE(NewModelPausedAtItsFirstEvent());
  const auto addPoint = [&] {
    auto point = std::make_unique<TGPoint>(main->Gis());
    point->SetName("скважина");
    point->SetX(0.5);
    point->SetY(0.5);
    return main->Gis()->AddObject(nullptr, std::move(point), true);
  };
  const auto choose = [](TFArray3DPlot* plot, QMenu* menu, int32_t id) {
    emit plot->PMGraphic->aboutToShow();
    QAction* item = LeafOf(menu, id);
    ASSERT_NE(item, nullptr) << id;
    item->trigger();
  };
  const int32_t potential = main->Gis()->FindArrayByCode(20001)->GetId();
  auto* plot = new TFArray3DPlot(main.get(), nullptr, main->Gis());
  main->AddView(plot);
  ASSERT_NO_FATAL_FAILURE(choose(plot, plot->PMIArrays, potential));
  calls.inputAnswers = {QString("0.001"), QString("0.002")};
  ASSERT_NO_FATAL_FAILURE(choose(plot, plot->PMISections, addPoint()));
  ASSERT_TRUE(plot->LastBuild().built);
  plot->Smoothing = TFArrayPlot::SmoothPoint;

  const QString path = dir.filePath("profile.vzt");
  main->UpdateCaption(path);
  ASSERT_TRUE(main->MISaveClick(TSaveSender::Button));
  main->OpenProject(path);
  EXPECT_TRUE(calls.messages.empty());
  auto* loaded = Only<TFArray3DPlot>();
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->Tag(), WindowKindArray3DPlot);
  EXPECT_EQ(loaded->SelectedArrays[0], std::vector<int32_t>{potential});
  EXPECT_EQ(loaded->Smoothing, TFArrayPlot::SmoothPoint);
  EXPECT_TRUE(loaded->Sections.empty());
  EXPECT_FALSE(loaded->LastBuild().built);

  calls.inputAnswers = {QString("0.001"), QString("0.002")};
  const int32_t again = addPoint();
  ASSERT_NO_FATAL_FAILURE(choose(loaded, loaded->PMISections, again));
  EXPECT_TRUE(loaded->LastBuild().built);
  QPointer<TFArray3DPlot> watched(loaded);
  main->Gis()->DeleteObjectById(nullptr, again, true);
  ProcessPostedEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(watched.isNull());
}

// The series table the program hands the chart windows, taken away with the test.
struct TInstalledTable {
  TFSeriesDataViewEx table;
  TInstalledTable() { InstallSeriesDataViewer(&table); }
  ~TInstalledTable() { InstallSeriesDataViewer(nullptr); }
  QString Cell(int col, int row) const
  {
    const QTableWidgetItem* item = table.Viewer->SGdata->item(row, col);
    return item ? item->text() : QString();
  }
};

TEST_F(PlotWindowTest, DataViewItemsOfATimePlotShowItsSeriesInTheTable)
{
  auto installed = std::make_unique<TInstalledTable>();
  TFSeriesDataViewEx& table = installed->table;
  ASSERT_NO_FATAL_FAILURE(NewModelPausedAtItsFirstEvent());

  main->MINewPlot->trigger();
  auto* plot = Only<TFTimePlot>();
  ASSERT_NE(plot, nullptr);
  ASSERT_GT(main->Model()->GetSeriesCount(), 1);
  const TTimeSerie& first = *main->Model()->GetSeries(0);
  ASSERT_GT(first.GetCount(), 0);
  plot->SeriesItemClick(KeyOf(first));
  plot->SeriesItemClick(KeyOf(*main->Model()->GetSeries(1)));

  emit plot->PMGraphic->aboutToShow();
  QList<QAction*> items = plot->PMIdata->actions();
  ASSERT_EQ(items.size(), 3);
  EXPECT_EQ(items[2]->text(), QString::fromUtf8("все ..."));
  for (QAction* item : items)
    EXPECT_TRUE(item->isEnabled()) << item->text().toStdString();

  items[0]->trigger();
  ASSERT_EQ(calls.dialogs.size(), 1u);
  EXPECT_EQ(calls.dialogs[0], &table);
  EXPECT_FALSE(table.windowTitle().isEmpty());
  EXPECT_TRUE(items[0]->text().startsWith(table.windowTitle())) << table.windowTitle().toStdString();
  ASSERT_EQ(table.Viewer->SGdata->columnCount(), 2);
  ASSERT_EQ(table.Viewer->SGdata->rowCount(), first.GetCount() + 1);
  EXPECT_FALSE(installed->Cell(0, 0).contains(','));
  for (int row = 1; row <= first.GetCount(); ++row) {
    bool number = false;
    installed->Cell(1, row).toDouble(&number);
    EXPECT_TRUE(number) << row << " " << installed->Cell(1, row).toStdString();
  }

  items[2]->trigger();
  ASSERT_EQ(calls.dialogs.size(), 2u);
  EXPECT_EQ(table.windowTitle(), QString::fromUtf8("Данные серий"));
  EXPECT_EQ(table.Viewer->SGdata->columnCount(), 3);

  installed.reset();
  emit plot->PMGraphic->aboutToShow();
  ASSERT_FALSE(plot->PMIdata->actions().isEmpty());
  for (QAction* item : plot->PMIdata->actions())
    EXPECT_FALSE(item->isEnabled()) << item->text().toStdString();
  plot->PMIdata->actions()[0]->trigger();
  EXPECT_EQ(calls.dialogs.size(), 2u);
}

TEST_F(PlotWindowTest, ViewWindowsShowTheProgramsIcon)
{
  main->MINewClick();
  main->MINewPlot->trigger();
  ASSERT_FALSE(main->MdiArea()->subWindowList().isEmpty());
  const QImage program = ProgramIcon().pixmap(16).toImage();
  for (QMdiSubWindow* sub : main->MdiArea()->subWindowList()) {
    EXPECT_EQ(sub->windowIcon().pixmap(16).toImage(), program) << sub->windowTitle().toStdString();
    // The title bar draws it: the tree's yellow is there, in no other part of the bar.
    const QImage bar = sub->grab(QRect(0, 0, sub->width(), sub->widget()->geometry().top())).toImage();
    bool yellow = false;
    for (int y = 0; y < bar.height() && !yellow; ++y)
      for (int x = 0; x < bar.width() && !yellow; ++x) {
        const QColor c = bar.pixelColor(x, y);
        yellow = c.red() > 200 && c.green() > 170 && c.blue() < 120;
      }
    EXPECT_TRUE(yellow) << sub->windowTitle().toStdString();
  }
  EXPECT_EQ(main->windowIcon().pixmap(16).toImage(), program);
}

TEST_F(PlotWindowTest, TheReadOutWindowOpensBesideItsChartNotOverTheMenu)
{
  ASSERT_NO_FATAL_FAILURE(NewModelPausedAtItsFirstEvent());
  main->MINewPlot->trigger();
  TFTimePlot* plot = nullptr;
  for (TFSimpleView* view : main->Views())
    if (auto* time = dynamic_cast<TFTimePlot*>(view))
      plot = time;
  ASSERT_NE(plot, nullptr);
  ASSERT_GT(main->Model()->GetSeriesCount(), 0);
  plot->SeriesItemClick(KeyOf(*main->Model()->GetSeries(0)));
  ASSERT_TRUE(plot->LastBuild().built);
  auto* sub = qobject_cast<QMdiSubWindow*>(plot->parentWidget());
  ASSERT_NE(sub, nullptr);
  sub->resize(300, 200);
  sub->move(10, 10);

  plot->PMIlook->trigger();
  QWidget* viewport = plot->ChartPanel()->View()->viewport();
  QTest::mousePress(viewport, Qt::LeftButton, {}, viewport->rect().center());
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, viewport->rect().center());
  ASSERT_TRUE(plot->Look->isVisible());
  const QRect look = plot->Look->frameGeometry();
  const QRect chart(sub->mapToGlobal(QPoint(0, 0)), sub->size());
  const QRect menu(main->menuBar()->mapToGlobal(QPoint(0, 0)), main->menuBar()->size());
  EXPECT_FALSE(look.intersects(chart));
  EXPECT_FALSE(look.intersects(menu));
  EXPECT_TRUE(plot->screen()->availableGeometry().contains(look));
}

} // namespace
