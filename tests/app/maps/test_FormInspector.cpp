#include "maps/FormInspector.h"

#include "data/NoValue.h"
#include "gis/GArray.h"
#include "gis/GIS.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

// A GIS whose relative unit square spans X 100 ... 300 and Y 200 ... 600, so a
// relative position read as a world one lies far outside every array.
class InspectorTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    gis.SetTransform(100, 200, 300, 600);
    gis.SetCoordKind(CoordRectangular);
    first = Add("A", "кВ", 2, 2, {1, 2, 3, 4}, 0, 0, 1, 1);
    Add("B", "", 1, 1, {7}, 0, 0, 0.5, 0.5);
    Add("C", "м", 1, 1, {NoValue}, 0, 0, 1, 1);
    Add("D", "м", 1, 1, {5}, 0.6, 0.6, 1, 1);
    inspector.SetGis(&gis);
  }

  TGArray* Add(const std::string& name, const std::string& unit, int nx, int ny, const std::vector<double>& data,
               double x1, double y1, double x2, double y2)
  {
    auto array = std::make_unique<TGArray>(&gis, nx, ny, 0);
    array->SetRelativeRect(x1, y1, x2, y2);
    array->SetData(data.data());
    array->SetName(name);
    array->SetUnitText(unit);
    TGArray* kept = array.get();
    gis.AddObject(nullptr, std::move(array), true);
    return kept;
  }

  TGIS gis;
  TGArray* first = nullptr;
  TFInspector inspector;
};

TEST_F(InspectorTest, ListsEveryCoveringArrayWithItsValueAtTheWorldPosition)
{
  inspector.Probe(0.4, 0.25);
  EXPECT_EQ(inspector.LineCount(), 3);
  EXPECT_EQ(inspector.Lname->text(), "A\nB\nC\n");
  EXPECT_EQ(inspector.Lvalue->text(), "1.3\n7\nнет\n");
  EXPECT_EQ(inspector.Lunit->text(), "кВ\n\nм\n");
  EXPECT_EQ(inspector.windowTitle(), "Позиция 180.0:300.0");
  EXPECT_TRUE(inspector.Bclose->isHidden());

  inspector.PMIcopy->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), "Позиция 180.0:300.0:\nA\t1.3\tкВ\nB\t7\t\nC\tнет\tм\n");
}

TEST_F(InspectorTest, RefreshProbesAgainAtTheKeptPosition)
{
  inspector.Probe(0.25, 0.75);
  EXPECT_EQ(inspector.Lvalue->text(), "3\nнет\n");
  first->Fill(9);
  inspector.Refresh();
  EXPECT_EQ(inspector.Lvalue->text(), "9\nнет\n");
}

TEST_F(InspectorTest, OutsideEveryArrayOnlyTheCaptionIsCopied)
{
  inspector.Probe(1.5, 1.5);
  EXPECT_EQ(inspector.LineCount(), 0);
  EXPECT_EQ(inspector.Lname->text(), "");
  EXPECT_EQ(inspector.Lvalue->text(), "");
  EXPECT_EQ(inspector.Lunit->text(), "");
  EXPECT_EQ(inspector.CopyText(), "Позиция 400.0:800.0:\n");
}

TEST_F(InspectorTest, WithoutGisTheLabelsEmptyAndTheCaptionStays)
{
  inspector.Probe(0.5, 0.25);
  inspector.SetGis(nullptr);
  inspector.Probe(0.5, 0.5);
  EXPECT_EQ(inspector.Lname->text(), "");
  EXPECT_EQ(inspector.windowTitle(), "Позиция 200.0:300.0");
}

TEST_F(InspectorTest, CloseHidesTheWindow)
{
  inspector.show();
  inspector.BcloseClick();
  EXPECT_FALSE(inspector.isVisible());
}

} // namespace
