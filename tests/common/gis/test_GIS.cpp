#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "GisTestSupport.h"
#include "data/TagStream.h"
#include "gis/BitGIS.h"

using namespace gistest;

namespace {

struct Event {
  std::string kind;
  void* sender;
  int32_t id;
  bool operator==(const Event&) const = default;
};

// A GIS that knows every type and records its events.
class GisTest : public testing::Test {
protected:
  void SetUp() override
  {
    RegisterAllTypes(gis);
    Listen(gis);
  }

  void Listen(TGIS& g)
  {
    g.OnChange = [this](void* sender) { events.push_back({"change", sender, 0}); };
    g.OnGeoChange = [this](void* sender) { events.push_back({"geo", sender, 0}); };
    g.OnObjectAdded = [this](void* sender, int32_t id) { events.push_back({"added", sender, id}); };
    g.OnObjectDeleted = [this](void* sender, int32_t id) { events.push_back({"deleted", sender, id}); };
  }

  template <class T>
  T* Add(bool removable = true)
  {
    auto object = std::make_unique<T>(&gis);
    T* raw = object.get();
    gis.AddObject(nullptr, std::move(object), removable);
    return raw;
  }

  TTestArray* AddArray(int32_t type, double x, double y, double dx, double dy, bool removable = false)
  {
    auto object = std::make_unique<TTestArray>(&gis, type);
    object->SetRelativeRect(x, y, x + dx, y + dy);
    TTestArray* raw = object.get();
    gis.AddObject(nullptr, std::move(object), removable);
    return raw;
  }

  // The GIS reports its clearing while it is destroyed: the log must outlive it.
  std::vector<Event> events;
  int senderTag = 0;
  TGIS gis;
};

} // namespace

// --- ids and events ----------------------------------------------------------------

TEST_F(GisTest, IdsCountFromOneAndRestartAfterClear)
{
  EXPECT_EQ(gis.AddObject(&senderTag, std::make_unique<TGMark>(&gis), true), 1);
  EXPECT_EQ(gis.AddObject(nullptr, std::make_unique<TGMark>(&gis), true), 2);
  EXPECT_EQ(gis.GetObject(0)->GetOwner(), &gis);
  gis.Clear();
  EXPECT_EQ(gis.GetObjectCount(), 0);
  EXPECT_EQ(gis.AddObject(nullptr, std::make_unique<TGMark>(&gis), true), 1);
  const std::vector<Event> expected = {
      {"added", &senderTag, 1}, {"added", nullptr, 2}, {"change", nullptr, 0}, {"added", nullptr, 1}};
  EXPECT_EQ(events, expected);
}

TEST_F(GisTest, AddingAtAnIndexAndAtAWorldPoint)
{
  gis.SetTransform(100, 200, 300, 600);
  TGMark* first = Add<TGMark>();
  auto second = std::make_unique<TGReper>(nullptr);
  TGReper* reper = second.get();
  gis.AddObjectAt(nullptr, std::move(second), 150, 400, false, 0);
  EXPECT_EQ(gis.GetObject(0), reper);
  EXPECT_EQ(gis.GetObject(1), first);
  EXPECT_EQ(reper->GetOwner(), &gis);
  EXPECT_FALSE(reper->IsRemovable());
  EXPECT_DOUBLE_EQ(reper->GetX(), 0.25);
  EXPECT_DOUBLE_EQ(reper->GetY(), 0.5);
}

TEST_F(GisTest, UnforcedDeleteSparesObjectsThatAreNotRemovable)
{
  TGMark* kept = Add<TGMark>(false);
  events.clear();
  gis.SetModified(false);
  EXPECT_FALSE(gis.DeleteObject(&senderTag, kept, false));
  EXPECT_TRUE(gis.ContainsObject(kept));
  EXPECT_TRUE(events.empty());
  EXPECT_FALSE(gis.IsModified());

  EXPECT_TRUE(gis.DeleteObject(&senderTag, kept, true));
  EXPECT_EQ(gis.GetObjectCount(), 0);
  EXPECT_TRUE(gis.IsModified());
  EXPECT_EQ(events, (std::vector<Event>{{"deleted", &senderTag, 1}}));
}

TEST_F(GisTest, DeleteByIdFindsOnlyExistingRemovableObjects)
{
  Add<TGMark>();
  Add<TGMark>(false);
  events.clear();
  EXPECT_FALSE(gis.DeleteObjectById(nullptr, 7, true));
  EXPECT_FALSE(gis.DeleteObjectById(nullptr, 2, false));
  EXPECT_TRUE(gis.DeleteObjectById(nullptr, 1, false));
  EXPECT_EQ(gis.GetObjectCount(), 1);
  EXPECT_EQ(gis.GetObject(0)->GetId(), 2);
  EXPECT_EQ(events, (std::vector<Event>{{"deleted", nullptr, 1}}));
}

