#include <gtest/gtest.h>

#include <memory>

#include "GisTestSupport.h"
#include "data/SLine.h"
#include "data/TagStream.h"
#include "gis/BitGIS.h"

using namespace gistest;

TEST(MapObject, BoundsAreOrderedWhateverTheSignOfTheExtent)
{
  TGRect rect(nullptr);
  rect.SetXY(5, 1);
  rect.SetDX(-2);
  rect.SetDY(-0.5);
  double x1, y1, x2, y2;
  rect.GetBounds(x1, y1, x2, y2);
  EXPECT_EQ((std::vector<double>{x1, y1, x2, y2}), (std::vector<double>{3, 0.5, 5, 1}));

  // The given corners are ordered first, then grown by the object.
  double ux1 = 4.5, uy1 = 3, ux2 = 4, uy2 = 2;
  rect.UnionBounds(ux1, uy1, ux2, uy2);
  EXPECT_EQ((std::vector<double>{ux1, uy1, ux2, uy2}), (std::vector<double>{3, 0.5, 5, 3}));
}

TEST(MapObject, MovingTheOriginKeepsTheFarCorner)
{
  TGRect rect(nullptr);
  rect.SetDX(4);
  rect.SetDY(4);
  rect.SetOrigin(2, 2);
  EXPECT_DOUBLE_EQ(rect.GetDX(), 2);
  EXPECT_DOUBLE_EQ(rect.GetDY(), 2);
  rect.Move(1, -1);
  rect.MoveHandle(3, 1, 1);
  EXPECT_DOUBLE_EQ(rect.GetX(), 4);
  EXPECT_DOUBLE_EQ(rect.GetY(), 2);
  rect.SetFarCorner(5, 1);
  EXPECT_DOUBLE_EQ(rect.GetDX(), 1);
  EXPECT_DOUBLE_EQ(rect.GetDY(), -1);
}

TEST(MapObject, WithoutAnOwnerWorldValuesAreRelative)
{
  TGMark mark(nullptr);
  mark.SetXY(1, 1);
  mark.SetWorldFarCorner(3, 4);
  EXPECT_DOUBLE_EQ(mark.GetDX(), 2);
  EXPECT_DOUBLE_EQ(mark.GetDY(), 3);
  mark.SetWorldXY(7, 8);
  EXPECT_DOUBLE_EQ(mark.GetWorldX(), 7);
  EXPECT_DOUBLE_EQ(mark.GetWorldY(), 8);
  mark.SetWorldWidth(0.5);
  EXPECT_DOUBLE_EQ(mark.GetWorldWidth(), 0.5);
  mark.SetWorldDepth(9);
  EXPECT_DOUBLE_EQ(mark.GetDZ(), 9);
  EXPECT_DOUBLE_EQ(mark.GetScaleX(), 1.0);
  double X = 0.25, Y = 0.75, u, v;
  mark.RelativeToWorld(X, Y);
  mark.WorldToRelative(X, Y, u, v);
  EXPECT_EQ((std::vector<double>{X, Y, u, v}), (std::vector<double>{0.25, 0.75, 0.25, 0.75}));
  EXPECT_EQ(mark.GetUnits(), "");
  EXPECT_EQ(mark.GetCoordKind(), -1);
  EXPECT_EQ(mark.GetTypeName(), "Метка");
}

TEST(MapObject, DistancesAreMeasuredInWorldUnits)
{
  TGIS gis;
  gis.SetTransform(0, 0, 10, 20);
  TGMark mark(&gis);
  mark.SetXY(0.5, 0.5);
  double nx, ny;
  EXPECT_DOUBLE_EQ(mark.DistanceTo(8, 14, nx, ny), 5);
  EXPECT_DOUBLE_EQ(nx, 5);
  EXPECT_DOUBLE_EQ(ny, 10);
  int handle = -1;
  EXPECT_DOUBLE_EQ(mark.HandleDistanceTo(5, 7, nx, ny, handle), 3);
  EXPECT_EQ(handle, 0);
  EXPECT_DOUBLE_EQ(mark.HitDistance(5, 13, true), 3);
  EXPECT_DOUBLE_EQ(mark.RelativeHitDistance(0.5, 0.25, false), 0.25);

  double X1 = 0, Y1 = 0, X2 = 1, Y2 = 1;
  mark.UnionWorldBounds(X1, Y1, X2, Y2);
  EXPECT_EQ((std::vector<double>{X1, Y1, X2, Y2}), (std::vector<double>{0, 0, 5, 10}));
}

