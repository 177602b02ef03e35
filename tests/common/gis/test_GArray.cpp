// Regular arrays: grid set-up, values at points, profiles, area values,
// resampling and the stream record.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "GisTestSupport.h"
#include "data/SLine.h"
#include "data/Stream.h"
#include "data/TagStream.h"
#include "gis/GArray.h"
#include "gis/GIS.h"

namespace {

using gistest::ImageOf;
using gistest::LoadFrom;
using gistest::UnitArray;

TEST(RegularArray, NewArrayWithASize)
{
  TGArray array(nullptr, 3, 2, 20005);
  EXPECT_EQ(array.GetTypeCode(), ObjectTypeArray);
  EXPECT_EQ(array.GetCode(), 20005);
  EXPECT_EQ(array.GetCellCount(), 6);
  ASSERT_NE(array.GetData(), nullptr);
  for (int c = 0; c < 6; ++c)
    EXPECT_EQ(array.GetData()[c], 0.0);
  array.SetFarCorner(6, 4);
  EXPECT_DOUBLE_EQ(array.GetCellWidth(), 2.0);
  EXPECT_DOUBLE_EQ(array.GetCellHeight(), 2.0);
  EXPECT_EQ(array.averagingFlag, 1);
  EXPECT_TRUE(array.IsArray());
  EXPECT_EQ(array.GetTypeName(), "Массив");

  TGArray empty(nullptr);
  EXPECT_EQ(empty.GetData(), nullptr);
  EXPECT_EQ(empty.GetCellWidth(), 0.0);
}

TEST(RegularArray, ResizeToTheSameSizeKeepsTheBlock)
{
  TGArray array(nullptr, 3, 2, 0);
  const double* block = array.GetData();
  array.Resize(3, 2);
  EXPECT_EQ(array.GetData(), block);
}

TEST(RegularArray, ExtremesIgnoreMissingValues)
{
  auto array = UnitArray(nullptr, 3, 1, {5, 3, 1});
  EXPECT_EQ(array->GetDataMax(), 5);
  EXPECT_EQ(array->GetDataMin(), 1);
  const std::vector<double> missing(3, NoValue);
  array->SetData(missing.data());
  EXPECT_EQ(array->GetDataMax(), 0);
  EXPECT_EQ(array->GetDataMin(), 0);
}

TEST(RegularArray, CellLookupTruncatesTowardZero)
{
  auto array = UnitArray(nullptr, 4, 4, std::vector<double>(16, 1));
  EXPECT_EQ(array->CellIndexAt(-0.25 / 3, 0.1), 0);
  EXPECT_EQ(array->CellIndexAt(-0.25 * 1.5, 0.1), -1);
  EXPECT_EQ(array->CellIndexAt(0.6, 0.3), 1 * 4 + 2);
  EXPECT_EQ(array->CellIndexAt(1.0, 0.3), -1);
  EXPECT_EQ(array->CellIndexAt(NAN, 0.3), -1);
  double value = 7;
  EXPECT_FALSE(array->GetValueAt(2, 2, value));
  EXPECT_EQ(value, NoValue);

  double u, v;
  EXPECT_FALSE(array->GetCellPosition(-1, 2, u, v, true));
  EXPECT_EQ(u, 0);
  EXPECT_EQ(v, 4 - 1e-10);
}

TEST(RegularArray, BilinearInterpolationBetweenCellCentres)
{
  auto array = UnitArray(nullptr, 2, 2, {1, 2, 3, 4});
  const struct {
    double x, y, value;
    bool inside;
  } cases[] = {
      {0.5, 0.5, 2.5, true},   {0.25, 0.25, 1.0, true}, {0.75, 0.25, 2.0, true},
      {0.75, 0.75, 4.0, true}, {0.95, 0.95, 4.0, true}, // beyond the last centre: held
      {0.0, 0.25, 0.5, true},                           // before the first centre: extrapolated
      {-0.5, 0.25, 1.0, false},
  };
  for (const auto& c : cases) {
    double value = 0;
    EXPECT_EQ(array->InterpolateAt(c.x, c.y, value), c.inside) << c.x << "," << c.y;
    EXPECT_DOUBLE_EQ(value, c.value) << c.x << "," << c.y;
  }
}

TEST(RegularArray, InterpolationNextToAMissingValue)
{
  auto array = UnitArray(nullptr, 2, 2, {1, NoValue, 3, 4});
  double value = 0;
  EXPECT_TRUE(array->InterpolateAt(0.5, 0.5, value));
  EXPECT_EQ(value, NoValue);
  EXPECT_FALSE(array->InterpolateAt(1.5, 0.5, value));
  EXPECT_EQ(value, NoValue);
}

// A lattice one cell thick gives arrays with a single column or row; the
// interpolation then reads only that column or row.
TEST(RegularArray, InterpolationAlongASingleCellAxis)
{
  double value = 0;
  auto column = UnitArray(nullptr, 1, 3, {10, 20, 30});
  EXPECT_TRUE(column->InterpolateAt(0.9, 0.5, value));
  EXPECT_NEAR(value, 20, 1e-12);
  EXPECT_TRUE(column->InterpolateAt(0.1, 1.0 / 3, value));
  EXPECT_NEAR(value, 15, 1e-12);

  auto row = UnitArray(nullptr, 3, 1, {10, 20, 30});
  EXPECT_TRUE(row->InterpolateAt(2.0 / 3, 0.9, value));
  EXPECT_NEAR(value, 25, 1e-12);

  auto single = UnitArray(nullptr, 1, 1, {42});
  for (double p : {-1.0, 0.0, 0.3, 0.99, 5.0}) {
    single->InterpolateAt(p, p, value);
    EXPECT_EQ(value, 42) << p;
  }
  single->Resize(3, 2);
  for (int c = 0; c < 6; ++c)
    EXPECT_EQ(single->GetData()[c], 42);
}

TEST(RegularArray, ResizeResamplesAtTheNewCellCentres)
{
  auto array = UnitArray(nullptr, 2, 2, {1, 2, 3, 4});
  array->Resize(4, 4);
  EXPECT_EQ(array->GetCellCount(), 16);
  EXPECT_DOUBLE_EQ(array->GetCellWidth(), 0.25);
  EXPECT_DOUBLE_EQ(array->GetData()[0], 0.25);
  EXPECT_DOUBLE_EQ(array->GetData()[15], 4.0);
  EXPECT_DOUBLE_EQ(array->GetData()[1 * 4 + 1], 1.0 + 0.25 * 1 + 0.25 * 2);
}

TEST(RegularArray, NewWorldRectangleResamplesTheOldGrid)
{
  TGIS gis;
  gis.SetTransform(0, 0, 10, 10);
  auto array = UnitArray(&gis, 2, 2, {1, 2, 3, 4});
  array->SetWorldRect(0, 0, 5, 5);
  EXPECT_DOUBLE_EQ(array->GetDX(), 0.5);
  EXPECT_DOUBLE_EQ(array->GetDY(), 0.5);
  EXPECT_DOUBLE_EQ(array->GetCellWidth(), 0.25);
  EXPECT_DOUBLE_EQ(array->GetData()[0], 0.25);
  EXPECT_DOUBLE_EQ(array->GetData()[3], 1.75);

  TGArray empty(&gis);
  empty.SetWorldRect(1, 2, 3, 5);
  EXPECT_DOUBLE_EQ(empty.GetWorldWidth(), 2);
  EXPECT_DOUBLE_EQ(empty.GetWorldHeight(), 3);
}

TEST(RegularArray, MovingAnEdgeStretchesTheGrid)
{
  auto array = UnitArray(nullptr, 2, 2, {1, 2, 3, 4});
  array->SetOrigin(-1, 0);
  EXPECT_DOUBLE_EQ(array->GetCellWidth(), 1.0);
  array->SetDY(4);
  EXPECT_DOUBLE_EQ(array->GetCellHeight(), 2.0);
  EXPECT_EQ(array->GetData()[3], 4);
}

// Setting the whole rectangle at once stretches the grid like the edge setters:
// the cells follow the new extent and keep their values.
TEST(RegularArray, SettingTheRectangleStretchesTheGrid)
{
  auto array = UnitArray(nullptr, 2, 2, {1, 2, 3, 4});
  array->SetRelativeRect(1, 1, 5, 3);
  EXPECT_DOUBLE_EQ(array->GetCellWidth(), 2.0);
  EXPECT_DOUBLE_EQ(array->GetCellHeight(), 1.0);
  EXPECT_EQ(array->CellIndexAt(1.5, 1.5), 0);
  EXPECT_EQ(array->CellIndexAt(4.5, 2.5), 3);
  double value = 0;
  EXPECT_TRUE(array->GetValueAt(3.5, 1.5, value));
  EXPECT_EQ(value, 2);
  EXPECT_TRUE(array->InterpolateAt(4, 2.5, value));
  EXPECT_DOUBLE_EQ(value, 4);
  EXPECT_FALSE(array->GetValueAt(5.5, 2.5, value));
}

TEST(RegularArray, CellCentresInWorldCoordinates)
{
  TGIS gis;
  gis.SetTransform(100, 0, 200, -50);
  auto array = UnitArray(&gis, 4, 2, std::vector<double>(8, 0));
  double X, Y;
  array->GetCellCentreWorld(9, -3, X, Y);
  EXPECT_DOUBLE_EQ(X, 100 + 100 * 0.875);
  EXPECT_DOUBLE_EQ(Y, -50 * 0.25);
  EXPECT_DOUBLE_EQ(array->GetCellWorldWidth(), 25);
  EXPECT_DOUBLE_EQ(array->GetCellWorldHeight(), 25);
  EXPECT_DOUBLE_EQ(array->GetCellArea(), 625);
  double value;
  EXPECT_TRUE(array->GetValueAtWorld(110, -10, value));
}

TEST(RegularArray, ProfileModes)
{
  TGIS gis;
  gis.SetTransform(0, 0, 2, 1);
  std::vector<double> data(10);
  for (int i = 0; i < 10; ++i)
    data[i] = i;
  auto array = UnitArray(&gis, 10, 1, data);

  double X1 = 0.02 * 2, Y1 = 0.5, X2 = 0.98 * 2, Y2 = 0.5;
  int n = 100;
  std::vector<double> values, distances;
  ASSERT_TRUE(array->GetProfile(X1, Y1, X2, Y2, n, values, distances, ProfileCellCentres));
  EXPECT_DOUBLE_EQ(X1, 0.02);
  ASSERT_EQ(n, 10);
  ASSERT_EQ(values.size(), 10u);
  for (int k = 0; k < 10; ++k) {
    EXPECT_EQ(values[k], k);
    EXPECT_NEAR(distances[k], ((k + 0.5) * 0.1 - 0.02) * 2, 1e-12);
  }

  X1 = 0, Y1 = 0.5, X2 = 2, Y2 = 0.5;
  n = 4;
  ASSERT_TRUE(array->GetProfile(X1, Y1, X2, Y2, n, values, distances, ProfileCells));
  ASSERT_EQ(n, 5);
  EXPECT_EQ(values[1], 2);
  EXPECT_EQ(values[4], NoValue);
  EXPECT_DOUBLE_EQ(distances[4], 2.0);

  X1 = 0.1, Y1 = 0.5, X2 = 0.3, Y2 = 0.5;
  n = 2;
  ASSERT_TRUE(array->GetProfile(X1, Y1, X2, Y2, n, values, distances, ProfileInterpolated));
  EXPECT_DOUBLE_EQ(values[1], 0.5);
}

TEST(RegularArray, ProfileNeedsSamplesAndALength)
{
  auto array = UnitArray(nullptr, 2, 2, {1, 2, 3, 4});
  std::vector<double> values{1}, distances{1};
  for (int count : {0, -5}) {
    double X1 = 0, Y1 = 0, X2 = 1, Y2 = 1;
    int n = count;
    EXPECT_FALSE(array->GetProfile(X1, Y1, X2, Y2, n, values, distances, ProfileCells));
    EXPECT_TRUE(values.empty());
    EXPECT_TRUE(distances.empty());
  }
  double X1 = 0.5, Y1 = 0.5, X2 = 0.5, Y2 = 0.5;
  int n = 10;
  EXPECT_FALSE(array->GetProfile(X1, Y1, X2, Y2, n, values, distances, ProfileCells));
  EXPECT_EQ(n, 10);
  EXPECT_TRUE(values.empty());
}

TEST(RegularArray, AreaValueOfTheCellsInsideAnOutline)
{
  std::vector<double> data(25);
  for (int j = 0; j < 5; ++j)
    for (int i = 0; i < 5; ++i)
      data[j * 5 + i] = i + 10 * j;
  auto array = UnitArray(nullptr, 5, 5, data);
  TGRect outline(nullptr);
  outline.SetRelativeRect(0.3, 0.3, 0.7, 0.7);
  double area = 0;
  EXPECT_DOUBLE_EQ(array->GetAreaValue(outline, area), 22.0);
  EXPECT_NEAR(area, 9 * 0.04, 1e-12);

  array->averagingFlag = 0;
  EXPECT_DOUBLE_EQ(array->GetAreaValue(outline, area), 9 * 22.0);

  // A cell without a value covers area but leaves the mean alone.
  array->averagingFlag = 1;
  array->GetData()[2 * 5 + 2] = NoValue;
  EXPECT_DOUBLE_EQ(array->GetAreaValue(outline, area), 22.0);
  EXPECT_NEAR(area, 9 * 0.04, 1e-12);
}

TEST(RegularArray, ValueNamesFileTheArrayInTheBrowser)
{
  TGArray array(nullptr);
  array.SetName("Потенциал");
  EXPECT_EQ(array.GetTreePathLength(), 2);
  EXPECT_EQ(array.GetTreePathText(0), "Массивы");
  EXPECT_EQ(array.GetTreePathText(1), "Потенциал");
  const std::vector<std::string> names{"Поле", "Ex"};
  array.SetLevelNames(&names);
  EXPECT_EQ(array.GetTreePathLength(), 3);
  EXPECT_EQ(array.GetTreePathText(2), "Ex");
  EXPECT_EQ(array.GetTreePathText(3), "Потенциал");
  array.SetLevelNames(nullptr);
  EXPECT_EQ(array.GetLevelNames(), std::vector<std::string>{"Потенциал"});
}

TEST(RegularArray, FillClearAndOffset)
{
  auto array = UnitArray(nullptr, 2, 1, {1, 2});
  array->Fill(3);
  EXPECT_EQ(array->GetDataMin(), 3);
  EXPECT_EQ(array->GetDrawSettings().rangeMax, 3);
  array->AddOffset(1);
  EXPECT_EQ(array->GetData()[1], 4);
  EXPECT_EQ(array->GetDataMax(), 4);
  array->Clear();
  EXPECT_EQ(array->GetData()[0], 0);

  TGArray empty(nullptr);
  empty.Fill(5);
  EXPECT_EQ(empty.GetDataMax(), 0);
}

// --- stream record ---

TEST(RegularArrayRecord, SavedAndReadBackByteEqual)
{
  TGIS gis;
  auto array = UnitArray(&gis, 3, 2, {1, 2, NoValue, 4, 5, 6});
  array->SetName("Заряд");
  array->SetUnitText("Кл/м3");
  array->SetModelArrayKind(ModelArrayOutput);
  array->SetLevelScheme(LevelSchemeDecimal, 7, 50, 5, 3, 1, 2, 3);
  array->SetFillColors(0x112233, 0x445566);
  array->SetGrid(true, 0x00FF00);
  array->SetLabels(false, true, 200, 30, 2.0, 0.5);
  array->SetFillType(FillTwoTransparencies);
  array->BuildParams().fillMethod = FillKriging;
  array->BuildParams().fixedBoundary = true;
  array->SetOpaqueBlock({1, 2, 3});
  auto outline = std::make_unique<TSLine>();
  outline->SetCount(3);
  outline->Points()[1] = {0.5, 0.1, 0};
  outline->Points()[2] = {0.2, 0.9, 0};
  outline->SetClosed(true);
  array->SetClipOutline(std::move(outline));
  const std::vector<std::string> names{"a", "b"};
  array->SetLevelNames(&names);

  const std::vector<uint8_t> first = ImageOf(*array);
  TGArray copy(&gis);
  LoadFrom(copy, first);
  EXPECT_EQ(ImageOf(copy), first);
  EXPECT_EQ(copy.GetNX(), 3);
  EXPECT_EQ(copy.GetData()[2], NoValue);
  EXPECT_EQ(copy.GetUnitText(), "Кл/м3");
  EXPECT_EQ(copy.GetLevelCount(), array->GetLevelCount());
  EXPECT_EQ(copy.GetClipOutline()->Count(), 3);
  EXPECT_EQ(copy.BuildParams().fillMethod, FillKriging);
  EXPECT_DOUBLE_EQ(copy.GetCellWidth(), 1.0 / 3);
}

std::unique_ptr<TGObj> NewArray(TGIS* gis)
{
  return std::make_unique<TGArray>(gis);
}

TEST(RegularArrayRecord, TravelsInAProjectImageOfItsGis)
{
  TGIS gis;
  gis.RegisterObjectType(ObjectTypeArray, 7, "Массив", "Массивы", 0, 0, NewArray);
  auto array = UnitArray(&gis, 2, 2, {1, 2, 3, 4});
  array->SetName("Потенциал");
  gis.AddObject(nullptr, std::move(array), false);
  TMemoryStream image;
  ASSERT_TRUE(gis.SaveObjects(image));

  TGIS copy;
  copy.RegisterObjectType(ObjectTypeArray, 7, "Массив", "Массивы", 0, 0, NewArray);
  image.SetPosition(0);
  copy.LoadObjects(image);
  ASSERT_EQ(copy.GetObjectCount(), 1);
  auto* loaded = dynamic_cast<TGArray*>(copy.GetObject(0));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetName(), "Потенциал");
  EXPECT_EQ(loaded->GetData()[3], 4);
  EXPECT_EQ(loaded->GetLevelCount(), 11);
}