TEST_F(GisTest, DestructionClearsAndReportsTheChange)
{
  int changes = 0;
  {
    TGIS doomed;
    doomed.AddObject(nullptr, std::make_unique<TGMark>(&doomed), true);
    doomed.OnChange = [&changes](void*) { ++changes; };
  }
  EXPECT_EQ(changes, 1);
}

// --- queries -----------------------------------------------------------------------------

TEST_F(GisTest, FindingObjects)
{
  TGMark* unnamed = Add<TGMark>();
  TGMark* mark = Add<TGMark>();
  mark->SetName("Скважина");
  TGReper* reper = Add<TGReper>();
  reper->SetName("Скважина");

  EXPECT_EQ(gis.FindObjectByName("", ObjectTypeMark), nullptr) << "an empty name matches nothing";
  EXPECT_EQ(unnamed->GetName(), "");
  EXPECT_EQ(gis.FindObjectByName("Скважина", ObjectTypeMark), mark);
  EXPECT_EQ(gis.FindObjectByName("Скважина", ObjectTypeReper), reper);
  EXPECT_EQ(gis.FindObjectByName("скважина", ObjectTypeMark), nullptr);

  EXPECT_EQ(gis.FindObjectById(3), reper);
  EXPECT_EQ(gis.FindObjectById(4), nullptr);
  EXPECT_EQ(gis.FindObjectByIdAndType(2, ObjectTypeMark), mark);
  EXPECT_EQ(gis.FindObjectByIdAndType(2, ObjectTypeReper), nullptr);
  EXPECT_EQ(gis.GetObjectOfType(1, ObjectTypeMark), mark);
  EXPECT_EQ(gis.GetObjectOfType(2, ObjectTypeMark), nullptr);
  EXPECT_EQ(gis.CountObjectsOfType(ObjectTypeMark), 2);
  EXPECT_EQ(gis.GetObject(-1), nullptr);
  EXPECT_EQ(gis.GetObject(3), nullptr);
}

TEST_F(GisTest, ArraysAreFoundByQuantityCodeAndPoint)
{
  Add<TGMark>()->SetCode(10001);
  TTestArray* plan3d = AddArray(ObjectTypeArray3D, 0, 0, 1, 1);
  plan3d->SetCode(10001);
  TTestArray* plan = AddArray(ObjectTypeArray, 0, 0, 0.5, 0.5);
  plan->SetCode(10001);
  gis.SetTransform(0, 0, 10, 10);

  EXPECT_EQ(gis.FindArrayByCode(10001), plan3d);
  EXPECT_EQ(gis.FindArrayByCode(20000), nullptr);
  EXPECT_EQ(gis.FindArrayAt(10001, 5, 5), plan) << "the border counts as inside";
  EXPECT_EQ(gis.FindArrayAt(10001, 5.001, 1), nullptr) << "only plane arrays, only inside";
}

TEST_F(GisTest, TypeRegistry)
{
  EXPECT_EQ(gis.GetTypeCount(), 8);
  EXPECT_EQ(gis.GetTypeCode(2), ObjectTypeMark);
  EXPECT_EQ(gis.GetTypeCode(8), 0);
  EXPECT_EQ(gis.GetTypeCode(-1), 0);
  EXPECT_EQ(gis.GetTypeImage(ObjectTypeMap), 6);
  EXPECT_EQ(gis.GetTypePluralName(ObjectTypeReper), "Реперы");
  EXPECT_EQ(gis.GetTypeColor(ObjectTypeMark), 0xFF0000u);
  EXPECT_EQ(gis.GetTypeImage(999), 0);
  EXPECT_EQ(gis.GetTypeName(999), "");
  EXPECT_EQ(gis.GetTypeColor(999), 0xFFFFFFu);
  EXPECT_EQ(gis.CreateObject(999), nullptr);
  EXPECT_EQ(gis.CreateObject(ObjectTypeMark)->GetTypeCode(), ObjectTypeMark);

  // Flag bit 0 lists the point, the reper and the rectangle, in registration order.
  ASSERT_EQ(gis.GetFlaggedTypeCount(), 3);
  int32_t code;
  std::string name;
  gis.GetFlaggedType(1, code, name);
  EXPECT_EQ(code, ObjectTypeReper);
  EXPECT_EQ(name, "Репер");
  gis.GetFlaggedType(3, code, name);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(name, "");
  EXPECT_TRUE(gis.TypeFlagBit1(ObjectTypeReper));
  EXPECT_FALSE(gis.TypeFlagBit1(ObjectTypePoint));
  EXPECT_FALSE(gis.TypeFlagBit1(999));
}

