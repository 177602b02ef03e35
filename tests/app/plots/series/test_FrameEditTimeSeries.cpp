#include "plots/series/FrameEditTimeSeries.h"

#include "SeriesTestSupport.h"
#include "base/ScriptedModalCalls.h"
#include "data/TimeConversion.h"
#include "maps/Stringgrids.h"
#include "plots/series/FormDateTime.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int Seconds = TimeCodeSeconds;
constexpr double Day = 86400.0;

// Seconds of a calendar date.
double DateSeconds(int year, int month, int day, int hour = 0)
{
  return (EncodeDate(year, month, day) + hour / 24.0) * Day;
}

// Scripted calls whose modal dialogs run a step of the test while "shown".
class TActingModalCalls : public TScriptedModalCalls {
public:
  std::function<void(QDialog*)> whileShown;
  int ExecDialog(QDialog* dialog) override
  {
    if (whileShown)
      whileShown(dialog);
    return TScriptedModalCalls::ExecDialog(dialog);
  }
};

class EditTimeSeriesTest : public ::testing::Test {
protected:
  void SetUp() override { frame.resize(400, 300); }

  void Show(std::vector<std::unique_ptr<TTimeSerie>> list, int code, const QString& title = "время")
  {
    series = std::move(list);
    std::vector<const TTimeSerie*> pointers;
    for (const auto& each : series)
      pointers.push_back(each.get());
    frame.SetSeries(pointers.data(), static_cast<int>(pointers.size()), code, title);
  }

  QString Cell(int col, int row) const { return GridCell(*frame.SGdata, col, row); }
  int Rows() const { return frame.SGdata->rowCount(); }

  void Select(int left, int top, int right, int bottom)
  {
    frame.SGdata->clearSelection();
    frame.SGdata->setCurrentCell(top, left);
    frame.SGdata->setRangeSelected(QTableWidgetSelectionRange(top, left, bottom, right), true);
  }

  static std::vector<std::unique_ptr<TTimeSerie>> TwoSeries()
  {
    std::vector<std::unique_ptr<TTimeSerie>> list;
    list.push_back(MakeSerie({{0, 1}, {10, 2}, {20, 3}}, "U", "кВ"));
    list.push_back(MakeSerie({{10, 0.5}, {30, 1.0 / 3.0}}, "I", ""));
    return list;
  }

  TActingModalCalls calls;
  TModalCallsScope scope{calls};
  TFmEditTimeSeries frame;
  std::vector<std::unique_ptr<TTimeSerie>> series;
};

TEST_F(EditTimeSeriesTest, MergedRowsWithHeadersAndEmptyCells)
{
  Show(TwoSeries(), Seconds, "t, с");
  ASSERT_EQ(Rows(), 5);
  ASSERT_EQ(frame.SGdata->columnCount(), 3);
  EXPECT_EQ(Cell(0, 0), "t, с");
  EXPECT_EQ(Cell(1, 0), "U\nкВ");
  EXPECT_EQ(Cell(2, 0), "I");
  const QStringList times{"0", "10", "20", "30"};
  const QStringList first{"1", "2", "3", ""};
  const QStringList second{"", "0.5", "", "0.333333"};
  for (int n = 0; n < 4; ++n) {
    EXPECT_EQ(frame.TimeText(n + 1), times[n]) << n;
    EXPECT_EQ(Cell(1, n + 1), first[n]) << n;
    EXPECT_EQ(Cell(2, n + 1), second[n]) << n;
  }
}

TEST_F(EditTimeSeriesTest, TwoLineHeaderMakesTheHeaderRowTaller)
{
  std::vector<std::unique_ptr<TTimeSerie>> labelOnly;
  labelOnly.push_back(MakeSerie({{0, 1}}, "U", ""));
  Show(std::move(labelOnly), Seconds);
  const int oneLine = frame.SGdata->rowHeight(0);
  EXPECT_EQ(Cell(1, 0), "U");

  std::vector<std::unique_ptr<TTimeSerie>> unitOnly;
  unitOnly.push_back(MakeSerie({{0, 1}}, "", "кВ"));
  Show(std::move(unitOnly), Seconds);
  EXPECT_EQ(Cell(1, 0), "кВ");

  std::vector<std::unique_ptr<TTimeSerie>> both;
  both.push_back(MakeSerie({{0, 1}}, "U", "кВ"));
  Show(std::move(both), Seconds);
  EXPECT_EQ(Cell(1, 0), "U\nкВ");
  EXPECT_GT(frame.SGdata->rowHeight(0), oneLine);
}

TEST_F(EditTimeSeriesTest, SeriesWithoutPointsGiveOneRowAtTheDefaultTime)
{
  std::vector<std::unique_ptr<TTimeSerie>> empty;
  empty.push_back(MakeSerie({}));
  empty.push_back(MakeSerie({}));
  Show(std::move(empty), TimeCodeDateTime);
  ASSERT_EQ(Rows(), 2);
  EXPECT_EQ(frame.TimeText(1), "01.01.1980 00:00:00");
  EXPECT_EQ(Cell(1, 1), "");
  EXPECT_EQ(Cell(2, 1), "");
}

