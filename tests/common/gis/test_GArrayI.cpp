// Triangulated and layered arrays over a mesh source: value counts, lookups,
// surfaces, profiles, persistence, drawing and the world/mesh conversion.
#include <gtest/gtest.h>

#include "ArrayBuildingSupport.h"
#include "GisTestSupport.h"
#include "MeshSourceSupport.h"
#include "data/Stream.h"
#include "data/TagStream.h"
#include "gis/GArrayI.h"
#include "gis/GArrayI3D.h"

using namespace meshtest;
using buildtest::AddObject;
using buildtest::Code;
using gistest::TTestBitmap;

namespace {

struct ArrayIFixture : ::testing::Test {
  TGIS gis;
  TTestMeshSource* source = nullptr;
  int sourceId = 0;

  void SetUp() override
  {
    gis.SetTransform(0, 0, 100, 200);
    source = AddObject(gis, std::make_unique<TTestMeshSource>(&gis));
    sourceId = source->GetId();
  }
  // Node values of the field: plane nodes at z = 0, or every 3D node.
  static void SetFieldOnNodes(TGArrayI& array, bool layered)
  {
    const TIrregularMesh& m = *array.GetMesh()->GetIrregularMesh();
    std::vector<double> v;
    for (int n = 0; n < m.nodeCount; ++n) {
      if (!layered) {
        v.push_back(Field(m.nodeXY[2 * n], m.nodeXY[2 * n + 1], 0));
        continue;
      }
      for (int node = m.nodeColumns[n]; node < m.nodeColumns[n + 1]; ++node)
        v.push_back(Field(m.nodeXY[2 * n], m.nodeXY[2 * n + 1], m.nodeZ[node]));
    }
    array.SetData(v.data());
  }
};

TEST_F(ArrayIFixture, SourceThatIsNotThereIsForgotten)
{
  TGArrayI array(&gis, sourceId + 50, ValuesAtNodes, Code);
  EXPECT_EQ(array.GetMeshSourceId(), -1);
  EXPECT_EQ(array.GetValueCount(), 0);
  EXPECT_EQ(array.GetCellCount(), 0);
  EXPECT_EQ(array.GetData(), nullptr);
  double value = 0;
  EXPECT_FALSE(array.GetValueAt(0.5, 0.2, value));
  EXPECT_EQ(value, 1e300);
  TTestBitmap bitmap(8, 8);
  array.Draw(0, 0, 1, 1, bitmap.get()); // draws nothing, fails nothing
  EXPECT_EQ(bitmap.Pixel(4, 4), 0xFFFFFFu);
}

TEST_F(ArrayIFixture, ValueCountsFollowTheLocationAndStartEmpty)
{
  struct {
    bool layered;
    int location;
    int count;
  } cases[] = {{false, ValuesPerElement, 2}, {false, ValuesAtNodes, 4}, {true, ValuesPerElement, 3},
               {true, ValuesAtNodes, 12}};
  for (const auto& c : cases) {
    std::unique_ptr<TGArrayI> array = c.layered ? std::make_unique<TGArrayI3D>(&gis, sourceId, c.location, Code)
                                                : std::make_unique<TGArrayI>(&gis, sourceId, c.location, Code);
    EXPECT_EQ(array->GetTypeCode(), c.layered ? 407 : 406);
    EXPECT_EQ(array->GetValueCount(), c.count);
    EXPECT_EQ(array->GetCellCount(), c.count);
    for (int k = 0; k < c.count; ++k)
      EXPECT_EQ(array->GetData()[k], 1e300);
  }
}

TEST_F(ArrayIFixture, PlaneLookups)
{
  TGArrayI elements(&gis, sourceId, ValuesPerElement, Code);
  const double perTriangle[2] = {10, 20};
  elements.SetData(perTriangle);
  double value = 0;
  EXPECT_TRUE(elements.GetValueAt(0.8, 0.2, value));
  EXPECT_EQ(value, 10.0);
  EXPECT_TRUE(elements.InterpolateAt(0.2, 0.8, value));
  EXPECT_EQ(value, 20.0);
  EXPECT_TRUE(elements.GetValueAt(0.5, 0.5, value)); // the shared edge: the first triangle of the bucket
  EXPECT_EQ(value, 10.0);
  EXPECT_FALSE(elements.GetValueAt(1.5, 0.5, value));
  EXPECT_EQ(value, 1e300);
  EXPECT_FALSE(elements.GetValueAt(-0.5, 0.5, value));

  TGArrayI nodes(&gis, sourceId, ValuesAtNodes, Code);
  SetFieldOnNodes(nodes, false);
  EXPECT_TRUE(nodes.InterpolateAt(0.3, 0.6, value));
  EXPECT_NEAR(value, Field(0.3, 0.6, 0), 1e-12);
  EXPECT_TRUE(nodes.GetValueAt(0.1, 0.7, value)); // nearest node (0, 1)
  EXPECT_EQ(value, Field(0, 1, 0));
  double area = 0;
  EXPECT_EQ(nodes.GetAreaValue(*source, area), 0.0);
  EXPECT_EQ(area, 1.0);
}

TEST_F(ArrayIFixture, LayeredLookupsOnSurfacesAndInPrisms)
{
  TGArrayI3D nodes(&gis, sourceId, ValuesAtNodes, Code);
  SetFieldOnNodes(nodes, true);
  double value = 0;
  EXPECT_EQ(nodes.GetLayer(), 0);
  EXPECT_TRUE(nodes.InterpolateAt(0.3, 0.6, value)); // roof of layer 0
  EXPECT_NEAR(value, Field(0.3, 0.6, 0), 1e-12);
  nodes.SetLayer(3); // sole of layer 1
  EXPECT_TRUE(nodes.InterpolateAt(0.8, 0.3, value));
  EXPECT_NEAR(value, Field(0.8, 0.3, 1), 1e-12);
  EXPECT_TRUE(nodes.GetValueAt(0.9, 0.2, value)); // nearest node of the face: (1, 0) at z = 1
  EXPECT_EQ(value, Field(1, 0, 1));
  EXPECT_FALSE(nodes.InterpolateAt(0.2, 0.8, value)); // triangle 1 has no layer 1
  EXPECT_EQ(value, 1e300);
  nodes.SetLayer(4);
  nodes.SetLayer(-1);
  EXPECT_EQ(nodes.GetLayer(), 3);

  EXPECT_TRUE(nodes.InterpolateAtPoint(0.8, 0.3, 0.7, value));
  EXPECT_NEAR(value, Field(0.8, 0.3, 0.7), 1e-12);
  EXPECT_TRUE(nodes.GetValueAtPoint(0.8, 0.3, 0.7, value)); // nearest corner of its prism
  EXPECT_EQ(value, Field(1, 0, 0.5));
  EXPECT_FALSE(nodes.InterpolateAtPoint(0.2, 0.8, 0.7, value)); // no prism there
  int a = -1, b = -1;
  EXPECT_TRUE(nodes.LocatePoint(0.8, 0.3, 0.7, a, b));
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 4);