TEST(MapObject, NamesForTheBrowser)
{
  TBitGIS gis;
  TGReper reper(&gis);
  reper.SetName("Р-1");
  EXPECT_EQ(reper.GetDisplayName(), "Репер: Р-1");
  TGMark mark(&gis);
  mark.SetName("вышка");
  EXPECT_EQ(mark.GetTreePathLength(), 2);
  EXPECT_EQ(mark.GetTreePathText(0), "Метки");
  EXPECT_EQ(mark.GetTreePathText(1), "вышка");
  EXPECT_EQ(mark.GetTreePathText(2), "");
  EXPECT_EQ(mark.GetTreeSortKey(0), "103");
  EXPECT_EQ(mark.GetTreeSortKey(1), "вышка");
  EXPECT_TRUE(mark.IsTreeLevelSorted(0));

  // Registered names win over the class's own.
  TGIS named;
  RegisterAllTypes(named);
  TGModelRect area(&named);
  EXPECT_EQ(area.GetTypeName(), "Область");
  EXPECT_EQ(area.GetDisplayName(), "Область: ");
}

TEST(MapObject, KindNamesAndDefaults)
{
  TGPoint point(nullptr);
  TGMark mark(nullptr);
  TGReper reper(nullptr);
  for (const TGObj* object : {static_cast<TGObj*>(&point), static_cast<TGObj*>(&mark), static_cast<TGObj*>(&reper)}) {
    EXPECT_EQ(object->GetKindName(), "Точка");
    EXPECT_EQ(object->GetShapeKind(), ShapePoint);
  }
  TGRect rect(nullptr);
  TGModelRect area(nullptr);
  TGMap map(nullptr);
  for (const TGObj* object : {static_cast<TGObj*>(&rect), static_cast<TGObj*>(&area), static_cast<TGObj*>(&map)}) {
    EXPECT_EQ(object->GetKindName(), "Прямоугольник");
    EXPECT_EQ(object->GetShapeKind(), ShapeRect);
  }
  EXPECT_EQ(point.GetTypeCode(), ObjectTypePoint);
  EXPECT_EQ(reper.GetTypeCode(), ObjectTypeReper);
  EXPECT_EQ(area.GetTypeCode(), ObjectTypeModelRect);
  EXPECT_EQ(map.GetTypeCode(), ObjectTypeMap);
  EXPECT_EQ(area.GetTypeName(), "Область моделирования");
  EXPECT_EQ(map.GetTypePluralName(), "Карты");

  const TFontRecord& label = point.GetLabelFont();
  EXPECT_EQ(label.name, "Arial");
  EXPECT_EQ(label.size, 8);
  EXPECT_EQ(label.charset, 204);
  EXPECT_TRUE(point.IsRemovable());
  EXPECT_FALSE(point.GetShowName());
  EXPECT_TRUE(mark.GetShowName());
  EXPECT_FALSE(point.IsArray());
  EXPECT_FALSE(point.ContainsPoint(0, 0));
  EXPECT_FALSE(point.Edit());

  TSLine outline;
  point.SetXY(0.3, 0.6);
  point.GetOutline(outline);
  ASSERT_EQ(outline.Count(), 1);
  EXPECT_DOUBLE_EQ(outline.Item(0)->x, 0.3);
  EXPECT_DOUBLE_EQ(outline.Item(0)->y, 0.6);
}

using gistest::ImageOf;

