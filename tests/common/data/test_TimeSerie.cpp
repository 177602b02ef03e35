#include "data/Stream.h"
#include "data/TagStream.h"
#include "data/TimeSerie.h"
#include "data/TimeSeries.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

struct Point {
  double t, v;
};

std::vector<Point> Points(const TTimeSerie &s)
{
  std::vector<Point> out;
  for (int i = 0; i < s.GetCount(); ++i) {
    Point p;
    s.GetPoint(i, p.t, p.v);
    out.push_back(p);
  }
  return out;
}

// Integral of the polyline through the points between a and b (inside it).
double PolylineArea(const std::vector<Point> &line, double a, double b)
{
  double area = 0;
  for (size_t i = 1; i < line.size(); ++i) {
    double t0 = std::max(a, line[i - 1].t), t1 = std::min(b, line[i].t);
    if (t1 <= t0)
      continue;
    auto at = [&](double t) {
      return line[i - 1].v + (line[i].v - line[i - 1].v) * (t - line[i - 1].t) / (line[i].t - line[i - 1].t);
    };
    area += (at(t0) + at(t1)) * 0.5 * (t1 - t0);
  }
  return area;
}

TEST(TimeSerie, UnboundedSeriesGrowsBy500)
{
  TTimeSerie s;
  EXPECT_FALSE(s.bounded);
  for (int i = 0; i < 1200; ++i)
    s.Add(i, i * 2.0);
  EXPECT_EQ(s.GetCapacity(), 1500);
  ASSERT_EQ(s.GetCount(), 1200);
  double t, v;
  ASSERT_TRUE(s.GetPoint(1199, t, v));
  EXPECT_EQ(t, 1199);
  EXPECT_EQ(v, 2398);
}

TEST(TimeSerie, TheSmallestBoundedSeriesKeepTheirPoints)
{
  struct Case {
    int capacity;
    std::vector<Point> kept;
  } cases[] = {{1, {{4, -4}}}, {2, {{3, -3}, {4, -4}}}, {3, {{3, -3}, {4, -4}}}};
  for (const Case& c : cases) {
    TTimeSerie s(c.capacity);
    for (int i = 0; i < 5; ++i)
      s.Add(i, -i);
    const std::vector<Point> p = Points(s);
    ASSERT_EQ(p.size(), c.kept.size()) << c.capacity;
    for (size_t i = 0; i < p.size(); ++i) {
      EXPECT_EQ(p[i].t, c.kept[i].t) << c.capacity << " " << i;
      EXPECT_EQ(p[i].v, c.kept[i].v) << c.capacity << " " << i;
    }
  }
}

TEST(TimeSerie, BoundedSeriesThinsToHalfKeepingEnds)
{
  TTimeSerie s(500);
  EXPECT_TRUE(s.bounded);
  for (int i = 0; i < 499; ++i)
    s.Add(i, -i);
  EXPECT_EQ(s.GetCount(), 499);
  s.Add(499, -499);
  EXPECT_EQ(s.GetCapacity(), 500);
  ASSERT_EQ(s.GetCount(), 251);
  std::vector<Point> p = Points(s);
  EXPECT_EQ(p.front().t, 0);
  EXPECT_EQ(p[249].t, 498);
  EXPECT_EQ(p[249].v, -498);
  EXPECT_EQ(p[250].t, 499);
  for (size_t i = 1; i < 250; ++i)
    EXPECT_EQ(p[i].t, 2.0 * i);
  EXPECT_EQ(s.step, 0.0); // mode 1 keeps no grid

  // Many more samples: the first and the latest always survive.
  for (int i = 500; i < 5000; ++i)
    s.Add(i, -i);
  p = Points(s);
  EXPECT_LT(s.GetCount(), 500);
  EXPECT_EQ(p.front().t, 0);
  EXPECT_EQ(p.back().t, 4999);
  for (size_t i = 1; i < p.size(); ++i)
    EXPECT_LT(p[i - 1].t, p[i].t);
}