// Copies an image, replacing one record of group 402.
std::vector<uint8_t> WithArrayRecord(const std::vector<uint8_t>& bytes, int id, const std::vector<uint8_t>* data)
{
  TMemoryStream in(bytes);
  TTagStream source(&in, TagStreamRead);
  TMemoryStream out;
  TTagStream target(&out, TagStreamWrite);
  for (const TTagRecord& r : source.Records()) {
    if (r.group == TagGroup::Array && r.id == id && data == nullptr)
      continue;
    const std::vector<uint8_t>& payload = r.group == TagGroup::Array && r.id == id ? *data : r.data;
    target.SetGroup(r.group);
    target.WriteBuffer(payload.data(), static_cast<int32_t>(payload.size()), r.id);
  }
  target.Commit();
  return out.Bytes();
}

TEST(RegularArrayRecord, ValuesOfTheWrongSizeEmptyTheGrid)
{
  auto array = UnitArray(nullptr, 3, 2, {1, 2, 3, 4, 5, 6});
  const std::vector<uint8_t> image = ImageOf(*array);
  const std::vector<uint8_t> shorter(6 * 8 - 8, 0);
  for (const std::vector<uint8_t>* values : {&shorter, static_cast<const std::vector<uint8_t>*>(nullptr)}) {
    TGArray copy(nullptr, 5, 5, 0);
    LoadFrom(copy, WithArrayRecord(image, 2, values));
    EXPECT_EQ(copy.GetNX(), 0);
    EXPECT_EQ(copy.GetNY(), 0);
    EXPECT_EQ(copy.GetCellCount(), 0);
    EXPECT_EQ(copy.GetData(), nullptr);
    EXPECT_EQ(copy.GetDataMax(), 0);
  }
}