TEST_F(GisTest, RegisteredNamesKeepAtMost255Characters)
{
  std::string longName;
  for (int i = 0; i < 300; ++i)
    longName += "ж";
  gis.RegisterObjectType(900, 0, longName, "x", 0, 0, nullptr);
  const std::string kept = gis.GetTypeName(900);
  EXPECT_EQ(kept.size(), 255u * 2) << "255 Cyrillic letters of two bytes each";
  EXPECT_EQ(gis.CreateObject(900), nullptr) << "a type without a factory creates nothing";
}

// --- coordinates ------------------------------------------------------------------------

TEST_F(GisTest, GeoReferenceFromTwoPoints)
{
  ASSERT_TRUE(gis.SetGeoReference(0, 0, 0, 0, 1, 1, 10, 20, CoordGeographic));
  EXPECT_DOUBLE_EQ(gis.GetX0(), 0);
  EXPECT_DOUBLE_EQ(gis.GetX1(), 10);
  EXPECT_DOUBLE_EQ(gis.GetY0(), 0);
  EXPECT_DOUBLE_EQ(gis.GetY1(), 20);
  EXPECT_TRUE(gis.IsGeoreferenced());
  EXPECT_TRUE(gis.IsModified());
  EXPECT_EQ(events, (std::vector<Event>{{"geo", nullptr, 0}}));
  EXPECT_EQ(gis.CoordinateText(0.5, 0.5), "10.0с : 5.0в");
  EXPECT_EQ(gis.CoordinateText(0, 0), "0.0ю : 0.0з");
  EXPECT_EQ(gis.CoordinateText(-0.25, -0.5), "10.0ю : 2.5з");

  // Reference points (0.2, 0.1) -> (7, -3) and (0.6, 0.9) -> (15, 13).
  ASSERT_TRUE(gis.SetGeoReference(0.2, 0.1, 7, -3, 0.6, 0.9, 15, 13, CoordRectangular));
  double X, Y;
  gis.RelativeToWorld(0.6, 0.9, X, Y);
  EXPECT_NEAR(X, 15, 1e-12);
  EXPECT_NEAR(Y, 13, 1e-12);
  EXPECT_EQ(gis.CoordinateText(0.2, 0.1), "7.0:-3.0");
  gis.SetCoordKind(5);
  EXPECT_EQ(gis.CoordinateText(0.2, 0.1), "не определены");
}

TEST_F(GisTest, GeoReferenceRefusesPointsThatShareAnAxis)
{
  events.clear();
  EXPECT_FALSE(gis.SetGeoReference(0.5, 0, 0, 0, 0.5, 1, 10, 20, CoordRectangular));
  EXPECT_FALSE(gis.SetGeoReference(0, 0.5, 0, 0, 1, 0.5, 10, 20, CoordRectangular));
  EXPECT_DOUBLE_EQ(gis.GetX1(), 1);
  EXPECT_FALSE(gis.IsGeoreferenced());
  EXPECT_TRUE(events.empty());
}

TEST(GisCoordinates, RelativeAndWorldRoundTrip)
{
  struct Case {
    const char* what;
    double x0, y0, x1, y1, z0, z1;
  };
  const Case cases[] = {
      {"identity", 0, 0, 1, 1, 0, 1},
      {"lattice plan in metres", 0, 0, 0.101, 0.05, 0, 0.02},
      {"rectangular, far from the origin", 5.4e6, 6.1e6, 5.4e6 + 2500, 6.1e6 + 1800, -50, 300},
      {"geographic degrees, south and west", -70.5, -33.2, -70.1, -33.6, 0, -1},
  };
  const double points[][3] = {{0, 0, 0}, {1, 1, 1}, {0.3, 0.7, 0.25}, {-2, 5, 3.5}};
  for (const Case& c : cases) {
    TGIS gis;
    gis.SetTransform(c.x0, c.y0, c.x1, c.y1, c.z0, c.z1);
    for (const auto& p : points) {
      double X, Y, u, v;
      gis.RelativeToWorld(p[0], p[1], X, Y);
      gis.WorldToRelative(X, Y, u, v);
      EXPECT_NEAR(u, p[0], 1e-9) << c.what;
      EXPECT_NEAR(v, p[1], 1e-9) << c.what;
      double w = p[2];
      gis.RelativeToWorldZ(w);
      EXPECT_NEAR(w, c.z0 + (c.z1 - c.z0) * p[2], 1e-9 * std::max(1.0, std::fabs(w))) << c.what;
      gis.WorldToRelativeZ(w);
      EXPECT_NEAR(w, p[2], 1e-9) << c.what;
    }
  }
}

