#include "data/Quantity.h"
#include "data/Stream.h"
#include "data/TagStream.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int Code = 20001;
constexpr int OtherCode = 20002;

struct Entry {
  int code;
  double position;
  double value;
};

struct LookupCase {
  const char *what;
  std::vector<Entry> table;
  int mode;
  double a, b;
  bool found;
  double value;
};

class ReperLookup : public testing::TestWithParam<LookupCase> {};

TEST_P(ReperLookup, FindsByMode)
{
  const LookupCase &c = GetParam();
  TQuantity q;
  for (const Entry &e : c.table)
    q.SetReperValue(e.value, e.code, e.position);
  q.lookupMode = c.mode;
  double value = -99;
  EXPECT_EQ(q.FindReperValue(value, Code, c.a, c.b), c.found) << c.what;
  EXPECT_DOUBLE_EQ(value, c.value) << c.what;
}

const std::vector<Entry> Spread = {
    {Code, 0, 10}, {OtherCode, 4.5, 77}, {Code, 10, 20}, {Code, 5, 33}, {Code, 2, 12}};
const std::vector<Entry> OnlyAbove = {{Code, 8, 80}, {OtherCode, 1, 11}};
const std::vector<Entry> OnlyBelow = {{Code, 1, 10}, {Code, 3, 30}, {OtherCode, 9, 90}};
const std::vector<Entry> AtMiddleOnly = {{Code, 5, 55}, {OtherCode, 1, 11}, {OtherCode, 9, 99}};

INSTANTIATE_TEST_SUITE_P(
    Modes, ReperLookup,
    testing::Values(
        LookupCase{"0: tie goes to the first entered", {{Code, 1, 100}, {Code, 3, 300}}, 0, 0, 4, true, 100},
        LookupCase{"0: tie, other order", {{Code, 3, 300}, {Code, 1, 100}}, 0, 0, 4, true, 300},
        LookupCase{"0: entry at b is outside", {{Code, 4, 400}}, 0, 0, 4, false, 0},
        LookupCase{"0: entry at a is inside", {{Code, 0, 7}}, 0, 0, 4, true, 7},
        LookupCase{"0: other code ignored", {{OtherCode, 2, 5}}, 0, 0, 4, false, 0},
        LookupCase{"1: nearest below", Spread, 1, 4, 6, true, 12},
        LookupCase{"1: none below keeps the inside result", OnlyAbove, 1, 7, 9, false, 80},
        LookupCase{"1: none below, nothing inside", OnlyAbove, 1, 4, 6, false, 0},
        LookupCase{"2: below exists", Spread, 2, 4, 6, true, 12},
        LookupCase{"2: else above", OnlyAbove, 2, 4, 6, true, 80},
        LookupCase{"2: neither, inside result", AtMiddleOnly, 2, 4, 6, true, 55},
        LookupCase{"2: neither, nothing inside", AtMiddleOnly, 2, 5, 5, false, 0},
        LookupCase{"3: nearest above", Spread, 3, 1, 3, true, 33},
        LookupCase{"3: none above", OnlyBelow, 3, 4, 6, false, 0},
        LookupCase{"4: above exists", Spread, 4, 1, 3, true, 33},
        LookupCase{"4: else below", OnlyBelow, 4, 4, 6, true, 30},
        LookupCase{"4: neither, inside result", AtMiddleOnly, 4, 4, 6, true, 55},
        LookupCase{"5: interpolation", {{Code, 0, 10}, {Code, 10, 20}}, 5, 4, 6, true, 15},
        LookupCase{"5: nearest neighbours only", Spread, 5, 3, 5, true, 12 + (33 - 12) / 3.0 * 2},
        LookupCase{"5: missing above", OnlyBelow, 5, 4, 6, false, 0},
        LookupCase{"6: interpolation", {{Code, 0, 10}, {Code, 10, 20}}, 6, 4, 6, true, 15},
        LookupCase{"6: else below", OnlyBelow, 6, 4, 6, true, 30},
        LookupCase{"6: else above", OnlyAbove, 6, 4, 6, true, 80},
        LookupCase{"6: neither, inside result", AtMiddleOnly, 6, 4, 6, true, 55},
        LookupCase{"6: neither, nothing inside", AtMiddleOnly, 6, 5, 5, false, 0},
        LookupCase{"unknown mode: inside only", Spread, 9, 4, 4.5, false, 0},
        LookupCase{"unknown mode: inside found", Spread, 9, 4, 6, true, 33}));