TEST_F(EditTimeSeriesTest, ANewSetReplacesTheTable)
{
  Show(TwoSeries(), Seconds);
  std::vector<std::unique_ptr<TTimeSerie>> one;
  one.push_back(MakeSerie({{5, 9}}));
  Show(std::move(one), Seconds);
  ASSERT_EQ(Rows(), 2);
  ASSERT_EQ(frame.SGdata->columnCount(), 2);
  EXPECT_EQ(frame.TimeText(1), "5");
  EXPECT_EQ(Cell(1, 1), "9");
}

TEST_F(EditTimeSeriesTest, CopyTakesTheTableForOneCellAndTheSelectionOtherwise)
{
  std::vector<std::unique_ptr<TTimeSerie>> list;
  list.push_back(MakeSerie({{DateSeconds(1980, 1, 1), 1}, {DateSeconds(1980, 1, 2), 2}}));
  list.push_back(MakeSerie({{DateSeconds(1980, 1, 2), 5}, {DateSeconds(1980, 1, 3), 6}}));
  Show(std::move(list), TimeCodeDate);

  Select(1, 2, 1, 2);
  frame.BcopyClick();
  EXPECT_EQ(QApplication::clipboard()->text(), "01.01.1980\t1\t\n02.01.1980\t2\t5\n03.01.1980\t\t6\n");

  Select(0, 1, 1, 2);
  frame.BcopyClick();
  EXPECT_EQ(QApplication::clipboard()->text(), "01.01.1980\t1\n02.01.1980\t2\n");

  // Ctrl+C in the grid is the menu's copy, not the grid's own copy of one cell.
  frame.show();
  QApplication::setActiveWindow(&frame);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
  frame.SGdata->setFocus();
  Select(1, 3, 1, 3);
  QApplication::clipboard()->clear();
  QTest::keyClick(frame.SGdata, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "01.01.1980\t1\t\n02.01.1980\t2\t5\n03.01.1980\t\t6\n");
  // The cells keep their numbers: only the text carries dates.
  EXPECT_EQ(Cell(0, 1).toDouble(), DateSeconds(1980, 1, 1));
}

TEST_F(EditTimeSeriesTest, SaveWritesFormattedTimesWithoutHeader)
{
  QTemporaryDir dir;
  const QString path = dir.filePath("table.txt");
  std::vector<std::unique_ptr<TTimeSerie>> list;
  list.push_back(MakeSerie({{DateSeconds(1999, 7, 1), 1.5}, {DateSeconds(1999, 8, 1), 2.5}}, "U", "кВ"));
  Show(std::move(list), TimeCodeMonth);
  calls.fileAnswers.push_back(path);
  frame.BsaveClick();
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("07.1999\t1.5\n08.1999\t2.5\n"));
}

TEST_F(EditTimeSeriesTest, LoadReadsTimesOfTheCodeAndKeepsUnreadableOnes)
{
  QTemporaryDir dir;
  const QString path = dir.filePath("in.txt");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("05.01.1980\t7\r\nno date\t8\r\n06.01.1980\t9\textra\r\n");
  file.close();

  std::vector<std::unique_ptr<TTimeSerie>> list;
  list.push_back(MakeSerie({{DateSeconds(1980, 1, 1), 1}, {DateSeconds(1980, 1, 2), 2}}));
  Show(std::move(list), TimeCodeDate);
  Select(0, 1, 0, 1);
  calls.fileAnswers.push_back(path);
  frame.BloadClick();

  ASSERT_EQ(Rows(), 4);
  ASSERT_EQ(frame.SGdata->columnCount(), 2);
  EXPECT_EQ(frame.TimeText(1), "05.01.1980");
  EXPECT_EQ(Cell(1, 1), "7");
  EXPECT_EQ(frame.TimeText(2), "02.01.1980");
  EXPECT_EQ(Cell(1, 2), "8");
  EXPECT_EQ(frame.TimeText(3), "06.01.1980");
  EXPECT_EQ(Cell(1, 3), "9");
  EXPECT_TRUE(calls.messages.empty());
}

TEST_F(EditTimeSeriesTest, PasteGrowsRowsAndDropsExtraColumns)
{
  Show(TwoSeries(), Seconds);
  Select(0, 4, 0, 4);
  QApplication::clipboard()->setText("40\t4\t4.5\t99\n50\t5\n");
  frame.BpastClick();
  ASSERT_EQ(Rows(), 6);
  ASSERT_EQ(frame.SGdata->columnCount(), 3);
  EXPECT_EQ(Cell(0, 4).toDouble(), 40.0);
  EXPECT_EQ(Cell(2, 4), "4.5");
  EXPECT_EQ(frame.TimeText(5), "50");
  EXPECT_EQ(Cell(1, 5), "5");
}

