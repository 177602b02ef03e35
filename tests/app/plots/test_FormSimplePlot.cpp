#include "PlotFixtures.h"
#include "TestPlot.h"

#include "plots/ChartPanel.h"
#include "plots/FormSimplePlotLook.h"
#include "plots/FormSimplePlotOptions.h"
#include "plots/SeriesDataView.h"

#include "ActingModalCalls.h"
#include "data/Stream.h"
#include "data/TextConversion.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

TPlotSeriesData LineData(int count = 1)
{
  TPlotSeriesData data;
  for (int i = 0; i < count; ++i)
    data[i % 2].push_back(MakeSeries({0, 10}, {0, 100.0 * (i + 1)}, i == 0 ? "U (V)" : "I (A)"));
  return data;
}

class ChartWindow : public ::testing::Test {
protected:
  std::unique_ptr<TTestPlot> Show(TPlotSeriesData data)
  {
    auto plot = std::make_unique<TTestPlot>(std::move(data));
    plot->resize(480, 320);
    plot->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(plot.get()));
    plot->Refresh();
    return plot;
  }

  static QStringList Texts(QMenu* menu)
  {
    QStringList texts;
    for (QAction* a : menu->actions())
      texts << a->text();
    return texts;
  }

  // The view position of a value on the left axis.
  static QPoint ViewPos(TFSimplePlot& plot, QPointF value)
  {
    QChart* chart = plot.Chart();
    QPointF inChart = chart->mapToPosition(value, plot.Adapter().Probe(0));
    return plot.ChartPanel()->View()->mapFromScene(chart->mapToScene(inChart));
  }

  static bool HasColour(const QImage& image, QColor colour)
  {
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (image.pixelColor(x, y) == colour)
          return true;
    return false;
  }

  static QString Cell(TFSimplePlot& plot, int col, int row)
  {
    QTableWidgetItem* item = plot.Look->SGdata->item(row, col);
    return item ? item->text() : QString();
  }
};

TEST_F(ChartWindow, PopupMenuRebuildsTheDataItemsOnEveryOpening)
{
  auto plot = Show(LineData(1));
  TPlotChartView* view = plot->ChartPanel()->View();
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(50, 50), view->mapToGlobal(QPoint(50, 50)));
  QApplication::sendEvent(view->viewport(), &event);
  ASSERT_TRUE(plot->PMGraphic->isVisible());
  EXPECT_EQ(Texts(plot->PMGraphic), (QStringList{"choice", "Просмотр данных", "Инспектор", "Настройки",
                                                  "Заголовок окна", "Обновить"}));
  EXPECT_EQ(Texts(plot->PMIdata), QStringList{"U (V)"});
  EXPECT_FALSE(plot->PMIdata->actions()[0]->isEnabled()); // no series table to show them in
  plot->PMGraphic->hide();

  plot->Data = LineData(3);
  plot->Refresh();
  QApplication::sendEvent(view->viewport(), &event);
  EXPECT_EQ(Texts(plot->PMIdata), (QStringList{"U (V)", "I (A)", "I (A)", "все ..."}));
  EXPECT_EQ(Texts(plot->PMGraphic).count("choice"), 1);
  plot->PMGraphic->hide();
}

TEST_F(ChartWindow, TheRightButtonLeavesTheZoomAlone)
{
  auto plot = Show(LineData(1));
  QWidget* viewport = plot->ChartPanel()->View()->viewport();
  const double max = plot->Adapter().BottomAxis()->max();
  QTest::mousePress(viewport, Qt::RightButton, {}, QPoint(100, 100));
  QTest::mouseRelease(viewport, Qt::RightButton, {}, QPoint(100, 100));
  EXPECT_EQ(plot->Adapter().BottomAxis()->max(), max);
  plot->PMGraphic->hide();
}

