#include "model/dialogs/FormElectrodes.h"

#include "GridKeys.h"
#include "HeapFixture.h"
#include "gis/BitGIS.h"
#include "gis/GArray3D.h"
#include "maps/Stringgrids.h"
#include "model/store/CellVolume.h"
#include "model/store/Electrodes.h"
#include "model/store/layers/ModelLayerStamping.h"

#include "base/ScriptedModalCalls.h"

#include <QPushButton>
#include <QTableWidget>

#include <memory>

namespace {

class FormElectrodesTest : public HeapTest {
protected:
  void SetUp() override
  {
    HeapTest::SetUp();
    // 1 mm cells, 26 levels: L2 = 25 mm.
    heap->CellSize2 = 1e-3;
    dialog.SetModelData(&gis, heap);
  }
  static TElectrodeRecord Needle(double x, double topZ, int code)
  {
    TElectrodeRecord r;
    r.start[0] = x;
    r.start[1] = 25e-3 - topZ;
    r.start[2] = 3e-3;
    r.end[0] = x;
    r.end[1] = 25e-3;
    r.end[2] = 3e-3;
    r.startDiameter = 1e-4;
    r.endDiameter = 5e-4;
    r.code = code;
    r.colour = 0x00FF00;
    return r;
  }
  QString Cell(int col, int row) const { return GridCell(*dialog.SGdata, col, row); }

  TBitGIS gis;
  TFElectrodes dialog;
};

TEST_F(FormElectrodesTest, EmptyListGivesOneRowWithTheDefaultColour)
{
  EXPECT_EQ(dialog.windowTitle(), "Электроды");
  dialog.SetItems({});
  ASSERT_EQ(dialog.SGdata->rowCount(), 2);
  EXPECT_TRUE(dialog.SGdata->isRowHidden(0));
  for (int c = 0; c < 9; ++c)
    EXPECT_EQ(Cell(c, 1), "") << c;
  EXPECT_EQ(Cell(9, 1), "255");
  EXPECT_TRUE(dialog.ReadItems().empty());
}

TEST_F(FormElectrodesTest, RecordsShowWithZCountedFromTheLastLevelAndReadBack)
{
  const std::vector<TElectrodeRecord> records{Needle(1e-3, 5e-3, -3), Needle(2e-3, 0, -5)};
  dialog.SetItems(records);
  ASSERT_EQ(dialog.SGdata->rowCount(), 3);
  EXPECT_EQ(Cell(0, 1), "0.001");
  EXPECT_EQ(Cell(1, 1), "0.003");
  EXPECT_EQ(Cell(2, 1), "0.005");
  EXPECT_EQ(Cell(6, 1), "0");
  EXPECT_EQ(Cell(8, 2), "-5");
  EXPECT_EQ(Cell(9, 1), QString::number(0x00FF00));
  EXPECT_EQ(dialog.ReadItems(), records);
}

TEST_F(FormElectrodesTest, TypedCellsWithDecimalCommasAndBadTexts)
{
  dialog.SetItems({Needle(1e-3, 5e-3, -3)});
  SetGridCell(*dialog.SGdata, 0, 1, "0,5");
  SetGridCell(*dialog.SGdata, 2, 1, "25e-3");
  SetGridCell(*dialog.SGdata, 3, 1, "x");
  SetGridCell(*dialog.SGdata, 8, 1, "-3.5");
  SetGridCell(*dialog.SGdata, 9, 1, "red");
  const std::vector<TElectrodeRecord> read = dialog.ReadItems();
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].start[0], 0.5);
  EXPECT_EQ(read[0].start[1], 0) << "z typed as L2 is level 0";
  EXPECT_EQ(read[0].startDiameter, 0);
  EXPECT_EQ(read[0].code, -2);
  EXPECT_EQ(read[0].colour, 0);
}

TEST_F(FormElectrodesTest, EmptyFirstCellGivesAnEmptyList)
{
  dialog.SetItems({Needle(1e-3, 5e-3, -3), Needle(2e-3, 5e-3, -5)});
  SetGridCell(*dialog.SGdata, 0, 1, "");
  EXPECT_TRUE(dialog.ReadItems().empty());
}

TEST_F(FormElectrodesTest, NewRowCopiesItsNeighbourAndDeleteKeepsOneRow)
{
  dialog.SetItems({Needle(1e-3, 5e-3, -3), Needle(2e-3, 5e-3, -5)});
  dialog.SGdata->setCurrentCell(2, 0);
  dialog.addClick();
  ASSERT_EQ(dialog.SGdata->rowCount(), 4);
  EXPECT_EQ(Cell(0, 3), Cell(0, 2)) << "on the last row: a copy of the row above is appended";
  dialog.SGdata->setCurrentCell(1, 0);
  dialog.addClick();
  EXPECT_EQ(Cell(0, 1), "0.001");
  EXPECT_EQ(Cell(0, 2), "0.001") << "on an inner row: that row is duplicated";

  dialog.SGdata->setCurrentCell(1, 0);
  dialog.delClick();
  dialog.delClick();
  dialog.delClick();
  EXPECT_EQ(dialog.SGdata->rowCount(), 2);
  dialog.delClick();
  ASSERT_EQ(dialog.SGdata->rowCount(), 2);
  EXPECT_EQ(Cell(0, 1), "");
  EXPECT_EQ(Cell(9, 1), "255");
}