  TGArrayI3D elements(&gis, sourceId, ValuesPerElement, Code);
  const double perPrism[3] = {1, 2, 3};
  elements.SetData(perPrism);
  EXPECT_TRUE(elements.GetValueAt(0.2, 0.8, value)); // surface 0 over triangle 1: prism 2
  EXPECT_EQ(value, 3.0);
  EXPECT_TRUE(elements.GetValueAtPoint(0.8, 0.3, 0.7, value)); // the prism that holds the point
  EXPECT_EQ(value, 2.0);
}

TEST_F(ArrayIFixture, NameShowsTheCurrentSurface)
{
  TGArrayI3D array(&gis, sourceId, ValuesAtNodes, Code);
  array.SetName("Z");
  EXPECT_EQ(array.GetName(), "Z, A кровля");
  array.SetLayer(3);
  EXPECT_EQ(array.GetName(), "Z, B подошва");
}

// World points go through the GIS's transform for both kinds of array.
TEST_F(ArrayIFixture, WorldPointsAreConvertedToMeshCoordinates)
{
  TGArrayI3D layered(&gis, sourceId, ValuesPerElement, Code);
  const double perPrism[3] = {1, 2, 3};
  layered.SetData(perPrism);
  double value = 0;
  EXPECT_TRUE(layered.GetValueAtWorld(80, 40, value)); // relative (0.8, 0.2)
  EXPECT_EQ(value, 1.0);
  EXPECT_TRUE(layered.GetValueAtWorld(20, 160, value)); // relative (0.2, 0.8)
  EXPECT_EQ(value, 3.0);
  EXPECT_FALSE(layered.GetValueAtWorld(0.8, 0.2 + 300, value));
  TGArrayI plane(&gis, sourceId, ValuesPerElement, Code);
  const double perTriangle[2] = {10, 20};
  plane.SetData(perTriangle);
  EXPECT_TRUE(plane.GetValueAtWorld(20, 160, value));
  EXPECT_EQ(value, 20.0);
}