TEST_F(ChartWindow, WithoutDataOrBeforeTheKindIsReadyTheChartStaysEmpty)
{
  auto plot = Show(LineData(2));
  plot->WithData = false;
  plot->Refresh();
  EXPECT_TRUE(plot->Adapter().Series().empty());
  EXPECT_FALSE(plot->ChartPanel()->TitleLabel()->isVisible());
  plot->PMGraphicPopup();
  EXPECT_TRUE(plot->PMIdata->actions().isEmpty());

  TTestPlot unready(LineData(1), false);
  unready.Refresh();
  EXPECT_TRUE(unready.Adapter().Series().empty());
  EXPECT_TRUE(unready.windowTitle().isEmpty());
}

TEST_F(ChartWindow, DataViewHandsTheChosenSeriesToTheSeriesTable)
{
  auto plot = Show(LineData(2));
  std::vector<int> counts;
  QString caption;
  SetSeriesDataViewer([&](QWidget*, TSeriesDataRequest& request) {
    counts.push_back(static_cast<int>(request.series.size()));
    caption = request.caption;
  });
  plot->PMGraphicPopup();
  QList<QAction*> items = plot->PMIdata->actions();
  ASSERT_EQ(items.size(), 3);
  EXPECT_TRUE(items[0]->isEnabled());
  items[1]->trigger();
  items[2]->trigger();
  SetSeriesDataViewer(nullptr);
  EXPECT_EQ(counts, (std::vector<int>{1, 2}));
  EXPECT_EQ(caption, "Данные серий");
}

TEST_F(ChartWindow, InspectorReadsInterpolatedValuesAtTheMouse)
{
  auto plot = Show(LineData(1));
  plot->PMIlook->trigger();
  ASSERT_TRUE(plot->LookOn);
  QWidget* viewport = plot->ChartPanel()->View()->viewport();
  // The left axis runs in hundreds of volts: 0.5 drawn is 50 V.
  QTest::mousePress(viewport, Qt::LeftButton, {}, ViewPos(*plot, {2.5, 0.5}));
  ASSERT_TRUE(plot->Look->isVisible());
  EXPECT_EQ(Cell(*plot, 1, 1), "t, s");
  EXPECT_EQ(Cell(*plot, 1, 2), "U, 100 V");
  EXPECT_EQ(Cell(*plot, 1, 3), "U, V");
  const double x = StrToFloatAny(Cell(*plot, 0, 1).toStdString());
  EXPECT_NEAR(x, 2.5, 0.1);
  EXPECT_NEAR(StrToFloatAny(Cell(*plot, 0, 2).toStdString()), 50, 2);
  // The line runs from (0, 0) to (10, 100): its value at the read X is 10 x.
  EXPECT_NEAR(StrToFloatAny(Cell(*plot, 0, 3).toStdString()), 10 * x, 1e-3 * 10 * x);
  EXPECT_TRUE(plot->Adapter().CursorLine(1)->isVisible());

  QTest::mouseMove(viewport, ViewPos(*plot, {7.5, 0.5}));
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, ViewPos(*plot, {7.5, 0.5}));

  plot->PMIlook->trigger(); // off from the menu: the read-out window goes
  EXPECT_FALSE(plot->LookOn);
  EXPECT_FALSE(plot->Look->isVisible());
  EXPECT_FALSE(plot->Adapter().CursorLine(1)->isVisible());
}

TEST_F(ChartWindow, ShiftGivesATemporaryInspectorThatKeepsTheReadOut)
{
  auto plot = Show(LineData(1));
  QTest::keyPress(plot.get(), Qt::Key_Shift, Qt::ShiftModifier);
  EXPECT_TRUE(plot->LookOn);
  QTest::mousePress(plot->ChartPanel()->View()->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                    ViewPos(*plot, {5, 0.5}));
  EXPECT_TRUE(plot->Look->isVisible());
  QTest::keyRelease(plot.get(), Qt::Key_Shift);
  EXPECT_FALSE(plot->LookOn);
  EXPECT_TRUE(plot->Look->isVisible());
}