TEST_F(FormElectrodesTest, ColourColumnTakesNoTypingAndOpensTheChooser)
{
  dialog.SetItems({Needle(1e-3, 5e-3, -3)});
  int asked = -1;
  dialog.SetColorChooser([&](QWidget*, int initial) -> std::optional<int> {
    asked = initial;
    return 0x123456;
  });
  dialog.SGdata->setCurrentCell(1, 9);
  EXPECT_EQ(dialog.SGdata->editTriggers(), QAbstractItemView::NoEditTriggers);
  dialog.SGdataDblClick();
  EXPECT_EQ(asked, 0x00FF00);
  EXPECT_EQ(Cell(9, 1), QString::number(0x123456));
  EXPECT_EQ(dialog.SGdata->item(1, 9)->background().color(), QColor(0x56, 0x34, 0x12));
  dialog.SGdata->setCurrentCell(1, 0);
  EXPECT_NE(dialog.SGdata->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST_F(FormElectrodesTest, NoWayIntoTheColourCellPutsTypedTextThere)
{
  TScriptedModalCalls calls;
  TModalCallsScope scope(calls);
  calls.colourAnswers = {std::nullopt, QColor(0x12, 0x34, 0x56)};
  dialog.SetItems({Needle(1e-3, 5e-3, -3)});
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QTableWidget* grid = dialog.SGdata;

  // Tab out of the editor of the code column lands on the colour without an editor.
  ASSERT_NO_FATAL_FAILURE(TabOutOfEditor(*grid, 1, 8));
  EXPECT_FALSE(EditorOpen(*grid));

  // A typed key opens the colour dialog; cancelled, the colour stays.
  QTest::keyClick(grid, Qt::Key_7);
  ASSERT_EQ(calls.colourStarts.size(), 1u);
  EXPECT_EQ(calls.colourStarts[0], QColor(0x00, 0xFF, 0x00));
  EXPECT_EQ(Cell(9, 1), QString::number(0x00FF00));
  QTest::keyClick(grid, Qt::Key_F2);
  ASSERT_EQ(calls.colourStarts.size(), 2u);
  EXPECT_EQ(Cell(9, 1), QString::number(0x563412));
  EXPECT_FALSE(EditorOpen(*grid));
  dialog.hide();
}

class FormElectrodesStates : public FormElectrodesTest, public ::testing::WithParamInterface<int> {};

TEST_P(FormElectrodesStates, ReadOnlyWhileARunUsesTheModel)
{
  const std::vector<TElectrodeRecord> records{Needle(1e-3, 5e-3, -3)};
  dialog.SetCalcState(GetParam());
  dialog.SetItems(records);
  EXPECT_FALSE(dialog.IsEditable());
  EXPECT_FALSE(dialog.add->isEnabled());
  EXPECT_FALSE(dialog.del->isEnabled());
  dialog.SGdata->setCurrentCell(1, 0);
  EXPECT_EQ(dialog.SGdata->editTriggers(), QAbstractItemView::NoEditTriggers);
  SetGridCell(*dialog.SGdata, 0, 1, "9");
  dialog.delClick();
  EXPECT_EQ(dialog.ReadItems(), records);
}

INSTANTIATE_TEST_SUITE_P(Running, FormElectrodesStates, ::testing::Values(1, 2));

TEST_F(FormElectrodesTest, EditableBeforeAfterAndAfterAnAbort)
{
  for (int state : {0, 3, 4}) {
    dialog.SetCalcState(state);
    EXPECT_TRUE(dialog.IsEditable()) << state;
    EXPECT_TRUE(dialog.add->isEnabled()) << state;
  }
}

TEST_F(FormElectrodesTest, StampsIntoTheElectrodeLayer)
{
  EXPECT_FALSE(dialog.RasterizeElectrodes({}));
  gis.SetTransform(0, 0, 5e-3, 4e-3, 0, 6e-3);
  auto owned = std::make_unique<TGArray3D>(&gis, 5, 4, 6, kElectrodeLayerCode);
  TGArray3D* layer = owned.get();
  gis.AddObject(nullptr, std::move(owned), false);
  layer->SetRelativeRect(0, 0, 1, 1);
  layer->SetDZ(1);
  int changes = 0;
  gis.OnChange = [&](void*) { ++changes; };
  ASSERT_TRUE(dialog.RasterizeElectrodes({}));
  EXPECT_EQ(changes, 1);
  const TCellVolume v = CellVolumeOf(*layer);
  EXPECT_EQ(v.At(0, 0, 0), -2.0);
  EXPECT_EQ(v.At(1, 1, 5), -4.0);
  EXPECT_EQ(v.At(1, 1, 2), -1.0);
}

}  // namespace