TEST(RegularArrayRecord, NegativeSizesAreNoGrid)
{
  auto array = UnitArray(nullptr, 2, 2, {1, 2, 3, 4});
  std::vector<uint8_t> minusTwo(4);
  const int32_t negative = -2;
  std::memcpy(minusTwo.data(), &negative, 4);
  TGArray copy(nullptr);
  LoadFrom(copy, WithArrayRecord(WithArrayRecord(ImageOf(*array), 0, &minusTwo), 1, &minusTwo));
  EXPECT_EQ(copy.GetCellCount(), 0);
  EXPECT_EQ(copy.GetData(), nullptr);
}

TEST(RegularArrayRecord, AZeroRangeTakesTheDataRangeAndAMissingTableIsRebuilt)
{
  auto array = UnitArray(nullptr, 2, 1, {-3, 8});
  array->SetRange(0, 0);
  array->SetLevelScheme(LevelSchemeStep, 10, 5, 1, 2, 4, 1, 2);
  const std::vector<uint8_t> emptyTable(4, 0);
  const std::vector<uint8_t> noTable = WithArrayRecord(ImageOf(*array), 5, &emptyTable);
  TGArray copy(nullptr);
  LoadFrom(copy, noTable);
  EXPECT_EQ(copy.GetDrawSettings().rangeMin, -3);
  EXPECT_EQ(copy.GetDrawSettings().rangeMax, 8);
  ASSERT_EQ(copy.GetLevelCount(), 11);
  EXPECT_EQ(copy.GetLevels()[0].value, -2);
  EXPECT_EQ(copy.GetLevels()[7].lineKind, ContourLineBold);
}

