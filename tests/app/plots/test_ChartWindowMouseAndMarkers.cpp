// The chart window as the student handles it: a right-button drag pans every
// axis by the dragged distance (a right click still opens the popup), the Y
// axes' label width moves the plot area, the nine pointer styles draw nine
// shapes, and a font colour chosen in the options is drawn.
#include "PlotFixtures.h"
#include "TestPlot.h"

#include "plots/ChartPanel.h"
#include "plots/FormSimplePlotOptions.h"
#include "plots/PointerImage.h"

#include "ActingModalCalls.h"
#include "gis/BitmapCanvas.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScatterSeries>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class ChartHandling : public ::testing::Test {
protected:
  std::unique_ptr<TTestPlot> Show(TPlotSeriesData data, const TPlotSettings& settings = {})
  {
    auto plot = std::make_unique<TTestPlot>(std::move(data));
    plot->Settings = settings;
    plot->resize(480, 320);
    plot->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(plot.get()));
    Rebuild(*plot);
    return plot;
  }

  // A build, with the chart laid out for what it shows.
  static void Rebuild(TFSimplePlot& plot)
  {
    plot.Refresh();
    QCoreApplication::processEvents();
  }

  static TPlotSeriesData TwoAxes()
  {
    TPlotSeriesData data;
    data[0].push_back(MakeSeries({0, 10}, {0, 100}, "U (V)"));
    data[1].push_back(MakeSeries({0, 10}, {5, 1}, "I (A)"));
    return data;
  }

  // Where a value of axis k shows in the chart view, in view pixels.
  static QPointF ViewPos(TFSimplePlot& plot, QPointF value, int k = 0)
  {
    QChart* chart = plot.Chart();
    QPointF inChart = chart->mapToPosition(value, plot.Adapter().Probe(k));
    return plot.ChartPanel()->View()->mapFromScene(chart->mapToScene(inChart));
  }

  static void Move(QWidget* viewport, QPoint pos, Qt::MouseButtons buttons)
  {
    QMouseEvent move(QEvent::MouseMove, pos, viewport->mapToGlobal(pos), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
  }

  // The popup request that the window system sends with a right press.
  static void AskForPopup(QWidget* viewport, QPoint pos)
  {
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, viewport->mapToGlobal(pos));
    QApplication::sendEvent(viewport, &event);
  }

  // A right-button drag in steps from one view position to another.
  static void RightDrag(QWidget* viewport, QPoint from, QPoint to)
  {
    QTest::mousePress(viewport, Qt::RightButton, {}, from);
    AskForPopup(viewport, from);
    Move(viewport, from + (to - from) / 2, Qt::RightButton);
    Move(viewport, to, Qt::RightButton);
    QTest::mouseRelease(viewport, Qt::RightButton, {}, to);
  }
};

TEST_F(ChartHandling, ARightDragPansEveryAxisByTheDraggedDistance)
{
  auto plot = Show(TwoAxes());
  QWidget* viewport = plot->ChartPanel()->View()->viewport();
  const QPointF left(4, 40);
  const QPointF right(4, 3);
  const QPointF leftBefore = ViewPos(*plot, left, 0);
  const QPointF rightBefore = ViewPos(*plot, right, 1);
  const QPoint from = leftBefore.toPoint();
  const QPoint delta(60, -35);
  RightDrag(viewport, from, from + delta);

  // The values under the mouse went with it, on both Y axes.
  const QPointF leftAfter = ViewPos(*plot, left, 0);
  const QPointF rightAfter = ViewPos(*plot, right, 1);
  EXPECT_NEAR(leftAfter.x() - leftBefore.x(), delta.x(), 0.5);
  EXPECT_NEAR(leftAfter.y() - leftBefore.y(), delta.y(), 0.5);
  EXPECT_NEAR(rightAfter.y() - rightBefore.y(), delta.y(), 0.5);
  // The labels follow the new range, and no popup came after the drag.
  QCategoryAxis* bottom = plot->Adapter().BottomAxis();
  ASSERT_FALSE(bottom->categoriesLabels().isEmpty());
  EXPECT_GE(bottom->endValue(bottom->categoriesLabels().first()), bottom->min());
  EXPECT_LT(bottom->min(), 0);
  EXPECT_FALSE(plot->PMGraphic->isVisible());

  // A rebuild shows the stored limits again.
  Rebuild(*plot);
  EXPECT_NEAR(ViewPos(*plot, left, 0).x(), leftBefore.x(), 0.5);
}