TEST(MapObject, RecordHoldsAllThirteenFields)
{
  TGRect rect(nullptr);
  rect.SetId(42);
  rect.SetRelativeRect(0.1, 0.2, 0.4, 0.8);
  rect.SetZ(0.05);
  rect.SetDZ(0.5);
  rect.SetRemovable(false);
  rect.SetName("Участок");
  TFontRecord font;
  font.name = "Times New Roman";
  font.size = 12;
  font.color = 0x0000FF;
  font.charset = 204;
  font.style = TFontRecord::Bold | TFontRecord::Italic;
  rect.SetLabelFont(font);
  rect.SetShowName(true);
  rect.SetCode(20001);

  TMemoryStream stream(ImageOf(rect));
  TTagStream tags(&stream, TagStreamRead);
  tags.SetGroup(TagGroup::Quantity);
  EXPECT_EQ(tags.ReadInt(0, 0), 20001);
  tags.SetGroup(TagGroup::MapObject);
  EXPECT_EQ(tags.ReadInt(0, 0), ObjectTypeRect);
  EXPECT_EQ(tags.ReadInt(0, 1), ShapeRect);
  EXPECT_EQ(tags.ReadInt(0, 2), 42);
  EXPECT_DOUBLE_EQ(tags.ReadDouble(0, 3), 0.1);
  EXPECT_DOUBLE_EQ(tags.ReadDouble(0, 4), 0.2);
  EXPECT_DOUBLE_EQ(tags.ReadDouble(0, 5), 0.30000000000000004);
  EXPECT_DOUBLE_EQ(tags.ReadDouble(0, 6), 0.6000000000000001);
  EXPECT_FALSE(tags.ReadBool(true, 7));
  EXPECT_EQ(tags.ReadString("", 8), "Участок");
  TFontRecord read;
  ASSERT_TRUE(tags.ReadFont(read, 9));
  EXPECT_EQ(read, font);
  EXPECT_TRUE(tags.ReadBool(false, 10));
  EXPECT_DOUBLE_EQ(tags.ReadDouble(0, 11), 0.05);
  EXPECT_DOUBLE_EQ(tags.ReadDouble(0, 12), 0.5);

  TMemoryStream again(ImageOf(rect));
  TTagStream back(&again, TagStreamRead);
  TGRect copy(nullptr);
  copy.Load(back);
  EXPECT_EQ(ImageOf(copy), ImageOf(rect));
  EXPECT_EQ(copy.GetLabelFont(), font);
  EXPECT_EQ(copy.GetCode(), 20001);
}

TEST(MapObject, MissingRecordsKeepTheCurrentValues)
{
  TMemoryStream stream;
  {
    TTagStream tags(&stream, TagStreamWrite);
    tags.SetGroup(TagGroup::MapObject);
    tags.WriteInt(ObjectTypeMark);
    tags.WriteInt(ShapePoint);
    tags.WriteInt(9);
    tags.WriteDouble(0.75);
    tags.Commit();
  }
  TGMark mark(nullptr);
  mark.SetXY(0.1, 0.2);
  mark.SetName("имя");
  stream.SetPosition(0);
  TTagStream tags(&stream, TagStreamRead);
  mark.Load(tags);
  EXPECT_EQ(mark.GetId(), 9);
  EXPECT_DOUBLE_EQ(mark.GetX(), 0.75);
  EXPECT_DOUBLE_EQ(mark.GetY(), 0.2);
  EXPECT_EQ(mark.GetName(), "имя");
  EXPECT_EQ(mark.GetSymbol(), "#");
  EXPECT_TRUE(mark.GetShowName());
}

TEST(MapObject, ReloadingGeometryKeepsFontFlagsAndClassData)
{
  TGMark source(nullptr);
  source.SetRelativeRect(0.1, 0.2, 0.3, 0.5);
  source.SetZ(0.7);
  source.SetDZ(0.2);
  source.SetName("новое");
  source.SetShowName(false);
  source.SetRemovable(false);
  source.SetSymbol("+");
  source.SetId(5);
  TMemoryStream stream(ImageOf(source));
  TTagStream tags(&stream, TagStreamRead);

  TGMark target(nullptr);
  target.SetId(3);
  target.LoadGeometry(tags);
  EXPECT_DOUBLE_EQ(target.GetX(), 0.1);
  EXPECT_DOUBLE_EQ(target.GetY(), 0.2);
  EXPECT_NEAR(target.GetDX(), 0.2, 1e-15);
  EXPECT_DOUBLE_EQ(target.GetDY(), 0.3);
  EXPECT_DOUBLE_EQ(target.GetZ(), 0.7);
  EXPECT_DOUBLE_EQ(target.GetDZ(), 0.2);
  EXPECT_EQ(target.GetName(), "новое");
  EXPECT_EQ(target.GetId(), 3);
  EXPECT_TRUE(target.GetShowName());
  EXPECT_TRUE(target.IsRemovable());
  EXPECT_EQ(target.GetSymbol(), "#");
}
