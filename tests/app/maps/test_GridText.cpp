#include "maps/GridText.h"

#include <gtest/gtest.h>

namespace {

struct TRowEndCase {
  const char* name;
  const char* text;
};

class GridTextRowEnds : public ::testing::TestWithParam<TRowEndCase> {};

TEST_P(GridTextRowEnds, TwoRowsOfTwoCellsComeOutAlike)
{
  const TGridTextRows expected{{"1", "2"}, {"3", "4"}};
  EXPECT_EQ(ParseGridText(GetParam().text), expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Styles, GridTextRowEnds,
                         ::testing::Values(TRowEndCase{"CR LF", "1\t2\r\n3\t4\r\n"},
                                           TRowEndCase{"LF", "1\t2\n3\t4\n"},
                                           TRowEndCase{"CR", "1\t2\r3\t4\r"},
                                           TRowEndCase{"LF CR", "1\t2\n\r3\t4\n\r"},
                                           TRowEndCase{"CR LF, last row open", "1\t2\r\n3\t4"},
                                           TRowEndCase{"LF, last row open", "1\t2\n3\t4"},
                                           TRowEndCase{"CR, last row open", "1\t2\r3\t4"},
                                           TRowEndCase{"LF CR, last row open", "1\t2\n\r3\t4"}));

TEST(GridText, LineFeedAloneEndsALineAlsoWhenACarriageReturnFollowsLater)
{
  // The first LF stands alone; the later CR LF pair ends the second line.
  const TGridTextRows expected{{"a"}, {"b"}, {"c"}};
  EXPECT_EQ(ParseGridText("a\nb\r\nc"), expected);
}

TEST(GridText, CellsAtTabs)
{
  EXPECT_EQ(CutGridCells("a\t"), (TGridTextRow{"a"}));
  EXPECT_EQ(CutGridCells("a\t\tb"), (TGridTextRow{"a", "", "b"}));
  EXPECT_EQ(CutGridCells(""), (TGridTextRow{""}));
  EXPECT_EQ(CutGridCells("\t"), (TGridTextRow{""}));
}

TEST(GridText, EmptyLinesAreOneEmptyCellAndATrailingBreakAddsNoRow)
{
  const TGridTextRows expected{{"1"}, {""}, {"2"}};
  EXPECT_EQ(ParseGridText("1\n\n2\n"), expected);
  EXPECT_TRUE(ParseGridText("").empty());
  EXPECT_EQ(ParseGridText("\n"), (TGridTextRows{{""}}));
}

TEST(GridText, RowsJoinWithTabsAndALineFeed)
{
  EXPECT_EQ(JoinGridTextRow({"1", "2"}, true), "1\t2\n");
  EXPECT_EQ(JoinGridTextRow({""}, true), "\n");
}

TEST(GridText, LineFeedsInCellsBecomeBlanksWhileCarriageReturnsStay)
{
  EXPECT_EQ(JoinGridTextRow({"a\nb", "c\rd"}, true), "a b\tc\rd\n");
  EXPECT_EQ(JoinGridTextRow({"a\nb"}, false), "a\nb\n");
}

}  // namespace