TEST(GisCoordinates, ObjectWorldGeometry)
{
  TGIS gis;
  gis.SetTransform(100, 50, 300, -50, 10, 30); // y runs south
  auto owned = std::make_unique<TGModelRect>(&gis);
  TGModelRect& area = *owned;
  gis.AddObject(nullptr, std::move(owned), true);
  area.SetRelativeRect(0.25, 0.5, 0.75, 1.0);
  area.SetZ(0.5);
  area.SetDZ(0.25);
  EXPECT_DOUBLE_EQ(area.GetWorldX(), 150);
  EXPECT_DOUBLE_EQ(area.GetWorldY(), 0);
  EXPECT_DOUBLE_EQ(area.GetWorldZ(), 20);
  EXPECT_DOUBLE_EQ(area.GetWorldWidth(), 100);
  EXPECT_DOUBLE_EQ(area.GetWorldHeight(), -50) << "negative when y1 < y0";
  EXPECT_DOUBLE_EQ(area.GetWorldDepth(), 5);
  double X1, Y1, X2, Y2;
  area.GetWorldBounds(X1, Y1, X2, Y2);
  EXPECT_DOUBLE_EQ(Y1, -50);
  EXPECT_DOUBLE_EQ(Y2, 0);

  gis.SetModified(false);
  area.SetWorldWidth(50);
  EXPECT_TRUE(gis.IsModified());
  EXPECT_DOUBLE_EQ(area.GetDX(), 0.25);
  EXPECT_DOUBLE_EQ(area.GetDY(), 0.5) << "the height stays";
  area.SetWorldHeight(-25);
  EXPECT_DOUBLE_EQ(area.GetDY(), 0.25);
  area.SetWorldX(200);
  EXPECT_DOUBLE_EQ(area.GetX(), 0.5);
  EXPECT_DOUBLE_EQ(area.GetY(), 0.5);
  area.SetWorldDepth(10);
  EXPECT_DOUBLE_EQ(area.GetDZ(), 0.5);
  area.SetWorldRect(100, 50, 300, -50);
  EXPECT_DOUBLE_EQ(area.GetX(), 0);
  EXPECT_DOUBLE_EQ(area.GetY(), 0);
  EXPECT_DOUBLE_EQ(area.GetDX(), 1);
  EXPECT_DOUBLE_EQ(area.GetDY(), 1);
}

// --- extent and model area ---------------------------------------------------------------

TEST_F(GisTest, ExtentWithoutObjectsIsTheUnitSquare)
{
  gis.SetExtentFromModelArea(false);
  double x1, y1, x2, y2;
  gis.GetRelativeExtent(x1, y1, x2, y2);
  EXPECT_EQ((std::vector<double>{x1, y1, x2, y2}), (std::vector<double>{0, 0, 1, 1}));
}

TEST_F(GisTest, ExtentOfAllObjectsWhenNotTakenFromTheModelArea)
{
  gis.SetExtentFromModelArea(false);
  Add<TGMark>()->SetXY(-1, 2);
  AddArray(ObjectTypeArray, 0.5, 0.5, 3, -1);
  double x1, y1, x2, y2;
  gis.GetRelativeExtent(x1, y1, x2, y2);
  EXPECT_EQ((std::vector<double>{x1, y1, x2, y2}), (std::vector<double>{-1, -0.5, 3.5, 2}));
}

TEST_F(GisTest, WorldExtentCreatesTheModelAreaOnce)
{
  gis.SetTransform(0, 0, 2, 4);
  TTestArray* array = AddArray(ObjectTypeArray, 0.25, 0.5, 0.5, 0.25);
  array->SetZ(0.1);
  array->SetDZ(0.3);
  events.clear();

  double x1, y1, x2, y2;
  gis.GetWorldExtent(x1, y1, x2, y2);
  EXPECT_EQ((std::vector<double>{x1, y1, x2, y2}), (std::vector<double>{0.5, 2, 1.5, 3}));
  ASSERT_EQ(gis.GetObjectCount(), 2);
  TGObj* area = gis.GetObject(1);
  EXPECT_EQ(area->GetTypeCode(), ObjectTypeModelRect);
  EXPECT_EQ(area->GetId(), -1);
  EXPECT_EQ(area->GetName(), "Область моделирования");
  EXPECT_FALSE(area->IsRemovable());
  EXPECT_DOUBLE_EQ(area->GetZ(), 0.1);
  EXPECT_DOUBLE_EQ(area->GetDZ(), 0.3);
  EXPECT_EQ(events, (std::vector<Event>{{"added", nullptr, 2}}));

  gis.GetWorldExtent(x1, y1, x2, y2);
  EXPECT_EQ(gis.GetObjectCount(), 2);
  EXPECT_EQ(events.size(), 1u);
  EXPECT_EQ(gis.EnsureModelArea(), area);
}

