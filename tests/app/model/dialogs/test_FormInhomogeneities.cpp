#include "model/dialogs/FormInhomogeneities.h"

#include "GridKeys.h"
#include "HeapFixture.h"
#include "gis/BitGIS.h"
#include "gis/GArray3D.h"
#include "maps/Stringgrids.h"
#include "model/dialogs/InhomogeneityCellText.h"
#include "model/store/CellVolume.h"
#include "model/store/Inhomogeneities.h"
#include "model/store/layers/ModelLayerStamping.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>

#include <memory>

namespace {

class FormInhomogeneitiesTest : public HeapTest {
protected:
  void SetUp() override
  {
    HeapTest::SetUp();
    heap->N1 = 10;
    heap->N2 = 11;
    heap->N3 = 10;
    heap->CellSize1 = heap->CellSize2 = heap->CellSize3 = 1e-3;
    heap->Materials[0].Eps = 2.5;
    heap->Materials[0].Sigma = 1e-15;
    dialog.SetModelData(&gis, heap);
  }
  // Gives the engine count materials, copies of material 0.
  void GiveMaterials(int count)
  {
    TMaterial* table = TMaterialNew(count);
    for (int i = 0; i < count; ++i)
      table[i] = heap->Materials[0];
    TMaterialDelete(heap->Materials);
    heap->Materials = table;
    heap->MaterialCount = count;
  }
  static TInhomogeneityRecord Box(int material, double charge)
  {
    TInhomogeneityRecord r;
    for (int a = 0; a < 3; ++a) {
      r.lower[a] = 2e-3;
      r.upper[a] = 4e-3;
    }
    r.material = material;
    r.charge = charge;
    r.shape = TInhomogeneityRecord::ShapeEllipsoid;
    return r;
  }
  QString Cell(int col, int row) const { return GridCell(*dialog.SGdata, col, row); }

