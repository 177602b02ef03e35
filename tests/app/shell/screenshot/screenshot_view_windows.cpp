// The first meeting with each kind of view window: opened through "Окна" ->
// "Новое окно" on a new project of the breakdown model, every window comes up
// at the size its design gives, draws something on the screen, and keeps its
// size when the windows are cascaded. The pictures are grabbed from the display
// (Xvfb under the test script) and kept as view_windows.png beside the test.
#include "support/ProjectTestSupport.h"

#include "plots/FormDimPlot.h"
#include "plots/FormTimePlot.h"
#include "plots/FormTreePlot.h"
#include "plots/info/FormModelInfo.h"
#include "shell/PlotWindowMakers.h"
#include "shell/ViewMakers.h"
#include "views3d/FormBit3DView.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSet>
#include <QChart>
#include <QScatterSeries>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <functional>

using namespace projecttest;

namespace {

QString Plain(QString caption)
{
  return caption.remove('&');
}

// The item of the main window's menu bar reached along the captions, as the
// student clicks through it; null when a step is missing or hidden.
QAction* MenuItem(TFMain& main, const QStringList& path)
{
  QList<QAction*> items = main.menuBar()->actions();
  QAction* found = nullptr;
  for (const QString& caption : path) {
    found = nullptr;
    for (QAction* item : items)
      if (item->isVisible() && Plain(item->text()) == caption)
        found = item;
    if (!found)
      return nullptr;
    items = found->menu() ? found->menu()->actions() : QList<QAction*>();
  }
  return found;
}

QImage ScreenPicture(QWidget* widget)
{
  QImage shot;
  if (QGuiApplication::platformName() == "xcb") {
    const QPoint at = widget->mapToGlobal(QPoint(0, 0));
    shot = QGuiApplication::primaryScreen()
             ->grabWindow(0, at.x(), at.y(), widget->width(), widget->height())
             .toImage();
  } else {
    shot = widget->grab().toImage();
  }
  return shot.convertToFormat(QImage::Format_RGB32);
}

int DistinctColours(const QImage& image)
{
  QSet<QRgb> colours;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      colours.insert(image.pixel(x, y));
  return colours.size();
}

bool HasPixel(const QImage& image, const std::function<bool(QColor)>& test)
{
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (test(image.pixelColor(x, y)))
        return true;
  return false;
}

class ViewWindowScreenshot : public ::testing::Test {
protected:
  void SetUp() override
  {
    RegisterViewMakers(store.Views());
    RegisterPlotWindows(store.Views());
    main = std::make_unique<TFMain>(QStringList());
    main->SetProjectFiles(&store);
    main->SetModelWindowMaker(&maker);
    main->SetViewFactory(&store.Views());
    main->setGeometry(20, 20, 1200, 940);
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    main->MINewClick();
    ProcessPostedEvents();
  }
  void TearDown() override
  {
    main.reset();
    ProcessPostedEvents();
  }

  // The view that the menu item opened.
  TFSimpleView* Open(const QStringList& path)
  {
    QAction* item = MenuItem(*main, path);
    if (!item)
      return nullptr;
    const qsizetype before = main->Views().size();
    item->trigger();
    ProcessPostedEvents();
    QTest::qWait(300);
    const QList<TFSimpleView*> views = main->Views();
    return views.size() == before + 1 ? views.back() : nullptr;
  }

  TScriptedModalCalls calls;
  TModalCallsScope scope{calls};
  TProjectFileStore store;
  TNeedleModelMaker maker;
  std::unique_ptr<TFMain> main;
};

TEST_F(ViewWindowScreenshot, EachKindOpensAtItsSizeAndDrawsThroughItsMenuItem)
{
  // "Информационное" belongs to the extended menus.
  MenuItem(*main, {QString::fromUtf8("Инструменты"), QString::fromUtf8("Расширенная модель")})->trigger();
  ProcessPostedEvents();
  const QString windows = QString::fromUtf8("Окна"), newWindow = QString::fromUtf8("Новое окно");
  const struct {
    const char* item;
    const char* className;
    QSize size; // the view's own area; width 0: any
    bool colouredPlates;
  } kinds[] = {
    {"Объем", "TFBit3DView", {320, 320}, true},
    {"Вр. график", "TFTimePlot", {400, 250}, false},
    {"Каналы", "TFTreePlot", {400, 250}, false},
    {"Размерность", "TFDimPlot", {400, 250}, false},
    {"Информационное", "TFModelInfo", {452, 0}, false},
  };
  std::vector<std::pair<TFSimpleView*, QSize>> opened;
  for (const auto& kind : kinds) {
    SCOPED_TRACE(kind.item);
    TFSimpleView* view = Open({windows, newWindow, QString::fromUtf8(kind.item)});
    ASSERT_NE(view, nullptr);
    EXPECT_STREQ(view->metaObject()->className(), kind.className);
    auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget());
    ASSERT_NE(sub, nullptr);
    EXPECT_FALSE(sub->isMinimized() || sub->isMaximized());
    EXPECT_EQ(view->width(), kind.size.width());
    if (kind.size.height() > 0) {
      EXPECT_EQ(view->height(), kind.size.height());
    }
    EXPECT_GE(view->height(), view->minimumSizeHint().height());
    EXPECT_GT(sub->width(), view->width());
    EXPECT_GT(sub->height(), view->height());
    // The whole window lies in the MDI area, where the student sees it.
    EXPECT_TRUE(main->MdiArea()->viewport()->rect().contains(sub->geometry())) << sub->geometry().x();

    const QImage picture = ScreenPicture(view);
    EXPECT_GT(DistinctColours(picture), 3) << "nothing drawn";
    if (kind.colouredPlates) {
      // No array chosen yet: the box still shows the red and blue plates.
      EXPECT_TRUE(HasPixel(picture, [](QColor c) { return c.red() > 90 && c.red() > 2 * (c.green() + c.blue()); }));
      EXPECT_TRUE(HasPixel(picture, [](QColor c) { return c.blue() > 90 && c.blue() > 2 * (c.green() + c.red()); }));
    }
    opened.emplace_back(view, view->size());
  }
  QImage all = ScreenPicture(main.get());
  all.save(QCoreApplication::applicationDirPath() + "/view_windows.png");