using gistest::ImageOf;

TEST_F(ArrayIFixture, RecordKeepsCountSourceSurfaceAndValues)
{
  TGArrayI3D array(&gis, sourceId, ValuesAtNodes, Code);
  SetFieldOnNodes(array, true);
  array.SetLayer(2);
  TMemoryStream stream(ImageOf(array));
  TTagStream tags(&stream, TagStreamRead);
  TGArrayI3D loaded(&gis);
  loaded.Load(tags);
  loaded.AfterLoad();
  EXPECT_EQ(loaded.GetValueCount(), 12);
  EXPECT_EQ(loaded.GetCellCount(), 12);
  EXPECT_EQ(loaded.GetMeshSourceId(), sourceId);
  EXPECT_EQ(loaded.GetLayer(), 2);
  for (int k = 0; k < 12; ++k)
    EXPECT_EQ(loaded.GetData()[k], array.GetData()[k]);

  // A record without the triangulated group keeps the defaults.
  TGRect rect(&gis);
  TMemoryStream other(ImageOf(rect));
  TTagStream plain(&other, TagStreamRead);
  TGArrayI3D defaults(&gis);
  defaults.Load(plain);
  EXPECT_EQ(defaults.GetValueCount(), 0);
  EXPECT_EQ(defaults.GetMeshSourceId(), -1);
  EXPECT_EQ(defaults.GetLayer(), 0);
}

TEST_F(ArrayIFixture, PlaneProfilesSnapToNodesAndCollapseRepeats)
{
  TGArrayI nodes(&gis, sourceId, ValuesAtNodes, Code);
  SetFieldOnNodes(nodes, false);
  std::vector<double> values, distances;
  int n = 4;
  double X1 = 50, Y1 = 50, X2 = 50, Y2 = 50;
  EXPECT_FALSE(nodes.GetProfile(X1, Y1, X2, Y2, n, values, distances, 0));
  EXPECT_TRUE(values.empty());

  // Along the bottom edge: ten steps snap to nodes 0 and 1 only.
  X1 = 0, Y1 = 0, X2 = 100, Y2 = 0;
  n = 10;
  ASSERT_TRUE(nodes.GetProfile(X1, Y1, X2, Y2, n, values, distances, 1));
  EXPECT_EQ(n, 2);
  EXPECT_EQ(values, (std::vector<double>{Field(0, 0, 0), Field(1, 0, 0)}));
  EXPECT_NEAR(distances[1], 100.0, 1e-9);

  X1 = 0, Y1 = 0, X2 = 100, Y2 = 0;
  n = 4;
  ASSERT_TRUE(nodes.GetProfile(X1, Y1, X2, Y2, n, values, distances, 2));
  ASSERT_EQ(n, 5);
  EXPECT_NEAR(values[1], Field(0.25, 0, 0), 1e-12);
}