TEST_F(GisTest, WorldExtentKeepsTheCornersInRelativeOrder)
{
  gis.SetExtentFromModelArea(false);
  gis.SetTransform(0, 100, 10, 0); // north up: y falls as v grows
  Add<TGMark>()->SetXY(0.25, 0.25);
  Add<TGMark>()->SetXY(0.75, 0.5);
  double x1, y1, x2, y2;
  gis.GetWorldExtent(x1, y1, x2, y2);
  EXPECT_EQ((std::vector<double>{x1, y1, x2, y2}), (std::vector<double>{2.5, 75, 7.5, 50}));
}

TEST_F(GisTest, ModelAreaComesFromThePlaneArrayBeforeTheSolidOne)
{
  AddArray(ObjectTypeArray3D, 0, 0, 1, 1);
  AddArray(ObjectTypeArray, 0.2, 0.2, 0.1, 0.1);
  TGObj* area = gis.EnsureModelArea();
  ASSERT_NE(area, nullptr);
  EXPECT_DOUBLE_EQ(area->GetX(), 0.2);
  EXPECT_DOUBLE_EQ(area->GetDX(), 0.1);

  TGIS empty;
  empty.AddObject(nullptr, std::make_unique<TGMark>(&empty), true);
  EXPECT_EQ(empty.EnsureModelArea(), nullptr);
  double x1, y1, x2, y2;
  empty.GetRelativeExtent(x1, y1, x2, y2);
  EXPECT_EQ((std::vector<double>{x1, y1, x2, y2}), (std::vector<double>{0, 0, 1, 1}));
}

TEST_F(GisTest, FittingMovesArraysAndMapsOnly)
{
  gis.SetTransform(0, 0, 10, 10);
  TTestArray* array = AddArray(ObjectTypeArray, 0, 0, 1, 1);
  TGMark* mark = Add<TGMark>();
  mark->SetXY(0.5, 0.5);
  TGMap* map = Add<TGMap>();
  gis.FitArraysToRect(2, 3, 6, 8);
  for (TGObj* fitted : {static_cast<TGObj*>(array), static_cast<TGObj*>(map)}) {
    EXPECT_DOUBLE_EQ(fitted->GetX(), 0.2);
    EXPECT_DOUBLE_EQ(fitted->GetY(), 0.3);
    EXPECT_DOUBLE_EQ(fitted->GetDX(), 0.4);
    EXPECT_DOUBLE_EQ(fitted->GetDY(), 0.5);
  }
  EXPECT_DOUBLE_EQ(mark->GetX(), 0.5);
}

TEST_F(GisTest, DeletingOutsideSparesRoundingAndKeptObjects)
{
  // A typed area whose relative image does not round-trip exactly.
  gis.SetTransform(0, 0, 0.101, 0.101);
  const double X1 = 0.0067, Y1 = 0.0424, X2 = 0.0913, Y2 = 0.0705;
  TTestArray* modelArray = AddArray(ObjectTypeArray, 0, 0, 1, 1, false);
  TGMark* inside = Add<TGMark>();
  inside->SetWorldXY(0.05, 0.05);
  TGMark* onTheEdgeAfterFitting = Add<TGMark>();
  onTheEdgeAfterFitting->SetWorldXY(X2, Y2);
  TGMark* justInsideByRounding = Add<TGMark>();
  justInsideByRounding->SetWorldXY(X2 + 1e-15, Y1 - 1e-15);
  TGMark* outside = Add<TGMark>();
  outside->SetWorldXY(X2 + 0.001, 0.05);
  TGMark* keptOutside = Add<TGMark>(false);
  keptOutside->SetWorldXY(X1 - 0.001, 0.05);
  TTestArray* userArray = AddArray(ObjectTypeArray, 0, 0, 1, 1, true);

  gis.FitArraysToRect(X1, Y1, X2, Y2);
  double bx1, by1, bx2, by2;
  userArray->GetWorldBounds(bx1, by1, bx2, by2);
  ASSERT_TRUE(bx1 < X1 || by1 < Y1 || bx2 > X2 || by2 > Y2) << "fitting rounds the array just outside";
  events.clear();
  gis.SetModified(false);
  gis.DeleteObjectsOutside(X1, Y1, X2, Y2);

  EXPECT_TRUE(gis.ContainsObject(modelArray));
  EXPECT_TRUE(gis.ContainsObject(userArray)) << "a fitted array stays, whatever the rounding";
  EXPECT_TRUE(gis.ContainsObject(inside));
  EXPECT_TRUE(gis.ContainsObject(onTheEdgeAfterFitting));
  EXPECT_TRUE(gis.ContainsObject(justInsideByRounding));
  EXPECT_TRUE(gis.ContainsObject(keptOutside)) << "not removable";
  EXPECT_FALSE(gis.ContainsObject(outside));
  EXPECT_EQ(events, (std::vector<Event>{{"deleted", nullptr, 5}}));
  EXPECT_TRUE(gis.IsModified());
}

