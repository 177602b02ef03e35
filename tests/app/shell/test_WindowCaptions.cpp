// What the student first sees of a window: its caption whole in the title
// bar, the program's icon on the view windows, the read-out window of a chart
// beside the chart instead of over the main window's menu.
#include "support/ProjectTestSupport.h"

#include "base/CaptionWidth.h"
#include "base/QtModalCalls.h"
#include "plots/ChartPanel.h"
#include "plots/FormSimplePlotLook.h"
#include "plots/FormTimePlot.h"
#include "shell/PlotWindowMakers.h"
#include "shell/ProgramIcon.h"

#include <QApplication>
#include <QChart>
#include <QInputDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace projecttest;

namespace {

// Widths the dialogs had when they were shown, against what their captions need.
struct TShownWidth {
  QString caption;
  int width = 0;
  int needed = 0;
};

class CaptionTest : public ModelDialogsTest {
protected:
  std::vector<TShownWidth> ShownWhile(const std::function<void()>& command)
  {
    std::vector<TShownWidth> shown;
    calls.whileShown = [&](QDialog* dialog) {
      dialog->show();
      shown.push_back({dialog->windowTitle(), dialog->frameGeometry().width(), CaptionWidth(*dialog)});
      dialog->hide();
    };
    command();
    calls.whileShown = nullptr;
    return shown;
  }
};

TEST_F(CaptionTest, DialogsOfTheMenusAreWideEnoughForTheirCaptions)
{
  std::vector<TShownWidth> shown;
  for (QAction* item : {main->MIModelParamsStud, main->MIModelParams, main->MIReportWord}) {
    std::vector<TShownWidth> more = ShownWhile([item] { item->trigger(); });
    EXPECT_EQ(more.size(), 1u) << item->text().toStdString();
    shown.insert(shown.end(), more.begin(), more.end());
  }
  for (const TShownWidth& each : shown) {
    EXPECT_FALSE(each.caption.isEmpty());
    EXPECT_GE(each.width, each.needed) << each.caption.toStdString();
  }
}

TEST(InputBoxCaption, TheInputBoxIsWideEnoughForItsCaption)
{
  TQtModalCalls qt;
  int width = 0, needed = 0;
  QTimer::singleShot(0, [&] {
    if (QWidget* box = QApplication::activeModalWidget()) {
      width = box->frameGeometry().width();
      needed = CaptionWidth(*box);
      qobject_cast<QDialog*>(box)->reject();
    }
  });
  EXPECT_FALSE(qt.InputBox(nullptr, QString::fromUtf8("Индекс изображений"), QString::fromUtf8("начальное значение"),
                           "0"));
  EXPECT_GT(needed, 0);
  EXPECT_GE(width, needed);
}

class FirstMeetingTest : public ProjectWindowTest {
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
};

TEST_F(FirstMeetingTest, ViewWindowsShowTheProgramsIcon)
{
  main->MINewClick();
  main->MINewPlot->trigger();
  ASSERT_FALSE(main->MdiArea()->subWindowList().isEmpty());
  const QImage program = ProgramIcon().pixmap(16).toImage();
  for (QMdiSubWindow* sub : main->MdiArea()->subWindowList())
    EXPECT_EQ(sub->windowIcon().pixmap(16).toImage(), program) << sub->windowTitle().toStdString();
  EXPECT_EQ(main->windowIcon().pixmap(16).toImage(), program);
}

TEST_F(FirstMeetingTest, TheReadOutWindowOpensBesideItsChartNotOverTheMenu)
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
