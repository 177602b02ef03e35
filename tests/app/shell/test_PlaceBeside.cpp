// Where the small tool windows go beside the window they serve.
#include "base/PlaceBeside.h"

#include <gtest/gtest.h>

namespace {

struct TPlaceCase {
  const char* what;
  QRect owner;
  QPoint expected;
};

const QRect Screen(0, 0, 1280, 1024);
const QSize Look(230, 77);

class PlaceBesideCases : public ::testing::TestWithParam<TPlaceCase> {};

TEST_P(PlaceBesideCases, StaysBesideAndOnTheScreen)
{
  const TPlaceCase& c = GetParam();
  const QPoint at = PlaceBeside(c.owner, Look, Screen);
  EXPECT_EQ(at, c.expected) << c.what;
  EXPECT_TRUE(Screen.contains(QRect(at, Look))) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Owners, PlaceBesideCases,
    ::testing::Values(TPlaceCase{"room on the right", QRect(100, 200, 400, 250), QPoint(500, 200)},
                      TPlaceCase{"at the right edge: to the left", QRect(900, 200, 380, 250), QPoint(670, 200)},
                      TPlaceCase{"as wide as the screen: over its top right corner", QRect(0, 0, 1280, 900),
                                 QPoint(1050, 0)},
                      TPlaceCase{"above the screen's top: brought down", QRect(100, -50, 400, 250), QPoint(500, 0)},
                      TPlaceCase{"near the bottom: lifted", QRect(100, 1000, 400, 250), QPoint(500, 947)}));

TEST(PlaceBeside, AWindowLargerThanTheScreenKeepsItsCornerOnIt)
{
  EXPECT_EQ(PlaceBeside(QRect(10, 10, 100, 100), QSize(2000, 2000), Screen), QPoint(0, 0));
}

} // namespace