TEST_F(GisTest, DeletingOutsideTakesTheCornersInAnyOrder)
{
  Add<TGMark>()->SetXY(0.5, 0.5);
  Add<TGMark>()->SetXY(2, 0.5);
  gis.DeleteObjectsOutside(1, 1, 0, 0);
  ASSERT_EQ(gis.GetObjectCount(), 1);
  EXPECT_EQ(gis.GetObject(0)->GetId(), 1);
}

// --- persistence ---------------------------------------------------------------------------

namespace {

// One object of every kind with values away from their defaults.
void Populate(TGIS& gis)
{
  gis.SetTransform(1000, 2000, 1100, 2150, -5, 20);
  gis.SetUnits("км");
  gis.SetExtentFromModelArea(false);

  auto point = std::make_unique<TGPoint>(&gis);
  point->SetXY(0.1, 0.2);
  point->SetSymbol("*");
  point->SetHorizontalAlignment(0);
  point->SetReperValue(12.5, 10001, 0.25);
  gis.AddObject(nullptr, std::move(point), true);

  auto mark = std::make_unique<TGMark>(&gis);
  mark->SetXY(0.3, 0.4);
  mark->SetName("Метка №1");
  std::vector<uint8_t> iconBytes = {'B', 'M', 1, 2, 3};
  mark->SetIcon(std::make_unique<TBitmap>(iconBytes), std::make_unique<TBitmap>(iconBytes));
  gis.AddObject(nullptr, std::move(mark), true);

  auto reper = std::make_unique<TGReper>(&gis);
  reper->SetXY(0.5, 0.5);
  reper->SetName("Репер");
  reper->SetCode(7);
  gis.AddObject(nullptr, std::move(reper), false);

  auto rect = std::make_unique<TGRect>(&gis);
  rect->SetRelativeRect(0.1, 0.9, 0.4, 0.6);
  gis.AddObject(nullptr, std::move(rect), true);

  auto map = std::make_unique<TGMap>(&gis, 0, 0, 1, 1, std::make_unique<TBitmap>(std::vector<uint8_t>{9, 8, 7}));
  map->SetName("Подложка");
  gis.AddObject(nullptr, std::move(map), false);

  auto area = std::make_unique<TGModelRect>(&gis);
  area->SetRelativeRect(0, 0, 1, 1);
  area->SetName("Область моделирования");
  gis.AddObject(nullptr, std::move(area), false);
  gis.GetObject(5)->SetId(-1);
}

} // namespace

TEST_F(GisTest, EveryObjectKindSurvivesSavingAndLoading)
{
  Populate(gis);
  const std::vector<uint8_t> image = SaveImage(gis);
  EXPECT_FALSE(gis.IsModified());

  TGIS loaded;
  RegisterAllTypes(loaded);
  int changes = 0;
  loaded.OnChange = [&changes](void*) { ++changes; };
  LoadImage(loaded, image);
  EXPECT_EQ(changes, 2) << "once for the clear, once after loading";
  EXPECT_FALSE(loaded.IsModified());
  EXPECT_EQ(SaveImage(loaded), image) << "a loaded GIS saves the same bytes";

  ASSERT_EQ(loaded.GetObjectCount(), 6);
  const int32_t types[] = {ObjectTypePoint, ObjectTypeMark,      ObjectTypeReper,
                           ObjectTypeRect,  ObjectTypeMap,       ObjectTypeModelRect};
  const int32_t ids[] = {1, 2, 3, 4, 5, -1};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(loaded.GetObject(i)->GetTypeCode(), types[i]);
    EXPECT_EQ(loaded.GetObject(i)->GetId(), ids[i]);
    EXPECT_EQ(loaded.GetObject(i)->GetOwner(), &loaded);
  }
  EXPECT_EQ(loaded.GetLastId(), 5);
  EXPECT_EQ(loaded.GetUnits(), "км");
  EXPECT_DOUBLE_EQ(loaded.GetX1(), 1100);
  EXPECT_DOUBLE_EQ(loaded.GetZ0(), -5);
  EXPECT_FALSE(loaded.GetExtentFromModelArea());
  auto* mark = dynamic_cast<TGMark*>(loaded.GetObject(1));
  ASSERT_NE(mark, nullptr);
  EXPECT_EQ(mark->GetName(), "Метка №1");
  ASSERT_NE(mark->GetIcon(), nullptr);
  EXPECT_EQ(mark->GetIcon()->Bytes(), (std::vector<uint8_t>{'B', 'M', 1, 2, 3}));
  EXPECT_FALSE(loaded.GetObject(2)->IsRemovable());
  double value, position;
  ASSERT_TRUE(loaded.GetObject(0)->GetReperValue(0, 10001, value, position));
  EXPECT_DOUBLE_EQ(value, 12.5);
  auto* map = dynamic_cast<TGMap*>(loaded.GetObject(4));
  ASSERT_NE(map, nullptr);
  EXPECT_EQ(map->GetBitmap()->Bytes(), (std::vector<uint8_t>{9, 8, 7}));
  EXPECT_EQ(map->GetMetafile(), nullptr);
}