TEST_F(ChartHandling, ARightClickWithoutDragOpensThePopupAtTheRelease)
{
  auto plot = Show(TwoAxes());
  QWidget* viewport = plot->ChartPanel()->View()->viewport();
  const double min = plot->Adapter().BottomAxis()->min();
  QTest::mousePress(viewport, Qt::RightButton, {}, QPoint(100, 100));
  AskForPopup(viewport, QPoint(100, 100));
  EXPECT_FALSE(plot->PMGraphic->isVisible()) << "the press may still become a drag";
  Move(viewport, QPoint(101, 100), Qt::RightButton); // a tremble is no drag
  QTest::mouseRelease(viewport, Qt::RightButton, {}, QPoint(101, 100));
  EXPECT_TRUE(plot->PMGraphic->isVisible());
  EXPECT_EQ(plot->Adapter().BottomAxis()->min(), min);
  plot->PMGraphic->hide();
}

TEST_F(ChartHandling, TheInspectorKeepsTheChartStill)
{
  auto plot = Show(TwoAxes());
  QWidget* viewport = plot->ChartPanel()->View()->viewport();
  plot->PMIlook->trigger();
  const double min = plot->Adapter().BottomAxis()->min();
  RightDrag(viewport, QPoint(150, 100), QPoint(250, 150));
  EXPECT_EQ(plot->Adapter().BottomAxis()->min(), min);
  plot->PMGraphic->hide();
  plot->PMIlook->trigger();
  RightDrag(viewport, QPoint(150, 100), QPoint(250, 150));
  EXPECT_LT(plot->Adapter().BottomAxis()->min(), min);
}

TEST_F(ChartHandling, TheLabelWidthOfEachYAxisMovesThePlotArea)
{
  // Widths above any label's own, within the share of the chart that Qt
  // Charts leaves to the axes.
  auto plot = Show(TwoAxes());
  plot->resize(640, 320);
  plot->Settings.YLabelsSize = {50, 50};
  Rebuild(*plot);
  const QRectF narrow = plot->Chart()->plotArea();
  plot->Settings.YLabelsSize = {80, 70};
  Rebuild(*plot);
  const QRectF wide = plot->Chart()->plotArea();
  EXPECT_NEAR(wide.left() - narrow.left(), 30, 1);
  EXPECT_NEAR(narrow.right() - wide.right(), 20, 1);
}

// Dark pixels of a picture within a square around a point.
int DarkPixels(const QImage& image, QPoint centre, int half)
{
  int count = 0;
  for (int y = centre.y() - half; y <= centre.y() + half; ++y)
    for (int x = centre.x() - half; x <= centre.x() + half; ++x)
      if (image.valid(x, y) && qGray(image.pixel(x, y)) < 128)
        ++count;
  return count;
}

