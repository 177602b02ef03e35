// The array data window as the array frame's "Данные" button opens it: typed,
// pasted and loaded cells reach the array when the window closes, fills and
// builds write into the array from what the grid shows.
#include "MapsTestSupport.h"

#include "base/FormArrayBuildProgress.h"
#include "data/NoValue.h"
#include "maps/FormArrayData.h"
#include "maps/FormArrayFilling.h"
#include "maps/FrameArray.h"
#include "maps/Stringgrids.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace mapstest;

namespace {

class ArrayDataTest : public TMapsFixture {
protected:
  void SetUp() override
  {
    array = AddArray("P", {"Потенциал"});
    for (int c = 0; c < 12; ++c)
      array->GetData()[c] = c;
    gis.OnChange = [this](void*) { ++changes; };
    CellLabelMode = 0;
  }
  void TearDown() override
  {
    gis.OnChange = nullptr;
    DestroyArrayData();
  }

  TFArrayData* Window() { return ArrayDataForm(); }
  QTableWidget& Grid() { return *Window()->SGdata; }
  double At(int i, int j) const { return array->GetData()[j * 4 + i]; }

  void OpenThroughFrame(const std::function<int(TFArrayData&)>& act)
  {
    OpenDataThroughFrame<TFArrayData>(acting, *array, act, fillAnswer);
  }

  void Select(int col1, int row1, int col2, int row2) { SelectCells(Grid(), col1, row1, col2, row2); }