TEST_F(GisTest, HeaderRecordsAndOneImagePerObject)
{
  Populate(gis);
  TMemoryStream stream(SaveImage(gis));
  TTagStream header(&stream, TagStreamRead);
  header.SetGroup(TagGroup::GisHeader);
  EXPECT_DOUBLE_EQ(header.ReadDouble(0, 0), 1000);
  EXPECT_DOUBLE_EQ(header.ReadDouble(0, 1), 2000);
  EXPECT_DOUBLE_EQ(header.ReadDouble(0, 2), 1100);
  EXPECT_DOUBLE_EQ(header.ReadDouble(0, 3), 2150);
  EXPECT_FALSE(header.ReadBool(true, 4));
  EXPECT_EQ(header.ReadInt(0, 5), 6);
  EXPECT_EQ(header.ReadString("", 6), "км");
  EXPECT_FALSE(header.ReadBool(true, 7));
  EXPECT_DOUBLE_EQ(header.ReadDouble(0, 8), -5);
  EXPECT_DOUBLE_EQ(header.ReadDouble(0, 9), 20);
  EXPECT_EQ(header.Records().size(), 10u);
  for (int object = 0; object < 6; ++object) {
    TTagStream image(&stream, TagStreamRead);
    image.SetGroup(TagGroup::MapObject);
    EXPECT_EQ(image.ReadInt(0), gis.GetObject(object)->GetTypeCode());
  }
  EXPECT_EQ(stream.Remaining(), 0);
}

TEST_F(GisTest, UnregisteredTypesAreSkippedOnLoad)
{
  Populate(gis);
  AddArray(ObjectTypeArray, 0, 0, 1, 1);
  AddArray(ObjectTypeArray3D, 0, 0, 1, 1); // id 8: the model area took 6
  Add<TGMark>();                           // id 9
  const std::vector<uint8_t> image = SaveImage(gis);

  TGIS solidsOnly;
  solidsOnly.RegisterObjectType(ObjectTypeArray3D, 4, "Массив 3D", "Массивы 3D", 0xFFDCFF, 0, MakeArray3D);
  LoadImage(solidsOnly, image);
  ASSERT_EQ(solidsOnly.GetObjectCount(), 1);
  EXPECT_EQ(solidsOnly.GetObject(0)->GetTypeCode(), ObjectTypeArray3D);
  EXPECT_EQ(solidsOnly.GetObject(0)->GetId(), 8);
  EXPECT_EQ(solidsOnly.GetLastId(), 8);
  EXPECT_EQ(solidsOnly.AddObject(nullptr, std::make_unique<TGMark>(&solidsOnly), true), 9);
}

TEST_F(GisTest, ProjectGisRecreatesNoPointsRectanglesOrMaps)
{
  Populate(gis);
  TBitGIS project;
  project.AddObject(nullptr, std::make_unique<TGMark>(&project), true);
  LoadImage(project, SaveImage(gis));
  EXPECT_EQ(project.GetObjectCount(), 0);
  EXPECT_EQ(project.GetLastId(), 0);
  EXPECT_EQ(project.GetUnits(), "км") << "the header still loads";
}

// A header that announces a huge count, followed by the one object image and
// a tail too short to hold another: the loops once spun over the tail, since
// an image read takes nothing from fewer than four bytes.
TEST_F(GisTest, ADamagedObjectCountStopsAtTheEndOfTheStream)
{
  Add<TGMark>();
  const std::vector<uint8_t> image = SaveImage(gis);
  for (const std::vector<uint8_t>& tail : {std::vector<uint8_t>{}, std::vector<uint8_t>{7, 7, 7}}) {
    TMemoryStream rewritten;
    {
      TTagStream forged(&rewritten, TagStreamWrite);
      forged.SetGroup(TagGroup::GisHeader);
      forged.WriteInt(1 << 30, 5);
      forged.Commit();
    }
    TMemoryStream rest(image);
    { TTagStream skip(&rest, TagStreamRead); }
    rewritten.CopyFrom(rest);
    rewritten.WriteExact(tail.data(), tail.size());

    TGIS loaded;
    RegisterAllTypes(loaded);
    LoadImage(loaded, rewritten.Bytes());
    EXPECT_EQ(loaded.GetObjectCount(), 1) << tail.size();
    EXPECT_EQ(loaded.GetFileObjectCount(), 1 << 30);

    TGIS updated;
    RegisterAllTypes(updated);
    TMemoryStream again(rewritten.Bytes());
    updated.UpdateObjects(again);
    EXPECT_EQ(updated.GetObjectCount(), 1) << tail.size();
  }
}