  // Cascading moves the windows but keeps their sizes.
  MenuItem(*main, {windows, QString::fromUtf8("Каскадом")})->trigger();
  ProcessPostedEvents();
  for (const auto& [view, size] : opened)
    EXPECT_EQ(view->size(), size) << view->metaObject()->className();
  // A window the student made larger stays so through the next cascade.
  auto* sub = qobject_cast<QMdiSubWindow*>(opened.front().first->parentWidget());
  sub->resize(sub->size() + QSize(60, 40));
  ProcessPostedEvents();
  const QSize grown = opened.front().first->size();
  MenuItem(*main, {windows, QString::fromUtf8("Каскадом")})->trigger();
  ProcessPostedEvents();
  EXPECT_EQ(opened.front().first->size(), grown);

  // A window loaded from a project opens at the size it was saved with.
  QTemporaryDir dir;
  const QString path = dir.filePath("sizes.vzt");
  ASSERT_TRUE(main->WriteProject(path));
  ASSERT_TRUE(main->LoadProject(path));
  main->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
  ProcessPostedEvents();
  TFSimpleView* restored = nullptr;
  for (TFSimpleView* view : main->Views())
    if (qobject_cast<TFBit3DView*>(view))
      restored = view;
  ASSERT_NE(restored, nullptr);
  EXPECT_EQ(restored->size(), grown);
}

// After a needle run the dimension plot draws every logged point: the axis
// limits, rounded to short numbers, never cut off the first or the last.
TEST_F(ViewWindowScreenshot, TheDimensionPlotShowsEveryPointOfARun)
{
  auto* plot = qobject_cast<TFDimPlot*>(
    Open({QString::fromUtf8("Окна"), QString::fromUtf8("Новое окно"), QString::fromUtf8("Размерность")}));
  ASSERT_NE(plot, nullptr);
  auto* model = dynamic_cast<TFBitModel*>(main->Model());
  ASSERT_NE(model, nullptr);
  auto logged = [model] {
    return model->GetSnapshot().Read([](const TTree& tree, const TEngineStatistics&) {
      int count = 0;
      for (int i = 0; i < tree.count; ++i)
        count += tree.nodes[i].lnR != 1e300;
      return count;
    });
  };
  auto ended = [&] { return main->CalcState() == CalcPaused || main->CalcState() == CalcStopped; };
  main->BStartClick();
  ASSERT_TRUE(ServeUntil([&] { return logged() >= 4 || ended(); }, 120000));
  if (!ended()) {
    main->BPauseClick();
    ASSERT_TRUE(ServeUntil(ended));
  }
  main->RefreshViews();
  ProcessPostedEvents();
  QTest::qWait(200);
  ScreenPicture(plot).save(QCoreApplication::applicationDirPath() + "/dimension_plot.png");

  int drawn = 0;
  for (QAbstractSeries* each : plot->Chart()->series()) {
    auto* points = qobject_cast<QScatterSeries*>(each);
    if (!points || points->count() == 0)
      continue;
    QValueAxis* x = nullptr;
    QValueAxis* y = nullptr;
    for (QAbstractAxis* axis : points->attachedAxes())
      (axis->orientation() == Qt::Horizontal ? x : y) = qobject_cast<QValueAxis*>(axis);
    ASSERT_TRUE(x && y);
    for (const QPointF& p : points->points()) {
      EXPECT_GE(p.x(), x->min());
      EXPECT_LE(p.x(), x->max());
      EXPECT_GE(p.y(), y->min());
      EXPECT_LE(p.y(), y->max());
      ++drawn;
    }
  }
  EXPECT_GE(drawn, 2) << "the run logged its structure";
}

} // namespace