TEST(RegularArrayRecord, DamagedCountsAreReadWithoutOverflow)
{
  auto array = UnitArray(nullptr, 2, 1, {0, 1});
  std::vector<uint8_t> huge(8);
  const double big = 1e300;
  std::memcpy(huge.data(), &big, 8);
  const std::vector<uint8_t> emptyTable(4, 0);
  std::vector<uint8_t> image = WithArrayRecord(ImageOf(*array), 5, &emptyTable);
  for (int id : {23, 24, 45, 46})
    image = WithArrayRecord(image, id, &huge);
  TGArray copy(nullptr);
  LoadFrom(copy, image);
  EXPECT_GE(copy.GetLevelCount(), 1);
}

TEST(RegularArrayRecord, ReloadingGeometryKeepsTheDrawingSettings)
{
  auto source = UnitArray(nullptr, 4, 1, {1, 2, 3, 4});
  source->SetName("новое");
  const std::vector<uint8_t> image = ImageOf(*source);

  auto target = UnitArray(nullptr, 2, 2, {0, 0, 0, 0});
  target->SetGrid(true, 0x123456);
  target->SetFillType(FillHatching);
  TMemoryStream memory(image);
  TTagStream stream(&memory, TagStreamRead);
  target->LoadGeometry(stream);
  EXPECT_EQ(target->GetNX(), 4);
  EXPECT_EQ(target->GetNY(), 1);
  EXPECT_EQ(target->GetData()[3], 4);
  EXPECT_EQ(target->GetDataMax(), 4);
  EXPECT_EQ(target->GetName(), "новое");
  EXPECT_DOUBLE_EQ(target->GetCellWidth(), 0.25);
  EXPECT_EQ(target->GetDrawSettings().gridColor, 0x123456u);
  EXPECT_EQ(target->GetFillType(), FillHatching);
}

} // namespace
