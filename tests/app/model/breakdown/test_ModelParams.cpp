#include "data/Stream.h"
#include "data/StreamPrimitives.h"
#include "model/breakdown/ModelParams.h"

#include <gtest/gtest.h>

namespace {

TMemoryStream PairsStream(int count, std::initializer_list<std::pair<int, double>> pairs) {
  TMemoryStream s;
  StreamWriteInt(s, count);
  for (const auto &[id, value] : pairs) {
    StreamWriteInt(s, id);
    StreamWriteDouble(s, value);
  }
  s.SetPosition(0);
  return s;
}

TEST(ModelParams, ValuesOfUnknownIdsAreDropped) {
  TModelParams params;
  auto s = PairsStream(1, {{7, 1.5}});
  params.Read(&s);
  EXPECT_EQ(params.Count(), 0);
}

TEST(ModelParams, RoundTripOfRegisteredValues) {
  TModelParams params;
  params.Add(3, 0.0);
  params.Add(9, 2.0);
  params.Add(3, 5.0); // already there: stays 0
  EXPECT_EQ(params.Count(), 2);
  auto s = PairsStream(3, {{9, -4.0}, {7, 1.5}, {3, 0.25}});
  params.Read(&s);
  EXPECT_EQ(params.Item(params.Find(3)).value, 0.25);
  EXPECT_EQ(params.Item(params.Find(9)).value, -4.0);
  TMemoryStream out;
  params.Write(out);
  EXPECT_EQ(out.GetSize(), 4 + 2 * 12);
  out.SetPosition(0);
  EXPECT_EQ(StreamReadInt(out), 2);
  EXPECT_EQ(StreamReadInt(out), 3);
  EXPECT_EQ(StreamReadDouble(out), 0.25);
}

TEST(ModelParams, DamagedOrMissingBlocksReadNothing) {
  TModelParams params;
  params.Add(1, 1.0);
  params.Read(nullptr);
  auto overlong = PairsStream(1000000, {{1, 8.0}});
  params.Read(&overlong);
  auto negative = PairsStream(-3, {{1, 8.0}});
  params.Read(&negative);
  TMemoryStream empty;
  params.Read(&empty);
  EXPECT_EQ(params.Item(0).value, 1.0);
  EXPECT_FALSE(params.SetValue(2, 1.0));
}

} // namespace