TEST_F(EditTimeSeriesTest, AddCopiesTheCurrentRowAndDeleteKeepsTheLastTime)
{
  Show(TwoSeries(), Seconds);
  frame.SGdata->setCurrentCell(2, 1);
  frame.BnewClick();
  ASSERT_EQ(Rows(), 6);
  EXPECT_EQ(frame.TimeText(2), "10");
  EXPECT_EQ(frame.TimeText(3), "10");
  EXPECT_EQ(Cell(2, 3), "0.5");
  EXPECT_EQ(frame.SGdata->currentRow(), 3);

  std::vector<std::unique_ptr<TTimeSerie>> one;
  one.push_back(MakeSerie({{7, 1}}));
  one.push_back(MakeSerie({{7, 2}}));
  Show(std::move(one), Seconds);
  frame.SGdata->setCurrentCell(1, 1);
  frame.BdelClick();
  ASSERT_EQ(Rows(), 2);
  EXPECT_EQ(frame.TimeText(1), "7");
  EXPECT_EQ(Cell(1, 1), "");
  EXPECT_EQ(Cell(2, 1), "");
}

TEST_F(EditTimeSeriesTest, DeleteRemovesTheCurrentRow)
{
  Show(TwoSeries(), Seconds);
  frame.SGdata->setCurrentCell(2, 0);
  frame.BdelClick();
  ASSERT_EQ(Rows(), 4);
  EXPECT_EQ(frame.TimeText(1), "0");
  EXPECT_EQ(frame.TimeText(2), "20");
}

TEST_F(EditTimeSeriesTest, TypedTimeIsStoredAsSeconds)
{
  std::vector<std::unique_ptr<TTimeSerie>> list;
  list.push_back(MakeSerie({{DateSeconds(1980, 1, 1), 1}}));
  Show(std::move(list), TimeCodeDateTime);
  frame.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
  frame.SGdata->setCurrentCell(1, 0);
  frame.SGdata->editItem(frame.SGdata->item(1, 0));
  auto* editor = frame.SGdata->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->text(), "01.01.1980 00:00:00");
  editor->setText("02.01.1980 12:00:00");
  // A command ends the edit first and stores the typed time.
  frame.BcopyClick();
  EXPECT_DOUBLE_EQ(Cell(0, 1).toDouble(), DateSeconds(1980, 1, 2, 12));
}

TEST_F(EditTimeSeriesTest, DropDownMarkOpensTheDateDialogOfTheCode)
{
  TFDateTime dialog;
  FDateTime = &dialog;
  std::vector<std::unique_ptr<TTimeSerie>> list;
  list.push_back(MakeSerie({{DateSeconds(2005, 3, 12, 18), 1}}));
  Show(std::move(list), TimeCodeDateTime);
  frame.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
  double shownDays = 0;
  calls.whileShown = [&](QDialog* shown) {
    ASSERT_EQ(shown, &dialog);
    shownDays = dialog.GetDialogDateTime();
    dialog.date->setDate(QDate(2005, 3, 13));
    dialog.time->setTime(QTime(6, 0));
  };
  const QRect cell = frame.SGdata->visualItemRect(frame.SGdata->item(1, 0));

  // Outside the mark a click only selects.
  QTest::mouseClick(frame.SGdata->viewport(), Qt::LeftButton, {}, cell.center() - QPoint(cell.width() / 4, 0));
  EXPECT_TRUE(calls.dialogs.empty());

  QTest::mouseClick(frame.SGdata->viewport(), Qt::LeftButton, {}, QPoint(cell.right() - 3, cell.center().y()));
  ASSERT_EQ(calls.dialogs.size(), 1u);
  EXPECT_DOUBLE_EQ(shownDays, DateSeconds(2005, 3, 12, 18) / Day);
  EXPECT_DOUBLE_EQ(Cell(0, 1).toDouble(), DateSeconds(2005, 3, 13, 6));
  // Its top-right corner sits at the cell's bottom-right corner.
  const QPoint corner = frame.SGdata->viewport()->mapToGlobal(cell.bottomRight() + QPoint(1, 1));
  EXPECT_EQ(dialog.pos(), QPoint(corner.x() - dialog.width(), corner.y()));

  // Model seconds have no date dialog.
  std::vector<std::unique_ptr<TTimeSerie>> seconds;
  seconds.push_back(MakeSerie({{1, 1}}));
  Show(std::move(seconds), Seconds);
  const QRect secondsCell = frame.SGdata->visualItemRect(frame.SGdata->item(1, 0));
  QTest::mouseClick(frame.SGdata->viewport(), Qt::LeftButton, {},
                    QPoint(secondsCell.right() - 3, secondsCell.center().y()));
  EXPECT_EQ(calls.dialogs.size(), 1u);
  FDateTime = nullptr;
}

TEST_F(EditTimeSeriesTest, ModesSwitchGridEditing)
{
  Show(TwoSeries(), Seconds);
  frame.PMIselectionClick();
  frame.PMdataPopup();
  EXPECT_EQ(frame.SGdata->editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_TRUE(frame.PMIselection->isChecked());
  EXPECT_FALSE(frame.PMIedition->isChecked());
  frame.PMIeditionClick();
  frame.PMdataPopup();
  EXPECT_NE(frame.SGdata->editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_TRUE(frame.PMIedition->isChecked());
}

} // namespace
