#include "maps/Stringgrids.h"

#include "base/ScriptedModalCalls.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

namespace {

// A grid filled with "c<col>r<row>" texts.
void Fill(QTableWidget& grid, int cols, int rows)
{
  grid.setColumnCount(cols);
  grid.setRowCount(rows);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      SetGridCell(grid, c, r, QStringLiteral("c%1r%2").arg(c).arg(r));
}

QStringList Column(const QTableWidget& grid, int col)
{
  QStringList out;
  for (int r = 0; r < grid.rowCount(); ++r)
    out << GridCell(grid, col, r);
  return out;
}

void Select(QTableWidget& grid, int left, int top, int right, int bottom)
{
  grid.clearSelection();
  grid.setCurrentCell(top, left);
  grid.setRangeSelected(QTableWidgetSelectionRange(top, left, bottom, right), true);
}

class StringgridsTest : public ::testing::Test {
protected:
  TScriptedModalCalls calls;
  TModalCallsScope scope{calls};
  QTableWidget grid;
};

TEST_F(StringgridsTest, SelectionTextAndPasteBack)
{
  grid.setColumnCount(3);
  grid.setRowCount(3);
  SetGridCell(grid, 1, 1, "1");
  SetGridCell(grid, 2, 1, "2");
  SetGridCell(grid, 1, 2, "3");
  SetGridCell(grid, 2, 2, "4");
  Select(grid, 1, 1, 2, 2);
  QString text;
  GridToText(text, grid, false, false);
  EXPECT_EQ(text, "1\t2\n3\t4\n");

  GridClearCells(grid, 0, 0, -1, -1);
  TextToGrid(text, grid, false, false);
  EXPECT_EQ(GridCell(grid, 1, 1), "1");
  EXPECT_EQ(GridCell(grid, 2, 2), "4");
  EXPECT_EQ(GridCell(grid, 0, 0), "");
}

TEST_F(StringgridsTest, WholeGridWithAndWithoutFixedCells)
{
  Fill(grid, 2, 2);
  SetGridFixed(grid, 1, 1);
  QString text;
  GridToText(text, grid, true, true);
  EXPECT_EQ(text, "c0r0\tc1r0\nc0r1\tc1r1\n");
  GridToText(text, grid, true, false);
  EXPECT_EQ(text, "c1r1\n");
  EXPECT_FALSE(grid.item(0, 0)->flags() & Qt::ItemIsEditable);
  EXPECT_TRUE(grid.item(1, 1)->flags() & Qt::ItemIsEditable);
}

TEST_F(StringgridsTest, OneEmptyCellGivesALineFeed)
{
  grid.setColumnCount(1);
  grid.setRowCount(1);
  QString text;
  GridToText(text, grid, true, true);
  EXPECT_EQ(text, "\n");
}

TEST_F(StringgridsTest, GetEditTextHookFormatsTheExport)
{
  Fill(grid, 1, 1);
  TGridEditHooks hooks;
  hooks.OnGetEditText = [](QObject* sender, int, int, QString& t) {
    EXPECT_EQ(sender, nullptr);
    t = "[" + t + "]";
  };
  SetGridEditHooks(grid, hooks);
  QString text;
  GridToText(text, grid, true, true);
  EXPECT_EQ(text, "[c0r0]\n");
}

TEST_F(StringgridsTest, PasteWiderThanTheGrid)
{
  grid.setColumnCount(2);
  grid.setRowCount(3);
  grid.setColumnWidth(1, 77);
  Select(grid, 0, 1, 0, 1);
  TextToGrid("a\tb\tc\n", grid, false, false);
  EXPECT_EQ(grid.columnCount(), 2);
  EXPECT_EQ(GridCell(grid, 1, 1), "b");

  TextToGrid("a\tb\tc\n", grid, true, false);
  ASSERT_EQ(grid.columnCount(), 3);
  EXPECT_EQ(grid.columnWidth(2), 77);
  EXPECT_EQ(Column(grid, 2), (QStringList{"", "c", ""}));
}

// A wide text once grew the grid a column per cell, each growth costing the
// whole table: it grows once now, to what the text needs.
TEST_F(StringgridsTest, AWideTextGrowsTheGridOnce)
{
  grid.setColumnCount(1);
  grid.setRowCount(1);
  grid.setColumnWidth(0, 55);
  Select(grid, 0, 0, 0, 0);
  QString text;
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 400; ++col)
      text += QString::number(row * 1000 + col) + (col + 1 < 400 ? "\t" : "\n");
  }
  int columnInsertions = 0, rowInsertions = 0;
  QObject::connect(grid.model(), &QAbstractItemModel::columnsInserted, [&] { ++columnInsertions; });
  QObject::connect(grid.model(), &QAbstractItemModel::rowsInserted, [&] { ++rowInsertions; });
  TextToGrid(text, grid, true, true);
  EXPECT_EQ(columnInsertions, 1);
  EXPECT_EQ(rowInsertions, 1);
  ASSERT_EQ(grid.columnCount(), 400);
  ASSERT_EQ(grid.rowCount(), 3);
  EXPECT_EQ(GridCell(grid, 399, 2), "2399");
  EXPECT_EQ(grid.columnWidth(399), 55);
}

