// The map picture frame: corner, extent and name applied to one map or, with
// several selected, only as touched; the picture changed at once.
#include "MapsTestSupport.h"

#include "data/qt/RegistrySettings.h"
#include "gis/Bitmap.h"
#include "gis/GMap.h"
#include "maps/FrameCoord.h"
#include "maps/FrameMap.h"

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace mapstest;

namespace {

class FrameMapTest : public TMapsFixture {
protected:
  void SetUp() override
  {
    QImage white(2, 2, QImage::Format_RGB32);
    white.fill(Qt::white);
    // South-west corner (100, 200), 300 wide and 50 high.
    map = Add(std::make_unique<TGMap>(&gis, 0.1, 0.25, 0.3, -0.05, TBitmap::FromImage(white)), "Подложка", 100,
              250);
    map->SetWorldFarCorner(400, 200);
    gis.SetModified(false);
    gis.OnChange = [this](void*) { ++changes; };
  }
  void TearDown() override { gis.OnChange = nullptr; }

  void Corner(double& x, double& y) const
  {
    double top = 0;
    map->GetWorldXY(x, top);
    double farX = 0;
    map->GetWorldFarCorner(farX, y);
  }

  TGMap* map = nullptr;
  int changes = 0;
};

TEST_F(FrameMapTest, FillsTheSouthWestCornerAndTheExtent)
{
  TFmMap frame(map, false, nullptr);
  EXPECT_EQ(frame.Ecaption->text(), "Подложка");
  EXPECT_EQ(frame.Ew->text(), "300.0");
  EXPECT_EQ(frame.Eh->text(), "50.0");
  EXPECT_EQ(frame.Coord->Exx->text(), "100.0");
  EXPECT_EQ(frame.Coord->Eyy->text(), "200.0");
}

struct TMapCase {
  const char* name;
  bool editWidth;
  double farX;
};

class FrameMapMultipleTest : public FrameMapTest, public ::testing::WithParamInterface<TMapCase> {};

// A moved corner keeps an untouched width; an edited one counts from the new corner.
TEST_P(FrameMapMultipleTest, WidthFollowsTheCornerOnlyWhenUntouched)
{
  TFmMap frame(map, true, nullptr);
  frame.Coord->Exx->selectAll();
  QTest::keyClicks(frame.Coord->Exx, "150");
  if (GetParam().editWidth) {
    frame.Ew->selectAll();
    QTest::keyClicks(frame.Ew, "100");
  }
  frame.ApplyTo(*map);
  double x = 0, y = 0, farX = 0, farY = 0;
  Corner(x, y);
  map->GetWorldFarCorner(farX, farY);
  EXPECT_DOUBLE_EQ(x, 150);
  EXPECT_DOUBLE_EQ(farX, GetParam().farX);
  EXPECT_DOUBLE_EQ(map->GetWorldHeight() < 0 ? -map->GetWorldHeight() : map->GetWorldHeight(), 50);
  EXPECT_EQ(map->GetName(), "Подложка");
}

INSTANTIATE_TEST_SUITE_P(Widths, FrameMapMultipleTest,
                         ::testing::Values(TMapCase{"Untouched", false, 450}, TMapCase{"Edited", true, 250}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FrameMapTest, ANewPictureIsWrittenAtOnce)
{
  QTemporaryDir folder;
  QImage blue(3, 2, QImage::Format_RGB32);
  blue.fill(Qt::blue);
  const QString file = folder.filePath("map.bmp");
  ASSERT_TRUE(blue.save(file, "BMP"));
  const QString notAPicture = folder.filePath("map.txt");
  QFile text(notAPicture);
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("no picture");
  text.close();
  TFmMap frame(map, false, nullptr);
  calls.fileAnswers = {QString(), notAPicture, file};
  // A cancelled dialog changes nothing; a file that is no picture is reported.
  frame.SpeedButton1Click();
  frame.SpeedButton1Click();
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(map->GetBitmap()->Image().size(), QSize(2, 2));
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(calls.messages[0].caption, "Ошибка");
  frame.SpeedButton1Click();
  ASSERT_NE(map->GetBitmap(), nullptr);
  EXPECT_EQ(map->GetBitmap()->Image().size(), QSize(3, 2));
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(gis.IsModified());
  EXPECT_EQ(RegReadSetting("new obj", QString()), file);
  // A frame that outlived its map writes into nothing.
  gis.DeleteObject(nullptr, map, true);
  const int changesBefore = changes;
  gis.SetModified(false);
  calls.fileAnswers = {file};
  frame.SpeedButton1Click();
  EXPECT_EQ(changes, changesBefore);
  EXPECT_FALSE(gis.IsModified());
}

} // namespace
