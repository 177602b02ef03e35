#include "maps/FrameCoord.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>

#include <gtest/gtest.h>

namespace {

class FrameCoordTest : public ::testing::Test {
protected:
  TFmCoord frame;
  double x = -1;
  double y = -1;
};

TEST_F(FrameCoordTest, StartsRelativeInMetres)
{
  EXPECT_EQ(frame.GetCoordKind(), TFmCoord::KindRelative);
  EXPECT_EQ(frame.PageControl->currentWidget(), frame.TSdec);
  EXPECT_EQ(frame.LEx->text(), "м");
  EXPECT_FALSE(frame.Etype->isVisibleTo(&frame));
  EXPECT_FALSE(frame.IsEdited());
}

TEST_F(FrameCoordTest, KindOutsideTheRangeKeepsTheKindButTakesTheUnits)
{
  frame.SetCoordType(TFmCoord::KindRectangular, "км");
  frame.SetCoordType(7, "ft");
  EXPECT_EQ(frame.GetCoordKind(), TFmCoord::KindRectangular);
  EXPECT_EQ(frame.PageControl->currentWidget(), frame.TSrect);
  EXPECT_EQ(frame.LEx->text(), "ft");
  EXPECT_EQ(frame.LEy->text(), "ft");
}

TEST_F(FrameCoordTest, RelativeKindSplitsTheSigns)
{
  frame.SetPosition(-120, 35);
  EXPECT_EQ(frame.Ex->text(), "120.0");
  EXPECT_EQ(frame.CBgd->currentText(), "Запад");
  EXPECT_EQ(frame.Ey->text(), "35.0");
  EXPECT_EQ(frame.CBvd->currentText(), "Север");
  frame.GetPosition(x, y);
  EXPECT_EQ(x, -120);
  EXPECT_EQ(y, 35);
  // Read back from the texts as the user left them.
  frame.Ex->setText("120,5");
  frame.CBvd->setCurrentIndex(1);
  emit frame.CBvd->activated(1);
  frame.GetPosition(x, y);
  EXPECT_EQ(x, -120.5);
  EXPECT_EQ(y, -35);
}

TEST_F(FrameCoordTest, RectangularKind)
{
  frame.SetCoordType(TFmCoord::KindRectangular, "м");
  frame.SetPosition(-12.25, 7);
  EXPECT_EQ(frame.Exx->text(), "-12.3");
  EXPECT_EQ(frame.Eyy->text(), "7.0");
  frame.Exx->setText("4.5");
  frame.Eyy->setText("x");
  frame.GetPosition(x, y);
  EXPECT_EQ(x, 4.5);
  EXPECT_EQ(y, 0);  // not a number reads as 0
}

TEST_F(FrameCoordTest, GeographicKindInDegreesMinutesAndSeconds)
{
  frame.SetCoordType(TFmCoord::KindGeographic, "м");
  frame.SetPosition(83.5125, -0.5);
  EXPECT_EQ(frame.Edg->text(), "83.0");
  EXPECT_EQ(frame.Edm->text(), "30.0");
  EXPECT_EQ(frame.Eds->text(), "45.0");
  EXPECT_EQ(frame.CBDEW->currentText(), "Восток");
  EXPECT_EQ(frame.CBSHNS->currentText(), "Юг");
  EXPECT_EQ(frame.Eshg->text(), "0.0");
  EXPECT_EQ(frame.Eshm->text(), "30.0");
  EXPECT_EQ(frame.Eshs->text(), "0.0");
  // Typing the same texts again reads them back.
  frame.Eds->setText("45.0");
  frame.Eshs->setText("0");
  frame.GetPosition(x, y);
  EXPECT_DOUBLE_EQ(x, 83.5125);
  EXPECT_DOUBLE_EQ(y, -0.5);
}

TEST_F(FrameCoordTest, WestOfTheMeridian)
{
  frame.SetCoordType(TFmCoord::KindGeographic, "м");
  frame.SetPosition(-0.5, 10);
  EXPECT_EQ(frame.CBDEW->currentText(), "Запад");
  EXPECT_EQ(frame.Edg->text(), "0.0");
  EXPECT_EQ(frame.Edm->text(), "30.0");
  EXPECT_EQ(frame.Eds->text(), "0.0");
}

TEST_F(FrameCoordTest, TypingSetsTheEditedFlagAndSetPositionClearsIt)
{
  frame.SetPosition(1, 2);
  EXPECT_FALSE(frame.IsEdited());
  frame.Ey->setText("3");
  EXPECT_TRUE(frame.IsEdited());
  frame.SetPosition(1, 2);
  EXPECT_FALSE(frame.IsEdited());
  emit frame.CBgd->activated(1);
  EXPECT_TRUE(frame.IsEdited());
}

TEST_F(FrameCoordTest, MultipleGreysTheCaptionUntilTheFirstEdit)
{
  frame.SetPosition(1, 2);
  frame.SetMultiple(true);
  EXPECT_TRUE(frame.IsCaptionGreyed());
  frame.SetPosition(3, 4);
  EXPECT_TRUE(frame.IsCaptionGreyed());
  frame.Ex->setText("5");
  EXPECT_FALSE(frame.IsCaptionGreyed());
  frame.SetMultiple(false);
  EXPECT_FALSE(frame.IsCaptionGreyed());
}

// Positions of a million metres and more show in exponent form and the one
// decimal cuts the rest; untouched coordinates must not drift through that text.
struct TDriftCase {
  int kind;
  double x;
  double y;
};

class FrameCoordDrift : public FrameCoordTest, public ::testing::WithParamInterface<TDriftCase> {};

TEST_P(FrameCoordDrift, UntouchedCoordinatesComeBackExactly)
{
  frame.SetCoordType(GetParam().kind, "м");
  frame.SetPosition(GetParam().x, GetParam().y);
  for (int apply = 0; apply < 3; ++apply) {
    frame.GetPosition(x, y);
    EXPECT_EQ(x, GetParam().x);
    EXPECT_EQ(y, GetParam().y);
    frame.SetPosition(x, y);
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, FrameCoordDrift,
                         ::testing::Values(TDriftCase{TFmCoord::KindRelative, 1234567.891, -0.123456},
                                           TDriftCase{TFmCoord::KindRectangular, 98765432.123, 0.05},
                                           TDriftCase{TFmCoord::KindGeographic, 83.51234567, -56.0000001}));

TEST_F(FrameCoordTest, EditingOneCoordinateKeepsTheOtherExact)
{
  frame.SetPosition(1234567.891, 0.123456);
  frame.Ex->setText("10");
  frame.GetPosition(x, y);
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 0.123456);
}

}  // namespace