TEST_F(ArrayIFixture, LayeredProfileThroughThePrisms)
{
  TGArrayI3D nodes(&gis, sourceId, ValuesAtNodes, Code);
  SetFieldOnNodes(nodes, true);
  std::vector<double> values, distances;
  // Straight down at relative (0.8, 0.3) (world 80, 60), depths 0.1 .. 0.9.
  double X1 = 80, Y1 = 60, Z1 = 0.1, X2 = 80, Y2 = 60, Z2 = 0.9;
  int n = 4;
  ASSERT_TRUE(nodes.GetProfile(X1, Y1, Z1, X2, Y2, Z2, n, values, distances, 2));
  ASSERT_EQ(n, 5);
  for (int k = 0; k < 5; ++k)
    EXPECT_NEAR(values[k], Field(0.8, 0.3, 0.1 + 0.2 * k), 1e-12);
  X1 = 80, Y1 = 60, Z1 = 0.1, X2 = 80, Y2 = 60, Z2 = 0.9;
  n = 8;
  ASSERT_TRUE(nodes.GetProfile(X1, Y1, Z1, X2, Y2, Z2, n, values, distances, 1));
  EXPECT_EQ(values, (std::vector<double>{Field(1, 0, 0), Field(1, 0, 0.5), Field(1, 0, 1)}));
}

TEST_F(ArrayIFixture, DrawingFillsTheTrianglesAndNothingElse)
{
  TGArrayI elements(&gis, sourceId, ValuesPerElement, Code);
  elements.SetRelativeRect(0, 0, 1, 1);
  const double perTriangle[2] = {0, 1};
  elements.SetData(perTriangle);
  elements.SetContoursOn(false);
  elements.SetFillType(FillOneTransparency); // the ramp would leave the lowest value clear
  elements.SetRange(0, 1);
  TTestBitmap bitmap(20, 20);
  // The view spans relative -1 .. 1 on both axes: the mesh fills one quarter.
  elements.Draw(-1, -1, 1, 1, bitmap.get());
  const COLORREF white = 0xFFFFFF;
  EXPECT_EQ(bitmap.Pixel(2, 2), white);
  EXPECT_EQ(bitmap.Pixel(2, 17), white);
  EXPECT_EQ(bitmap.Pixel(17, 2), white);
  // Picture rows run down the relative y axis.
  const COLORREF first = bitmap.Pixel(18, 11);  // x > y in the mesh: triangle 0
  const COLORREF second = bitmap.Pixel(11, 18); // triangle 1
  EXPECT_NE(first, white);
  EXPECT_NE(second, white);
  EXPECT_NE(first, second);
}

// A layered array draws the faces of its current surface: where the layer is
// absent above a triangle nothing is drawn.
TEST_F(ArrayIFixture, LayeredDrawingShowsTheCurrentSurface)
{
  TGArrayI3D elements(&gis, sourceId, ValuesPerElement, Code);
  elements.SetRelativeRect(0, 0, 1, 1);
  const double perPrism[3] = {0, 1, 0.5};
  elements.SetData(perPrism);
  elements.SetContoursOn(false);
  elements.SetFillType(FillOneTransparency);
  elements.SetRange(0, 1);
  const COLORREF white = 0xFFFFFF;
  TTestBitmap roof(10, 10);
  elements.Draw(0, 0, 1, 1, roof.get());
  EXPECT_NE(roof.Pixel(8, 1), white); // triangle 0
  EXPECT_NE(roof.Pixel(1, 8), white); // triangle 1
  elements.SetLayer(2); // roof of layer 1: only above triangle 0
  TTestBitmap lower(10, 10);
  elements.Draw(0, 0, 1, 1, lower.get());
  EXPECT_NE(lower.Pixel(8, 1), white);
  EXPECT_NE(lower.Pixel(8, 1), roof.Pixel(8, 1)); // prism 1, not prism 0
  EXPECT_EQ(lower.Pixel(1, 8), white);
}

} // namespace