TEST_F(StringgridsTest, PasteLongerThanTheGridGrowsRowsOnlyWhenAllowed)
{
  grid.setColumnCount(1);
  grid.setRowCount(1);
  Select(grid, 0, 0, 0, 0);
  TextToGrid("1\n2\n3", grid, false, false);
  EXPECT_EQ(grid.rowCount(), 1);
  TextToGrid("1\n2\n3", grid, false, true);
  EXPECT_EQ(Column(grid, 0), (QStringList{"1", "2", "3"}));
}

TEST_F(StringgridsTest, SetEditTextHookReceivesThePastedCells)
{
  grid.setColumnCount(2);
  grid.setRowCount(1);
  Select(grid, 0, 0, 0, 0);
  QStringList seen;
  TGridEditHooks hooks;
  hooks.OnSetEditText = [&](QObject* sender, int col, int row, const QString& t) {
    EXPECT_EQ(sender, nullptr);
    seen << QStringLiteral("%1,%2=%3").arg(col).arg(row).arg(t);
  };
  SetGridEditHooks(grid, hooks);
  TextToGrid("x\ty", grid, false, false);
  EXPECT_EQ(seen, (QStringList{"0,0=x", "1,0=y"}));
  EXPECT_EQ(GridCell(grid, 0, 0), "");
}

TEST_F(StringgridsTest, ClipboardRoundTrip)
{
  QClipboard& clipboard = *QApplication::clipboard();
  Fill(grid, 2, 2);
  GridCopyToClipboard(clipboard, grid, true, true);
  EXPECT_EQ(clipboard.text(), "c0r0\tc1r0\nc0r1\tc1r1\n");
  GridClearCells(grid, 0, 0, -1, -1);
  Select(grid, 0, 0, 0, 0);
  EXPECT_TRUE(GridPasteFromClipboard(clipboard, grid, false, false));
  EXPECT_EQ(GridCell(grid, 1, 1), "c1r1");

  clipboard.clear();
  EXPECT_FALSE(GridPasteFromClipboard(clipboard, grid, false, false));
  EXPECT_TRUE(calls.messages.empty());
}

struct TInsertCase {
  const char* name;
  int index;
  bool blank;
  QStringList column;
};

class GridInsertRowCases : public StringgridsTest, public ::testing::WithParamInterface<TInsertCase> {};

TEST_P(GridInsertRowCases, Rows)
{
  Fill(grid, 2, 3);
  GridInsertRow(grid, GetParam().index, GetParam().blank);
  EXPECT_EQ(Column(grid, 0), GetParam().column) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GridInsertRowCases,
    ::testing::Values(TInsertCase{"append copies last", 3, false, {"c0r0", "c0r1", "c0r2", "c0r2"}},
                      TInsertCase{"at 0 duplicates row 0", 0, false, {"c0r0", "c0r0", "c0r1", "c0r2"}},
                      TInsertCase{"inner duplicates", 1, false, {"c0r0", "c0r1", "c0r1", "c0r2"}},
                      TInsertCase{"blank", 1, true, {"c0r0", "", "c0r1", "c0r2"}},
                      TInsertCase{"past the end does nothing", 4, false, {"c0r0", "c0r1", "c0r2"}},
                      TInsertCase{"negative does nothing", -1, false, {"c0r0", "c0r1", "c0r2"}}));

TEST_F(StringgridsTest, InsertIntoAnEmptyGridAppendsABlankRow)
{
  grid.setColumnCount(1);
  grid.setRowCount(0);
  GridInsertRow(grid, 0, false);
  EXPECT_EQ(Column(grid, 0), (QStringList{""}));
}

TEST_F(StringgridsTest, ColumnsInsertAndDeleteLikeRows)
{
  Fill(grid, 2, 1);
  GridInsertColumn(grid, 2, false);
  EXPECT_EQ(GridCell(grid, 2, 0), "c1r0");
  GridInsertColumn(grid, 0, true);
  EXPECT_EQ(GridCell(grid, 0, 0), "");
  EXPECT_EQ(GridCell(grid, 1, 0), "c0r0");
  GridDeleteColumn(grid, 0);
  EXPECT_EQ(grid.columnCount(), 3);
  EXPECT_EQ(GridCell(grid, 0, 0), "c0r0");
  GridDeleteColumn(grid, 3);
  EXPECT_EQ(grid.columnCount(), 3);
}