TEST_F(ChartWindow, ReadOutCopiesTheSelectedCells)
{
  auto plot = Show(LineData(1));
  plot->PMIlook->trigger();
  QTest::mousePress(plot->ChartPanel()->View()->viewport(), Qt::LeftButton, {}, ViewPos(*plot, {5, 0.5}));
  QTableWidget* grid = plot->Look->SGdata;
  grid->setRangeSelected(QTableWidgetSelectionRange(1, 1, 2, 1), true);
  QTest::keyPress(grid, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text().trimmed(), "t, s\nU, 100 V");
}

TEST_F(ChartWindow, ReadOutWindowOpensBesideItsChartAndForgetsAChangedChart)
{
  auto plot = Show(LineData(1));
  plot->Settings.ShowLegend = true;
  plot->Refresh();
  plot->move(40, 40);
  plot->PMIlook->trigger();
  QWidget* viewport = plot->ChartPanel()->View()->viewport();
  QTest::mousePress(viewport, Qt::LeftButton, {}, ViewPos(*plot, {5, 0.5}));
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, ViewPos(*plot, {5, 0.5}));
  ASSERT_TRUE(plot->Look->isVisible());
  const QRect chart(plot->mapToGlobal(QPoint(0, 0)), plot->size());
  const QRect look = plot->Look->frameGeometry();
  EXPECT_FALSE(look.intersects(chart)) << "the read-out covers its chart";
  EXPECT_TRUE(plot->screen()->availableGeometry().contains(look));
  EXPECT_EQ(look.top(), chart.top());

  // The cursor lines are drawn, but the legend lists only the chart's series.
  QStringList inLegend, listed;
  for (const TChartSeries& series : plot->LastBuild().series)
    if (series.showInLegend)
      inLegend << series.title;
  for (int k = 0; k < 2; ++k)
    ASSERT_TRUE(plot->Adapter().CursorLine(k)->isVisible());
  QApplication::processEvents(); // the legend lays its markers out
  for (QLegendMarker* marker : plot->Chart()->legend()->markers())
    if (marker->isVisible())
      listed << marker->label();
  EXPECT_EQ(listed, inLegend);

  // A rebuild of the same chart keeps the read-out; another choice of series
  // leaves nothing of the chart that is gone.
  plot->Refresh();
  EXPECT_EQ(Cell(*plot, 1, 3), "U, V");
  plot->Data = LineData(2);
  plot->Refresh();
  EXPECT_EQ(plot->Look->SGdata->rowCount(), 1);
  EXPECT_TRUE(Cell(*plot, 1, 3).isEmpty());
}

TEST_F(ChartWindow, CopyAndBitmapHoldTheDrawnChart)
{
  auto plot = Show(LineData(1));
  const QColor firstSeries(0, 0, 255); // the first series colour, blue
  TScriptedModalCalls calls;
  TModalCallsScope scope(calls);
  QTest::keyPress(plot.get(), Qt::Key_C, Qt::ControlModifier);
  ASSERT_EQ(calls.clipboardImages.size(), 1u);
  QImage copied = calls.clipboardImages[0];
  ASSERT_FALSE(copied.isNull());
  EXPECT_EQ(copied.size(), plot->ChartPanel()->size());
  EXPECT_TRUE(HasColour(copied, firstSeries));

  QTemporaryDir dir;
  const QString file = dir.filePath("chart.bmp");
  plot->SaveBitmap(file);
  QImage saved(file, "BMP");
  ASSERT_FALSE(saved.isNull());
  EXPECT_EQ(saved.size(), copied.size());
  EXPECT_TRUE(HasColour(saved, firstSeries));
  // The gradient runs from white at the bottom to its end colour at the top.
  EXPECT_EQ(saved.pixelColor(0, saved.height() - 1), QColor(255, 255, 255));
  QColor top = saved.pixelColor(0, 0);
  EXPECT_NEAR(top.red(), 0xA0, 3);
  EXPECT_NEAR(top.blue(), 0xFF, 3);
}

