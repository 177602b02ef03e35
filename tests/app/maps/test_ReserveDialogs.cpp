#include "maps/FormCoord.h"
#include "maps/FormNewGObj.h"
#include "maps/FormSectionLoc.h"
#include "maps/FormVisibility.h"
#include "maps/FrameCoord.h"
#include "maps/FrameGisLayer.h"

#include "gis/GArray.h"
#include "gis/GIS.h"

#include <QComboBox>
#include <QImage>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

TEST(ReserveDialogs, OkAndCancelCloseWithTheirResults)
{
  TFCoord coord;
  EXPECT_EQ(coord.windowTitle(), "Точка привязки");
  for (QComboBox* direction : {coord.Coords->CBvd, coord.Coords->CBSHNS})
    EXPECT_EQ(direction->currentText(), "Север");
  for (QComboBox* direction : {coord.Coords->CBgd, coord.Coords->CBDEW})
    EXPECT_EQ(direction->currentText(), "Восток");
  coord.Bok->click();
  EXPECT_EQ(coord.result(), 1);
  coord.Bcancel->click();
  EXPECT_EQ(coord.result(), 2);

  TFNewGObj newObject;
  EXPECT_EQ(newObject.windowTitle(), "Новый объект");
  EXPECT_EQ(newObject.Object(), nullptr);
  newObject.Bok->click();
  EXPECT_EQ(newObject.result(), 1);
  newObject.Bcancel->click();
  EXPECT_EQ(newObject.result(), 2);

  TFVisibility visibility;
  EXPECT_EQ(visibility.windowTitle(), "Отображаемые объекты");
  visibility.show();
  visibility.Bok->click();
  EXPECT_FALSE(visibility.isVisible());
  EXPECT_EQ(visibility.GisLayer->SGdata->rowCount(), 0);
}

TEST(SectionLocation, ClicksSetTheEndsAndTheLineIsDrawn)
{
  TFSectionLoc section;
  int changes = 0;
  QObject* sender = nullptr;
  section.SetOnChange([&](QObject* from) {
    ++changes;
    sender = from;
  });
  section.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&section));
  const QPoint plane = section.Plane->pos();
  QTest::mouseClick(&section, Qt::LeftButton, {}, plane + QPoint(10, 20));
  QTest::mouseClick(&section, Qt::RightButton, {}, plane + QPoint(110, 20));
  EXPECT_EQ(section.Start(), QPoint(10, 20));
  EXPECT_EQ(section.End(), QPoint(110, 20));
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(sender, &section);

  const QImage picture = section.grab().toImage();
  EXPECT_EQ(picture.pixelColor(plane + QPoint(60, 20)), QColor(Qt::black));
  EXPECT_EQ(picture.pixelColor(plane + QPoint(60, 60)), QColor(Qt::white));
  section.Bok->click();
  EXPECT_FALSE(section.isVisible());
}

class GisLayerTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    for (const char* name : {"a", "b"}) {
      auto array = std::make_unique<TGArray>(&gis, 1, 1, 0);
      array->SetName(name);
      ids.push_back(gis.AddObject(nullptr, std::move(array), true));
    }
    frame.SetGis(&gis);
    frame.resize(300, 200);
    // Shown from the last entry: rows a2, a1, type 7, type 5.
    frame.SetEntries({{TGisLayerEntry::ObjectType, 5, true},
                      {TGisLayerEntry::ObjectType, 7, true},
                      {TGisLayerEntry::Object, ids[0], true},
                      {TGisLayerEntry::Object, ids[1], false}});
  }

  std::vector<int> Codes() const
  {
    std::vector<int> codes;
    for (const TGisLayerEntry& entry : frame.Entries())
      codes.push_back(entry.Code);
    return codes;
  }

  void Select(int row) { frame.SGdata->selectRow(row); }

  TGIS gis;
  std::vector<int> ids;
  TFmGisLayer frame;
};

TEST_F(GisLayerTest, ToggleFlagsOfTheSelectedEntries)
{
  Select(0);
  frame.ToggleSelectedShown();
  EXPECT_TRUE(frame.Entries()[3].Shown);
  EXPECT_TRUE(frame.Entries()[2].Shown);
  EXPECT_TRUE(frame.SGdata->item(1, 2)->text().endsWith(": a"));
}

TEST_F(GisLayerTest, TypeRunAndMovesStopAtTheEnds)
{
  frame.SelectTypeRun(0);
  // Both arrays share their type code; the type entries do not.
  ASSERT_EQ(frame.SGdata->selectionModel()->selectedRows().size(), 2);
  frame.MoveSelection(5);
  EXPECT_EQ(Codes(), (std::vector<int>{ids[0], ids[1], 5, 7}));
  frame.MoveSelection(1);
  EXPECT_EQ(Codes(), (std::vector<int>{ids[0], ids[1], 5, 7}));
  frame.MoveSelection(-1);
  EXPECT_EQ(Codes(), (std::vector<int>{5, ids[0], ids[1], 7}));
}

} // namespace