TEST_F(StringgridsTest, DeleteRowMovesTheRestUp)
{
  Fill(grid, 1, 3);
  GridDeleteRow(grid, 0);
  EXPECT_EQ(Column(grid, 0), (QStringList{"c0r1", "c0r2"}));
  GridDeleteRow(grid, 2);
  EXPECT_EQ(grid.rowCount(), 2);
  GridDeleteRow(grid, 1);
  GridDeleteRow(grid, 0);
  // A grid keeps one row.
  EXPECT_EQ(Column(grid, 0), (QStringList{""}));
}

TEST_F(StringgridsTest, ClearCellsBelowTheFirstRowWhateverTheSize)
{
  Fill(grid, 3, 4);
  GridClearCells(grid, 0, 1, -1, -1);
  EXPECT_EQ(GridCell(grid, 2, 0), "c2r0");
  for (int r = 1; r < 4; ++r)
    for (int c = 0; c < 3; ++c)
      EXPECT_EQ(GridCell(grid, c, r), "");
  Fill(grid, 3, 4);
  GridClearCells(grid, -5, -5, 99, 0);
  EXPECT_EQ(GridCell(grid, 2, 0), "");
  EXPECT_EQ(GridCell(grid, 0, 1), "c0r1");
}

TEST_F(StringgridsTest, FileRoundTripKeepsTheCellsIncludingCyrillic)
{
  QTemporaryDir dir;
  const QString path = dir.filePath("grid.txt");
  Fill(grid, 2, 2);
  SetGridCell(grid, 1, 1, "Юг 1.5");
  ASSERT_TRUE(GridSaveToFile(path, grid, true, true));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  EXPECT_EQ(bytes, QByteArray("c0r0\tc1r0\nc0r1\t\xDE\xE3 1.5\n"));

  QTableWidget copy;
  copy.setColumnCount(2);
  copy.setRowCount(2);
  Select(copy, 0, 0, 0, 0);
  ASSERT_TRUE(GridLoadFromFile(path, copy, false, false));
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 2; ++c)
      EXPECT_EQ(GridCell(copy, c, r), GridCell(grid, c, r));
  EXPECT_TRUE(calls.messages.empty());
}

TEST_F(StringgridsTest, FilesThatCannotBeOpenedShowTheBox)
{
  Fill(grid, 1, 1);
  EXPECT_FALSE(GridSaveToFile("/nonexistent-folder/x.txt", grid, true, true));
  EXPECT_FALSE(GridLoadFromFile("/nonexistent-folder/x.txt", grid, false, false));
  ASSERT_EQ(calls.messages.size(), 2u);
  EXPECT_EQ(calls.messages[0].text, "Invalid file name.");
  EXPECT_EQ(calls.messages[0].icon, QMessageBox::Critical);
  EXPECT_EQ(calls.messages[1].text, "Invalid file name.");
  EXPECT_EQ(GridCell(grid, 0, 0), "c0r0");
}

// A file size limit makes the writes after opening fail (with the signal
// ignored they fail with EFBIG), which is what a full disk does too.
class TFileSizeLimit {
public:
  explicit TFileSizeLimit(rlim_t bytes)
  {
    oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit limit = old;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~TFileSizeLimit()
  {
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
  }

private:
  rlimit old{};
  void (*oldHandler)(int) = nullptr;
};

TEST_F(StringgridsTest, WriteErrorsAfterOpeningAreReportedAndLeaveTheOldFile)
{
  QTemporaryDir dir;
  const QString path = dir.filePath("grid.txt");
  {
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old\n");
  }
  Fill(grid, 8, 8);
  bool saved = true;
  {
    TFileSizeLimit limit(16);
    saved = GridSaveToFile(path, grid, true, true);
  }
  EXPECT_FALSE(saved);
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(calls.messages[0].text, "Ошибка записи файла.");
  QFile old(path);
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_EQ(old.readAll(), QByteArray("old\n"));
}

TEST_F(StringgridsTest, ReadErrorsAfterOpeningAreReportedAndLeaveTheGrid)
{
  QFile probe("/proc/self/mem");
  if (!probe.open(QIODevice::ReadOnly))
    GTEST_SKIP() << "no /proc/self/mem";
  probe.close();
  Fill(grid, 1, 1);
  EXPECT_FALSE(GridLoadFromFile("/proc/self/mem", grid, false, false));
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(calls.messages[0].text, "Ошибка чтения файла.");
  EXPECT_EQ(GridCell(grid, 0, 0), "c0r0");
}

}  // namespace