TEST(TimeSerie, StepModeSkipsSamplesWithinMinimumStep)
{
  TTimeSerie s(10);
  s.mode = TimeSerieStep;
  // Before any reduction the step is 0: only samples earlier than the last
  // stored point are skipped.
  s.Add(0, 1);
  s.Add(1, 1);
  s.Add(0.5, 1);
  s.Add(1, 2);
  EXPECT_EQ(s.GetCount(), 3);
  for (int i = 2; i < 9; ++i)
    s.Add(i, i);
  // count 8 at t = 7; t = 8 triggers the reduction to 5 points over 0..7.
  ASSERT_GT(s.step, 0.0);
  EXPECT_DOUBLE_EQ(s.minimumStep, s.step * 0.9999999999);
  int before = s.GetCount();
  double last, v;
  s.GetPoint(before - 1, last, v);
  s.Add(last + s.step * 0.5, 9);
  EXPECT_EQ(s.GetCount(), before);
  s.Add(last + s.step, 10);
  EXPECT_EQ(s.GetCount(), before + 1);
}

struct ValueAtCase {
  double time;
  double value;
};

class TimeSerieValueAt : public testing::TestWithParam<ValueAtCase> {};

TEST_P(TimeSerieValueAt, InterpolatesAndHoldsEnds)
{
  TTimeSerie s;
  s.Add(1, 10);
  s.Add(3, 30);
  s.Add(3, 50);
  s.Add(4, 0);
  EXPECT_DOUBLE_EQ(s.ValueAt(GetParam().time), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Cases, TimeSerieValueAt,
                         testing::Values(ValueAtCase{0, 10}, ValueAtCase{1, 10}, ValueAtCase{2, 20},
                                         ValueAtCase{3, 50}, ValueAtCase{3.5, 25}, ValueAtCase{4, 0},
                                         ValueAtCase{9, 0}));

TEST(TimeSerie, ValueAtOfOneOrNoPoint)
{
  TTimeSerie empty;
  EXPECT_EQ(empty.ValueAt(5), 0.0);
  TTimeSerie one;
  one.Add(2, 7);
  for (double t : {-10.0, 2.0, 100.0})
    EXPECT_EQ(one.ValueAt(t), 7);
}

TEST(TimeSerie, GetPointOutOfRange)
{
  TTimeSerie s;
  s.Add(1, 2);
  double t = 5, v = 5;
  EXPECT_FALSE(s.GetPoint(1, t, v));
  EXPECT_EQ(t, 0.0);
  EXPECT_EQ(v, 0.0);
  t = v = 5;
  EXPECT_FALSE(s.GetPoint(-1, t, v));
  EXPECT_EQ(t, 0.0);
}

TEST(TimeSerie, CapacityAndClear)
{
  TTimeSerie s(20);
  s.Add(1, 1);
  s.SetCapacity(0);
  EXPECT_FALSE(s.bounded);
  EXPECT_EQ(s.GetCapacity(), 20);
  s.SetCapacity(30);
  EXPECT_TRUE(s.bounded);
  EXPECT_EQ(s.GetCount(), 1);
  s.Clear();
  EXPECT_EQ(s.GetCount(), 0);
  EXPECT_EQ(s.GetCapacity(), 0);
  EXPECT_TRUE(s.bounded);
  s.Add(1, 1); // a bounded series without room stores nothing
  EXPECT_EQ(s.GetCount(), 0);
}

TEST(TimeSerie, AveragingBeforeAGridStoresSamples)
{
  // Without a grid (step 0) there is nothing to average on: samples are kept.
  TTimeSerie s(20);
  s.mode = TimeSerieAverage;
  for (int i = 0; i < 9; ++i)
    s.Add(i, i * 3.0);
  std::vector<Point> p = Points(s);
  ASSERT_EQ(p.size(), 9u);
  for (size_t i = 0; i < p.size(); ++i) {
    EXPECT_EQ(p[i].t, static_cast<double>(i));
    EXPECT_EQ(p[i].v, 3.0 * i);
    EXPECT_TRUE(std::isfinite(p[i].v));
  }
}

// A bounded averaging series of capacity 20 fed a ramp at t = 0..17 and 20,
// so that its first reduction lays a grid of step 1 on sample times.
TTimeSerie AveragingSeriesOnGrid(std::vector<Point> &input)
{
  TTimeSerie s(20);
  s.mode = TimeSerieAverage;
  for (int i = 0; i < 18; ++i)
    s.Add(i, i);
  s.Add(20, 20);
  // The next sample resamples 19 points to 10 over 0..20 (h = 2): the ramp is
  // kept at 0, 2, ..., 16; the point of 18 (19, from the integral taken
  // linearly between the stored times 17 and 20) moves to 20.
  s.Add(21.5, 21);
  input = {{20, 19}, {21.5, 21}};
  return s;
}

TEST(TimeSerie, AveragingStoresTheAreaUnderTheSamples)
{
  std::vector<Point> input;
  TTimeSerie s = AveragingSeriesOnGrid(input);
  ASSERT_DOUBLE_EQ(s.step, 1.0);
  std::vector<Point> p = Points(s);
  ASSERT_EQ(p.size(), 11u);
  for (size_t i = 0; i < 9; ++i) {
    EXPECT_DOUBLE_EQ(p[i].t, 2.0 * i);
    EXPECT_NEAR(p[i].v, 2.0 * i, 1e-12);
  }
  EXPECT_EQ(p[9].t, 20);
  EXPECT_NEAR(p[9].v, 19, 1e-12);
  // The line from (20, 19) to (21.5, 21) is worth 19 + 4/3 at the grid time 21.
  EXPECT_DOUBLE_EQ(p[10].t, 21);
  EXPECT_NEAR(p[10].v, 19 + 4.0 / 3, 1e-12);

  // Irregular samples, some closer than a step: every new grid interval
  // carries the area that the samples had over it.
  const Point more[] = {{22.0, 19}, {22.3, 25}, {23.4, 10}, {24.0, 12}, {24.2, 30}, {25.9, 5}};
  for (const Point &m : more) {
    s.Add(m.t, m.v);
    input.push_back(m);
  }
  p = Points(s);
  ASSERT_EQ(p.size(), 15u);
  for (size_t i = 10; i < p.size(); ++i) {
    EXPECT_NEAR(p[i].t, 11.0 + i, 1e-12);
    double trapezoid = (p[i - 1].v + p[i].v) * 0.5 * (p[i].t - p[i - 1].t);
    EXPECT_NEAR(trapezoid, PolylineArea(input, p[i - 1].t, p[i].t), 1e-9) << p[i].t;
  }
}

TEST(TimeSerie, ResamplingKeepsTheArea)
{
  TTimeSerie s(21);
  s.mode = TimeSerieAllResampled;
  std::vector<Point> input;
  auto feed = [&](double t) {
    double v = std::sin(t) * 3 + static_cast<int>(t) % 5;
    s.Add(t, v);
    input.push_back({t, v});
  };
  for (int i = 0; i < 19; ++i)
    feed(i);
  feed(20);
  feed(21); // reduces 20 points to 10 over 0..20 first (h = 2)
  std::vector<Point> p = Points(s);
  ASSERT_EQ(p.size(), 11u);
  for (size_t i = 1; i < 9; ++i) {
    EXPECT_DOUBLE_EQ(p[i].t, 2.0 * i);
    double trapezoid = (p[i - 1].v + p[i].v) * 0.5 * 2;
    EXPECT_NEAR(trapezoid, PolylineArea(input, p[i - 1].t, p[i].t), 1e-9) << i;
  }
  EXPECT_EQ(p[9].t, 20);
  EXPECT_EQ(p[10].t, 21);
  EXPECT_EQ(s.step, 0.0); // mode 3 keeps no grid
}

TTimeSerie FilledSerie()
{
  TTimeSerie s("Ток", "генератора", 3, 1e300, 3600, 0);
  s.mode = TimeSerieStep;
  s.quantityId = 17;
  s.objectId = 4;
  s.objectType = 403;
  s.name = "Модель";
  for (int i = 0; i < 7; ++i)
    s.Add(i * 0.25, i * i);
  s.accumulator = 1.5;
  return s;
}

void ExpectSame(const TTimeSerie &a, const TTimeSerie &b)
{
  EXPECT_EQ(a.quantityId, b.quantityId);
  EXPECT_EQ(a.objectId, b.objectId);
  EXPECT_EQ(a.objectType, b.objectType);
  EXPECT_EQ(a.name, b.name);
  EXPECT_EQ(a.bounded, b.bounded);
  EXPECT_EQ(a.mode, b.mode);
  EXPECT_EQ(a.shiftLength, b.shiftLength);
  EXPECT_EQ(a.extraValue, b.extraValue);
  EXPECT_EQ(a.firstCaption, b.firstCaption);
  EXPECT_EQ(a.secondCaption, b.secondCaption);
  EXPECT_EQ(a.accumulator, b.accumulator);
  EXPECT_EQ(a.lastTime, b.lastTime);
  EXPECT_EQ(a.lastValue, b.lastValue);
  EXPECT_EQ(a.groupTag, b.groupTag);
  ASSERT_EQ(a.GetCount(), b.GetCount());
  std::vector<Point> pa = Points(a), pb = Points(b);
  for (size_t i = 0; i < pa.size(); ++i) {
    EXPECT_EQ(pa[i].t, pb[i].t);
    EXPECT_EQ(pa[i].v, pb[i].v);
  }
}

TEST(TimeSerie, TaggedImageRoundTrip)
{
  TTimeSerie s = FilledSerie();
  TMemoryStream stream;
  {
    TTagStream out(&stream, TagStreamWrite);
    s.Save(out);
    ASSERT_TRUE(out.Commit());
  }
  stream.SetPosition(0);
  TTagStream in(&stream, TagStreamRead);
  TTimeSerie back;
  back.Load(in);
  ExpectSame(s, back);
  EXPECT_EQ(back.GetCapacity(), 7);
  EXPECT_DOUBLE_EQ(back.step, 1.5 / 7); // (last - first) / capacity in mode 0
}

TEST(TimeSerie, CountWithoutItsPointsLoadsEmpty)
{
  struct Case {
    bool writeTimes;
    int valuesWritten;
  };
  for (Case c : {Case{false, 5}, Case{true, 3}, Case{true, 0}}) {
    TMemoryStream stream;
    {
      TTagStream out(&stream, TagStreamWrite);
      out.SetGroup(7001);
      out.WriteInt(1);
      out.WriteInt(2);
      out.WriteInt(3);
      out.WriteString("x");
      out.WriteInt(5);
      std::vector<double> data(5, 1.0);
      if (c.writeTimes)
        out.WriteBuffer(data.data(), 40, 5);
      if (c.valuesWritten > 0)
        out.WriteBuffer(data.data(), 8 * c.valuesWritten, 6);
      out.WriteBool(true, 7);
      out.WriteInt(2);
      ASSERT_TRUE(out.Commit());
    }
    stream.SetPosition(0);
    TTagStream in(&stream, TagStreamRead);
    TTimeSerie s;
    s.Add(0, 0);
    s.Load(in);
    EXPECT_EQ(s.GetCount(), 0);
    EXPECT_EQ(s.quantityId, 1);
    EXPECT_TRUE(s.bounded);
    EXPECT_EQ(s.mode, 2); // later fields keep their ids
    EXPECT_EQ(s.step, 0.0);
  }
}

TEST(TimeSerie, HugeStoredCountDoesNotAllocate)
{
  TMemoryStream stream;
  {
    TTagStream out(&stream, TagStreamWrite);
    out.SetGroup(7001);
    out.WriteInt(0, 4);
    out.WriteInt(0x7fffffff, 4);
    ASSERT_TRUE(out.Commit());
  }
  stream.SetPosition(0);
  TTagStream in(&stream, TagStreamRead);
  TTimeSerie s;
  s.Load(in);
  EXPECT_EQ(s.GetCount(), 0);
  EXPECT_EQ(s.GetCapacity(), 0);
}

TEST(TimeSerie, PackedImageRoundTrip)
{
  TTimeSerie s = FilledSerie();
  std::vector<uint8_t> bytes(static_cast<size_t>(s.PackedSize()));
  // Texts are stored in the 8-bit code page: one byte per Cyrillic letter.
  EXPECT_EQ(s.PackedSize(), 88 + 16 * 7 + 6 + 3 + 10);
  uint8_t *cursor = bytes.data();
  s.Pack(cursor);
  EXPECT_EQ(cursor, bytes.data() + bytes.size());
  TMemoryStream stream(bytes);
  TTimeSerie back(3);
  back.Unpack(stream);
  ExpectSame(s, back);
  EXPECT_EQ(stream.GetPosition(), stream.GetSize());
}

TEST(TimeSerie, DamagedPackedImages)
{
  TTimeSerie s = FilledSerie();
  std::vector<uint8_t> good(static_cast<size_t>(s.PackedSize()));
  uint8_t *cursor = good.data();
  s.Pack(cursor);
  auto putInt = [](std::vector<uint8_t> &b, size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i)
      b[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
  };

  // Size beyond the stream: a read error, nothing allocated.
  std::vector<uint8_t> tooLong = good;
  putInt(tooLong, 0, 0x7ffffff0);
  TMemoryStream a(tooLong);
  TTimeSerie ta;
  EXPECT_THROW(ta.Unpack(a), EStreamError);

  // Size below the version field.
  std::vector<uint8_t> tiny = good;
  putInt(tiny, 0, 3);
  TMemoryStream b(tiny);
  EXPECT_THROW(ta.Unpack(b), EStreamError);

  // A count larger than the image holds: the image is skipped.
  std::vector<uint8_t> bigCount = good;
  const size_t countAt = 4 + 4 + 12 + 4 + 7; // after size, version, ids, name
  putInt(bigCount, countAt, 100000);
  TMemoryStream c(bigCount);
  TTimeSerie tc;
  tc.Unpack(c);
  EXPECT_EQ(tc.GetCount(), 0);
  EXPECT_EQ(tc.quantityId, 0);
  EXPECT_EQ(c.GetPosition(), c.GetSize());

  // Another version is consumed and skipped.
  std::vector<uint8_t> version2 = good;
  putInt(version2, 4, 2);
  version2.push_back(0xAB);
  TMemoryStream d(version2);
  TTimeSerie td;
  td.Unpack(d);
  EXPECT_EQ(td.quantityId, 0);
  EXPECT_EQ(d.GetPosition(), static_cast<int64_t>(good.size()));
}

std::unique_ptr<TTimeSerie> NumberedSerie(int i)
{
  auto s = std::make_unique<TTimeSerie>(0);
  s->quantityId = 5 + i % 7;
  s->objectId = i;
  s->objectType = 403;
  s->name = "объект " + std::to_string(i);
  s->groupTag = 1 + i % 2;
  for (int k = 0; k < i % 4; ++k)
    s->Add(k, i + k);
  return s;
}

struct ListCase {
  int count;
  int expectedImages; // tagged images before the rest of the stream
  bool packedTail;
};

class TimeSeriesList : public testing::TestWithParam<ListCase> {};

TEST_P(TimeSeriesList, SavesInItsFormatAndLoadsBack)
{
  const ListCase &c = GetParam();
  TTimeSeries list(500);
  for (int i = 0; i < c.count; ++i)
    list.Add(NumberedSerie(i));
  TMemoryStream stream;
  list.Save(&stream);

  // Count the tagged images at the head of the stream.
  stream.SetPosition(0);
  int images = 0, format = 0;
  {
    TTagStream header(&stream, TagStreamRead);
    header.SetGroup(7002);
    EXPECT_EQ(header.ReadInt(-1), c.count);
    format = header.ReadInt(0);
    ++images;
  }
  EXPECT_EQ(format, c.packedTail ? 2 : 1);
  if (!c.packedTail)
    while (stream.Remaining() > 0) {
      TTagStream image(&stream, TagStreamRead);
      ++images;
    }
  EXPECT_EQ(images, c.expectedImages);
  if (c.packedTail) {
    int64_t packed = 0;
    for (int i = 0; i < list.Count(); ++i)
      packed += list.Item(i)->PackedSize();
    EXPECT_EQ(stream.Remaining(), packed);
  }

  stream.SetPosition(0);
  TTimeSeries back(500);
  back.Add(NumberedSerie(99));
  back.Load(&stream);
  ASSERT_EQ(back.Count(), c.count);
  for (int i = 0; i < c.count; ++i)
    ExpectSame(*list.Item(i), *back.Item(i));
  EXPECT_EQ(stream.Remaining(), 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, TimeSeriesList,
                         testing::Values(ListCase{0, 1, false}, ListCase{3, 4, false},
                                         ListCase{199, 200, false}, ListCase{200, 1, true},
                                         ListCase{203, 1, true}));

TEST(TimeSeries, NullStreams)
{
  TTimeSeries list;
  list.Add(NumberedSerie(1));
  list.Save(nullptr);
  list.Load(nullptr);
  EXPECT_EQ(list.Count(), 0);
}

TEST(TimeSeries, DamagedCountStopsAtTheEndOfTheStream)
{
  TMemoryStream stream;
  {
    TTagStream header(&stream, TagStreamWrite);
    header.SetGroup(7002);
    header.WriteInt(0x7fffffff);
    header.WriteInt(1);
    ASSERT_TRUE(header.Commit());
  }
  stream.SetPosition(0);
  TTimeSeries list;
  list.Load(&stream);
  EXPECT_EQ(list.Count(), 0);
}

TEST(TimeSeries, GetFindAndAddPoint)
{
  TTimeSeries list(50);
  TSeriesObject model{-1, 405, "Модель"};
  TSeriesObject other{7, 403, "Массив"};
  EXPECT_EQ(list.Get(5, nullptr, true), nullptr);
  EXPECT_EQ(list.Get(5, &model, false), nullptr);
  TTimeSerie *s = list.Get(5, &model, true);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->objectId, -1);
  EXPECT_EQ(s->objectType, 405);
  EXPECT_EQ(s->name, "Модель");
  EXPECT_EQ(s->GetCapacity(), 50);
  EXPECT_TRUE(s->bounded);
  s->Add(1, 2);
  EXPECT_EQ(list.Get(5, &model, true), s);
  EXPECT_EQ(s->GetCount(), 1);
  EXPECT_EQ(list.Count(), 1);

  list.AddPoint(6, &other, 0.5, 3);
  list.AddPoint(6, &other, 1.5, 4);
  list.AddPoint(6, nullptr, 1.5, 4);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Find(6, 7)->GetCount(), 2);
  EXPECT_EQ(list.Find(6, 8), nullptr);
  EXPECT_EQ(list.FindByName(6, 403, "Массив"), list.Item(1));
  EXPECT_EQ(list.FindByName(6, 403, "массив"), nullptr);
  EXPECT_EQ(list.Item(2), nullptr);
  EXPECT_EQ(list.Item(-1), nullptr);

  list.SetCapacity(80);
  EXPECT_EQ(list.Item(0)->GetCapacity(), 80);
  EXPECT_EQ(list.DefaultCapacity(), 80);
  list.Remove(list.Item(0));
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Item(0)->quantityId, 6);
}

TEST(TimeSeries, ClearByGroupTag)
{
  TTimeSeries list;
  for (int i = 0; i < 6; ++i)
    list.Add(NumberedSerie(i)); // tags alternate 1, 2
  list.Clear(2);
  ASSERT_EQ(list.Count(), 3);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(list.Item(i)->groupTag, 1);
  list.Clear(0);
  EXPECT_EQ(list.Count(), 0);
}

} // namespace
