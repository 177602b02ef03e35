// Sized windows: their placement from the stored text, the defaults and the
// design, and the text they store.
#include "data/qt/RegistrySettings.h"
#include "base/FormSized.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TSizedDesign Design(bool sizeable = true, bool visible = false)
{
  TSizedDesign design;
  design.geometry = QRect(100, 80, 411, 392);
  design.sizeable = sizeable;
  design.visible = visible;
  return design;
}

struct TPlacementCase {
  const char* name;
  QString stored;
  TSizedDefaults defaults;
  bool sizeable;
  bool visible;
  QRect rect;
  bool shown;
  int showCmd;
};

class SizedPlacementTest : public ::testing::TestWithParam<TPlacementCase> {};

TEST_P(SizedPlacementTest, CombinesStoredDefaultAndDesignValues)
{
  const TPlacementCase& c = GetParam();
  TSizedPlacement p = ComputeSizedPlacement(c.stored, c.defaults, Design(c.sizeable, c.visible));
  EXPECT_EQ(p.placement.NormalRect(), c.rect);
  EXPECT_EQ(p.shown, c.shown);
  EXPECT_EQ(p.placement.showCmd, c.showCmd);
}

TSizedDefaults Args(int left, int top, int width, int height, int show)
{
  return TSizedDefaults{left, top, width, height, show};
}

INSTANTIATE_TEST_SUITE_P(
  Cases, SizedPlacementTest,
  ::testing::Values(
    TPlacementCase{"nothingStored", "", {}, true, false, QRect(100, 80, 411, 392), false, ShowNormal},
    TPlacementCase{"designVisible", "", {}, true, true, QRect(100, 80, 411, 392), true, ShowNormal},
    TPlacementCase{"allStored", "10,20,310,220,1,3,-1,-1,5,6,2", {}, true, false, QRect(10, 20, 300, 200), true,
                   ShowMaximized},
    TPlacementCase{"positionOnly", "10,20", {}, true, false, QRect(10, 20, 411, 392), false, ShowNormal},
    TPlacementCase{"fixedBorderKeepsDesignSize", "10,20,310,220,1,1", {}, false, false, QRect(10, 20, 411, 392),
                   true, ShowNormal},
    TPlacementCase{"hiddenStaysHidden", "10,20,310,220,0,1", {}, true, true, QRect(10, 20, 300, 200), false,
                   ShowNormal},
    TPlacementCase{"notANumber", "abc", {}, true, false, QRect(100, 80, 411, 392), false, ShowNormal},
    TPlacementCase{"stopsAtBadField", "10,x,30", {}, true, false, QRect(10, 80, 411, 392), false, ShowNormal},
    TPlacementCase{"defaultsWhenMissing", "", Args(5, 6, 50, 60, 2), true, true, QRect(5, 6, 50, 60), true, 2},
    TPlacementCase{"showZeroHides", "", Args(TSizedDefaults::DesignPosition, TSizedDefaults::DesignPosition, -1, -1, 0),
                   true, true, QRect(100, 80, 411, 392), false, 0}),
  [](const ::testing::TestParamInfo<TPlacementCase>& info) { return std::string(info.param.name); });

TEST(SizedPlacementText, ElevenNumbersInStoredOrder)
{
  TWindowPlacement p;
  p.SetNormalRect(QRect(1, 2, 30, 40));
  p.showCmd = 3;
  p.minX = 4;
  p.minY = 5;
  p.maxX = 6;
  p.maxY = 7;
  p.flags = 8;
  EXPECT_EQ(SizedPlacementText(p, true), "1,2,31,42,1,3,4,5,6,7,8");
  int numbers[11];
  EXPECT_EQ(ParseSizedNumbers(SizedPlacementText(p, false), numbers), 11);
  EXPECT_EQ(numbers[4], 0);
}

class TTestSized : public TFSized {
public:
  TTestSized(const QString& name, bool fixed) : TFSized(nullptr, name)
  {
    if (fixed)
      setFixedSize(200, 150);
    RestorePlacement();
  }
};

TEST(FormSized, PlacementIsStoredAndRestored)
{
  RegWriteSetting("FTestSized", "", "Windows");
  {
    TTestSized dialog("FTestSized", false);
    EXPECT_FALSE(dialog.isVisible());
    dialog.setGeometry(30, 40, 320, 240);
    dialog.show();
    EXPECT_TRUE(dialog.Shown());
  }
  EXPECT_EQ(RegReadSetting("FTestSized", "", "Windows").section(',', 0, 5), "30,40,350,280,1,1");
  {
    TTestSized dialog("FTestSized", false);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.geometry(), QRect(30, 40, 320, 240));
    dialog.hide();
    EXPECT_FALSE(dialog.Shown());
  }
  // Hidden at the end: placed but hidden at the next start.
  TTestSized dialog("FTestSized", false);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.geometry(), QRect(30, 40, 320, 240));
}

TEST(FormSized, FixedBorderKeepsItsDesignSizeAtTheStoredPosition)
{
  RegWriteSetting("FTestFixed", "15,25,515,425,0,1,-1,-1,-1,-1,0", "Windows");
  TTestSized dialog("FTestFixed", true);
  EXPECT_EQ(dialog.geometry(), QRect(15, 25, 200, 150));
  EXPECT_FALSE(dialog.isVisible());
}

} // namespace