  TActingCalls acting;
  TModalCallsScope actingInstalled{acting};
  std::function<int(QDialog*)> fillAnswer;
  TGArray* array = nullptr;
  int changes = 0;
};

TEST_F(ArrayDataTest, TypedCellsReachTheArrayHoweverTheWindowCloses)
{
  array->GetData()[1] = NoValue;
  struct TCase {
    int col, row;
    QString text;
    double stored;
  };
  const TCase cases[] = {{1, 1, "", NoValue}, {2, 1, "1,5", 1.5}, {3, 1, "abc", 0},
                         {4, 1, "2.5e3", 2500}, {1, 2, " -7 ", -7}, {2, 3, "3x", 3}};
  for (int result : {1, 2}) {
    changes = 0;
    OpenThroughFrame([&](TFArrayData& window) {
      EXPECT_EQ(window.windowTitle(), "P");
      EXPECT_EQ(GridCell(Grid(), 2, 1), "") << "the missing value shows empty";
      EXPECT_EQ(GridCell(Grid(), 3, 2), "6");
      for (const TCase& c : cases)
        SetGridCell(Grid(), c.col, c.row, c.text);
      SetGridCell(Grid(), 4, 3, "1e6");
      return result;
    });
    for (const TCase& c : cases)
      EXPECT_EQ(At(c.col - 1, c.row - 1), c.stored) << c.text.toStdString();
    EXPECT_EQ(changes, 1) << "closed with " << result;
    // The drawing range follows the new values.
    EXPECT_EQ(array->GetDataMax(), 1e6);
    EXPECT_EQ(array->GetDataMin(), -7);
    array->GetData()[11] = 11;
    array->GetData()[1] = NoValue;
  }
  // Opening and closing without an edit changes nothing.
  changes = 0;
  OpenThroughFrame([](TFArrayData&) { return 1; });
  EXPECT_EQ(changes, 0);
}

TEST_F(ArrayDataTest, ReadOnlyArrayTakesNothingFromTheGrid)
{
  array->SetReadOnly(true);
  OpenThroughFrame([&](TFArrayData& window) {
    EXPECT_FALSE(window.Bbuild->isVisibleTo(&window));
    EXPECT_FALSE(window.PMILoad->isEnabled());
    EXPECT_TRUE(window.PMIselect->isChecked());
    SetGridCell(Grid(), 1, 1, "99");
    return 1;
  });
  EXPECT_EQ(At(0, 0), 0);
  EXPECT_EQ(changes, 0);
}

// Every value is readable when the window opens, however long it prints.
TEST_F(ArrayDataTest, ColumnsFitTheirValues)
{
  const double values[] = {-1.23456789e-05, 123456789.0, -0.000987654321, 3};
  for (int c = 0; c < 12; ++c)
    array->GetData()[c] = values[c % 4] * (c + 1);
  TFArrayData* window = Window();
  window->SetArray(array);
  window->FormShow();
  const QFontMetrics metrics = Grid().fontMetrics();
  for (int col = 1; col < Grid().columnCount(); ++col)
    for (int row = 1; row < Grid().rowCount(); ++row) {
      const QString text = GridCell(Grid(), col, row);
      EXPECT_GE(Grid().columnWidth(col), metrics.horizontalAdvance(text)) << text.toStdString();
    }
}

TEST_F(ArrayDataTest, CellLabelsByIndexOrByCellCentre)
{
  auto owned = std::make_unique<TGArray>(&gis, 10, 5, 0);
  TGArray* placed = Add(std::move(owned), "Q", 100, 200);
  placed->SetRelativeRect(0.1, 0.2, 0.15, 0.22);
  ASSERT_DOUBLE_EQ(placed->GetWorldX(), 100);
  ASSERT_DOUBLE_EQ(placed->GetWorldY(), 200);
  ASSERT_DOUBLE_EQ(placed->GetWorldWidth(), 50);
  ASSERT_DOUBLE_EQ(placed->GetWorldHeight(), 20);
  TFArrayData* window = Window();
  window->SetArray(placed);
  window->FormShow();
  EXPECT_EQ(GridCell(Grid(), 1, 0), "0");
  EXPECT_EQ(GridCell(Grid(), 10, 0), "9");
  EXPECT_EQ(GridCell(Grid(), 0, 5), "4");
  window->PMIRangeCell->trigger();
  EXPECT_EQ(CellLabelMode, 1);
  EXPECT_EQ(GridCell(Grid(), 1, 0), "102.5");
  EXPECT_EQ(GridCell(Grid(), 0, 1), "202.0");
  EXPECT_FALSE(window->PMINumCell->isChecked());
  window->PMINumCell->trigger();
  EXPECT_EQ(GridCell(Grid(), 0, 1), "0");
  window->FormClose();
}

struct TFillCase {
  const char* name;
  QString formula;
  int operation;
  int x1, x2, y1, y2; // as entered in the dialog, 1-based
  std::vector<double> expected; // the 12 cells after the fill
};

class ArrayFillTest : public ArrayDataTest, public ::testing::WithParamInterface<TFillCase> {};

constexpr double N = NoValue;

TEST_P(ArrayFillTest, FillWritesTheRangeIntoTheArray)
{
  const TFillCase& c = GetParam();
  array->GetData()[5] = NoValue; // cell (1, 1)
  array->GetData()[0] = 1;
  OpenThroughFrame([&](TFArrayData& window) {
    // Typed but not yet stored: the fill must not lose it.
    SetGridCell(Grid(), 1, 1, "100");
    window.PMIselect->trigger();
    Select(c.x1, c.y1, c.x2, c.y2);
    fillAnswer = [&](QDialog* dialog) {
      auto* fill = dynamic_cast<TFArrayFilling*>(dialog);
      EXPECT_EQ(fill->Ex1->value(), std::min(c.x1, c.x2));
      EXPECT_EQ(fill->Ey2->value(), std::max(c.y1, c.y2));
      fill->Ex1->setValue(c.x1);
      fill->Ex2->setValue(c.x2);
      fill->Ey1->setValue(c.y1);
      fill->Ey2->setValue(c.y2);
      fill->Evalue->setText(c.formula);
      fill->CBtype->setCurrentIndex(c.operation);
      return 1;
    };
    window.PMIfilldata->trigger();
    return 2;
  });
  for (int k = 0; k < 12; ++k)
    EXPECT_EQ(array->GetData()[k], c.expected[static_cast<size_t>(k)]) << "cell " << k;
  EXPECT_EQ(changes, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Fills, ArrayFillTest,
    ::testing::Values(
        TFillCase{"SetsByCellIndices", "x+y", 0, 2, 3, 2, 3, {100, 1, 2, 3, 4, 4, 5, 7, 8, 5, 6, 11}},
        TFillCase{"ReversedBoundsFillTheSameCells", "x+y", 0, 3, 2, 3, 2, {100, 1, 2, 3, 4, 4, 5, 7, 8, 5, 6, 11}},
        TFillCase{"SubtractLeavesMissingCellsAlone", "1", 2, 1, 4, 2, 2, {100, 1, 2, 3, 3, N, 5, 6, 8, 9, 10, 11}},
        TFillCase{"SizesAsVariables", "nx*10+ny", 0, 4, 4, 1, 1, {100, 1, 2, 43, 4, N, 6, 7, 8, 9, 10, 11}},
        TFillCase{"DivisionByZeroLeavesTheCellMissing", "x-2", 4, 1, 3, 3, 3, {100, 1, 2, 3, 4, N, 6, 7, -8, N, 10, 11}}),
    [](const ::testing::TestParamInfo<TFillCase>& info) { return std::string(info.param.name); });

TEST_F(ArrayDataTest, FormulaThatDoesNotCompileChangesNothing)
{
  OpenThroughFrame([&](TFArrayData& window) {
    window.PMIselect->trigger();
    window.PMIselectall->trigger();
    fillAnswer = [](QDialog* dialog) {
      dynamic_cast<TFArrayFilling*>(dialog)->Evalue->setText("x+");
      return 1;
    };
    window.PMIfilldata->trigger();
    return 1;
  });
  ASSERT_EQ(acting.messages.size(), 1u);
  EXPECT_EQ(acting.messages[0].caption, "Ошибка");
  EXPECT_EQ(acting.messages[0].text, "Некорректное выражение");
  for (int k = 0; k < 12; ++k)
    EXPECT_EQ(array->GetData()[k], k);
  EXPECT_EQ(changes, 0);
}

TEST_F(ArrayDataTest, CopyAndPasteKeysMoveCellsToAnotherCorner)
{
  OpenThroughFrame([&](TFArrayData& window) {
    EXPECT_FALSE(window.PMIPast->isEnabled());
    // Space is no command: no pattern over the cells.
    window.PMIselect->trigger();
    QTest::keyClick(&Grid(), Qt::Key_Space);
    window.PMIedit->trigger();
    Select(1, 1, 2, 1);
    QTest::keyClick(&Grid(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "0\t1\n");
    EXPECT_TRUE(window.PMIPast->isEnabled());
    Select(3, 3, 3, 3);
    QTest::keyClick(&Grid(), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_FALSE(window.PMIPast->isEnabled());
    Select(1, 2, 1, 2);
    QTest::keyClick(&Grid(), Qt::Key_V, Qt::ControlModifier);
    return 1;
  });
  const std::vector<double> expected = {0, 1, 2, 3, 0, 1, 6, 7, 8, 9, 0, 1};
  for (int k = 0; k < 12; ++k)
    EXPECT_EQ(array->GetData()[k], expected[static_cast<size_t>(k)]) << "cell " << k;
}

TEST_F(ArrayDataTest, SaveAndLoadSelectedCells)
{
  QTemporaryDir dir;
  const QString saved = dir.filePath("one.txt");
  const QString loaded = dir.filePath("two.txt");
  {
    QFile file(loaded);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("7\t8,5\n\t9\n");
  }
  acting.fileAnswers = {saved, loaded, dir.filePath("missing/none.txt")};
  OpenThroughFrame([&](TFArrayData& window) {
    Select(2, 2, 2, 2);
    window.PMISave->trigger();
    Select(3, 1, 3, 1);
    window.PMILoad->trigger();
    window.PMILoad->trigger(); // cannot be opened: a message, nothing changes
    return 1;
  });
  QFile file(saved);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), "5\n");
  EXPECT_EQ(acting.messages.size(), 1u);
  const std::vector<double> expected = {0, 1, 7, 8.5, 4, 5, N, 9, 8, 9, 10, 11};
  for (int k = 0; k < 12; ++k)
    EXPECT_EQ(array->GetData()[k], expected[static_cast<size_t>(k)]) << "cell " << k;
}

class ArrayBuildTest : public ArrayDataTest {
protected:
  void SetUp() override
  {
    ArrayDataTest::SetUp();
    FArrayBuildProgress = progress.get();
    array->BuildParams().presentValuesKnown = true;
    for (int k = 0; k < 12; ++k)
      array->GetData()[k] = k == 0 || k == 11 ? k : NoValue;
  }
  void TearDown() override
  {
    FArrayBuildProgress = nullptr;
    ArrayDataTest::TearDown();
  }
  std::unique_ptr<TFArrayBuildProgress> progress = std::make_unique<TFArrayBuildProgress>();
};

TEST_F(ArrayBuildTest, BuildFillsOpenCellsFromTheKnownOnesAndTheTypedOnes)
{
  int shownDuringBuild = 0;
  OpenThroughFrame([&](TFArrayData& window) {
    window.CBipType->setCurrentIndex(4);
    SetGridCell(Grid(), 2, 2, "50"); // typed, not yet stored: known for the build
    QTimer::singleShot(0, [&] { shownDuringBuild += progress->isVisible(); });
    window.Bbuild->click();
    EXPECT_EQ(GridCell(Grid(), 2, 1), CellText(At(1, 0))) << "the grid shows the built values";
    return 1;
  });
  EXPECT_EQ(array->BuildParams().fillMethod, 4);
  EXPECT_EQ(shownDuringBuild, 1);
  EXPECT_FALSE(progress->isVisible());
  EXPECT_EQ(At(1, 1), 50);
  for (int k = 0; k < 12; ++k)
    EXPECT_FALSE(IsNoValue(array->GetData()[k])) << "cell " << k;
  EXPECT_GE(changes, 1);
}

// The cells computed before the cancel stay, the grid shows them and the GIS
// hears of the change.
TEST_F(ArrayBuildTest, CancelledBuildKeepsWhatWasComputed)
{
  acting.messageAnswers = {QMessageBox::Yes};
  OpenThroughFrame([&](TFArrayData& window) {
    QTimer::singleShot(0, [&] { progress->Bcancel->click(); });
    window.Bbuild->click();
    EXPECT_EQ(GridCell(Grid(), 2, 1), CellText(At(1, 0))) << "the grid shows the kept values";
    return 1;
  });
  ASSERT_EQ(acting.messages.size(), 1u);
  EXPECT_EQ(acting.messages[0].text, "Прервать процесс ?");
  EXPECT_TRUE(progress->Cancelled());
  EXPECT_FALSE(IsNoValue(At(1, 0)));
  EXPECT_EQ(At(0, 0), 0);
  EXPECT_EQ(At(3, 2), 11);
  EXPECT_GE(changes, 1);
}

TEST_F(ArrayBuildTest, BuildWithNothingKnownShowsTheReasonAndChangesNothing)
{
  array->GetData()[0] = NoValue;
  array->GetData()[11] = NoValue;
  OpenThroughFrame([&](TFArrayData& window) {
    window.Bbuild->click();
    return 1;
  });
  ASSERT_EQ(acting.messages.size(), 1u);
  EXPECT_EQ(acting.messages[0].caption, "Ошибка");
  EXPECT_FALSE(progress->isVisible());
  EXPECT_EQ(changes, 0);
}

} // namespace