TEST_F(ChartWindow, OptionsDialogShowsTheSettingsAndOkStoresTheEdits)
{
  auto plot = Show(LineData(2));
  plot->Settings.LogY[1] = true;
  plot->Settings.AutoY[0] = true;
  TActingModalCalls calls;
  TModalCallsScope scope(calls);
  calls.dialogAnswers = {QDialog::Accepted};
  calls.colourAnswers = {QColor(1, 2, 3)};
  QFont chosen("Courier New");
  chosen.setPointSize(14);
  chosen.setBold(true);
  calls.fontAnswers = {chosen};
  calls.whileShown = [](QDialog* shown) {
    auto* d = static_cast<TFSimplePlotOptions*>(shown);
    d->show(); // the state of the limit edits is right as soon as the dialog opens
    EXPECT_FALSE(d->CBblogy[0]->isChecked());
    EXPECT_TRUE(d->CBblogy[1]->isChecked());
    EXPECT_EQ(d->CBlegendpos->currentText(), "внизу");
    EXPECT_FALSE(d->Eminy[0]->isEnabled());
    EXPECT_FALSE(d->CBgradstyle->isEditable());
    d->CBautoscaley[0]->setChecked(false);
    EXPECT_TRUE(d->Eminy[0]->isEnabled());
    d->Eminy[0]->setText("2,5");
    d->Emaxy[0]->setText("not a number");
    d->Emargin[1]->setText("abc");
    d->CBlegendpos->setCurrentIndex(0);
    d->CBtitleUpDown->setCurrentIndex(2);
    d->CBtitleAlign->setCurrentIndex(0);
    d->Etitle->setText("Мой график");
    d->Bshiftxvalue->setChecked(true);
    EXPECT_TRUE(d->Eshiftx->isEnabled());
    d->Bgradcol1->click();
    d->BFonts[TFSimplePlotOptions::TitleFontIndex]->click();
    d->hide();
  };
  plot->PMIOptions->trigger();
  const TPlotSettings& s = plot->Settings;
  EXPECT_FALSE(s.AutoY[0]);
  EXPECT_EQ(s.YMin[0], 2.5);
  EXPECT_EQ(s.YMax[0], 0);
  EXPECT_EQ(s.YLabelsSize[1], 0);
  EXPECT_FALSE(s.ShowLegend);
  EXPECT_EQ(s.LegendAlignment, laBottom); // kept for the next time it is shown
  EXPECT_EQ(s.TitlePosition, 1);
  EXPECT_EQ(s.XShiftMode, 2);
  EXPECT_EQ(s.GradientStart, 0x030201u);
  EXPECT_EQ(s.TitleFont.name, "Courier New");
  EXPECT_EQ(s.TitleFont.size, 14);
  EXPECT_EQ(s.TitleFont.style, TFontRecord::Bold);
  // Rebuilt: the title sits in the foot, left-aligned, and the legend is hidden.
  QLabel* foot = plot->ChartPanel()->FootLabel();
  EXPECT_TRUE(foot->isVisible());
  EXPECT_EQ(foot->text(), "Мой график");
  EXPECT_TRUE(foot->alignment() & Qt::AlignLeft);
  EXPECT_FALSE(plot->ChartPanel()->TitleLabel()->isVisible());
  EXPECT_FALSE(plot->Chart()->legend()->isVisible());

  plot->Settings.ShowTitle = true;
  plot->Settings.TitlePosition = 0;
  calls.whileShown = [](QDialog* shown) {
    auto* d = static_cast<TFSimplePlotOptions*>(shown);
    d->CBtitleUpDown->setCurrentIndex(0);
    d->BFonts[TFSimplePlotOptions::LegendFontIndex]->click();
  };
  calls.fontAnswers = {chosen};
  plot->PMIOptions->trigger(); // no answer left: "Отмена"
  EXPECT_TRUE(plot->Settings.ShowTitle);
  EXPECT_EQ(plot->Settings.LegendFont, TPlotSettings::DefaultChartFont());

  calls.dialogAnswers = {QDialog::Accepted};
  calls.whileShown = [](QDialog* shown) { static_cast<TFSimplePlotOptions*>(shown)->CBtitleUpDown->setCurrentIndex(0); };
  plot->PMIOptions->trigger();
  EXPECT_FALSE(plot->Settings.ShowTitle);
  EXPECT_EQ(plot->Settings.TitlePosition, -1);
}