  TBitGIS gis;
  TFInhomogeneities dialog;
};

TEST_F(FormInhomogeneitiesTest, EmptyListGivesOneRowWithDefaults)
{
  EXPECT_EQ(dialog.windowTitle(), "Неоднородности");
  dialog.SetItems({});
  ASSERT_EQ(dialog.SGdata->rowCount(), 2);
  EXPECT_EQ(Cell(0, 1), "");
  EXPECT_EQ(Cell(9, 1), "1");
  EXPECT_EQ(Cell(10, 1), "255");
  EXPECT_EQ(Cell(11, 1), "65536");
}

TEST_F(FormInhomogeneitiesTest, OnlyRecordsWithAMaterialOfTheEngineAreListed)
{
  GiveMaterials(2);
  heap->Materials[1].Eps = 6;
  dialog.SetItems({Box(0, 1), Box(1, 2e-4), Box(2, 3)});
  ASSERT_EQ(dialog.SGdata->rowCount(), 2);
  EXPECT_EQ(Cell(0, 1), "0.003");
  EXPECT_EQ(Cell(2, 1), "0.007") << "z counts down from L2 = 10 mm";
  EXPECT_EQ(Cell(3, 1), "0.002");
  EXPECT_EQ(Cell(6, 1), "6");
  EXPECT_EQ(Cell(8, 1), "0.0002");
}

TEST_F(FormInhomogeneitiesTest, ReadingRebuildsTheMaterials)
{
  dialog.SetItems({});
  dialog.addClick();
  ASSERT_EQ(dialog.SGdata->rowCount(), 3);
  const char* first[12] = {"3e-3", "3e-3", "7e-3", "2e-3", "2e-3", "2e-3", "4,5", "1e-10", "2e-4", "1", "255", "65536"};
  const char* second[12] = {"5e-3", "5e-3", "5e-3", "0", "-1", "x", "0.5", "2e-10", "0", "0", "red", "32768"};
  for (int c = 0; c < 12; ++c) {
    SetGridCell(*dialog.SGdata, c, 1, QString::fromUtf8(first[c]));
    SetGridCell(*dialog.SGdata, c, 2, QString::fromUtf8(second[c]));
  }
  const std::vector<TInhomogeneityRecord> read = dialog.ReadItems();
  ASSERT_EQ(read.size(), 2u);
  ASSERT_EQ(heap->MaterialCount, 3);
  EXPECT_EQ(heap->Materials[1].Eps, 4.5);
  EXPECT_EQ(heap->Materials[1].InvEps, 1 / 4.5);
  EXPECT_EQ(heap->Materials[1].Sigma, 1e-10);
  EXPECT_EQ(heap->Materials[2].Eps, 1.0) << "permittivity below 1 falls back to 1";
  EXPECT_EQ(heap->Materials[2].Ec, heap->Materials[0].Ec);
  EXPECT_EQ(read[0].material, 1);
  EXPECT_EQ(read[1].material, 2);
  EXPECT_DOUBLE_EQ(read[0].lower[1], 2e-3);
  EXPECT_DOUBLE_EQ(read[1].upper[0] - read[1].lower[0], 10e-3 / 4) << "size 0 is a quarter of the axis";
  EXPECT_EQ(read[1].colour, 255);
  EXPECT_EQ(read[1].transparency, 32768);
}

TEST_F(FormInhomogeneitiesTest, CellsShowShapeNamesAndPercentages)
{
  EXPECT_EQ(ShapeCellText("1"), "эллипсоид");
  EXPECT_EQ(ShapeCellText("0"), "\"кубик\"");
  EXPECT_EQ(ShapeCellText("x"), "\"кубик\"");
  EXPECT_EQ(AlphaCellText("65536"), "0%");
  EXPECT_EQ(AlphaCellText("6554"), "90%");
  EXPECT_EQ(AlphaCellText("32768"), "50%");
  EXPECT_EQ(AlphaCellText(""), "0%");
  dialog.SetItems({});
  // The cell keeps the integer; its delegate shows the percentage.
  EXPECT_EQ(dialog.SGdata->model()->index(1, 11).data().toString(), "65536");
}

TEST_F(FormInhomogeneitiesTest, MenusWriteTheirTagsIntoThePopupCell)
{
  dialog.SetItems({});
  dialog.SetPopupCell(1, 9);
  dialog.PMIshapeClick(dialog.PMshape->actions().at(0));
  EXPECT_EQ(Cell(9, 1), "0");
  EXPECT_EQ(dialog.PMshape->actions().at(1)->text(), "эллипсоид");
  dialog.SetPopupCell(1, 11);
  ASSERT_EQ(dialog.PMalpha->actions().size(), 10);
  dialog.PMIalphaClick(dialog.PMalpha->actions().at(4));
  EXPECT_EQ(Cell(11, 1), "32768");
  EXPECT_EQ(dialog.PMalpha->actions().at(4)->text(), "50%");
  EXPECT_EQ(dialog.PMalpha->actions().at(9)->data().toInt(), 65536);
}

TEST_F(FormInhomogeneitiesTest, TheShapeCellOpensItsMenuAndNeverATextEditor)
{
  dialog.SetItems({});
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QTableWidget* grid = dialog.SGdata;
  ASSERT_NO_FATAL_FAILURE(TabOutOfEditor(*grid, 1, 8));
  EXPECT_FALSE(EditorOpen(*grid));
  EXPECT_FALSE(dialog.PMshape->isVisible()) << "moving onto the cell opens nothing";

  QTest::keyClick(grid, Qt::Key_X);
  EXPECT_TRUE(dialog.PMshape->isVisible());
  EXPECT_FALSE(EditorOpen(*grid));
  EXPECT_EQ(Cell(9, 1), "1");
  dialog.PMshape->hide();
  dialog.hide();
}

TEST_F(FormInhomogeneitiesTest, DeleteKeepsOneRowWithDefaults)
{
  dialog.SetItems({});
  SetGridCell(*dialog.SGdata, 0, 1, "1");
  SetGridCell(*dialog.SGdata, 9, 1, "0");
  dialog.delClick();
  EXPECT_EQ(dialog.SGdata->rowCount(), 2);
  EXPECT_EQ(Cell(0, 1), "");
  EXPECT_EQ(Cell(9, 1), "1");
  EXPECT_EQ(Cell(11, 1), "65536");
}

class FormInhomogeneitiesStates : public FormInhomogeneitiesTest, public ::testing::WithParamInterface<int> {};

TEST_P(FormInhomogeneitiesStates, ReadOnlyAndTheMaterialsStayWhileARunUsesThem)
{
  GiveMaterials(2);
  const std::vector<TInhomogeneityRecord> records{Box(1, 0)};
  dialog.SetCalcState(GetParam());
  dialog.SetItems(records);
  EXPECT_FALSE(dialog.add->isEnabled());
  dialog.SGdata->setCurrentCell(1, 6);
  EXPECT_EQ(dialog.SGdata->editTriggers(), QAbstractItemView::NoEditTriggers);
  SetGridCell(*dialog.SGdata, 6, 1, "8");
  dialog.addClick();
  const TMaterial* before = heap->Materials;
  const std::vector<unsigned char> snapshot = Snapshot();
  EXPECT_EQ(dialog.ReadItems(), records);
  EXPECT_EQ(heap->Materials, before);
  EXPECT_EQ(Snapshot(), snapshot);
}

INSTANTIATE_TEST_SUITE_P(Running, FormInhomogeneitiesStates, ::testing::Values(1, 2));

TEST_F(FormInhomogeneitiesTest, StampsIntoTheMaterialAndChargeLayers)
{
  heap->AuxParam21 = 5e-5;
  gis.SetTransform(0, 0, 5e-3, 4e-3, 0, 6e-3);
  TGArray3D* layers[2] = {};
  const int codes[2] = {kMaterialLayerCode, kChargeLayerCode};
  for (int i = 0; i < 2; ++i) {
    auto owned = std::make_unique<TGArray3D>(&gis, 5, 4, 6, codes[i]);
    layers[i] = owned.get();
    gis.AddObject(nullptr, std::move(owned), false);
    layers[i]->SetRelativeRect(0, 0, 1, 1);
    layers[i]->SetDZ(1);
  }
  TInhomogeneityRecord box = Box(1, 2e-4);
  box.shape = TInhomogeneityRecord::ShapeBox;
  ASSERT_TRUE(dialog.RasterizeInhomogeneities({box}));
  const TCellVolume a = CellVolumeOf(*layers[0]), b = CellVolumeOf(*layers[1]);
  EXPECT_EQ(a.At(2, 2, 3), 1.0);
  EXPECT_EQ(b.At(2, 2, 3), 2e-4);
  EXPECT_EQ(a.At(0, 0, 0), 0.0);
  EXPECT_EQ(b.At(0, 0, 0), 5e-5);
}

}  // namespace