TEST_F(GisTest, UpdatingMovesKnownObjectsAndAddsNewOnes)
{
  TGMark* mark = Add<TGMark>();
  mark->SetName("Старое имя");
  TFontRecord font = mark->GetLabelFont();
  font.size = 14;
  mark->SetLabelFont(font);
  TGIS source;
  RegisterAllTypes(source);
  auto moved = std::make_unique<TGMark>(&source);
  moved->SetXY(0.7, 0.8);
  moved->SetName("Новое имя");
  moved->SetShowName(false);
  source.AddObject(nullptr, std::move(moved), true);
  source.AddObject(nullptr, std::make_unique<TGReper>(&source), true);
  auto sameIdOtherType = std::make_unique<TGRect>(&source);
  source.AddObject(nullptr, std::move(sameIdOtherType), true);
  const std::vector<uint8_t> image = SaveImage(source);

  gis.AddObject(nullptr, std::make_unique<TGMap>(&gis), true); // id 2
  gis.GetObject(1)->SetXY(0.125, 0.125);
  gis.GetObject(1)->SetId(3); // the rectangle's id, held by a map
  events.clear();
  TMemoryStream stream(image);
  gis.UpdateObjects(stream);

  EXPECT_DOUBLE_EQ(mark->GetX(), 0.7);
  EXPECT_EQ(mark->GetName(), "Новое имя");
  EXPECT_EQ(mark->GetLabelFont().size, 14) << "the font is not geometry";
  EXPECT_TRUE(mark->GetShowName());
  EXPECT_DOUBLE_EQ(gis.GetObject(1)->GetX(), 0.125) << "other type under the same id";
  ASSERT_EQ(gis.GetObjectCount(), 3);
  EXPECT_EQ(gis.GetObject(2)->GetTypeCode(), ObjectTypeReper);
  EXPECT_EQ(gis.GetObject(2)->GetId(), 2);
  EXPECT_TRUE(events.empty());
  EXPECT_FALSE(gis.IsModified());
}

namespace {
// A device that takes nothing.
class TFullStream : public TMemoryStream {
public:
  size_t Write(const void*, size_t) override { return 0; }
};
} // namespace

TEST_F(GisTest, ASaveThatFailsLeavesTheGisModified)
{
  Add<TGMark>();
  TFullStream full;
  EXPECT_FALSE(gis.SaveObjects(full));
  EXPECT_TRUE(gis.IsModified());
}

// --- the project's GIS ---------------------------------------------------------------------

TEST(BitGis, RegistersOnlyTheThreeDimensionalArray)
{
  TBitGIS gis;
  EXPECT_EQ(gis.GetCoordKind(), CoordRectangular);
  ASSERT_EQ(gis.GetTypeCount(), 1);
  EXPECT_EQ(gis.GetTypeCode(0), ObjectTypeArray3D);
  EXPECT_EQ(gis.GetTypeImage(ObjectTypeArray3D), 4);
  EXPECT_EQ(gis.GetTypeName(ObjectTypeArray3D), "Массив 3D");
  EXPECT_EQ(gis.GetTypePluralName(ObjectTypeArray3D), "Массивы 3D");
  EXPECT_EQ(gis.GetTypeColor(ObjectTypeArray3D), 0xFFDCFFu);
  EXPECT_EQ(gis.GetFlaggedTypeCount(), 0);
  EXPECT_EQ(gis.GetTypeColor(ObjectTypePoint), 0xFFFFFFu);
  EXPECT_EQ(gis.GetTypeName(ObjectTypePoint), "");

  // Objects of unregistered types fall back to their own kind names.
  auto mark = std::make_unique<TGMark>(&gis);
  EXPECT_EQ(mark->GetTypeName(), "Метка");
  EXPECT_EQ(mark->GetTypePluralName(), "Метки");
  auto solid = std::make_unique<TTestArray>(&gis, ObjectTypeArray3D);
  EXPECT_EQ(solid->GetTypeName(), "Массив 3D");
}