TEST_F(ChartWindow, DialogTransferGivesBackWhatItShows)
{
  TPlotSettings s;
  s.LegendAlignment = laTop;
  s.Monochrome = true;
  s.ChartTitle = "t";
  s.GradientDirection = gdFromBottomLeft;
  s.GradientStart = 0x102030;
  s.GradientEnd = 0x405060;
  s.TitlePosition = 1;
  s.TitleAlignment = taRightJustify;
  s.XTitle = "x";
  s.XGrid = false;
  s.XShiftMode = 1;
  s.XShift = 0.125;
  s.AutoXMin = false;
  s.XMin = -1.5;
  s.XMax = 123456;
  s.YTitle = {"l", "r"};
  s.YGrid = {false, true};
  s.AutoY = {false, false};
  s.YMin = {1e-5, -7};
  s.YMax = {2e10, 8};
  s.LogY = {true, false};
  s.YLabelsSize = {25, 35};
  s.TitleFont.size = 20;
  TFSimplePlotOptions dialog;
  PlotSettingsToDialog(s, dialog);
  TPlotSettings back;
  DialogToPlotSettings(dialog, back);
  EXPECT_EQ(back.LegendAlignment, s.LegendAlignment);
  EXPECT_EQ(back.Monochrome, s.Monochrome);
  EXPECT_EQ(back.ChartTitle, s.ChartTitle);
  EXPECT_EQ(back.GradientDirection, s.GradientDirection);
  EXPECT_EQ(back.GradientStart, s.GradientStart);
  EXPECT_EQ(back.GradientEnd, s.GradientEnd);
  EXPECT_EQ(back.TitlePosition, s.TitlePosition);
  EXPECT_EQ(back.TitleAlignment, s.TitleAlignment);
  EXPECT_EQ(back.XTitle, s.XTitle);
  EXPECT_EQ(back.XGrid, s.XGrid);
  EXPECT_EQ(back.XShiftMode, s.XShiftMode);
  EXPECT_EQ(back.XShift, s.XShift);
  EXPECT_EQ(back.AutoXMin, s.AutoXMin);
  EXPECT_EQ(back.XMin, s.XMin);
  EXPECT_EQ(back.XMax, s.XMax);
  EXPECT_EQ(back.YTitle, s.YTitle);
  EXPECT_EQ(back.YGrid, s.YGrid);
  EXPECT_EQ(back.AutoY, s.AutoY);
  EXPECT_EQ(back.YMin, s.YMin);
  EXPECT_EQ(back.YMax, s.YMax);
  EXPECT_EQ(back.LogY, s.LogY);
  EXPECT_EQ(back.YLabelsSize, s.YLabelsSize);
  EXPECT_EQ(back.TitleFont, s.TitleFont);
}

TEST_F(ChartWindow, TheWindowRecordRestoresTheSettings)
{
  auto plot = Show(LineData(1));
  plot->Settings.ChartTitle = "сохранён";
  plot->Settings.LogY[0] = true;
  plot->Settings.AutoXMax = false;
  plot->SetUserCaption("окно");
  TMemoryStream memory;
  {
    TTagStream stream(&memory, TagStreamWrite);
    plot->SaveToStream(&stream);
    stream.Commit();
  }
  memory.SetPosition(0);
  TTagStream stream(&memory, TagStreamRead);
  TTestPlot loaded(LineData(1));
  loaded.LoadFromStream(&stream);
  EXPECT_EQ(loaded.Settings.ChartTitle, "сохранён");
  EXPECT_TRUE(loaded.Settings.LogY[0]);
  EXPECT_FALSE(loaded.Settings.AutoXMax);
  EXPECT_EQ(loaded.UserCaption(), "окно");
}

} // namespace