TEST_F(ChartHandling, NinePointerStylesDrawNineShapes)
{
  TPlotSettings settings;
  settings.Monochrome = true;
  settings.ShowLegend = false;
  settings.XGrid = false;
  settings.YGrid = {false, false};
  settings.AutoXMin = settings.AutoXMax = false;
  settings.XMin = 0;
  settings.XMax = 10;
  TPlotSeriesData data;
  for (int i = 0; i < PointerStyleCount; ++i)
    data[0].push_back(MakeSeries({i + 1.0}, {1}, "U (V)", SeriesStyle::Points, 1));
  auto plot = Show(std::move(data), settings);

  std::vector<QImage> markers;
  for (QAbstractSeries* series : plot->Adapter().Series())
    if (auto* scatter = qobject_cast<QScatterSeries*>(series); scatter && scatter->count() > 0)
      markers.push_back(scatter->lightMarker().convertToFormat(QImage::Format_ARGB32));
  ASSERT_EQ(markers.size(), static_cast<size_t>(PointerStyleCount));
  for (size_t i = 0; i < markers.size(); ++i)
    for (size_t j = i + 1; j < markers.size(); ++j)
      EXPECT_NE(markers[i], markers[j]) << "styles " << i << " and " << j;

  // The chart draws each marker as its picture: as many dark pixels around the point.
  const QImage shown = plot->ChartPanel()->View()->grab().toImage();
  for (int i = 0; i < PointerStyleCount; ++i) {
    int inPicture = 0;
    for (int y = 0; y < PointerSize; ++y)
      for (int x = 0; x < PointerSize; ++x)
        inPicture += qAlpha(markers[i].pixel(x, y)) > 128 ? 1 : 0;
    const int drawn = DarkPixels(shown, ViewPos(*plot, {i + 1.0, 1}).toPoint(), PointerSize);
    EXPECT_NEAR(drawn, inPicture, std::max(4.0, 0.35 * inPicture)) << "style " << i;
  }
}

TEST_F(ChartHandling, StackedBarsStandOnEachOtherAndLeaveTheGapsEmpty)
{
  TPlotSettings settings;
  settings.MultiBar = mbStacked;
  settings.XGrid = false;
  settings.YGrid = {false, false};
  settings.Gradient = false;
  TPlotSeriesData data;
  data[0].push_back(MakeSeries({1, 2, 3}, {1, 3, 2}, "a", SeriesStyle::Bars));
  data[0].push_back(MakeSeries({1, 2, 3}, {2, 1, 2}, "b", SeriesStyle::Bars));
  auto plot = Show(std::move(data), settings);
  const QImage shown = plot->ChartPanel()->View()->grab().toImage();
  auto colourAt = [&](double x, double y) { return shown.pixelColor(ViewPos(*plot, {x, y}).toPoint()); };
  const QColor first = TBitmapCanvas::ColorOf(static_cast<COLORREF>(SeriesColour(0)));
  const QColor second = TBitmapCanvas::ColorOf(static_cast<COLORREF>(SeriesColour(1)));
  EXPECT_EQ(colourAt(2, 1.5), first);
  EXPECT_EQ(colourAt(2, 3.5), second) << "on top of the first series' column";
  EXPECT_EQ(colourAt(2.9, 3), second);
  // Between the columns nothing of either series is drawn.
  const QRectF area = plot->Chart()->plotArea();
  const int gap = ViewPos(*plot, {1.5, 0}).toPoint().x();
  const QPoint top = plot->ChartPanel()->View()->mapFromScene(plot->Chart()->mapToScene(area.topLeft()));
  const QPoint bottom = plot->ChartPanel()->View()->mapFromScene(plot->Chart()->mapToScene(area.bottomLeft()));
  for (int y = top.y() + 2; y < bottom.y() - 1; ++y)
    EXPECT_EQ(shown.pixelColor(gap, y), QColor(Qt::white)) << y;
}

TEST_F(ChartHandling, AFontColourChosenInTheOptionsIsDrawn)
{
  auto plot = Show(TwoAxes());
  TActingModalCalls calls;
  TModalCallsScope scope(calls);
  calls.dialogAnswers = {QDialog::Accepted};
  calls.fontAnswers = {QFont("DejaVu Sans")};
  calls.fontColourAnswers = {QColor(200, 0, 0)};
  calls.whileShown = [](QDialog* shown) {
    static_cast<TFSimplePlotOptions*>(shown)->BFonts[TFSimplePlotOptions::AxisLabelFontIndex]->click();
  };
  plot->PMIOptions->trigger();
  EXPECT_EQ(plot->Settings.AxisLabelFont.color, 0x0000C8);
  EXPECT_EQ(plot->Adapter().YAxis(0)->labelsColor(), QColor(200, 0, 0));
  EXPECT_EQ(plot->Adapter().BottomAxis()->labelsColor(), QColor(200, 0, 0));
}

} // namespace