TEST(Quantity, EmptyTableFailsInEveryMode)
{
  TQuantity q;
  for (int mode = 0; mode <= 6; ++mode) {
    q.lookupMode = mode;
    double value = 5;
    EXPECT_FALSE(q.FindReperValue(value, Code, 0, 10)) << mode;
    EXPECT_EQ(value, 0.0);
  }
}

TEST(Quantity, SetReperValueReplacesExactPositionOnly)
{
  TQuantity q;
  q.SetReperValue(1, Code, 1.0);
  q.SetReperValue(2, Code, 1.0);
  EXPECT_EQ(q.CountReperValues(Code), 1);
  double v, p;
  ASSERT_TRUE(q.GetReperValue(0, Code, v, p));
  EXPECT_EQ(v, 2);
  q.SetReperValue(3, Code, 1.0000001);
  q.SetReperValue(4, OtherCode, 1.0);
  EXPECT_EQ(q.CountReperValues(Code), 2);
  ASSERT_TRUE(q.GetReperValue(1, Code, v, p));
  EXPECT_EQ(v, 3);
  EXPECT_EQ(p, 1.0000001);
  v = p = 9;
  EXPECT_FALSE(q.GetReperValue(2, Code, v, p));
  EXPECT_EQ(v, 0.0);
  EXPECT_EQ(p, 0.0);
  EXPECT_FALSE(q.GetReperValue(-1, Code, v, p));
  q.DeleteReperValues(Code);
  EXPECT_EQ(q.CountReperValues(Code), 0);
  EXPECT_EQ(q.CountReperValues(OtherCode), 1);
  q.ClearReperValues();
  EXPECT_TRUE(q.ReperValues().empty());
}

TEST(Quantity, SaveWritesGroup2000WithTableRecord)
{
  TQuantity q;
  q.SetCode(Code);
  q.SetReperValue(10, Code, 0.5);
  q.SetReperValue(20, Code, 1.5);
  q.SetReperValue(30, OtherCode, 2.5);
  q.lookupMode = ReperInterpolate;
  q.averagingFlag = 0;
  TMemoryStream stream;
  {
    TTagStream out(&stream, TagStreamWrite);
    q.Save(out);
    ASSERT_TRUE(out.Commit());
  }
  stream.SetPosition(0);
  TTagStream in(&stream, TagStreamRead);
  std::vector<int> ids;
  for (const auto &r : in.Records()) {
    EXPECT_EQ(r.group, 2000);
    ids.push_back(r.id);
  }
  EXPECT_EQ(ids, (std::vector<int>{0, 2, 3, 4}));
  in.SetGroup(2000);
  const TTagRecord *table = in.FindEntry(2, 0);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->data.size(), 4u + 60u);

  TQuantity back;
  back.SetReperValue(1, 1, 1); // replaced by the loaded table
  back.Load(in);
  EXPECT_EQ(back.GetCode(), Code);
  EXPECT_EQ(back.lookupMode, ReperInterpolate);
  EXPECT_EQ(back.averagingFlag, 0);
  ASSERT_EQ(back.ReperValues().size(), 3u);
  EXPECT_EQ(back.ReperValues()[1].position, 1.5);
  EXPECT_EQ(back.ReperValues()[1].value, 20);
  EXPECT_EQ(back.ReperValues()[2].code, OtherCode);
}

TEST(Quantity, LoadKeepsFieldsOfAbsentRecords)
{
  TMemoryStream stream;
  {
    TTagStream out(&stream, TagStreamWrite);
    out.SetGroup(2000);
    out.WriteInt(7);
    ASSERT_TRUE(out.Commit());
  }
  stream.SetPosition(0);
  TTagStream in(&stream, TagStreamRead);
  TQuantity q;
  q.lookupMode = 4;
  q.averagingFlag = 3;
  q.SetReperValue(1, Code, 1);
  q.Load(in);
  EXPECT_EQ(q.GetCode(), 7);
  EXPECT_EQ(q.lookupMode, 4);
  EXPECT_EQ(q.averagingFlag, 3);
  EXPECT_TRUE(q.ReperValues().empty());
}

} // namespace
