#include "plots/series/FormSeriesDataView.h"
#include "plots/series/FormSeriesDataViewEx.h"

#include "SeriesTestSupport.h"
#include "base/ScriptedModalCalls.h"
#include "data/qt/RegistrySettings.h"
#include "data/TimeConversion.h"
#include "maps/Stringgrids.h"
#include "model/FormModel.h"
#include "plots/series/FrameEditTimeSeries.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// A model that only holds output series.
class TSeriesModel : public TFModel {
public:
  std::string GetQuantityName(int) const override { return "U"; }
  std::string GetQuantityUnit(int) const override { return "кВ"; }
  int GetQuantityUnitCode(int) const override { return 0; }

  void Add(int quantityId, int objectId, std::vector<std::pair<double, double>> points, const std::string& label)
  {
    auto serie = MakeSerie(points, label);
    serie->quantityId = quantityId;
    serie->objectId = objectId;
    AddSeries(std::move(serie));
  }
};

class SeriesDataViewExTest : public ::testing::Test {
protected:
  // Each case meets the window as at the first run: no stored place.
  void SetUp() override { RegWriteSetting("FSeriesDataViewEx", "", "Windows"); }

  QString Cell(int col, int row) const { return GridCell(*view.Viewer->SGdata, col, row); }

  TScriptedModalCalls calls;
  TModalCallsScope scope{calls};
  TFSeriesDataViewEx view;
};

TEST_F(SeriesDataViewExTest, ReadOnlyTableHidesEditingButStillClears)
{
  auto first = MakeSerie({{0, 1}, {10, 2}}, "U", "кВ");
  const TTimeSerie* series[] = {first.get()};
  view.ShowSeries(series, 1, TimeCodeSeconds, "t");
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  EXPECT_EQ(view.windowTitle(), "Просмотр данных");
  TFmEditTimeSeries& table = *view.Viewer;
  EXPECT_FALSE(table.IsEditable());
  for (QToolButton* hidden : {table.Bnew, table.Bdel, table.Bpast, table.Bload})
    EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
  for (QToolButton* shown : {table.Bcopy, table.Bsave})
    EXPECT_TRUE(shown->isVisible()) << shown->objectName().toStdString();
  for (QAction* hidden : {table.PMIedition, table.PMIselection, table.PMIdatapast, table.PMIdataload,
                          table.PMIdataadd, table.PMIdatadel})
    EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();

  table.SGdata->setCurrentCell(1, 1);
  table.SGdata->setFocus();
  QTest::keyClick(table.SGdata, Qt::Key_F2);
  QTest::mouseDClick(table.SGdata->viewport(), Qt::LeftButton, {},
                     table.SGdata->visualItemRect(table.SGdata->item(1, 1)).center());
  EXPECT_EQ(table.SGdata->findChild<QLineEdit*>(), nullptr);

  // The paste and load commands do nothing in the read-only table.
  QApplication::clipboard()->setText("5\t5\n6\t6\n7\t7\n");
  table.BpastClick();
  EXPECT_EQ(table.SGdata->rowCount(), 3);

  table.SGdata->clearSelection();
  table.SGdata->setRangeSelected(QTableWidgetSelectionRange(1, 1, 2, 1), true);
  table.PMIclear->trigger();
  EXPECT_EQ(Cell(1, 1), "");
  EXPECT_EQ(Cell(1, 2), "");
  EXPECT_EQ(table.TimeText(2), "10");

  view.Bok->click();
  EXPECT_EQ(view.result(), 1);
}

// The window opens over the program's main window rather than in the screen's
// corner, and no value column is narrower than its numbers.
TEST_F(SeriesDataViewExTest, OpensOverTheMainWindowWithColumnsFittedToTheValues)
{
  QMainWindow program;
  program.setGeometry(300, 200, 700, 500);
  program.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&program));
  std::vector<std::unique_ptr<TTimeSerie>> owned;
  std::vector<const TTimeSerie*> series;
  for (int k = 0; k < 4; ++k) {
    owned.push_back(MakeSerie({{0, -1.23456789e-5 * (k + 1)}, {10, 123456.789 * (k + 1)}}, "U", "кВ"));
    series.push_back(owned.back().get());
  }
  TFSeriesDataViewEx fresh;
  fresh.ShowSeries(series.data(), static_cast<int>(series.size()), TimeCodeSeconds, "t");
  fresh.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&fresh));
  // Centred, up to the frames' title bars.
  EXPECT_LE((fresh.geometry().center() - program.geometry().center()).manhattanLength(), 16)
      << fresh.geometry().x() << "," << fresh.geometry().y();
  const QTableWidget& grid = *fresh.Viewer->SGdata;
  const QFontMetrics metrics = grid.fontMetrics();
  for (int col = 1; col < grid.columnCount(); ++col)
    for (int row = 1; row < grid.rowCount(); ++row) {
      const QString text = GridCell(grid, col, row);
      EXPECT_GE(grid.columnWidth(col), metrics.horizontalAdvance(text)) << text.toStdString();
    }
  fresh.hide();
}

TEST_F(SeriesDataViewExTest, ModelSeriesByKeyShownModally)
{
  TSeriesModel model;
  model.Add(1, 0, {{0, 1}, {2, 2}}, "I");
  model.Add(2, 5, {{2, 7}}, "U");
  EXPECT_TRUE(view.ShowModelSeries(model, {{2, 5}, {9, 9}, {1, 0}}, TimeCodeSeconds, "t"));
  ASSERT_EQ(calls.dialogs.size(), 1u);
  EXPECT_EQ(calls.dialogs[0], &view);
  ASSERT_EQ(view.Viewer->SGdata->columnCount(), 3);
  EXPECT_EQ(Cell(1, 0), "U");
  EXPECT_EQ(Cell(2, 0), "I");
  EXPECT_EQ(Cell(1, 1), "");
  EXPECT_EQ(Cell(1, 2), "7");
  EXPECT_EQ(Cell(2, 2), "2");

  EXPECT_FALSE(view.ShowModelSeries(model, {{3, 3}}, TimeCodeSeconds, "t"));
  EXPECT_EQ(calls.dialogs.size(), 1u);
}

TEST(SeriesDataView, TwoColumnsInDaysCopiedAndSaved)
{
  TScriptedModalCalls calls;
  TModalCallsScope scope(calls);
  TFSeriesDataView view;
  auto serie = MakeSerie({{43200, 1.5}, {86400, 2}});
  view.ShowSerie(*serie);
  ASSERT_EQ(view.SGdata->rowCount(), 2);
  EXPECT_EQ(GridCell(*view.SGdata, 0, 0), "0.5");
  EXPECT_EQ(GridCell(*view.SGdata, 1, 1), "2");

  view.SGdata->setCurrentCell(0, 0);
  QTest::keyClick(view.SGdata, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "0.5\t1.5\n1\t2\n");

  view.SGdataDblClick();
  view.SGdata->setCurrentCell(1, 1, QItemSelectionModel::ClearAndSelect);
  QTemporaryDir dir;
  calls.fileAnswers.push_back(dir.filePath("one.txt"));
  view.SBsaveClick();
  QFile file(dir.filePath("one.txt"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("0.5\t1.5\n1\t2\n"));
}

} // namespace
